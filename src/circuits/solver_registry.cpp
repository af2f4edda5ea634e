// Circuit number -> solver.
#include "circuits/circuit_solvers.h"
#include "solver/solve_command.h"

CircuitSolver circuitSolver(int n) {
    switch (n) {
    case 1:
        return solveC1;
    default:
        return nullptr;
    }
}
