// Circuit entries by number, from the registry table.
#include "circuits/registry.h"
#include "circuits/catalogue.h"
#include "circuits/solve_command.h"

#include <stdexcept>
#include <string>

const CircuitInfo& circuitInfo(int n) {
    if (n < 1 || n > kCircuitCount)
        throw std::out_of_range("circuit number " + std::to_string(n) + " is not 1 to " +
                                std::to_string(kCircuitCount));
    const CircuitDef& def = registry_detail::kCircuits[n - 1]();
    if (def.number != n)
        throw std::logic_error("registry line " + std::to_string(n) + " holds C" +
                               std::to_string(def.number));
    return def;
}

CircuitSolver circuitSolver(int n) {
    return n >= 1 && n <= kCircuitCount ? circuitInfo(n).solve : nullptr;
}
