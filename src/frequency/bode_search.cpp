// Bounded bisections for the gain peak and the -3 dB corners.
#include "frequency/bode_search.h"

#include <algorithm>
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

double searchPeakGolden(const GainOfFrequency& A, double lo, double hi) {
    if (!(lo > 0) || !(hi > lo))
        return lo;
    const double r = (std::sqrt(5.0) - 1) / 2;
    double a = std::log(lo), b = std::log(hi);
    double c = b - r * (b - a), d = a + r * (b - a);
    double Ac = A(std::exp(c)), Ad = A(std::exp(d));
    for (int i = 0; i < 100 && b - a > 1e-9; ++i) {
        if (Ac >= Ad) {
            b = d, d = c, Ad = Ac;
            c = b - r * (b - a);
            Ac = A(std::exp(c));
        } else {
            a = c, c = d, Ac = Ad;
            d = a + r * (b - a);
            Ad = A(std::exp(d));
        }
    }
    return std::exp((a + b) / 2);
}

double searchCornerBracketed(const GainOfFrequency& A, const std::vector<double>& F,
                             const std::vector<double>& values, double fpk, double target, bool below) {
    if (!(target > 0) || !std::isfinite(target) || !(fpk > 0))
        return 0;
    // inside: the end of the bracket on the peak's side (at or above the target); outside: the first
    // frequency found under it.
    double inside = fpk, outside = 0;
    const std::size_t N = std::min(F.size(), values.size());
    if (below) {
        for (std::size_t i = N; i-- > 0 && outside == 0;) {
            if (F[i] >= fpk)
                continue;
            if (values[i] < target)
                outside = F[i];
            else
                inside = F[i];
        }
        for (double f = inside / 10; outside == 0 && f >= 1e-3; f /= 10) {
            if (A(f) < target)
                outside = f;
            else
                inside = f;
        }
    } else {
        for (std::size_t i = 0; i < N && outside == 0; ++i) {
            if (F[i] <= fpk)
                continue;
            if (values[i] < target)
                outside = F[i];
            else
                inside = F[i];
        }
        for (double f = inside * 10; outside == 0 && f <= 1e9; f *= 10) {
            if (A(f) < target)
                outside = f;
            else
                inside = f;
        }
    }
    if (outside == 0)
        return 0;
    double in = std::log(inside), out = std::log(outside);
    for (int i = 0; i < 200 && std::fabs(out - in) > 1e-12; ++i) {
        const double mid = (in + out) / 2;
        if (A(std::exp(mid)) < target)
            out = mid;
        else
            in = mid;
    }
    return std::exp((in + out) / 2);
}
