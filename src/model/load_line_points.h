// The curves of the load-line diagrams as points in volts and amperes: the anode curve of a tube at
// one grid voltage, the family of a push-pull stage and the dissipation (Pa max) hyperbola.
#pragma once

#include "model/tube_equations.h"

#include <vector>

struct VIPoint {
    double V = 0; // anode voltage
    double I = 0; // anode current, A
};

// One tube's curve at Vgk by the triode equation (whatever the kind), every 2 V from 0 while the next
// voltage stays below Vmax, the last current below Imax and the next voltage times the last current
// below c.Pamax.
std::vector<VIPoint> loadLineAnodeCurve(const TubeConstants& c, double Vgk, double Imax, double Vmax);

// The curve of n tubes at grid Vgk and screen Vsk by the model's kind, every 2 V from 0: after each
// point the curve ends once the next voltage reaches Vend, the last current reaches Imax or the next
// voltage times the last current reaches Pmax.
std::vector<VIPoint> groupAnodeCurve(const TubeConstants& c, double Vgk, double Vsk, int n, double Vend,
                                     double Imax, double Pmax);

// One curve of a push-pull family: its grid voltage, its points for the n tubes of a side, and where
// its label goes (the voltage after the last point, the last current).
struct FamilyCurve {
    double vgk = 0;
    std::vector<VIPoint> points;
    VIPoint labelAt;
};
// Curves from 2·round(Vgk) up to 0 V every |round(2·Vgk/20)| V (1 V when that is 0), each every 2 V
// from 0 until twice Vb or past n·f·Pamax (f = 1.1 triodes, 1.5 pentodes); none for a grid voltage
// that is not a number.
std::vector<FamilyCurve> pushPullAnodeFamily(const TubeConstants& c, double Vgk, double Vek, int n,
                                             double Vb);

// I = Pamax / V from V = Pamax / Iamax, then every 2 V while V < Vamax; none without both limits.
std::vector<VIPoint> dissipationHyperbola(double Pamax, double Iamax, double Vamax);
