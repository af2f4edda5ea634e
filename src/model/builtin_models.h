// The thirty tube models that ship with Valvenix (21 triodes, 9 pentodes and beam tetrodes),
// in the order they are seeded, and the triode names of the first file version.
#pragma once

#include "model/tube_params.h"

#include <string>
#include <vector>

const std::vector<TubeParams>& builtinModels();
const std::vector<std::string>& builtinNamesVersion1();
