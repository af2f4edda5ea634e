// The words of `valvenix-cli solve` read into a solve request, shared by `solve` and `batch`.
#pragma once

#include "cli.h"

#include "solver/solve.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// A solve as the command line asks for it: the request, and what is done with its result.
struct SolveWords {
    SolveRequest request;
    bool json = false;
    bool save = false;
    std::optional<std::string> pngDir;
};

// The model names a tube selector of that kind (3 triode, 5 pentode) lists, in list order.
using ModelLister = std::function<std::vector<std::string>(int kind)>;

// Reads "C<n> [NAME=VALUE ...] [options]" (the words after `solve`): the circuit's sheet as a first
// opening fills it, the assignments applied, the bandwidth and push-pull options, the tube factory of
// the model database. Throws UsageError, naming the word, for anything it cannot take.
SolveWords readSolveWords(const std::vector<std::string>& words, const ModelLister& models);

// The model names of the database (listModelNamesByType).
ModelLister databaseModelLister();

} // namespace cli
