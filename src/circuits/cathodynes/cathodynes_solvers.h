// Private to the cathodyne family: the solvers of C2, C5 and C28 and the report helper they share.
#pragma once

#include "solver/solve.h"

#include <string>

void solveC2(const SolveRequest& request, SolveResult& result);
void solveC5(const SolveRequest& request, SolveResult& result);
void solveC28(const SolveRequest& request, SolveResult& result);
