// Private pieces of the cathode-follower solvers (C3, C4, C33, C35): the solvers themselves and
// the helpers they share.
#pragma once

#include "circuits/solver_common.h"
#include "model/tube.h"
#include "solver/solve.h"

#include <string>

void solveC3(const SolveRequest& request, SolveResult& result);
void solveC4(const SolveRequest& request, SolveResult& result);
void solveC33(const SolveRequest& request, SolveResult& result);
void solveC35(const SolveRequest& request, SolveResult& result);

// Small-signal figures of the White cathode follower (C33): T1 lower, T2 upper; Ra is T2's anode
// resistor, Rg the grid resistor of T1 (the pair Ra ∥ Rg couples T2's anode to T1's grid), Ro the
// load. Computes both tubes' parameters at their operating points and writes the report block.
struct WhiteFollowerFigures {
    double gain = 0, anodeGain = 0, zout = 0;
    std::string text;
};
WhiteFollowerFigures whiteFollowerStage(TTube& T1, TTube& T2, double Ra, double Rg, double Ro);

namespace followers {

// The line that replaces the whole report when a resistor the circuit divides by is zero.
inline const char* const kNullResistor = "<css=error>Resistor(s) cannot be null !</css>";

// Caption of a follower's trace: basicFollower leaves it untitled.
void titleFollowerTrace(TFormConvergence* trace, const TTube& T);

} // namespace followers
