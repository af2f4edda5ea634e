// Cathode followers: C3, C4, C33, C35.
#include "circuits/circuit_solvers.h"

CircuitSolver followerSolvers(int) {
    return nullptr;
}
