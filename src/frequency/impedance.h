// Impedance magnitudes of the two-port model: reactance, parallel and series R-C moduli.
// No phase is carried; every value is a real magnitude in ohms.
#pragma once

#include <cmath>

namespace impedance {

constexpr double kTwoPi = 6.283185307179586;

inline double omega(double f) {
    return kTwoPi * f;
}

// Reactance magnitude 1 / (w C).
inline double X(double w, double C) {
    return 1.0 / (w * C);
}

// Two magnitudes in parallel, a b / (a + b). An open branch (infinite) leaves the other one,
// a short (zero) gives zero, so 0 || 0 is 0 rather than 0/0.
inline double P(double a, double b) {
    if (a == 0 || b == 0)
        return 0;
    if (std::isinf(a))
        return b;
    if (std::isinf(b))
        return a;
    return a * b / (a + b);
}

// Magnitude of R in parallel with C; an infinite R leaves the capacitor alone.
inline double Zp(double w, double R, double C) {
    if (std::isinf(R))
        return X(w, C);
    return R / std::sqrt(1 + w * w * C * C * R * R);
}

// Magnitude of R in series with C.
inline double Zs(double w, double R, double C) {
    return std::sqrt(R * R + 1.0 / (w * w * C * C));
}

} // namespace impedance
