// Bounded bisections for the gain peak and the -3 dB corners.
#include "frequency/bode_search.h"

#include <cmath>

namespace {
// 0.7071 Apk, or 0 when there is no gain to take a fraction of.
double cornerTarget(double Apk) {
    return std::isfinite(Apk) && Apk > 0 ? 0.7071 * Apk : 0;
}
} // namespace

double gainSlope(const GainOfFrequency& A, double f) {
    return (A(1.05 * f) - A(0.95 * f)) / (0.1 * f);
}

double searchPeak(const GainOfFrequency& A, double lo, double hi) {
    double mid = (lo + hi) / 2;
    for (int i = 0; i < kMaxHalvings; ++i) {
        mid = (lo + hi) / 2;
        const double s = gainSlope(A, mid);
        // A halving that leaves the bracket as it was would repeat for ever: stop there.
        if (s > 0.001) {
            if (lo == mid)
                break;
            lo = mid;
        } else if (s < -0.001) {
            if (hi == mid)
                break;
            hi = mid;
        } else {
            break;
        }
    }
    return mid;
}

double searchLowCorner(const GainOfFrequency& A, double fpk, double Apk) {
    const double T = cornerTarget(Apk);
    if (T == 0)
        return 0;
    double lo = 0.01, hi = fpk;
    for (int i = 0; i < kMaxHalvings; ++i) {
        const double mid = (lo + hi) / 2;
        const double r = (A(mid) - T) / T;
        if (r > 0.001) {
            if (hi == mid)
                return 0;
            hi = mid;
        } else if (r < -0.001) {
            if (lo == mid)
                return 0;
            lo = mid;
        } else {
            return std::isnan(r) ? 0 : mid;
        }
    }
    return 0;
}

double searchHighCorner(const GainOfFrequency& A, double fpk, double Apk) {
    const double T = cornerTarget(Apk);
    if (T == 0)
        return 0;
    double lo = fpk, hi = 1e6;
    double mid = (lo + hi) / 2;
    for (int i = 0; i < kMaxHalvings; ++i) {
        mid = (lo + hi) / 2;
        const double r = (A(mid) - T) / T;
        if (r > 0.001)
            lo = mid;
        else if (r < -0.001)
            hi = mid;
        else
            break;
    }
    return mid;
}
