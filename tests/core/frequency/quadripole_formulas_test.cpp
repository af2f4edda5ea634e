// Every two-port kind's gains and input impedance at a frequency where each component counts,
// against the network formulas worked by hand; and the guards of the impedance helpers.
#include "approx.h"
#include "builtin_tubes.h"
#include "frequency/impedance.h"
#include "frequency/quadripole.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace {

constexpr double pF = 1e-12;
constexpr double kTwoPi = 6.283185307179586;

// A triode with three distinct inter-electrode capacitances, so that a Cgk, Cga or Cak taken for
// another one shows, biased at 250 V, -2 V with its small-signal parameters computed there.
TTube distinctCapsTriode() {
    TubeParams p = builtinParams("ECC83 / 12AX7");
    p.cgk = 3 * pF;
    p.cga = 7 * pF;
    p.cak = 0.5 * pF;
    TTube t(p, "T1");
    double ia;
    t.CalculerNK(250, -2, ia);
    t.calculerParamètresIntrinsèques();
    return t;
}

// The magnitudes of the network formulas, written out independently of the code under test.
struct Net {
    double w;
    double X(double C) const { return 1 / (w * C); }
    static double P(double a, double b) { return a * b / (a + b); }
    double Zp(double R, double C) const { return R / std::sqrt(1 + w * w * C * C * R * R); }
    double Zs(double R, double C) const { return std::sqrt(R * R + 1 / (w * w * C * C)); }
};

struct Expected {
    double g0, g1, zin; // g1 is NaN for the single-output kinds
};

struct Row {
    std::string name;
    TTypeQuadripole kind;
    std::vector<double> parms;
    std::vector<bool> switches;
    std::vector<double> loads; // L1 (and L2) after the frequency
    std::function<Expected(const Net&, const TTube&)> expected;
};

} // namespace

