// Single-tube bias solvers of TTube: bisection and damped fixed-point searches of the DC
// operating point. All use the triode equation whatever the model's kind.
#include "model/tube.h"
#include "util/format.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {
bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

constexpr const char* kSuggestionsSink =
    "\n\nSuggestions:\n- reduce the DC voltage on grid\n- increase the value of "
    "Rk2\n- use a tube able to deliver more current";

std::string cannotProvideMinimalCurrent(double Imin, double Vg, double Rk, double Imax0, double Vak0) {
    return strFormat(
               "The circuit cannot be operated normally:\n\nthe tube cannot provide the minimal current\n  "
               "%.0fmA (%.0fV onto %.0fΩ),\n\nbeing itself limited to\n  %.1fmA @ Vgk null and Vak=%.0fV",
               1000 * Imin, Vg, Rk, 1000 * Imax0, Vak0) +
           kSuggestionsSink;
}
} // namespace

void TTube::titleTrace(TFormConvergence* trace, int count, double tolerance, double start) const {
    if (!trace)
        return;
    trace->caption =
        strFormat("C%d - %s %s - %d iter. Res ±%.0fµA Ia %.2f=>%.2fmA", trace->Tag, FReference.c_str(),
                  FName.c_str(), count, tolerance * 1e6, start * 1000, FIa * 1000);
}

double TTube::basicBiasSuccApprox(double Vb, double Ra, double Rk, TFormConvergence* trace) {
    double hi = triode(0, Vb);
    if (Ra + Rk > 0 && hi > Vb / (Ra + Rk))
        hi = Vb / (Ra + Rk);
    double lo = 0;
    const double start = (lo + hi) * 0.5;
    tracePoint(trace, 0, start);

    // Once the interval has shrunk to nothing the midpoint no longer moves, so this bound only
    // ends searches that could not progress anyway.
    constexpr int kMaxPasses = 2000;
    int c = 1;
    double Ia = 0;
    for (;;) {
        const double d = (lo + hi) * 0.5;
        Ia = triode(-Rk * d, Vb - (Ra + Rk) * d);
        tracePoint(trace, c, Ia);
        if (Ia > d)
            lo = d;
        else
            hi = d;
        ++c;
        if (std::fabs(Ia - d) < 1e-6 || c > kMaxPasses)
            break;
    }
    titleTrace(trace, c, 1e-6, start);
    return Ia;
}

int TTube::basicBiasPoints(double Vb, double Ra, double Rk, double& Vak, double& Vgk, double& Ia,
                           TFormConvergence* trace) {
    double Iamax = 0.1;
    if (Ra + Rk > 0) {
        double vakmin;
        LoadLineNullVgk(Vb, Ra + Rk, vakmin, Iamax);
    }
    double I = Iamax / 2;
    const double start = I;
    tracePoint(trace, 0, I);
    int count = 1000;
    for (int i = 0; i < 1000; ++i) {
        Vak = Vb - (Ra + Rk) * I;
        if (Vak < 0)
            Vak = 0;
        Vgk = -Rk * I;
        Ia = triode(Vgk, Vak);
        if (Ia > Iamax)
            Ia = Iamax;
        const double d = Ia - I;
        tracePoint(trace, i, Ia);
        if (std::fabs(d) < 1e-6) {
            count = i;
            break;
        }
        I += d / 10;
    }
    titleTrace(trace, count, 1e-6, start);
    return count;
}

int TTube::gridBiasPoints(double Vb, double Ra, double Rk, double Vg, double& Vak, double& Vgk, double& Ia,
                          TFormConvergence* trace) {
    double Vakmin, Iamax;
    LoadLineNullVgk(Vb, Ra + Rk, Vakmin, Iamax);
    double I = Iamax / 2;
    const double start = I;
    tracePoint(trace, 0, I);
    int i = 0;
    while (i < 1000) {
        const double passStart = I;
        Vak = Vb - (Ra + Rk) * I;
        if (Vak < Vakmin) {
            Vak = Vakmin;
            I = (Vb - Vak) / (Ra + Rk);
        }
        Vgk = Vg - Rk * I;
        if (Vgk > 0) {
            Vgk = 0;
            I = Vg / Rk;
        }
        Ia = triode(Vgk, Vak);
        if (Ia > Iamax)
            Ia = Iamax;
        const double d = Ia - I;
        if (std::fabs(d) < 2e-6)
            break;
        I += d / 100;
        if (I > Iamax)
            I = Iamax;
        ++i;
        tracePoint(trace, i, I);
        // A pass that ends where it began (a grid clamped at its cathode resets the current to
        // the same value each time) repeats itself to the last pass: record those at once.
        if (sameBits(I, passStart))
            while (i < 1000)
                tracePoint(trace, ++i, I);
    }
    titleTrace(trace, i, 2e-6, start);
    return i;
}

std::string TTube::gridFixedBiasDephaseur(double Vb, double Vg, double Ra, double Rk,
                                          TFormConvergence* trace) {
    const double Imin = Vg / Rk;
    const double Vak0 = Vb - (Ra + Rk) * Imin;
    if (Vak0 <= 0) {
        return strFormat(
                   "The circuit cannot be operated normally because of tube %s:\n\nthe anode cathode voltage "
                   "cannot provide the minimal current\n  %.0fmA (%.0fV onto %.0fΩ)",
                   FReference.c_str(), 1000 * Imin, Vg, Rk) +
               strFormat("\ndrop voltage across Ra and Rk is too large %.0fV", (Ra + Rk) * Imin) +
               "\n\nSuggestions:\n- reduce the DC voltage on grid to allow a larger Vak\n- increase Ra and "
               "Rk\n- "
               "use a tube able to deliver more current";
    }
    const double Imax0 = getMaxCurrent(Vak0);
    if (Imax0 < Imin)
        return cannotProvideMinimalCurrent(Imin, Vg, Rk, Imax0, Vak0);

    std::string result;
    double lo = Vg, hi = Vb;
    int i = 0;
    for (;;) {
        const double Vk = (lo + hi) * 0.5;
        const double Ik = Vk / Rk;
        double Vak = Vb - Vk - Ra * Ik;
        if (Vak < 10)
            Vak = 10;
        double Vgk = Vg - Vk;
        if (Vgk > 0)
            Vgk = 0;
        const double Ia = triode(Vgk, Vak);
        tracePoint(trace, i, Ia);
        if (Ia > Ik)
            lo = Vk;
        else
            hi = Vk;
        ++i;
        if (std::fabs(Ia - Ik) < 1e-6 || i > 999)
            break;
    }
    if (i >= 1000)
        result = "Too many iterations";
    titleTrace(trace, i, 1e-6, 0);
    return result;
}

std::string TTube::basicFollower(double Vb, double Vg, double Rk, TFormConvergence* trace) {
    const double Imax0 = getMaxCurrent(Vb - Vg);
    if (Imax0 < Vg / Rk)
        return cannotProvideMinimalCurrent(Vg / Rk, Vg, Rk, Imax0, Vb - Vg);

    double lo = Vg, hi = Vb;
    int i = 0;
    while (i <= 500) {
        const double Vk = (lo + hi) * 0.5;
        const double Ik = Vk / Rk;
        double Vgk = Vg - Vk;
        if (Vgk > 0)
            Vgk = 0;
        const double Ia = triode(Vgk, Vb - Vk);
        tracePoint(trace, i, Ia);
        if (Ia > Ik)
            lo = Vk;
        else
            hi = Vk;
        ++i;
        if (std::fabs(Ia - Ik) < 1e-6)
            break;
    }
    return i > 500 ? "Too many iterations" : "";
}
