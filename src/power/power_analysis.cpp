// The single-ended and push-pull swing analyses of the power stages.
#include "power/power_analysis.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

struct PointResult {
    double va = 0, ia = 0, ie = 0;
    int iterations = 257;
};

// Single-ended point: bisection on the total current I in [0, 13·Ia0] until the n tubes at grid vg
// and anode Va0 + (Ia0 − I)·Z carry I. Once the interval can no longer be halved the midpoint stops
// moving and further halvings would repeat the same values, so the search ends there (still
// counted as not converged).
PointResult solvePoint(TTube& t, int n, double vg, double Vs, double Ia0, double Va0, double Z) {
    PointResult p;
    double lo = 0, hi = 13 * Ia0;
    double previous = NAN;
    for (int halving = 1; halving <= 256; ++halving) {
        const double I = (lo + hi) / 2;
        if (I == previous)
            break;
        previous = I;
        p.va = Va0 + (Ia0 - I) * Z;
        if (p.va < 10)
            p.va = 10;
        p.ia = t.current(vg, p.va, Vs, n);
        p.ie = t.t35() == 5 ? t.Ie() : 0;
        if (p.ia > I + 0.0001)
            lo = I;
        else if (p.ia < I - 0.0001)
            hi = I;
        else {
            p.iterations = halving;
            break;
        }
    }
    return p;
}

PowerData baseData(StageKind kind, const TTube& tube, int n, double Yt) {
    PowerData d;
    d.pushPull = kind == StageKind::PushPull;
    d.n = n;
    d.tube = tube;
    d.Yt = Yt;
    return d;
}

} // namespace

PowerData calculSE(const TTube& tube, int n, double Ia0, double Yt, double Rk, double Ra, double Rp,
                   double Vgk, double Vb, PowerSummary* summary) {
    (void)Rk; // the cathode is taken as decoupled
    n = std::max(n, 1);
    PowerData d = baseData(StageKind::SingleEnded, tube, n, Yt);
    TTube t = tube;
    const double Vs = tube.Vek();
    const double Va0 = tube.Vak();
    const double Z = Ra + Rp;
    d.Ia0 = Ia0;
    d.Va0 = Va0;
    d.Vgk = Vgk;
    d.Vek = Vs;
    d.Ie0 = tube.t35() == 5 ? tube.Ie() : 0;
    d.load = Ra;
    d.Rdc = Rp + Rk;
    d.Vb = Vb;

    // One cycle per volt while the swing stays below the bias magnitude (a grid biased positive,
    // flagged "Vgk > 0" by the solver, is still swung over its magnitude). A stage that carries no
    // current at rest (or a negative one, which only a model driven far outside its range gives)
    // has no load line to swing along: no cycle.
    const int cycles = Ia0 > 0 && std::isfinite(Ia0) ? kMaxSwingCycles : 0;
    for (int r = 0; r < cycles && r < std::fabs(Vgk); ++r) {
        TRecCycle c;
        c.PointsOper.resize(kPointsPerCycle);
        for (int i = 0; i < kPointsPerCycle; ++i) {
            TPointOper& p = c.PointsOper[i];
            const double s = quarterSine(i);
            p.swing = r * s;
            p.vg1 = Vgk + r * s;
            const PointResult p1 = solvePoint(t, n, p.vg1, Vs, Ia0, Va0, Z);
            p.va1 = p1.va, p.ia1 = p1.ia, p.ie1 = p1.ie, p.iter1 = p1.iterations;
            p.vg2 = Vgk - r * s;
            const PointResult p2 = solvePoint(t, n, p.vg2, Vs, Ia0, Va0, Z);
            p.va2 = p2.va, p.ia2 = p2.ia, p.ie2 = p2.ie, p.iter2 = p2.iterations;
        }
        d.cycles.push_back(std::move(c));
    }
    for (TRecCycle& c : d.cycles)
        cycleTotals(c, StageKind::SingleEnded, Yt, Ia0, Va0, Vb);
    if (summary) {
        *summary = PowerSummary{};
        if (!d.cycles.empty()) {
            const TRecCycle& last = d.cycles.back();
            *summary = PowerSummary{last.swing, last.Psec, last.Imoy, last.Y};
        }
    }
    return d;
}

