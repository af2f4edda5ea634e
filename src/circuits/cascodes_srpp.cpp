// Cascodes and SRPP stages: C6, C8, C21, C22, C24, C30, C31, C34.
#include "circuits/circuit_solvers.h"

CircuitSolver cascodeSrppSolvers(int) {
    return nullptr;
}
