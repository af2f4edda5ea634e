// Storing a tube model read from SPICE text: the checks of the tube-models window's store (every
// box's rule, a name no other model has), then a new row of the model database.
#pragma once

#include "model/tube_params.h"

#include <string>

struct ModelImport {
    bool stored = false;
    std::string message; // why nothing was stored
};

// Database errors propagate as exceptions, as the other model functions' do.
ModelImport storeImportedModel(const TubeParams& params);

// The text of a file of at most `limit` bytes; false with a message naming the problem otherwise.
bool readModelFile(const std::string& path, std::size_t limit, std::string& text, std::string& problem);
