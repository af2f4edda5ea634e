// The advanced push-pull options of `valvenix-cli solve`: --kza, --kzb and --load-function.
#pragma once

#include "cli.h"

#include "solver/solve.h"

#include <string>
#include <vector>

namespace cli {

// The value options this adds to `solve`.
const std::vector<std::string>& powerValueOptions();

// Puts the circuit's kza, kzb and load function into the request's sheet, each as given on the
// command line or else as the solver window starts with them. Refuses the options on a circuit
// that has no advanced push-pull parameters, a kza or kzb that is not a number, and a load function
// other than f1, f2, f3 or f4.
void applyPowerOptions(const Args& args, SolveRequest& request);

} // namespace cli
