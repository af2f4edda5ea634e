// The circuit solvers, one function per circuit, grouped in one file per family.
#pragma once

#include "solver/solve.h"

void solveC1(const SolveRequest& request, SolveResult& result);
