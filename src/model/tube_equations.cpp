// The NK equations, their differences and the grid and anode searches, as pure functions.
#include "model/tube_equations.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {
// Resistance reported where a difference quotient meets a flat characteristic (cut-off):
// the tube is, in effect, an open circuit.
constexpr double kOpenCircuit = 1e12;

// A resistance from a difference quotient; a flat characteristic (cut-off, or currents so small
// that their difference underflows) reads as an open circuit instead of an infinity.
double openOr(double rho) {
    return std::isfinite(rho) && std::fabs(rho) < kOpenCircuit ? rho : kOpenCircuit;
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// ln(1 + e^x) without overflow for large x.
double softplus(double x) {
    return x > 700 ? x : std::log1p(std::exp(x));
}

void noteProbe(double* lastProbe, double v) {
    if (lastProbe)
        *lastProbe = v;
}

// Whether the model has the constants the equations divide by; a model without them (a name no row
// carries) conducts nothing.
bool hasConstants(const TubeConstants& c) {
    return c.kp != 0 && c.mu != 0 && c.kg1 != 0;
}

// The triode's anode current from E1 = (Va/kp)·ln(1 + e^x): 2·E1^ex/kg1, nothing where E1 is not
// positive.
double triodeFromE1(const TubeConstants& c, double E1) {
    return E1 > 0 ? 2.0 * std::pow(E1, c.ex) / c.kg1 : 0;
}
} // namespace

double nkTriodeCurrent(const TubeConstants& c, double Vak, double Vgk) {
    if (!hasConstants(c))
        return 0;
    const double s = std::sqrt(c.kvb + Vak * Vak);
    const double x = c.kp * (1.0 / c.mu + Vgk / s);
    return triodeFromE1(c, (Vak / c.kp) * softplus(x));
}

PentodeGrid nkPentodeGrid(const TubeConstants& c, double Vgk, double Vek) {
    if (hasConstants(c) && Vek != 0) {
        const double x = c.kp * (1.0 / c.mu + Vgk / Vek);
        const double E1 = (Vek / c.kp) * softplus(x);
        if (E1 > 0)
            return {true, 2.0 * (std::pow(E1, c.ex) / c.kg1)};
    }
    return {};
}

double nkPentodeCurrent(const TubeConstants& c, double Vak, double Vgk, double Vek) {
    return nkPentodeAnode(c, nkPentodeGrid(c, Vgk, Vek), Vak);
}

double nkScreenCurrent(const TubeConstants& c, double Vgk, double Vek) {
    if (c.mu != 0 && c.kg2 != 0) {
        const double u = Vek / c.mu + Vgk;
        if (u >= 0)
            return std::pow(u, 1.5) / c.kg2;
    }
    return 0;
}

double nkCurrent(const TubeConstants& c, double Vgk, double Vak, double Vsk, int parallel) {
    if (c.t35 == 3)
        return parallel * nkTriodeCurrent(c, Vak, Vgk);
    if (c.t35 == 5)
        return parallel * nkPentodeCurrent(c, Vak, Vgk, Vsk);
    return 0;
}

bool nkCarries(const TubeConstants& c, double Vak, double Vgk, double Ia, double Vsk, int parallel) {
    return std::fabs(Ia - nkCurrent(c, Vgk, Vak, Vsk, parallel)) < 1e-5;
}

SmallSignal nkSmallSignal(const TubeConstants& c, double vak, double vgk, double vek) {
    SmallSignal s;
    const double iaPlus = nkCurrent(c, vgk, vak + 0.1, vek);
    const double iaMinus = nkCurrent(c, vgk, vak - 0.1, vek);
    s.rho = openOr(2 * 0.1 / (iaPlus - iaMinus));
    const double igMinus = nkCurrent(c, vgk - 0.05, vak, vek);
    const double igPlus = nkCurrent(c, vgk + 0.05, vak, vek);
    s.gm = (igPlus - igMinus) * 0.5 / 0.05;
    s.mu = s.rho * s.gm;
    return s;
}

double nkTriodeGm(const TubeConstants& c, double vak, double vgk) {
    return (nkTriodeCurrent(c, vak, vgk - 0.01) - nkTriodeCurrent(c, vak, vgk)) / (-0.01);
}

double nkTriodeRo(const TubeConstants& c, double vak, double vgk) {
    return openOr(0.1 / (nkTriodeCurrent(c, vak + 0.1, vgk) - nkTriodeCurrent(c, vak, vgk)));
}

double nkGm(const TubeConstants& c, double Va, double Vg, double Vs) {
    const double i0 = nkCurrent(c, Vg, Va, Vs);
    const double i1 = nkCurrent(c, Vg - 0.01, Va, Vs);
    return (i1 - i0) / (-0.01);
}

double nkRo(const TubeConstants& c, double Va, double Vg, double Vs) {
    const double i0 = nkCurrent(c, Vg, Va, Vs);
    const double i1 = nkCurrent(c, Vg, Va + 0.1, Vs);
    return i0 == i1 ? 0 : 0.1 / (i1 - i0);
}