PowerData calculPP(const TTube& tube, int n, PushPullBias bias, const AdvancedPowerParams& adv, double Yt,
                   double Rk, double Zaa, double Vek, double Vgk, double Vb) {
    (void)Rk;
    n = std::max(n, 1);
    PowerData d = baseData(StageKind::PushPull, tube, n, Yt);
    if (bias == PushPullBias::SelfBiased) {
        Vgk = tube.Vgk();
        Vb += Vgk;
        Vek += Vgk;
    }
    const double Vak0 = Vb;
    TTube t1 = tube, t2 = tube;
    const double Ia0 = tube.Ia();
    const double Ie0 = tube.t35() == 5 ? tube.Ie() : 0;
    const BiasMode mode = biasModePP(tube, n, Zaa, Ia0, Vak0);

    d.Ia0 = Ia0;
    d.Va0 = tube.Vak();
    d.Vgk = Vgk;
    d.Vek = Vek;
    d.Ie0 = Ie0;
    d.load = Zaa;
    d.Vb = Vak0;
    d.biasMode = mode.R;
    d.className = biasClassName(mode.R);
    d.PA = mode.PA;
    d.PB = mode.PB;

    // Cycle k swings the grids by ±k/2 V; a bias of less than 2 V leaves none.
    const double depth = std::isfinite(Vgk) ? std::clamp(-Vgk, -1.0, kMaxPushPullCycles / 2.0 + 1) : 0;
    const int m = std::min(2 * (static_cast<int>(std::trunc(depth)) - 1), kMaxPushPullCycles);
    for (int k = 1; k <= m; ++k) {
        TRecCycle c;
        c.PointsOper.resize(kPointsPerCycle);
        double lo = 0.95 * Vak0, hi = Vak0;
        for (int i = 0; i < kPointsPerCycle; ++i) {
            TPointOper& p = c.PointsOper[i];
            const double s = quarterSine(i);
            p.vg1 = Vgk + (k / 2.0) * s;
            p.vg2 = Vgk - (k / 2.0) * s;
            for (int pass = 1;; ++pass) {
                p.va1 = (lo + hi) / 2;
                p.va2 = 2 * Vak0 - p.va1;
                p.ia2 = t2.current(p.vg2, p.va2, Vek, n);
                if (p.ia2 > Ia0)
                    p.ia2 = Ia0 - 1e-6;
                p.ia1 = t1.current(p.vg1, p.va1, Vek, n);
                const double L = loadFunction(adv.fonction, adv.kzb, adv.kza, mode.R, Ia0, p.ia1, Zaa);
                double T = adv.fonction == LoadFunction::f4Half ? Vak0 - 0.5 * L * (p.ia1 - p.ia2)
                                                                : Vak0 - (p.ia1 - p.ia2) * L;
                if (p.va1 > T + 2)
                    T = p.va1 - 2;
                if (T < 0)
                    T = 0;
                const double delta = T - p.va1;
                if (delta > 0.2)
                    lo += 0.2;
                else if (delta < -0.2)
                    hi -= 0.2;
                if (std::fabs(delta) <= 0.2 || hi <= lo + 0.2 || lo < 0)
                    break;
                if (pass >= kPushPullPassLimit || !std::isfinite(delta)) {
                    d.converged = false;
                    break;
                }
            }
            p.swing = -k * s;
            p.ie1 = p.ie2 = Ie0;
            lo = std::max(lo - 5, 0.0);
        }
        d.cycles.push_back(std::move(c));
    }
    for (TRecCycle& c : d.cycles)
        cycleTotals(c, StageKind::PushPull, Yt, Ia0, tube.Vak(), Vak0);

    if (mode.R < 0.2)
        d.caption = strFormat("Bias mode %.0f%% (%s), theoretical power class B: %.0fW", 100 * mode.R,
                              d.className.c_str(), mode.PB);
    else
        d.caption = strFormat("Bias mode %.0f%% (%s), theoretical power class A: %.0fW", 100 * mode.R,
                              d.className.c_str(), mode.PA);
    return d;
}
