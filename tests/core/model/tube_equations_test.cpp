// The pure NK equation functions against TTube, whose methods are built over them, and the points of
// the load-line curves and of the dissipation hyperbola.
#include "builtin_tubes.h"
#include "model/load_line_points.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {
bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TTube modelTube(const std::string& name) {
    return name.empty() ? TTube(unknownModel("nothing"), "T1") : builtinTube(name);
}
} // namespace

// A TTube evaluates exactly what the pure functions give, whatever it evaluated before; the pure
// functions give the same whatever state a tube holds.
TEST(TubeEquations, TubeMethodsMatchThePureFunctionsBitForBit) {
    const struct {
        const char* model;
        double Va, Vg, Vs;
        int parallel;
    } rows[] = {
        {"ECC83 / 12AX7", 250, -2, 0, 1}, {"ECC82 / 12AU7", 180, -8, 0, 3}, {"300B", 400, -80, 0, 2},
        {"EL34", 300, -20, 250, 1},       {"EL84", 250, -7, 250, 2},        {"", 250, -2, 100, 1},
        {"ECC83 / 12AX7", 0, 0, 0, 1},    {"EL34", 2, -60, 300, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.model) + " at " + std::to_string(r.Va));
        TTube t = modelTube(r.model);
        const TubeConstants& c = t.constants();
        t.current(-1, 100, 50); // an earlier operating point must not matter
        EXPECT_TRUE(
            sameBits(t.current(r.Vg, r.Va, r.Vs, r.parallel), nkCurrent(c, r.Vg, r.Va, r.Vs, r.parallel)));
        EXPECT_TRUE(nkCarries(c, r.Va, r.Vg, t.Ia(), r.Vs, r.parallel));

        const double ia = t.Ia(), ie = t.Ie();
        t.calculerParamètresIntrinsèques();
        const SmallSignal s = nkSmallSignal(c, r.Va, r.Vg, r.Vs);
        EXPECT_TRUE(sameBits(t.ρ(), s.rho) && sameBits(t.gm(), s.gm) && sameBits(t.µ(), s.mu));
        EXPECT_TRUE(sameBits(t.getRo(), nkTriodeRo(c, r.Va, r.Vg)));
        EXPECT_TRUE(sameBits(t.getGm(), nkTriodeGm(c, r.Va, r.Vg)));
        // Reading the parameters leaves the operating point as it was (a model of no kind never has one).
        EXPECT_TRUE(sameBits(t.Ia(), ia) && sameBits(t.Ie(), ie));
        if (t.t35() != 0) {
            EXPECT_TRUE(t.Vak() == r.Va && t.Vgk() == r.Vg);
        }

        EXPECT_TRUE(sameBits(t.getGm(r.Va, r.Vg, r.Vs), nkGm(c, r.Va, r.Vg, r.Vs)));
        EXPECT_TRUE(sameBits(t.getRo(r.Va, r.Vg, r.Vs), nkRo(c, r.Va, r.Vg, r.Vs)));
        if (t.t35() == 5) {
            EXPECT_TRUE(sameBits(t.CalculerEcranPentode(r.Vg, r.Vs), nkScreenCurrent(c, r.Vg, r.Vs)));
            EXPECT_TRUE(sameBits(t.pentodeAnode(t.pentodeGrid(r.Vg, r.Vs), r.Va),
                                 nkPentodeCurrent(c, r.Va, r.Vg, r.Vs)));
        }
    }
}

// The searches on a tube answer as the pure searches do and leave the tube at the operating point of
// their last evaluation, so a caller reading Ia() afterwards reads a current the tube carries.
TEST(TubeEquations, SearchesLeaveTheTubeAtTheirLastEvaluation) {
    const struct {
        const char* model;
        double target, Va, Vs;
    } rows[] = {{"ECC83 / 12AX7", 1e-3, 250, 0}, {"EL34", 0.05, 250, 250}, {"ECC83 / 12AX7", 0.02, 250, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.model);
        TTube t = builtinTube(r.model);
        const TubeConstants& c = t.constants();
        double probe = NAN;
        const double vg = t.whichVg(r.target, r.Va, r.Vs);
        EXPECT_TRUE(sameBits(vg, nkWhichVg(c, r.target, r.Va, r.Vs, &probe)));
        EXPECT_EQ(t.Vgk(), probe);
        EXPECT_TRUE(sameBits(t.Ia(), nkCurrent(c, probe, r.Va, r.Vs)));

        const double va = t.whichVa(r.target, -1, r.Vs);
        EXPECT_TRUE(sameBits(va, nkWhichVa(c, r.target, -1, r.Vs, &probe)));
        EXPECT_EQ(t.Vak(), probe);
        EXPECT_TRUE(sameBits(t.Ia(), nkCurrent(c, -1, probe, r.Vs)));
    }
    TTube t = builtinTube("ECC83 / 12AX7");
    double vmin = 0, imax = 0, vminPure = 0, imaxPure = 0;
    EXPECT_EQ(t.LoadLineNullVgk(250, 100e3, vmin, imax),
              nkLoadLineNullVgk(t.constants(), 250, 100e3, vminPure, imaxPure));
    EXPECT_TRUE(sameBits(vmin, vminPure) && sameBits(imax, imaxPure));
    EXPECT_TRUE(t.Vak() == vmin && t.Vgk() == 0 && sameBits(t.Ia(), imax));
}

