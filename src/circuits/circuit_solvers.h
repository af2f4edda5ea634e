// The circuit solvers, one function per circuit, grouped in one file per family.
#pragma once

#include "solver/solve_command.h"

void solveC1(const SolveRequest& request, SolveResult& result);

// Each family answers with the solver of one of its circuits, nullptr for any other number.
CircuitSolver cathodyneSolvers(int n);    // C2, C5, C28
CircuitSolver followerSolvers(int n);     // C3, C4, C33, C35
CircuitSolver cascodeSrppSolvers(int n);  // C6, C8, C21, C22, C24, C30, C31, C34
CircuitSolver differentialSolvers(int n); // C7, C10, C15, C23
CircuitSolver regulatorSolvers(int n);    // C16, C17, C18, C25, C27
CircuitSolver dcCoupledSolvers(int n);    // C9, C13, C14, C19, C20, C26, C29, C32, C36
CircuitSolver mixerSolvers(int n);        // C11, C12
CircuitSolver powerSolvers(int n);        // C37 .. C42
