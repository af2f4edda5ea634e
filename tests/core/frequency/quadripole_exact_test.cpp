// The phase-exact evaluation of the two-ports and of a chain: R-C corners where the complex
// arithmetic puts them, output signs, the Miller capacitance, feedback, phase unwrapping and the
// bracketed corner search.
#include "approx.h"
#include "builtin_tubes.h"
#include "frequency/bode.h"
#include "frequency/bode_search.h"
#include "frequency/quadripole.h"

#include <cmath>
#include <complex>
#include <limits>

namespace {

using Complex = std::complex<double>;
constexpr double pF = 1e-12;
constexpr double kTwoPi = 6.283185307179586;
const Complex kOpen(std::numeric_limits<double>::infinity(), 0);

double degrees(Complex z) {
    return std::arg(z) * 180 / 3.14159265358979323846;
}

} // namespace

// A coupling capacitor into a load resistor is a first-order high-pass: at f = 1 / (2 pi R C) the
// exact gain is 1/sqrt(2) leading by 45 degrees, where adding moduli gives 1/2.
TEST(QuadripoleExact, OutputCouplingCornerIsMinus3dBAnd45Degrees) {
    const double Cs = 100e-9, Ro = 100e3;
    TQuadripole q(tqpOutputLoad, nullptr, {}, {0, Cs, Ro, 0, 0}, {false});
    const double fc = 1 / (kTwoPi * Ro * Cs);
    q.getExactGains(fc, 0, 0);
    EXPECT_REL(std::abs(q.exactAv0), 1 / std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(degrees(q.exactAv0), 45, 1e-6);
    double g0 = 0, g1 = 0;
    q.getVarGains({fc}, g0, g1);
    EXPECT_REL(g0, 0.5, 1e-9);
    // The input impedance is the series R-C.
    EXPECT_REL(q.exactZin.real(), Ro, 1e-9);
    EXPECT_REL(q.exactZin.imag(), -Ro, 1e-9);
}

// In the mid-band, where no capacitance counts, the exact moduli are the classic gains and each output
// has the sign of its stage.
TEST(QuadripoleExact, MidBandModuliAndSignsPerKind) {
    const TTube t = biasedEcc83();
    struct Case {
        const char* name;
        TTypeQuadripole kind;
        std::vector<double> parms;
        int outputs;
    } cases[] = {
        {"common cathode, bypassed", tqpTubeCatCom, {100e3, 1.5e3, 1e-3, 0}, 1},
        {"cathode follower", tqpTubeCatFol, {47e3, 0}, 1},
        {"cathode follower, series resistor to the output", tqpTubeCatFol, {1e12, 4.7e3, 0}, 1},
        {"grounded grid", tqpTubeGriCom, {1e-3, 1e3, 100e3, 0}, 1},
        {"cathodyne", tqpTubeCathodyne, {47e3, 47e3, 1e6, 1.5e3, 1e-3, 0}, 2},
        {"differential", tqpTubeDifférentiel, {100e3, 100e3, 47e3, 0}, 2},
        {"mixer", tqpTubeMixer, {100e3, 1.5e3, 1e-3, 0}, 1},
    };
    const double f = 1000, load = 1e6;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Tube capacitances count at 1 kHz only through their own tiny admittances.
        TQuadripole q(c.kind, &t, {1, 2}, c.parms, {true});
        double g0 = 0, g1 = 0;
        q.getVarGains({f, load, load}, g0, g1);
        q.getExactGains(f, load, load);
        EXPECT_REL(std::abs(q.exactAv0), g0, 2e-3);
        EXPECT_LT(std::fabs(std::imag(q.exactAv0)), 0.01 * std::abs(q.exactAv0));
        EXPECT_EQ(std::real(q.exactAv0) < 0, quadripoleInverts(c.kind));
        if (c.outputs == 2) {
            EXPECT_REL(std::abs(q.exactAv1), g1, 2e-3);
            EXPECT_GT(std::real(q.exactAv1), 0); // the second output is in phase
        }
    }
}

// The Miller capacitance of an inverting stage is (1 + |A|) Cga in the mid-band; ignoring the
// effect leaves the pin capacitance alone.
TEST(QuadripoleExact, MillerCapacitanceOfTheCommonCathode) {
    const TTube t = biasedEcc83();
    const double S = 2 * pF, f = 1000;
    for (const bool ignore : {false, true}) {
        SCOPED_TRACE(ignore ? "ignored" : "counted");
        TQuadripole q(tqpTubeCatCom, &t, {1}, {100e3, 1.5e3, 1e-3, S}, {ignore, true});
        q.getExactGains(f, 1e6, 0);
        const double A = std::abs(q.exactAv0);
        ASSERT_GT(A, 30);
        const double C = -1 / (kTwoPi * f * q.exactZin.imag()); // the capacitance the grid sees
        const double expected = S + t.Cgk() + (ignore ? 0 : (1 + A) * t.Cga());
        EXPECT_REL(C, expected, 0.02);
    }
}

