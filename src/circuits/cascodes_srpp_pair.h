// Private to the cascode and SRPP solvers: the operating point of two triodes in series whose
// cathode-resistor drops are computed from the current the tubes actually carry.
#pragma once

#include "model/tube.h"

namespace cascodes {

// T1 (lower) with its grid at 0 V and cathode resistor Rk; T2 (upper) with its grid held at Vg2
// (its grid-cathode voltage clamped to 0), a resistance `lead` between its cathode and T1's anode
// (its drop biases T2) and a resistance a between its anode and the supply.
// Bisects the middle node (T1's anode, T2's cathode) until both tubes agree within 1 µA; returns
// the number of passes (maxIter when they never agreed). The tubes keep their solved points.
int stackedPairFixedGrid(TTube& T1, TTube& T2, int maxIter, double Vb, double Vg2, double lead, double Rk,
                         double a, TFormConvergence* window1 = nullptr, TFormConvergence* window2 = nullptr);

// As above with T2 self-biased by its cathode resistor b (grid on T1's anode) and a further
// resistance a in series with it.
int stackedPairSelfBiased(TTube& T1, TTube& T2, int maxIter, double Vb, double Rk, double b, double a,
                          TFormConvergence* window1 = nullptr, TFormConvergence* window2 = nullptr);

} // namespace cascodes
