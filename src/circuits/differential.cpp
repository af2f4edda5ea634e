// Differential stages: C7, C10, C15, C23.
#include "circuits/circuit_solvers.h"

CircuitSolver differentialSolvers(int) {
    return nullptr;
}
