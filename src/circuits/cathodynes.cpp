// Cathodyne phase inverters: C2, C5, C28.
#include "circuits/circuit_solvers.h"

CircuitSolver cathodyneSolvers(int) {
    return nullptr;
}
