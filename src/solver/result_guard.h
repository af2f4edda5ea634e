// The last guard of a solve: a result whose numbers or texts still hold NaN or an infinity is never
// shown; it becomes a report with one verdict line and no figure.
#pragma once

#include "solver/solve.h"

#include <string>

// The verdict line of a result refused for a non-finite figure.
extern const char* const kNonFiniteVerdict;

// True when every number the hosts show or write is finite: the tubes' operating points and
// small-signal parameters, the stacked voltages, the Bode curves, corners and table, the power
// cycles and theoretical powers, the load-line axes and the convergence traces.
bool resultNumbersFinite(const SolveResult& result);

// Replaces the result by its title and a DC report of the heading and the red verdict lines
// "No convergence !" and kNonFiniteVerdict: no labels, grid row, stacks, load lines, Bode data,
// power cycles, traces or messages; ok is false.
void refuseNonFiniteResult(SolveResult& result);
