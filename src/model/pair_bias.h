// Bias solvers for two triodes stacked in series: a lower tube T1 with its grid at 0 V DC and
// cathode resistor Rk, and an upper tube T2 carrying the same current, sitting on T1's anode (the
// middle node Vm). Both bisect Vm over [0, Vb]; at each Vm each tube runs at the current it carries
// with its bias and series drops taken at that same current, so the branch always adds up to the
// supply. They return the number of passes (maxIter when the tubes never agreed within 1 µA, or
// within 1 % of a current below 100 µA) and leave each tube evaluated at its solved point.
#pragma once

#include "model/tube.h"

// T2's grid held at Vg2 (its grid-cathode voltage clamped to 0); a and b lie between the supply
// and T2's anode (only a + b matters).
int pairBiasFixedGrid(TTube& T1, TTube& T2, int maxIter, double Vb, double Vg2, double b, double Rk, double a,
                      TFormConvergence* window1 = nullptr, TFormConvergence* window2 = nullptr);

// As pairBiasFixedGrid with a resistance `lead` between T2's cathode and the middle node, whose drop
// adds to T2's bias, and a between T2's anode and the supply.
int pairBiasFixedGridLead(TTube& T1, TTube& T2, int maxIter, double Vb, double Vg2, double lead, double Rk,
                          double a, TFormConvergence* window1 = nullptr, TFormConvergence* window2 = nullptr);

// T2 self-biased by its cathode resistor b (grid on the middle node); a is a further resistance in
// series with T2 that lowers its anode-cathode voltage without biasing its grid (0 when absent).
int pairBiasSelfBiased(TTube& T1, TTube& T2, int maxIter, double Vb, double Rk, double b, double a,
                       TFormConvergence* window1 = nullptr, TFormConvergence* window2 = nullptr);
