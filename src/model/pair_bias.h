// Bias solvers for two triodes stacked in series: a lower tube T1 with its grid at 0 V DC and an
// upper tube T2 carrying the same current, sitting on T1's anode.
#pragma once

#include "model/tube.h"

// T2's grid held at Vg2; a and b lie between the supply and T2's anode (only a + b matters).
int pairBiasFixedGrid(TTube& T1, TTube& T2, int maxIter, double Vb, double Vg2, double b, double Rk, double a,
                      TFormConvergence* window1 = nullptr, TFormConvergence* window2 = nullptr);

// T2 self-biased by its cathode resistor b; a is a further series resistance in T2's anode.
int pairBiasSelfBiased(TTube& T1, TTube& T2, int maxIter, double Vb, double Rk, double b, double a,
                       TFormConvergence* window1 = nullptr, TFormConvergence* window2 = nullptr);
