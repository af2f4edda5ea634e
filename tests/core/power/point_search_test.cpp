// The swing analyses leave out the evaluations whose outcome the rise of the tube's current already
// fixes; here every point of calculSE and calculPP and the bias rating of biasModePP are checked bit
// for bit against the plain searches that evaluate every step, on regular models and on models whose
// current does not rise with the anode (which take the plain searches).
#include "builtin_tubes.h"

#include "power/point_search.h"
#include "power/power_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct Point {
    double va = 0, ia = 0, ie = 0;
    int iterations = 257;
};

// The single-ended point as a plain bisection.
Point plainSingleEnded(TTube& t, int n, double vg, double Vs, double Ia0, double Va0, double Z) {
    Point p;
    double lo = 0, hi = 13 * Ia0, previous = NAN;
    for (int halving = 1; halving <= 256; ++halving) {
        const double I = (lo + hi) / 2;
        if (I == previous)
            break;
        previous = I;
        p.va = std::max(Va0 + (Ia0 - I) * Z, 10.0);
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
    if (Z > 0 && Va0 > 10 && Va0 + (Ia0 - previous) * Z < 10) { // saturated on the floor of the line
        p.va = 10;
        p.ia = Ia0 + (Va0 - 10) / Z;
    }
    return p;
}

// The push-pull point as a plain walk (each pass evaluates both tubes); false when it needed the
// pass limit.
bool plainPushPull(TTube& t1, TTube& t2, TPointOper& p, double& lo, double& hi, int n, double Ia0,
                   double Vak0, double Vek, double Zaa, double R, const AdvancedPowerParams& adv) {
    for (int pass = 1;; ++pass) {
        p.va1 = (lo + hi) / 2;
        p.va2 = 2 * Vak0 - p.va1;
        p.ia2 = t2.current(p.vg2, p.va2, Vek, n);
        if (p.ia2 > Ia0)
            p.ia2 = Ia0 - 1e-6;
        p.ia1 = t1.current(p.vg1, p.va1, Vek, n);
        const double delta = loadLineOffset(adv, R, Ia0, Vak0, Zaa, p.va1, p.ia1, p.ia2);
        if (delta > 0.2)
            lo += 0.2;
        else if (delta < -0.2)
            hi -= 0.2;
        if (std::fabs(delta) <= 0.2 || hi <= lo + 0.2 || lo < 0)
            return true;
        if (pass >= kPushPullPassLimit || !std::isfinite(delta))
            return false;
    }
}

// The bias rating's swing to grid current with every grid voltage searched.
double plainSwing(TTube t, int n, double slope, double Ia0, double Vak0) {
    const int steps = static_cast<int>(std::floor(2 * Vak0));
    for (int k = 0; k <= steps; ++k) {
        const double x = 0.5 * k;
        if (t.whichVg((Ia0 + slope * x) / n, Vak0 - x, t.Vek()) >= -0.5)
            return x;
    }
    return std::max(0.5 * steps, 0.0);
}

// A built-in model with one constant changed, so that its current no longer rises with the anode.
TTube altered(const std::string& model, double TubeParams::*constant, double value) {
    TubeParams p = builtinParams(model);
    p.*constant = value;
    return TTube(p, "T1");
}

struct Stage {
    const char* name;
    TTube tube;
    int n;
    double Vb, Vgk, Vs, load;
    AdvancedPowerParams adv;
};

std::vector<Stage> stages() {
    const AdvancedPowerParams half{4, 0.2, LoadFunction::f4Half};
    return {
        {"300B", builtinTube("300B"), 1, 400, -30, 0, 5000, half},
        {"2A3 two in parallel, f3",
         builtinTube("2A3"),
         2,
         300,
         -24,
         0,
         3000,
         {1, 0.2, LoadFunction::f3Simple}},
        {"2A3 with f1 (walked plainly)",
         builtinTube("2A3"),
         1,
         300,
         -20,
         0,
         3000,
         {2, 0.2, LoadFunction::f1}},
        {"EL34", builtinTube("EL34"), 1, 400, -25, 300, 6600, half},
        {"6L6-GC two in parallel", builtinTube("6L6-GC"), 2, 450, -20, 300, 5600, half},
        {"ECC83 small signal", builtinTube("ECC83 / 12AX7"), 1, 250, -6, 0, 100000, half},
        {"300B grid above the cathode", builtinTube("300B"), 1, 400, 12, 0, 5000, half},
        {"300B near cut-off on a near short (steep line)", builtinTube("300B"), 1, 400, -75, 0, 20, half},
        {"300B on a high load (floor of the line)", builtinTube("300B"), 1, 400, -60, 0, 400000, half},
        {"four EL34 in parallel", builtinTube("EL34"), 4, 450, -30, 250, 1500, half},
        {"EL34 cut off at rest", builtinTube("EL34"), 1, 400, -70, 300, 6600, half},
        {"negative kp", altered("300B", &TubeParams::kp, -600), 1, 400, -20, 0, 5000, half},
        {"negative mu", altered("EL34", &TubeParams::mu, -11), 1, 400, -20, 300, 6600, half},
        {"negative kvb", altered("EL34", &TubeParams::kvb, -24), 1, 400, -20, 300, 6600, half},
    };
}

} // namespace

