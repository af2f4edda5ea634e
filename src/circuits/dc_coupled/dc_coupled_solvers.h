// Private pieces of the DC-coupled and multi-stage amplifier solvers (C9, C13, C14, C19, C20, C26,
// C29, C32, C36): the solvers themselves and the small helpers they share.
#pragma once

#include "circuits/solver_common.h"
#include "model/tube.h"
#include "solver/solve.h"

#include <cstdint>
#include <string>

void solveC9(const SolveRequest& request, SolveResult& result);
void solveC13(const SolveRequest& request, SolveResult& result);
void solveC14(const SolveRequest& request, SolveResult& result);
void solveC19(const SolveRequest& request, SolveResult& result);
void solveC20(const SolveRequest& request, SolveResult& result);
void solveC26(const SolveRequest& request, SolveResult& result);
void solveC29(const SolveRequest& request, SolveResult& result);
void solveC32(const SolveRequest& request, SolveResult& result);
void solveC36(const SolveRequest& request, SolveResult& result);

namespace dc_coupled {

// A triode whose grid sits at the DC voltage Vg above a cathode resistor Rk (the second stage of a
// direct-coupled pair). The split-load bias solver finds the point; its diagnostic goes to the
// dialogs. When it rejects the circuit before searching (or Rk is 0) the grid drives the tube to
// the grid-current limit: the point is then the one at Vgk = 0 on the load line Ra + Rk, so the
// report shows what the tube can deliver and its verdicts fail. Returns whether a regular point was
// found.
bool solveFixedGridStage(TTube& T, double Vb, double Vg, double Ra, double Rk, TFormConvergence* trace,
                         SolveResult& result);

} // namespace dc_coupled
