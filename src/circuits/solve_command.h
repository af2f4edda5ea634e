// The solve command without its window: validate the sheet, then call the circuit's solver.
#pragma once

#include "solver/solve.h"

#include <functional>
#include <string>
#include <vector>

using CircuitSolver = void (*)(const SolveRequest&, SolveResult&);

// The solver of circuit n (its registry entry's solve function), nullptr for a number that is no circuit.
CircuitSolver circuitSolver(int n);

struct SolveOutcome {
    bool solved = false;               // false: refused, nothing computed
    std::vector<std::string> messages; // validation messages (each shown followed by an empty line)
    SolveResult result;
};

// Validates the request's sheet and, when it passes, calls beforeSolve (where the host stores the
// sheet and logs the action) and runs the solver of its circuit.
SolveOutcome solveCommand(const SolveRequest& request, const std::function<void()>& beforeSolve = {});