namespace {

// calculSE, its cycles on two threads, against the plain bisection at every point; counts the
// cycles compared.
void expectSingleEndedPlain(const Stage& s, std::size_t* cycles = nullptr) {
    TTube t = s.tube;
    const double Ia0 = t.current(s.Vgk, 0.8 * s.Vb, s.Vs, s.n);
    const PowerData d = calculSE(t, s.n, Ia0, 1, 0, s.load / 2, 100, s.Vgk, s.Vb);
    if (cycles)
        *cycles += d.cycles.size();
    TTube plain = t;
    for (std::size_t r = 0; r < d.cycles.size(); ++r)
        for (int i = 0; i < kPointsPerCycle; ++i) {
            const TPointOper& p = d.cycles[r].PointsOper[static_cast<std::size_t>(i)];
            const Point p1 = plainSingleEnded(plain, s.n, p.vg1, t.Vek(), Ia0, t.Vak(), s.load / 2 + 100);
            const Point p2 = plainSingleEnded(plain, s.n, p.vg2, t.Vek(), Ia0, t.Vak(), s.load / 2 + 100);
            ASSERT_TRUE(p.va1 == p1.va && p.ia1 == p1.ia && p.ie1 == p1.ie && p.iter1 == p1.iterations &&
                        p.va2 == p2.va && p.ia2 == p2.ia && p.ie2 == p2.ie && p.iter2 == p2.iterations)
                << "cycle " << r << " sample " << i;
        }
}

// calculPP, its cycles on two threads, against the plain walk at every sample; counts the cycles.
void expectPushPullPlain(const Stage& s, std::size_t* cycles = nullptr) {
    TTube t = s.tube;
    t.current(s.Vgk, s.Vb, s.Vs, s.n);
    const PowerData d = calculPP(t, s.n, PushPullBias::FixedGrid, s.adv, 1, 0, s.load, s.Vs, s.Vgk, s.Vb);
    if (cycles)
        *cycles += d.cycles.size();
    TTube t1 = t, t2 = t;
    bool converged = true;
    for (std::size_t k = 0; k < d.cycles.size(); ++k) {
        double lo = 0.95 * s.Vb, hi = s.Vb;
        for (int i = 0; i < kPointsPerCycle; ++i) {
            const TPointOper& p = d.cycles[k].PointsOper[static_cast<std::size_t>(i)];
            TPointOper q;
            q.vg1 = p.vg1;
            q.vg2 = p.vg2;
            converged =
                plainPushPull(t1, t2, q, lo, hi, s.n, t.Ia(), s.Vb, s.Vs, s.load, d.biasMode, s.adv) &&
                converged;
            ASSERT_TRUE(p.va1 == q.va1 && p.va2 == q.va2 && p.ia1 == q.ia1 && p.ia2 == q.ia2)
                << "cycle " << k << " sample " << i;
            lo = std::max(lo - 5, 0.0);
        }
    }
    if (!d.cut) {
        EXPECT_EQ(d.converged, converged);
    }
}

// Stages drawn at random from the built-in output and small-signal tubes, biased from cut-off to
// near zero, on loads from a tenth to twice the usual.
std::vector<Stage> randomStages(unsigned seed, int count) {
    std::mt19937 rng(seed);
    const auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng);
    };
    const char* triodes[] = {"300B", "2A3", "ECC82 / 12AU7", "ECC99"};
    const char* pentodes[] = {"EL34", "KT88", "6L6-GC", "EL84"};
    const LoadFunction functions[] = {LoadFunction::f1, LoadFunction::f2, LoadFunction::f3Simple,
                                      LoadFunction::f4Half};
    std::vector<Stage> stages;
    for (int i = 0; i < count; ++i) {
        const bool pentode = i % 2 == 1;
        const char* model = pentode ? pentodes[rng() % 4] : triodes[rng() % 4];
        const double Vb = uniform(150, 500);
        const AdvancedPowerParams adv{uniform(0.5, 8), uniform(0, 2.5), functions[rng() % 4]};
        stages.push_back({model, builtinTube(model), 1 + static_cast<int>(rng() % 3), Vb, -uniform(3, 60),
                          pentode ? uniform(100, 400) : 0, uniform(500, 12000), adv});
    }
    return stages;
}

} // namespace

