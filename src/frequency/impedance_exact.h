// Complex impedances of the phase-exact evaluation: reactance, parallel and series R-C, with the
// same conventions for open (infinite) and shorted (zero) branches as the magnitude rules.
#pragma once

#include <cmath>
#include <complex>
#include <limits>

namespace impedance::exact {

using Complex = std::complex<double>;

inline bool isOpen(Complex z) {
    return std::isinf(z.real()) || std::isinf(z.imag());
}

inline Complex open() {
    return {std::numeric_limits<double>::infinity(), 0};
}

// 1 / (j w C); no capacitor (C = 0) is an open branch.
inline Complex X(double w, double C) {
    if (C == 0 || w == 0)
        return open();
    return Complex(0, -1.0 / (w * C));
}

// a b / (a + b); an open branch leaves the other one, a short gives zero.
inline Complex P(Complex a, Complex b) {
    if (a == Complex(0) || b == Complex(0))
        return 0;
    if (isOpen(a))
        return b;
    if (isOpen(b))
        return a;
    return a * b / (a + b);
}

// R in parallel with C.
inline Complex Zp(double w, double R, double C) {
    if (std::isinf(R))
        return X(w, C);
    return R / Complex(1, w * R * C);
}

// R in series with C.
inline Complex Zs(double w, double R, double C) {
    const Complex x = X(w, C);
    return isOpen(x) ? x : R + x;
}

// Admittance of an impedance; an open branch admits nothing.
inline Complex Y(Complex z) {
    return isOpen(z) ? Complex(0) : 1.0 / z;
}

} // namespace impedance::exact
