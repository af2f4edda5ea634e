// Two-port kinds: construction, node capacitances, gains and input impedances at one frequency.
#include "approx.h"
#include "builtin_tubes.h"
#include "frequency/impedance.h"
#include "frequency/quadripole.h"

#include <cmath>
#include <limits>

namespace {

constexpr double pF = 1e-12;
const double kOpen = std::numeric_limits<double>::infinity();

// An ECC83 biased at 250 V, -2 V with its small-signal parameters computed there.
struct Gains {
    double g0 = 0, g1 = 0;
};

Gains evaluate(TQuadripole& q, std::vector<double> parms) {
    Gains g;
    q.getVarGains(parms, g.g0, g.g1);
    return g;
}

} // namespace

TEST(Quadripole, OutputLoadReference) {
    TQuadripole q(tqpOutputLoad, nullptr, {}, {0, 100e-9, 100e3, 10 * pF, 1 * pF}, {false});
    const Gains g = evaluate(q, {1000});
    EXPECT_NEAR(g.g0, 0.98433, 0.000005);
    EXPECT_NEAR(q.ZinQPMémorisé(), 101588.7, 0.05);
    EXPECT_EQ(q.Zi(), q.ZinQPMémorisé());
    EXPECT_EQ(q.Av0(), g.g0);
    EXPECT_EQ(q.GainQPMémorisé(), g.g0);
    // Far below the coupling corner the gain falls towards 0.
    EXPECT_LT(evaluate(q, {0.01}).g0, 1e-3);
    // Far above, Co + Cpou short the load: with a source resistance the gain falls, without
    // one the ideal source keeps driving it.
    EXPECT_REL(evaluate(q, {1e9}).g0, 1.0, 1e-3);
    TQuadripole fed(tqpOutputLoad, nullptr, {}, {10e3, 100e-9, 100e3, 10 * pF, 1 * pF}, {false});
    EXPECT_LT(evaluate(fed, {1e9}).g0, 0.01);
}