TEST(QuadripoleFormulas, GainsAndInputImpedances) {
    const TTube t = distinctCapsTriode();
    const double f = 20e3, S = 2 * pF;
    const Net n{kTwoPi * f};
    const double nan = std::nan("");
    const double µ = t.µ(), ρ = t.ρ(), gm = t.gm(), gk = t.Cgk(), ga = t.Cga(), ak = t.Cak();
    ASSERT_GT(µ, 50);

    const auto inputGrid = [&](bool shunted) {
        return [shunted, S, nan](const Net& n, const TTube&) {
            const double R1 = 10e3, C1 = 1e-9, R2 = 470e3, C2 = 3 * S + 5 * pF, R3 = 22e3, C3 = 3 * pF;
            const double Cpou = 2 * S, L1 = 300e3;
            const double e = shunted ? R1 : n.Zs(R1, C1), p = n.Zp(R2, C2);
            const double Ceq = C3 + Cpou + 1 / (n.w * L1);
            const double h = n.Zs(R3, Ceq), x = n.X(Ceq);
            const double zin = n.Zs(R1, C1) + Net::P(R3 + Net::P(n.X(C3 + Cpou), L1), n.Zp(R2, C2));
            return Expected{x * p / (e * (p + h) + p * h), nan, zin};
        };
    };
    const auto commonCathode = [&](bool connected, bool ignore) {
        return [=](const Net& n, const TTube&) {
            const double Ra = 220e3, Rk = 2.2e3, Ck = 1e-9, L1 = 300e3;
            const double Cpin = S + gk, Cpou = 2 * S + ak;
            const double RL = Net::P(L1, n.Zp(Ra, Cpou));
            const double Zk = connected ? n.Zp(Rk, Ck + Cpou) : n.Zp(Rk, Cpou);
            const double g0 = µ * RL / ((1 + µ) * Zk + ρ + RL);
            return Expected{g0, nan, ignore ? n.X(Cpin) : n.X(Cpin + g0 * ga)};
        };
    };

    const auto cathodyne = [&](const Net& n, const TTube&) {
        const double Cpin = 2 * S + gk + ak, Cpou = 2 * S + ak + ga + gk;
        const double RLa = Net::P(n.Zp(47e3, Cpou), 300e3), Zb = n.Zp(1.5e3, 1e-9);
        const double RLk = Net::P(n.Zp(39e3, Cpou), 200e3);
        const double D = (1 + µ) * (Zb + RLk) + ρ + RLa;
        const double g1 = µ * RLk / D;
        return Expected{µ * RLa / D, g1, n.Zp(1e6 / (1 - g1), Cpin)};
    };
    const auto differential = [&](bool ignore) {
        return [=](const Net& n, const TTube&) {
            const double Cpin = S + gk + ak, Cpou = 3 * S + ak + ga;
            const double Z1 = Net::P(300e3, n.Zp(100e3, Cpou)), Z2 = Net::P(200e3, n.Zp(82e3, Cpou));
            const double Zk = n.Zp(22e3, Cpin), p = 1 + µ;
            const double D = (Z1 + ρ + p * Zk) * (Z2 + ρ + p * Zk) - p * p * Zk * Zk;
            const double g0 = µ * Z1 * (Z2 + ρ + p * Zk) / D;
            return Expected{g0, µ * p * Z2 * Zk / D, ignore ? n.X(Cpin) : n.X(Cpin + g0 * ga)};
        };
    };

    const Row rows[] = {
        {"input grid",
         tqpInputGrid,
         {10e3, 1e-9, 470e3, 5 * pF, 22e3, 3 * pF, S},
         {false, false},
         {300e3},
         inputGrid(false)},
        {"input grid, C1 shunted",
         tqpInputGrid,
         {10e3, 1e-9, 470e3, 5 * pF, 22e3, 3 * pF, S},
         {false, true},
         {300e3},
         inputGrid(true)},
        {"output load",
         tqpOutputLoad,
         {4.7e3, 2.2e-9, 100e3, 47 * pF, S},
         {false},
         {},
         [&](const Net& n, const TTube&) {
             const double e = n.Zs(4.7e3, 2.2e-9), p = n.Zp(100e3, 47 * pF + 2 * S);
             return Expected{p / (p + e), nan, e + p};
         }},
        {"level shifter",
         tqpLevelShifter,
         {1e6, 20 * pF, 470e3, 10e3, 6 * pF, S},
         {false},
         {200e3},
         [&](const Net& n, const TTube&) {
             const double R1 = 1e6, C1 = 20 * pF, R2 = 470e3, C2 = 4 * S, R3 = 10e3, C3 = 6 * pF, L1 = 200e3;
             const double Cpin = 2 * S, Cpou = 2 * S;
             const double e = n.Zp(R1, C1), m = Net::P(L1, n.X(C3 + Cpou));
             const double p = Net::P(R3 + m, n.Zp(R2, C2));
             // The input side sees C3 alone in front of the load, and the input node's own Cpin.
             const double zin =
                 Net::P(n.Zp(R1, C1) + Net::P(R3 + Net::P(n.X(C3), L1), n.Zp(R2, C2)), n.X(Cpin));
             return Expected{p * m / ((e + p) * (R3 + m)), nan, zin};
         }},
        {"inter-stage",
         tqpInterStage,
         {2.2e-9, 470e3, 10e3, 8 * pF, S},
         {false},
         {200e3},
         [&](const Net& n, const TTube&) {
             const double Ca = 2.2e-9, Rg = 470e3, Rgs = 10e3, Cgs = 8 * pF, Cpou = 2 * S, L1 = 200e3;
             const double m = Net::P(L1, n.X(Cgs + Cpou)), p = Net::P(Rgs + m, Rg), y = n.X(Ca);
             const double zin = n.X(Ca) + Net::P(Rgs + Net::P(n.X(Cgs + Cpou), L1), Rg);
             return Expected{p * m / ((y + p) * (Rgs + m)), nan, zin};
         }},
        {"common cathode, Ck connected",
         tqpTubeCatCom,
         {220e3, 2.2e3, 1e-9, S},
         {false, true},
         {300e3},
         commonCathode(true, false)},
        {"common cathode, Ck out",
         tqpTubeCatCom,
         {220e3, 2.2e3, 1e-9, S},
         {false, false},
         {300e3},
         commonCathode(false, false)},
        {"common cathode, Miller ignored",
         tqpTubeCatCom,
         {220e3, 2.2e3, 1e-9, S},
         {true, true},
         {300e3},
         commonCathode(true, true)},
        {"cathode follower",
         tqpTubeCatFol,
         {47e3, S},
         {false},
         {100e3},
         [&](const Net& n, const TTube&) {
             const double Cpin = S + ga, Cpou = 2 * S + ak;
             const double ZL = Net::P(n.Zp(47e3, Cpou), 100e3);
             const double g0 = µ * ZL / ((1 + µ) * ZL + ρ);
             return Expected{g0, nan, n.X(Cpin + (1 - g0) * gk)};
         }},
        // R4 of the double cascode: no resistor from the cathode to ground, Rs from the cathode to
        // the output node, loaded by a current sink. The output is the foot of Rs; Cgk sees the
        // grid minus the cathode.
        {"cathode follower, series resistor to the output",
         tqpTubeCatFol,
         {1e12, 4.7e3, S},
         {false},
         {20e3},
         [&](const Net& n, const TTube&) {
             const double Cpin = S + ga, Cpou = 2 * S + ak, Rs = 4.7e3, L1 = 20e3;
             const double Zc = Net::P(n.Zp(1e12, Cpou), Rs + L1);
             const double vk = µ * Zc / ((1 + µ) * Zc + ρ); // cathode over grid
             return Expected{vk * L1 / (Rs + L1), nan, n.X(Cpin + (1 - vk) * gk)};
         }},
        {"grounded grid",
         tqpTubeGriCom,
         {4.7e-9, 1e3, 100e3, S},
         {false},
         {300e3},
         [&](const Net& n, const TTube&) {
             const double Ck = 4.7e-9, Rk = 1e3, Ra = 100e3, L1 = 300e3;
             const double Cpin = 3 * S + gk, Cpou = 2 * S + ak + ga;
             const double RL = Net::P(n.Zp(Ra, Cpou), L1), rin = (RL + ρ) / (1 + µ);
             const double Zc = Net::P(rin, n.Zp(Rk, Cpin)), tr = Zc / (Zc + n.X(Ck));
             const double zin = n.X(Ck) + Net::P(n.Zp(Rk, Cpin), (RL + ρ) / (1 + µ));
             return Expected{(1 + µ) * tr * RL / (RL + ρ), nan, zin};
         }},
        {"anode common",
         tqpTubeAnoCom,
         {1.5e3, S},
         {false},
         {50e3},
         [&](const Net&, const TTube&) {
             const double Rk = 1.5e3, e = Net::P(ρ, 50e3), k = 1 + gm * Rk;
             return Expected{e * k / (Rk + e * k), nan, Rk + k * Net::P(ρ, 50e3)};
         }},
        {"pull up/down",
         tqpTubePullUpDn,
         {1e3, S},
         {false},
         {300e3},
         [&](const Net& n, const TTube&) {
             const double Cpou = S + gk + ak;
             return Expected{1, nan, Net::P(Net::P(n.X(Cpou), 300e3), (1 + µ) * 1e3 + ρ)};
         }},
        {"cathodyne",
         tqpTubeCathodyne,
         {47e3, 39e3, 1e6, 1.5e3, 1e-9, S},
         {false},
         {300e3, 200e3},
         cathodyne},
        // The bootstrapped grid resistor stays whatever the ignore switch says.
        {"cathodyne, ignore switch set",
         tqpTubeCathodyne,
         {47e3, 39e3, 1e6, 1.5e3, 1e-9, S},
         {true},
         {300e3, 200e3},
         cathodyne},
        {"differential",
         tqpTubeDifférentiel,
         {100e3, 82e3, 22e3, S},
         {false},
         {300e3, 200e3},
         differential(false)},
        {"differential, Miller ignored",
         tqpTubeDifférentiel,
         {100e3, 82e3, 22e3, S},
         {true},
         {300e3, 200e3},
         differential(true)},
        {"mixer",
         tqpTubeMixer,
         {100e3, 1.5e3, 1e-9, S},
         {false, true},
         {300e3},
         [&](const Net& n, const TTube&) {
             const double Cpin = S + gk, Cpou = 4 * S + 2 * ak;
             const double RL = Net::P(300e3, n.Zp(100e3, Cpou)), Zk = n.Zp(1.5e3, 1e-9 + Cpou);
             const double g0 = µ * RL / (2 * RL + ρ + 2 * (µ + 1) * Zk);
             return Expected{g0, nan, n.X(Cpin + g0 * ga)};
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TQuadripole q(r.kind, &t, {1, 2}, r.parms, r.switches);
        std::vector<double> parms{f};
        parms.insert(parms.end(), r.loads.begin(), r.loads.end());
        double g0 = 0, g1 = -1;
        q.getVarGains(parms, g0, g1);
        const Expected e = r.expected(n, t);
        EXPECT_REL(g0, e.g0, 1e-12);
        EXPECT_EQ(q.Av0(), g0);
        EXPECT_EQ(q.GainQPMémorisé(), g0);
        if (std::isnan(e.g1))
            EXPECT_EQ(g1, -1.0); // a single-output kind leaves g1 alone
        else
            EXPECT_REL(g1, e.g1, 1e-12);
        EXPECT_REL(q.ZinQPMémorisé(), e.zin, 1e-12);
        EXPECT_EQ(q.Zi(), q.ZinQPMémorisé());
    }
}

// Only the cathodyne stores its second gain itself (its input impedance needs it); the
// differential pair's second gain is stored by the chain evaluation.
TEST(QuadripoleFormulas, SecondGainStoredByTheCathodyneOnly) {
    const TTube t = distinctCapsTriode();
    TQuadripole cd(tqpTubeCathodyne, &t, {2, 3}, {47e3, 39e3, 1e6, 1.5e3, 1e-9, 2 * pF}, {false});
    TQuadripole df(tqpTubeDifférentiel, &t, {2, 3}, {100e3, 82e3, 22e3, 2 * pF}, {false});
    double g0 = 0, g1 = 0;
    cd.getVarGains({1000, 300e3, 200e3}, g0, g1);
    EXPECT_EQ(cd.Av1(), g1);
    df.getVarGains({1000, 300e3, 200e3}, g0, g1);
    EXPECT_GT(g1, 0);
    EXPECT_EQ(df.Av1(), 0.0);
}

// Where the plain formulas give 0/0 or inf/inf, the helpers give the limit a circuit has: a short
// in parallel gives a short, an open branch leaves the other one, an open R leaves its capacitor.
TEST(QuadripoleFormulas, ImpedanceHelpersAtShortsAndOpens) {
    using namespace impedance;
    const double inf = std::numeric_limits<double>::infinity();
    const double w = omega(1000);
    struct Row {
        const char* name;
        double actual, expected;
    };
    const Row rows[] = {
        {"short || short", P(0, 0), 0},
        {"short || R", P(0, 47e3), 0},
        {"open || R", P(inf, 47e3), 47e3},
        {"R || open", P(47e3, inf), 47e3},
        {"open || open", P(inf, inf), inf},
        {"short || open", P(0, inf), 0},
        {"open R with C", Zp(w, inf, 1e-9), 1 / (w * 1e-9)},
        {"plain parallel", P(100e3, 50e3), 100e3 * 50e3 / 150e3},
        {"plain R||C", Zp(w, 100e3, 1e-9), 100e3 / std::sqrt(1 + w * w * 1e-18 * 1e10)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_FALSE(std::isnan(r.actual));
        if (std::isinf(r.expected))
            EXPECT_TRUE(std::isinf(r.actual));
        else
            EXPECT_REL(r.actual, r.expected, 1e-12);
    }
}

TEST(QuadripoleGuards, LevelShifterWithoutResistorsPassesNothing) {
    // R1, C1, R2, C2(Cg), R3, C3, S: no resistor anywhere makes every ratio 0/0.
    TQuadripole q(tqpLevelShifter, nullptr, {1}, {0, 1e-9, 0, 1e-12, 0, 1e-12, 1e-12}, {false});
    double g0 = 1, g1 = 1;
    q.getVarGains({1000, 1e6}, g0, g1);
    EXPECT_EQ(g0, 0.0);
    EXPECT_TRUE(std::isfinite(q.Zi()));
}
