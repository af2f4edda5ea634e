// The thirty tube models that ship with Valvenix (21 triodes, 9 pentodes and beam tetrodes),
// in the order they are seeded, and the triode names of the first file version.
#pragma once

#include "model/tube.h"
#include "model/tube_params.h"

#include <string>
#include <vector>

const std::vector<TubeParams>& builtinModels();
const std::vector<std::string>& builtinNamesVersion1();

// Tubes of the built-in models without a database (benchmarks, tests); an unknown name gives a
// tube of kind 0 as loading it from the database would.
TubeFactory builtinTubeFactory();
