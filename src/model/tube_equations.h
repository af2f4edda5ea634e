// The NK (Koren) triode and pentode equations of one tube model as pure functions of the model's
// constants and the electrode voltages: currents, small-signal parameters and the grid and anode
// searches. TTube is built over them; anything that only evaluates a current calls them directly.
#pragma once

#include "model/tube_params.h"

#include <cmath>

// The constants of a model's equations and its limits, as read from its row.
struct TubeConstants {
    double kp = 0, mu = 0, kvb = 0, ex = 0, kg1 = 0, kg2 = 0;
    double Iamax = 0, Pamax = 0, Vamax = 0, Pemax = 0, Vemax = 0;
    int t35 = 0; // 3 = triode, 5 = pentode or beam tetrode, anything else conducts nothing

    static TubeConstants of(const TubeParams& p) {
        return {p.kp, p.mu, p.kvb, p.ex, p.kg1, p.kg2, p.imax, p.pmax, p.vmax, p.pemax, p.vemax, p.t35};
    }
};

// Anode current of one triode (A); 0 for a model without constants.
double nkTriodeCurrent(const TubeConstants& c, double Vak, double Vgk);

// The pentode anode equation in two factors, for sweeps of the anode at a fixed grid and screen:
// the anode current is nkPentodeAnode(c, nkPentodeGrid(c, Vgk, Vek), Vak).
struct PentodeGrid {
    bool conducts = false;
    double factor = 0; // 2·E1^Ex / Kg1
};
PentodeGrid nkPentodeGrid(const TubeConstants& c, double Vgk, double Vek);
inline double nkPentodeAnode(const TubeConstants& c, const PentodeGrid& grid, double Vak) {
    return grid.conducts ? grid.factor * std::atan(Vak / c.kvb) : 0;
}
double nkPentodeCurrent(const TubeConstants& c, double Vak, double Vgk, double Vek);
// Screen current of one pentode (A).
double nkScreenCurrent(const TubeConstants& c, double Vgk, double Vek);

// Anode current of `parallel` tubes by the model's kind: triode or pentode equation, 0 otherwise.
double nkCurrent(const TubeConstants& c, double Vgk, double Vak, double Vsk, int parallel = 1);

// Whether `parallel` tubes at (Vak, Vgk, Vsk) carry Ia to within 10 µA.
bool nkCarries(const TubeConstants& c, double Vak, double Vgk, double Ia, double Vsk, int parallel = 1);

// Small-signal parameters at an operating point, from centred differences of the kind's equation
// (±0.1 V on the anode, ±0.05 V on the grid); ρ reads as an open circuit (1e12 Ω) where the
// characteristic is flat.
struct SmallSignal {
    double rho = 0, gm = 0, mu = 0;
};
SmallSignal nkSmallSignal(const TubeConstants& c, double Vak, double Vgk, double Vek);

// Triode gm and ρ from one-sided differences (-0.01 V on the grid, +0.1 V on the anode).
double nkTriodeGm(const TubeConstants& c, double Vak, double Vgk);
double nkTriodeRo(const TubeConstants& c, double Vak, double Vgk);

// The same by the model's kind at (Va, Vg, Vs); ρ is 0 where the two currents are equal.
double nkGm(const TubeConstants& c, double Va, double Vg, double Vs);
double nkRo(const TubeConstants& c, double Va, double Vg, double Vs);

// The searches below report, in *lastProbe when given, the last voltage at which they evaluated the
// equation (a grid voltage, or for nkWhichVa an anode voltage).

// The grid voltage at which the tube carries Ia at (Va, Vs): 0 when Ia is above the zero-grid
// current, otherwise a bisection to within 1 µA (bounded).
double nkWhichVg(const TubeConstants& c, double Ia, double Va, double Vs, double* lastProbe = nullptr);
// The same by 1 mV steps down from vgstart until the current falls to Ia; 1 when Ia is above the
// current at vgstart.
double nkWhichVgOld(const TubeConstants& c, double Ia, double Va, double Vs, double vgstart,
                    double* lastProbe = nullptr);
// The anode voltage at which the tube carries Ia at grid Vg, by half-percent steps from Vamax/2.
double nkWhichVa(const TubeConstants& c, double Ia, double Vg, double Vs, double* lastProbe = nullptr);

// The zero-grid point on the load line from Vb through sumR: a damped search of the current at which
// the triode at Vgk = 0 carries what the line allows. Returns whether it converged.
bool nkLoadLineNullVgk(const TubeConstants& c, double Vb, double sumR, double& Vakmin, double& Iamax);
