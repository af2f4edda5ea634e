// DC-coupled and multi-stage amplifiers: C9, C13, C14, C19, C20, C26, C29, C32, C36.
#include "circuits/circuit_solvers.h"

CircuitSolver dcCoupledSolvers(int) {
    return nullptr;
}