// The long-tailed pair: T1's grid resistor returns to the junction of Rkg and the tail, which follows
// the grid by a little under half, so the grid sees about twice Rg; the input network then leaves its
// R2 to the stage. The magnitudes read neither and keep their figures.
TEST(QuadripoleExact, GridResistorReturnedToTheTailIsBootstrapped) {
    const TTube t = biasedEcc83();
    const double Rg = 1e6, f = 10;
    TQuadripole plain(tqpTubeDifférentiel, &t, {1, 2}, {100e3, 100e3, 47e3, 0}, {false});
    TQuadripole tied(tqpTubeDifférentiel, &t, {1, 2}, {100e3, 100e3, 47e3, 1e3, Rg, 0}, {false});
    double g0 = 0, g1 = 0, h0 = 0, h1 = 0;
    plain.getVarGains({f, 1e6, 1e6}, g0, g1);
    tied.getVarGains({f, 1e6, 1e6}, h0, h1);
    EXPECT_EQ(g0, h0);
    EXPECT_EQ(g1, h1);
    EXPECT_EQ(plain.Zi(), tied.Zi());

    tied.getExactGains(f, 1e6, 1e6);
    const double Rin = 1 / std::real(1.0 / tied.exactZin);
    EXPECT_GT(Rin, 1.85 * Rg);
    EXPECT_LT(Rin, 2.0 * Rg);
    plain.getExactGains(f, 1e6, 1e6);
    EXPECT_GT(1 / std::real(1.0 / plain.exactZin), 1e3 * Rg); // only capacitances on the grid

    // The input network: R2 to ground, or left to the stage (the coupling capacitor then feeds only the
    // node's few pF).
    for (const bool returned : {false, true}) {
        SCOPED_TRACE(returned ? "returned" : "to ground");
        TQuadripole in(tqpInputGrid, nullptr, {1}, {0, 22e-9, Rg, 0, 0, 0, pF}, {false, false, returned});
        in.getExactGains(f, kOpen, 0);
        const double expected = 1 / std::sqrt(1 + std::pow(1 / (kTwoPi * f * 22e-9 * Rg), 2));
        EXPECT_REL(std::abs(in.exactAv0), returned ? 1.0 : expected, 1e-3);
    }
}

// A chain that inverts gets its feedback with the polarity that lowers the mid-band gain: P / (1 + beta |P|).
TEST(QuadripoleExact, FeedbackOpposesTheSignalOfAnInvertingChain) {
    const TTube t = biasedEcc83();
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpTubeCatCom, &t, std::vector<int>{1}, std::vector<double>{100e3, 1.5e3, 1e-3, 0},
                       std::vector<bool>{true, true});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{}, std::vector<double>{0, 1e-3, 1e6, 0, 0},
                       std::vector<bool>{true});
    const double P = std::abs(chainProductExact(quads, 1000));
    for (const double beta : {0.0, 0.01, 0.1}) {
        SCOPED_TRACE(beta);
        EXPECT_REL(std::abs(gainChainExact(quads, beta, 1000)), P / (1 + beta * P), 1e-3);
    }
}

TEST(QuadripoleExact, PhaseUnwrapsAndReadsAbout0Or180InTheMidBand) {
    const auto polar = [](std::vector<double> deg) {
        std::vector<Complex> v;
        for (double d : deg)
            v.push_back(std::polar(2.0, d * 3.14159265358979323846 / 180));
        return v;
    };
    struct Case {
        const char* name;
        std::vector<double> in;
        std::size_t reference;
        std::vector<double> out;
    } cases[] = {
        {"in phase, leading and lagging", {80, 10, 0, -10, -80}, 2, {80, 10, 0, -10, -80}},
        {"inverting, across the +-180 cut", {-100, -170, 180, 170, 100}, 2, {260, 190, 180, 170, 100}},
        {"inverting, reference just below -180", {-110, -179.5, 175}, 1, {250, 180.5, 175}},
        {"two turns of lag", {0, -120, -240 + 360, -360 + 360, -480 + 720}, 0, {0, -120, -240, -360, -480}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> got = unwrappedPhase(polar(c.in), c.reference);
        ASSERT_EQ(got.size(), c.out.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.out[i], 1e-9) << i;
    }
}

TEST(QuadripoleExact, BracketedCornerSearch) {
    const double fl = 37.5, fh = 123456;
    // A band-pass of two first-order corners.
    const GainOfFrequency A = [&](double f) {
        return 10 / std::sqrt((1 + (fl / f) * (fl / f)) * (1 + (f / fh) * (f / fh)));
    };
    const std::vector<double> sweep = frequencyList(1, 1e5); // fh lies past the sweep's end
    std::vector<double> values;
    for (double f : sweep)
        values.push_back(A(f));
    const double fpk = std::sqrt(fl * fh);
    const double target = A(fpk) / std::sqrt(2.0);
    // The corners of the product are a little outside fl and fh; check against A itself.
    const double low = searchCornerBracketed(A, sweep, values, fpk, target, true);
    const double high = searchCornerBracketed(A, sweep, values, fpk, target, false);
    EXPECT_GT(high, 1e5);
    for (const double f : {low, high})
        EXPECT_REL(A(f), target, 1e-9);
    EXPECT_REL(low, fl, 0.01);
    EXPECT_REL(high, fh, 0.01);
    // A response that never falls to the target has no corner.
    const GainOfFrequency flat = [](double) { return 1.0; };
    EXPECT_EQ(searchCornerBracketed(flat, sweep, std::vector<double>(sweep.size(), 1.0), 100, 0.7, true), 0);
    EXPECT_EQ(searchCornerBracketed(flat, sweep, std::vector<double>(sweep.size(), 1.0), 100, 0.7, false), 0);
    // The golden-section peak of a smooth maximum.
    const double peak = searchPeakGolden(A, 100, 10000);
    EXPECT_REL(peak, fpk, 1e-3);
}