TEST(PointSearch, SingleEndedPointsAreThoseOfThePlainBisection) {
    for (const Stage& s : stages()) {
        SCOPED_TRACE(s.name);
        expectSingleEndedPlain(s);
    }
}

TEST(PointSearch, PushPullPointsAreThoseOfThePlainWalk) {
    for (const Stage& s : stages()) {
        SCOPED_TRACE(s.name);
        expectPushPullPlain(s);
    }
}

TEST(PointSearch, RandomStagesGiveThePlainSearchesPoints) {
    int index = 0;
    std::size_t se = 0, pp = 0;
    for (const Stage& s : randomStages(20261210, 16)) {
        SCOPED_TRACE(std::string("random stage ") + std::to_string(index++) + " " + s.name);
        expectSingleEndedPlain(s, &se);
        expectPushPullPlain(s, &pp);
    }
    // Enough cycles to share between the threads.
    EXPECT_GT(se, 100u);
    EXPECT_GT(pp, 200u);
}

// The plain loop whose end lastRisingMidpoint works out from the bits of hi.
double plainRisingMidpoint(double lo, double hi, double previous, int halving) {
    for (; halving <= 256; ++halving) {
        const double I = (lo + hi) / 2;
        if (I == previous)
            break;
        previous = lo = I;
    }
    return previous;
}

