// What the cathode followers share: the report that replaces a solve when a resistor the circuit
// divides by is zero, the caption of a follower's trace and the pass bound of the stacked pairs.
#pragma once

#include "circuits/grid_row.h"
#include "circuits/solver_common.h"
#include "model/tube.h"

namespace followers {

// The line that replaces the whole report when a resistor the circuit divides by is zero.
inline const char* const kNullResistor = "<css=error>Resistor(s) cannot be null !</css>";

// Passes the stacked pairs (C33, C35) give pairBiasFixedGrid.
inline constexpr int kPairIterations = 1000;

// Caption of a follower's trace: basicFollower leaves it untitled.
void titleFollowerTrace(TFormConvergence* trace, const TTube& T);

} // namespace followers
