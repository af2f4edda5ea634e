// Mixers: C11, C12.
#include "circuits/circuit_solvers.h"

CircuitSolver mixerSolvers(int) {
    return nullptr;
}