TEST(PointSearch, LastRisingMidpointIsThatOfTheLoop) {
    const double pow2 = 0.5, odd = std::nextafter(0.8, 1.0), even = 0.8;
    ASSERT_NE(std::bit_cast<std::uint64_t>(odd) % 2, std::bit_cast<std::uint64_t>(even) % 2);
    struct Case {
        const char* name;
        double lo, hi, previous;
        int halving;
    };
    const Case cases[] = {
        {"from zero to an even top", 0, even, NAN, 1},
        {"from zero to an odd top", 0, odd, NAN, 1},
        {"one step below an even top", std::nextafter(even, 0.0), even, std::nextafter(even, 0.0), 30},
        {"one step below an odd top", std::nextafter(odd, 0.0), odd, std::nextafter(odd, 0.0), 30},
        {"the last halving just before hi", std::nextafter(even, 0.0), even, even, 30},
        {"up to a power of two", 0.3, pow2, 0.3, 5},
        {"just below a power of two", std::nextafter(pow2, 0.0), pow2, NAN, 5},
        {"from just above a power of two", 0.25, std::nextafter(0.25, 1.0), 0.25, 5},
        {"halvings near the limit", 0.1, 0.8, 0.1, 230},
        {"one halving left", 0.1, 0.8, 0.1, 256},
        {"none left", 0.1, 0.8, 0.1, 257},
        {"subnormal hi", 0, 1e-310, NAN, 1},
        {"large currents", 1e3, 3e5, 1e3, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lastRisingMidpoint(c.lo, c.hi, c.previous, c.halving),
                  plainRisingMidpoint(c.lo, c.hi, c.previous, c.halving))
            << c.name;
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const double hi =
            std::ldexp(std::uniform_real_distribution<double>(1, 2)(rng), static_cast<int>(rng() % 40) - 20);
        const double lo = hi * std::uniform_real_distribution<double>(0, 1)(rng);
        const int halving = 1 + static_cast<int>(rng() % 256);
        ASSERT_EQ(lastRisingMidpoint(lo, hi, lo, halving), plainRisingMidpoint(lo, hi, lo, halving))
            << "lo " << lo << " hi " << hi << " halving " << halving;
    }
}

TEST(PointSearch, BiasRatingIsThatOfTheFullGridSearch) {
    for (const Stage& s : stages()) {
        SCOPED_TRACE(s.name);
        TTube t = s.tube;
        const double Ia0 = t.current(s.Vgk, s.Vb, s.Vs, s.n);
        const BiasMode m = biasModePP(t, s.n, s.load, Ia0, s.Vb);
        const double gA = plainSwing(t, s.n, 2 / s.load, Ia0, s.Vb);
        const double gB = plainSwing(t, s.n, 4 / s.load, Ia0, s.Vb);
        EXPECT_EQ(m.R, (s.load * Ia0 / 4 + gA - gB) / s.Vb);
        const double up = std::min(s.load * Ia0 / 2, gA);
        EXPECT_EQ(m.PA, (gA * gA + up * up) / s.load);
        EXPECT_EQ(m.PB, 2 * gB * gB / s.load + s.load * Ia0 * Ia0 / 8);
    }
}

// The walk's bounds are taken from whole stretches of one binade; each must be what stepping 0.2 V
// at a time gives, read in order or out of it, across binade edges (256 V, 1 V), below 1 V (where
// the grid is fine enough for ties), at voltages where a step no longer moves the bound, and for
// starts that are not usable numbers.
TEST(PointSearch, StepLadderBoundsAreThoseOfSteppingOneAtATime) {
    const double starts[] = {0,         0.3,  0.999, 1,      1.7,  255.9, 256,  256.1, 400.123,
                             511.99999, 1024, 3e3,   4.5e15, 9e15, 3e300, -2.5, NAN,   INFINITY};
    std::mt19937 rng(7);
    for (const double start : starts)
        for (const int dir : {1, -1}) {
            SCOPED_TRACE(std::to_string(start) + (dir > 0 ? " up" : " down"));
            std::vector<double> plain{start};
            for (int j = 1; j <= kPushPullPassLimit; ++j)
                plain.push_back(dir > 0 ? plain.back() + 0.2 : plain.back() - 0.2);
            StepLadder inOrder, outOfOrder;
            inOrder.reset(start, dir);
            outOfOrder.reset(start, dir);
            int mismatches = 0;
            for (int j = 0; j <= kPushPullPassLimit; ++j) {
                const int k = static_cast<int>(rng() % (kPushPullPassLimit + 1));
                mismatches += !sameBits(inOrder[j], plain[static_cast<std::size_t>(j)]);
                mismatches += !sameBits(outOfOrder[k], plain[static_cast<std::size_t>(k)]);
            }
            EXPECT_EQ(mismatches, 0);
        }
}