namespace {
// The zero-grid load-line search as written plainly: every pass evaluates the full triode equation,
// and no pass is skipped.
bool plainLoadLineNullVgk(const TubeConstants& c, double Vb, double sumR, double& Vakmin, double& Iamax) {
    double I = Vb / sumR / 2;
    for (int pass = 0; pass < 1999; ++pass) {
        Vakmin = Vb - sumR * I;
        if (Vakmin < 0)
            Vakmin = 1;
        Iamax = nkTriodeCurrent(c, Vakmin, 0);
        const double d = Iamax - I;
        if (std::fabs(d) < 1e-5)
            return true;
        I += d / 20;
    }
    return false;
}
} // namespace

// The search takes the zero-grid softplus once and leaves out the passes of a settled alternation;
// it must end where the plain search ends, on every model, load and supply, including the odd ones:
// a model whose anode term vanishes at 0 V (kvb 0, 0/0 in the exponent) or has no root (kvb < 0), an
// infinite mu, no constants.
TEST(TubeEquations, LoadLineSearchEndsWhereThePlainSearchEnds) {
    std::vector<TubeConstants> models;
    for (const auto& p : builtinModels())
        models.push_back(TubeConstants::of(p));
    TubeConstants noKvb = models.front();
    noKvb.kvb = 0;
    TubeConstants negativeKvb = models.front(); // a damaged row: no root below 100 V
    negativeKvb.kvb = -1e4;
    TubeConstants infiniteMu = models.front();
    infiniteMu.mu = INFINITY;
    models.insert(models.end(), {noKvb, negativeKvb, infiniteMu, TubeConstants{}});
    int swinging = 0;
    for (const TubeConstants& c : models)
        for (const double Vb : {0.0, 1.0, 90.0, 250.0, 450.0, 1e6})
            for (const double sumR : {1.0, 1e3, 47e3, 220e3, 2.2e6}) {
                double v = 0, i = 0, vPlain = 0, iPlain = 0;
                const bool found = nkLoadLineNullVgk(c, Vb, sumR, v, i);
                const bool foundPlain = plainLoadLineNullVgk(c, Vb, sumR, vPlain, iPlain);
                swinging += !foundPlain;
                SCOPED_TRACE("kp " + std::to_string(c.kp) + " Vb " + std::to_string(Vb) + " R " +
                             std::to_string(sumR));
                EXPECT_EQ(found, foundPlain);
                EXPECT_TRUE(sameBits(v, vPlain) && sameBits(i, iPlain))
                    << v << " " << vPlain << " " << i << " " << iPlain;
            }
    EXPECT_GT(swinging, 0); // the table reaches searches that never settle
}

TEST(LoadLinePoints, AnodeCurveStopsAtTheFirstLimit) {
    const TubeConstants c = builtinTube("ECC83 / 12AX7").constants();
    const auto pts = loadLineAnodeCurve(c, -1, 0.002, 250);
    ASSERT_GT(pts.size(), 2u);
    EXPECT_DOUBLE_EQ(pts[0].V, 0);
    for (std::size_t i = 1; i < pts.size(); ++i)
        EXPECT_DOUBLE_EQ(pts[i].V - pts[i - 1].V, 2);
    const VIPoint last = pts.back();
    // Either the next step would reach Vmax, or the current or the dissipation passed its limit.
    EXPECT_TRUE(last.V + 2 >= 250 || last.I >= 0.002 || (last.V + 2) * last.I >= c.Pamax);
    for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        EXPECT_LT(pts[i].I, 0.002);

    const auto hyperbola = dissipationHyperbola(1, 0.008, 350);
    ASSERT_FALSE(hyperbola.empty());
    EXPECT_DOUBLE_EQ(hyperbola.front().V, 125);
    EXPECT_DOUBLE_EQ(hyperbola.back().V, 349);
    EXPECT_DOUBLE_EQ(hyperbola.back().I, 1.0 / 349);
    EXPECT_EQ(dissipationHyperbola(1, 0.001, 350).size(), 1u); // Pamax/Iamax beyond Vamax
    EXPECT_TRUE(dissipationHyperbola(1, 0, 350).empty());
}

// The curve of a group of tubes ends on whichever bound it meets first: the voltage, the current or
// the dissipation; a model that conducts nothing runs to the voltage bound.
TEST(LoadLinePoints, GroupCurveEndsOnItsFirstBound) {
    const TubeConstants el34 = builtinTube("EL34").constants();
    const TubeConstants none = TTube(unknownModel("nothing"), "T1").constants();
    const struct {
        const char* name;
        const TubeConstants& c;
        double Vgk;
        int n;
        double Vend, Imax, Pmax;
        double lastV;
    } rows[] = {
        {"voltage", el34, -30, 2, 40, 10, 1e3, 38},
        {"nothing conducts", none, 0, 1, 100, 1, 1, 98},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const auto pts = groupAnodeCurve(r.c, r.Vgk, 300, r.n, r.Vend, r.Imax, r.Pmax);
        ASSERT_FALSE(pts.empty());
        EXPECT_DOUBLE_EQ(pts.back().V, r.lastV);
        for (const VIPoint& p : pts)
            EXPECT_DOUBLE_EQ(p.I, nkCurrent(r.c, r.Vgk, p.V, 300, r.n));
    }
    // Current and dissipation bounds: the last point is the first past them.
    for (const bool byPower : {false, true}) {
        const double Imax = byPower ? 10 : 0.2, Pmax = byPower ? 30 : 1e6;
        const auto pts = groupAnodeCurve(el34, 0, 300, 1, 800, Imax, Pmax);
        ASSERT_GT(pts.size(), 1u);
        const VIPoint last = pts.back(), before = pts[pts.size() - 2];
        if (byPower) {
            EXPECT_TRUE((last.V + 2) * last.I >= Pmax && (before.V + 2) * before.I < Pmax);
        } else {
            EXPECT_TRUE(last.I >= Imax && before.I < Imax);
        }
    }
}