double nkWhichVg(const TubeConstants& c, double Ia, double Va, double Vs, double* lastProbe) {
    noteProbe(lastProbe, 0);
    if (Ia > nkCurrent(c, 0, Va, Vs))
        return 0;
    // The currents of a real tube vanish well before a few kilovolts of negative grid; the bounds
    // only stop targets that no grid voltage can reach (a target of zero or below).
    constexpr double kLowestGrid = -10000;
    constexpr int kMaxHalvings = 400;
    double hi = 0, lo = 0;
    for (;;) {
        noteProbe(lastProbe, lo);
        if (!(nkCurrent(c, lo, Va, Vs) > Ia && lo > kLowestGrid))
            break;
        lo -= 1;
    }
    double mid = 0;
    for (int n = 0; n < kMaxHalvings; ++n) {
        mid = (lo + hi) * 0.5;
        noteProbe(lastProbe, mid);
        const double diff = Ia - nkCurrent(c, mid, Va, Vs);
        if (std::fabs(diff) < 1e-6)
            return mid;
        if (diff < 0)
            hi = mid;
        else
            lo = mid;
    }
    return mid;
}

double nkWhichVgOld(const TubeConstants& c, double Ia, double Va, double Vs, double vgstart,
                    double* lastProbe) {
    double Vg = vgstart;
    noteProbe(lastProbe, Vg);
    if (Ia > nkCurrent(c, vgstart, Va, Vs))
        return 1;
    constexpr int kMaxSteps = 2000000; // 2 kV of 1 mV steps
    for (int n = 0; n < kMaxSteps; ++n) {
        Vg -= 0.001;
        const double I = nkCurrent(c, Vg, Va, Vs);
        if (std::fabs(Ia - I) < 1e-5 || Ia > I)
            break;
    }
    noteProbe(lastProbe, Vg);
    return Vg;
}

double nkWhichVa(const TubeConstants& c, double Ia, double Vg, double Vs, double* lastProbe) {
    double Va = c.Vamax / 2;
    // Half-percent steps: a million passes cover any reachable anode voltage many times over;
    // the bound stops targets above the saturation current of a pentode.
    constexpr int kMaxPasses = 1000000;
    for (int n = 0; n < kMaxPasses; ++n) {
        noteProbe(lastProbe, Va);
        const double I = nkCurrent(c, Vg, Va, Vs);
        if (I > Ia)
            Va = Va - (Va - 0.99 * Va) / 2;
        else if (I < Ia)
            Va = Va + (1.01 * Va - Va) / 2;
        if (std::fabs(Ia - I) < 1e-6)
            break;
        if (!std::isfinite(Va) || Va > 1e9)
            break;
    }
    return Va;
}

namespace {
// The triode's current with its grid at the cathode, bit for bit nkTriodeCurrent(c, Vak, 0): with
// Vgk = 0 the exponent kp·(1/mu + 0/√(kvb + Va²)) no longer depends on the anode, so its softplus
// is worked out once. Where the root √(kvb + Va²) is 0 (0/0) or not a number the full equation is
// kept.
class ZeroGridTriode {
public:
    explicit ZeroGridTriode(const TubeConstants& c)
        : c_(c), usable_(hasConstants(c)), factor_(usable_ ? softplus(c.kp * (1.0 / c.mu + 0.0)) : 0) {}
    double operator()(double Vak) const {
        if (!usable_)
            return 0;
        if (!(c_.kvb + Vak * Vak > 0)) // the root is 0 or not a number
            return nkTriodeCurrent(c_, Vak, 0);
        return triodeFromE1(c_, (Vak / c_.kp) * factor_);
    }

private:
    const TubeConstants& c_;
    bool usable_;
    double factor_;
};
} // namespace

bool nkLoadLineNullVgk(const TubeConstants& c, double Vb, double sumR, double& Vakmin, double& Iamax) {
    constexpr int kPasses = 1999;
    const ZeroGridTriode zeroGrid(c);
    double I = Vb / sumR / 2;
    // The currents the last kCycle passes run began with, in a ring kept by the count of passes run.
    constexpr unsigned kCycle = 8;
    double began[kCycle] = {};
    unsigned begun = 0;
    for (int pass = 0; pass < kPasses; ++pass) {
        // Damped by a twentieth, the search overshoots where the load line is steep against the
        // tube's curve, and often settles into a cycle of two or four points it goes round for
        // good. Once a pass begins where the one p passes before began, every further run of p
        // passes repeats: go on with the last passes of the same phase, which end as the whole run
        // would.
        for (unsigned p = 1; p <= std::min(begun, kCycle); ++p)
            if (sameBits(I, began[(begun - p) % kCycle])) {
                pass += (kPasses - 1 - pass) / static_cast<int>(p) * static_cast<int>(p);
                break;
            }
        began[begun++ % kCycle] = I;
        Vakmin = Vb - sumR * I;
        if (Vakmin < 0)
            Vakmin = 1;
        Iamax = zeroGrid(Vakmin);
        const double d = Iamax - I;
        if (std::fabs(d) < 1e-5)
            return true;
        I += d / 20;
    }
    return false;
}
