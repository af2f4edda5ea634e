// The single-ended and push-pull swing analyses of the power stages.
#include "power/power_analysis.h"

#include "power/cycle_runner.h"
#include "power/point_search.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

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
    int count = 0;
    while (count < cycles && count < std::fabs(Vgk))
        ++count;
    CycleRun run = runCycles(count, [&]() -> CycleFunction {
        auto points = std::make_shared<SingleEndedPoints>(tube, n, Vs, Ia0, Va0, Z);
        auto t = std::make_shared<TTube>(tube);
        return [=](int r) {
            CycleOutcome o;
            TRecCycle& c = o.cycle;
            c.PointsOper.resize(kPointsPerCycle);
            points->startCycle();
            for (int i = 0; i < kPointsPerCycle; ++i) {
                TPointOper& p = c.PointsOper[i];
                const double s = quarterSine(i);
                p.swing = r * s;
                p.vg1 = Vgk + r * s;
                const SingleEndedPoints::Result p1 = points->solve(*t, 0, p.vg1);
                p.va1 = p1.va, p.ia1 = p1.ia, p.ie1 = p1.ie, p.iter1 = p1.iterations;
                p.vg2 = Vgk - r * s;
                const SingleEndedPoints::Result p2 = points->solve(*t, 1, p.vg2);
                p.va2 = p2.va, p.ia2 = p2.ia, p.ie2 = p2.ie, p.iter2 = p2.iterations;
            }
            cycleTotals(c, StageKind::SingleEnded, Yt, Ia0, Va0, Vb);
            return o;
        };
    });
    d.cycles = std::move(run.cycles);
    d.cut = run.cut;
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
    const double Va0 = tube.Vak();
    CycleRun run = runCycles(std::max(m, 0), [&]() -> CycleFunction {
        auto points = std::make_shared<PushPullPoints>(tube, n, adv, mode.R, Ia0, Vak0, Vek, Zaa);
        auto t1 = std::make_shared<TTube>(tube), t2 = std::make_shared<TTube>(tube);
        return [=](int index) {
            const int k = index + 1;
            CycleOutcome o;
            TRecCycle& c = o.cycle;
            c.PointsOper.resize(kPointsPerCycle);
            double lo = 0.95 * Vak0, hi = Vak0;
            for (int i = 0; i < kPointsPerCycle; ++i) {
                TPointOper& p = c.PointsOper[i];
                const double s = quarterSine(i);
                p.vg1 = Vgk + (k / 2.0) * s;
                p.vg2 = Vgk - (k / 2.0) * s;
                if (!points->solve(*t1, *t2, p, lo, hi))
                    o.converged = false;
                p.swing = -k * s;
                p.ie1 = p.ie2 = Ie0;
                lo = std::max(lo - 5, 0.0);
            }
            cycleTotals(c, StageKind::PushPull, Yt, Ia0, Va0, Vak0);
            return o;
        };
    });
    d.cycles = std::move(run.cycles);
    d.cut = run.cut;
    d.converged = run.converged;

    if (mode.R < 0.2)
        d.caption = strFormat("Bias mode %.0f%% (%s), theoretical power class B: %.0fW", 100 * mode.R,
                              d.className.c_str(), mode.PB);
    else
        d.caption = strFormat("Bias mode %.0f%% (%s), theoretical power class A: %.0fW", 100 * mode.R,
                              d.className.c_str(), mode.PA);
    return d;
}
