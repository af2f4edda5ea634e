// Circuit number -> solver.
#include "circuits/circuit_solvers.h"
#include "solver/solve_command.h"

CircuitSolver circuitSolver(int n) {
    if (n == 1)
        return solveC1;
    for (auto family : {cathodyneSolvers, followerSolvers, cascodeSrppSolvers, differentialSolvers,
                        regulatorSolvers, dcCoupledSolvers, mixerSolvers, powerSolvers})
        if (CircuitSolver s = family(n))
            return s;
    return nullptr;
}