TEST(Quadripole, TypeTextsOutputsAndTubeHolding) {
    const TTube t = biasedEcc83();
    struct Row {
        TTypeQuadripole kind;
        const char* text;
        int outputs;
        bool holdsTube;
    };
    const Row rows[] = {
        {tqpInputGrid, "RC-in", 1, false},           {tqpOutputLoad, "RC-out", 1, false},
        {tqpLevelShifter, "RC-LevShi", 1, false},    {tqpInterStage, "RC-inter", 1, false},
        {tqpTubeCatCom, "Cat-com", 1, true},         {tqpTubeCatFol, "Cat-fol", 1, true},
        {tqpTubeGriCom, "Gri-com", 1, true},         {tqpTubeAnoCom, "Ano-com", 1, true},
        {tqpTubePullUpDn, "Pull UpDn", 1, true},     {tqpTubeCathodyne, "Cathodyne", 2, true},
        {tqpTubeDifférentiel, "Differen.", 2, true}, {tqpTubeMixer, "", 1, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        TQuadripole q(r.kind, &t, {}, {1 * pF}, {false});
        EXPECT_EQ(static_cast<int>(q.Nature()), static_cast<int>(r.kind));
        EXPECT_EQ(q.typeText(), r.text);
        EXPECT_EQ(q.outputs(), r.outputs);
        EXPECT_EQ(q.Tube == &t, r.holdsTube);
        EXPECT_TRUE(q.Gains.empty());
        EXPECT_EQ(q.FAv0, 0.0);
        EXPECT_EQ(q.FZi, 0.0);
    }
}

TEST(Quadripole, NodeCapacitances) {
    TubeParams p = builtinParams("EF86"); // distinct Cgk 4.3 pF, Cga 0.6 pF, Cak 5.5 pF
    const TTube t(p, "T1");
    const double S = 2 * pF, gk = t.Cgk(), ga = t.Cga(), ak = t.Cak();
    struct Row {
        const char* name;
        TTypeQuadripole kind;
        double Cpin, Cpou;
    };
    const Row rows[] = {
        {"input grid", tqpInputGrid, S, 2 * S},
        {"output load", tqpOutputLoad, S, 2 * S},
        {"level shifter", tqpLevelShifter, 2 * S, 2 * S},
        {"inter-stage", tqpInterStage, S, 2 * S},
        {"common cathode", tqpTubeCatCom, S + gk, 2 * S + ak},
        {"cathode follower", tqpTubeCatFol, S + ga, 2 * S + ak},
        {"grounded grid", tqpTubeGriCom, 3 * S + gk, 2 * S + ak + ga},
        {"anode common", tqpTubeAnoCom, 2 * S + gk + ak, 2 * S + ak},
        {"pull up/down", tqpTubePullUpDn, S + gk + ak, S + gk + ak},
        {"cathodyne", tqpTubeCathodyne, 2 * S + gk + ak, 2 * S + ak + ga + gk},
        {"differential", tqpTubeDifférentiel, S + gk + ak, 3 * S + ak + ga},
        {"mixer", tqpTubeMixer, S + gk, 4 * S + 2 * ak},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TQuadripole q(r.kind, &t, {}, {S}, {false});
        EXPECT_REL(q.Cpin, r.Cpin, 1e-12);
        EXPECT_REL(q.Cpou, r.Cpou, 1e-12);
    }
}

TEST(Quadripole, ComponentsAreReadInOrderWithStrayLast) {
    const TTube t = biasedEcc83();
    const double S = 3 * pF;
    TQuadripole in(tqpInputGrid, nullptr, {1}, {600, 1e-6, 1e6, 5 * pF, 1e3, 7 * pF, 99, S}, {false, true});
    EXPECT_EQ(in.R1, 600.0);
    EXPECT_EQ(in.C1, 1e-6);
    EXPECT_EQ(in.R2, 1e6);
    EXPECT_REL(in.C2, 3 * S + 5 * pF, 1e-12);
    EXPECT_EQ(in.R3, 1e3);
    EXPECT_EQ(in.C3, 7 * pF); // the 99 before S is ignored
    EXPECT_TRUE(in.C1Shunted);
    EXPECT_EQ(in.Faval, std::vector<int>{1});

    TQuadripole ls(tqpLevelShifter, nullptr, {}, {1e6, 10 * pF, 2e6, 1e3, 4 * pF, S}, {false});
    EXPECT_REL(ls.C2, 4 * S, 1e-12);
    EXPECT_EQ(ls.R3, 1e3);

    TQuadripole cc(tqpTubeCatCom, &t, {2}, {100e3, 1.5e3, 10e-6, S}, {true, false});
    EXPECT_TRUE(cc.ignoreBootstrap);
    EXPECT_FALSE(cc.Ckconnected);
    EXPECT_EQ(cc.Ra, 100e3);
    EXPECT_EQ(cc.Rk, 1.5e3);
    EXPECT_EQ(cc.Ck, 10e-6);

    // Without a second switch the cathode capacitor counts as connected (C20's stages).
    TQuadripole c20(tqpTubeCatCom, &t, {2}, {100e3, 1.5e3, 10e-6, S}, {false});
    EXPECT_TRUE(c20.Ckconnected);
    TQuadripole mixer(tqpTubeMixer, &t, {2}, {100e3, 1.5e3, 10e-6, S}, {false});
    EXPECT_TRUE(mixer.Ckconnected);

    TQuadripole gg(tqpTubeGriCom, &t, {1}, {10e-6, 1e3, 47e3, S}, {false});
    EXPECT_EQ(gg.Ck, 10e-6);
    EXPECT_EQ(gg.Rk, 1e3);
    EXPECT_EQ(gg.Ra, 47e3);

    TQuadripole cd(tqpTubeCathodyne, &t, {2, 3}, {22e3, 22e3, 1e6, 1.5e3, 10e-6, S}, {false});
    EXPECT_EQ(cd.Rg, 1e6);
    EXPECT_EQ(cd.Rgk, 1.5e3);
    EXPECT_EQ(cd.Ck, 10e-6);

    TQuadripole df(tqpTubeDifférentiel, &t, {2, 3}, {100e3, 82e3, 10e3, S}, {false});
    EXPECT_EQ(df.Ra1, 100e3);
    EXPECT_EQ(df.Ra2, 82e3);
    EXPECT_EQ(df.Rk, 10e3);
}

// Mid-band gains of the tube kinds against the textbook results they reduce to.
TEST(Quadripole, TubeGainsAtMidBand) {
    const TTube t = biasedEcc83();
    const double µ = t.µ(), ρ = t.ρ(), gm = t.gm();
    ASSERT_GT(µ, 50);
    const double S = 1 * pF, f = 1000, L = 1e6;
    const auto par = [](double a, double b) { return a * b / (a + b); };
    struct Row {
        const char* name;
        TTypeQuadripole kind;
        std::vector<double> parms;
        double expected;
    };
    const double RL = par(100e3, L);
    const Row rows[] = {
        {"common cathode, bypassed", tqpTubeCatCom, {100e3, 1.5e3, 1e-3, S}, µ * RL / (ρ + RL)},
        {"cathode follower", tqpTubeCatFol, {10e3, S}, µ * par(10e3, L) / ((1 + µ) * par(10e3, L) + ρ)},
        {"anode common",
         tqpTubeAnoCom,
         {1e3, S},
         par(ρ, L) * (1 + gm * 1e3) / (1e3 + par(ρ, L) * (1 + gm * 1e3))},
        {"pull up/down", tqpTubePullUpDn, {1e3, S}, 1.0},
        {"mixer, bypassed", tqpTubeMixer, {100e3, 1.5e3, 1e-3, S}, µ * RL / (2 * RL + ρ)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TQuadripole q(r.kind, &t, {1}, r.parms, {false});
        EXPECT_REL(evaluate(q, {f, L}).g0, r.expected, 2e-3);
    }
}

TEST(Quadripole, PullUpDnGainIsExactlyOne) {
    const TTube t = biasedEcc83();
    TQuadripole q(tqpTubePullUpDn, &t, {1}, {1e3, 2 * pF}, {false});
    for (const double f : {0.1, 1.0, 1e3, 1e5, 1e7}) {
        EXPECT_EQ(evaluate(q, {f, 1e5}).g0, 1.0) << f;
        EXPECT_GT(q.Zi(), 0.0);
    }
}

TEST(Quadripole, UnbypassedCathodeLowersGain) {
    const TTube t = biasedEcc83();
    TQuadripole on(tqpTubeCatCom, &t, {1}, {100e3, 1.5e3, 100e-6, 1 * pF}, {false, true});
    TQuadripole off(tqpTubeCatCom, &t, {1}, {100e3, 1.5e3, 100e-6, 1 * pF}, {false, false});
    const double gOn = evaluate(on, {1000, 1e6}).g0, gOff = evaluate(off, {1000, 1e6}).g0;
    EXPECT_GT(gOn, 1.5 * gOff);
    const double µ = t.µ(), ρ = t.ρ(), RL = 100e3 * 1e6 / 1.1e6;
    EXPECT_REL(gOff, µ * RL / ((1 + µ) * 1.5e3 + ρ + RL), 1e-3);
}

TEST(Quadripole, MillerInputImpedanceAndIgnoreSwitch) {
    const TTube t = biasedEcc83();
    const double S = 1 * pF, f = 10e3, w = impedance::omega(f);
    TQuadripole ignored(tqpTubeCatCom, &t, {1}, {100e3, 1.5e3, 1e-3, S}, {true, true});
    for (const double L : {1e3, 1e6}) {
        evaluate(ignored, {f, L});
        EXPECT_REL(ignored.Zi(), 1 / (w * (S + t.Cgk())), 1e-12);
    }
    TQuadripole miller(tqpTubeCatCom, &t, {1}, {100e3, 1.5e3, 1e-3, S}, {false, true});
    const double gLow = evaluate(miller, {f, 10e3}).g0;
    const double zLow = miller.Zi();
    const double gHigh = evaluate(miller, {f, 1e6}).g0;
    const double zHigh = miller.Zi();
    ASSERT_GT(gHigh, gLow);
    EXPECT_LT(zHigh, zLow);
    EXPECT_REL(zHigh, 1 / (w * (S + t.Cgk() + gHigh * t.Cga())), 1e-12); // gain x Cga, not (1 + gain)
}

TEST(Quadripole, FollowerBootstrapsCgk) {
    const TTube t = biasedEcc83();
    const double S = 1 * pF, f = 10e3, w = impedance::omega(f);
    TQuadripole q(tqpTubeCatFol, &t, {1}, {10e3, S}, {false});
    const double g = evaluate(q, {f, 1e6}).g0;
    EXPECT_REL(q.Zi(), 1 / (w * (S + t.Cga() + (1 - g) * t.Cgk())), 1e-12);
    TQuadripole ig(tqpTubeCatFol, &t, {1}, {10e3, S}, {true});
    evaluate(ig, {f, 1e6});
    EXPECT_REL(ig.Zi(), 1 / (w * (S + t.Cga())), 1e-12);
}

TEST(Quadripole, CathodyneOutputsAndGridBootstrap) {
    const TTube t = biasedEcc83();
    const double S = 1 * pF, f = 1000, w = impedance::omega(f);
    // Split load: equal anode and cathode resistors give nearly equal outputs just under 1.
    TQuadripole q(tqpTubeCathodyne, &t, {2, 3}, {22e3, 22e3, 1e6, 1.5e3, 100e-6, S}, {false});
    const Gains g = evaluate(q, {f, 1e6, 1e6});
    EXPECT_GT(g.g0, 0.8);
    EXPECT_LT(g.g0, 1.0);
    EXPECT_REL(g.g1, g.g0, 0.02);
    EXPECT_EQ(q.Av1(), g.g1);
    EXPECT_REL(q.Zi(), impedance::Zp(w, 1e6 / (1 - g.g1), q.Cpin), 1e-12);
    EXPECT_GT(q.Zi(), impedance::Zp(w, 1e6, q.Cpin));

    // A grid resistor of 1e12 or more is taken as it is, without bootstrapping.
    TQuadripole open(tqpTubeCathodyne, &t, {2, 3}, {22e3, 22e3, 1e12, 1.5e3, 100e-6, S}, {false});
    evaluate(open, {f, 1e6, 1e6});
    EXPECT_REL(open.Zi(), impedance::Zp(w, 1e12, open.Cpin), 1e-12);
}

TEST(Quadripole, DifferentialOutputs) {
    const TTube t = biasedEcc83();
    TQuadripole q(tqpTubeDifférentiel, &t, {2, 3}, {100e3, 100e3, 1e6, 1 * pF}, {false});
    const Gains g = evaluate(q, {1000, 1e6, 1e6});
    // A long tail splits the gain nearly equally; the driven side is slightly larger.
    EXPECT_GT(g.g0, g.g1);
    EXPECT_REL(g.g1, g.g0, 0.05);
    const double µ = t.µ(), ρ = t.ρ(), RL = 100e3 * 1e6 / 1.1e6;
    EXPECT_REL(g.g0 + g.g1, µ * RL / (RL + ρ), 0.05);
    const double gHigh = evaluate(q, {1e8, 1e6, 1e6}).g0;
    EXPECT_LT(gHigh, g.g0);
}

TEST(Quadripole, GroundedGridGain) {
    const TTube t = biasedEcc83();
    const double µ = t.µ(), ρ = t.ρ(), RL = 100e3 * 1e6 / 1.1e6;
    TQuadripole q(tqpTubeGriCom, &t, {1}, {100e-6, 1e6, 100e3, 1 * pF}, {false});
    // Ck large and Rk open: voltage gain (1 + µ) RL / (RL + ρ).
    EXPECT_REL(evaluate(q, {1000, 1e6}).g0, (1 + µ) * RL / (RL + ρ), 1e-3);
    EXPECT_LT(evaluate(q, {1e-4, 1e6}).g0, 0.01);
}

TEST(Quadripole, InputGridAndShuntedC1) {
    const double S = 1 * pF;
    const std::vector<double> parms{1e3, 10e-9, 1e6, 0, 1e3, 0, S};
    TQuadripole coupled(tqpInputGrid, nullptr, {1}, parms, {false, false});
    TQuadripole shunted(tqpInputGrid, nullptr, {1}, parms, {false, true});
    // At 1 Hz a 10 nF input capacitor (16 kΩ corner at 16 Hz) cuts the gain; shunted it does not.
    const double gC = evaluate(coupled, {1, 1e9}).g0;
    const double gS = evaluate(shunted, {1, 1e9}).g0;
    EXPECT_LT(gC, 0.1);
    EXPECT_REL(gS, 1e6 / (1e6 + 1e3 + 1e3), 1e-3);
    // Both input impedances still hold Zs(R1, C1).
    EXPECT_REL(coupled.Zi(), shunted.Zi(), 1e-12);
    const double w = impedance::omega(1);
    EXPECT_GT(shunted.Zi(), impedance::Zs(w, 1e3, 10e-9));
    // Mid band: the divider of |R1 + C1| (moduli added, no phase) over R2; a heavy load (small
    // impedance) pulls it down.
    const double e = impedance::Zs(impedance::omega(1000), 1e3, 10e-9);
    EXPECT_REL(evaluate(coupled, {1000, 1e9}).g0, 1e6 / (1e6 + e), 1e-3);
    EXPECT_LT(evaluate(coupled, {1000, 1e3}).g0, 0.9);
}

TEST(Quadripole, PassiveCouplingNetworks) {
    const double S = 1 * pF;
    TQuadripole inter(tqpInterStage, nullptr, {1}, {100e-9, 1e6, 1e3, 1e-12, S}, {false});
    EXPECT_REL(evaluate(inter, {1000, 1e9}).g0, 1.0, 5e-3);
    EXPECT_LT(evaluate(inter, {0.1, 1e9}).g0, 0.1);
    // A DC divider 1M over 1M passes half.
    TQuadripole ls(tqpLevelShifter, nullptr, {1}, {1e6, 1e-15, 1e6, 1e3, 1e-15, S}, {false});
    EXPECT_REL(evaluate(ls, {1, kOpen}).g0, 0.5, 5e-3);
}

// Every kind whose gain holds a node capacitance (all but the anode-common and pull kinds).
TEST(Quadripole, CapacitiveKindsFallFarAboveTheBand) {
    const TTube t = biasedEcc83();
    const double S = 1 * pF;
    struct Row {
        const char* name;
        TTypeQuadripole kind;
        std::vector<double> parms;
        std::vector<double> loads;
    };
    const Row rows[] = {
        {"input grid", tqpInputGrid, {1e3, 1e-6, 1e6, 0, 1e3, 0, S}, {1e6}},
        {"output load", tqpOutputLoad, {1e3, 1e-6, 1e6, 10 * pF, S}, {}},
        {"level shifter", tqpLevelShifter, {1e6, 1e-15, 1e6, 1e3, 1e-15, S}, {1e6}},
        {"inter-stage", tqpInterStage, {1e-6, 1e6, 1e3, 1e-12, S}, {1e6}},
        {"common cathode", tqpTubeCatCom, {100e3, 1.5e3, 1e-3, S}, {1e6}},
        {"cathode follower", tqpTubeCatFol, {10e3, S}, {1e6}},
        {"grounded grid", tqpTubeGriCom, {100e-6, 1e3, 100e3, S}, {1e6}},
        {"cathodyne", tqpTubeCathodyne, {22e3, 22e3, 1e6, 1.5e3, 100e-6, S}, {1e6, 1e6}},
        {"differential", tqpTubeDifférentiel, {100e3, 100e3, 1e6, S}, {1e6, 1e6}},
        {"mixer", tqpTubeMixer, {100e3, 1.5e3, 1e-3, S}, {1e6}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TQuadripole q(r.kind, &t, {1, 2}, r.parms, {false});
        std::vector<double> mid{1000}, high{1e10};
        mid.insert(mid.end(), r.loads.begin(), r.loads.end());
        high.insert(high.end(), r.loads.begin(), r.loads.end());
        const double gMid = evaluate(q, mid).g0;
        const double gHigh = evaluate(q, high).g0;
        EXPECT_TRUE(std::isfinite(gMid));
        EXPECT_TRUE(std::isfinite(q.Zi()));
        EXPECT_LT(gHigh, 0.5 * gMid);
    }
}
