// Phase-exact gains and input impedances of the twelve two-port kinds: the same components and
// node capacitances as the magnitude arithmetic, combined as complex impedances, with the sign of
// each output and the Miller and bootstrap terms taken from the complex gains.
#include "frequency/impedance.h"
#include "frequency/impedance_exact.h"
#include "frequency/quadripole.h"

using impedance::omega;
using impedance::exact::Complex;
using impedance::exact::isOpen;
using impedance::exact::open;
using impedance::exact::P;
using impedance::exact::X;
using impedance::exact::Y;
using impedance::exact::Zp;
using impedance::exact::Zs;

namespace {
bool finite(Complex z) {
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

Complex finiteOrZero(Complex z) {
    return finite(z) ? z : Complex(0);
}

// Impedance of a capacitance that may itself be complex (a Miller or bootstrapped capacitance).
Complex capacitive(double w, Complex C) {
    const Complex y = Complex(0, w) * C;
    return y == Complex(0) ? open() : 1.0 / y;
}
} // namespace

Complex TQuadripole::exactCathodeImpedance(double w) const {
    return Ckconnected ? Zp(w, Rk, Ck + Cpou) : Zp(w, Rk, Cpou);
}

void TQuadripole::getExactGains(double f, Complex L1, Complex L2) {
    const double w = omega(f);
    const double µ = mu(), ρ = rho();
    const Complex j(0, 1);
    Complex g0 = 0, g1 = 0;
    Complex L = L1;     // the load the input impedance depends on
    Complex follow = 0; // common cathode and follower: cathode voltage over grid voltage

    switch (tqp) {
    case tqpInputGrid: {
        // Source R1 through C1 into node A (R2 || C2), then the stopper R3 into the grid node B,
        // which carries C3, its own stray and the next stage's input impedance.
        const Complex e = C1Shunted ? Complex(R1) : Zs(w, R1, C1);
        const Complex p = Zp(w, R2, C2);
        const Complex b = P(X(w, C3 + Cpou), L1);
        const Complex h = R3 + b;
        g0 = p * b / (e * (p + h) + p * h);
        break;
    }
    case tqpOutputLoad: {
        const Complex e = Zs(w, Rs, Cs);
        const Complex p = Zp(w, Ro, Co + Cpou);
        g0 = isOpen(e) ? Complex(0) : p / (p + e);
        break;
    }
    case tqpLevelShifter: {
        const Complex e = Zp(w, R1, C1);
        const Complex m = P(L1, X(w, C3 + Cpou));
        const Complex p = P(R3 + m, Zp(w, R2, C2));
        g0 = p * m / ((e + p) * (R3 + m));
        break;
    }
    case tqpInterStage: {
        const Complex m = P(L1, X(w, Cgs + Cpou));
        const Complex p = P(Rgs + m, Rg);
        const Complex y = X(w, Ca);
        g0 = isOpen(y) ? Complex(0) : p * m / ((y + p) * (Rgs + m));
        break;
    }
    case tqpTubeCatCom: {
        // Nodal analysis of the stage for vg = 1, with the tube's capacitances between its pins: the
        // anode and the cathode each keep their strays to ground (Cpou without Cak), Cak joins them,
        // Cga and Cgk join them to the grid. ia = gm vgk + vak / rho with gm = mu / rho.
        const double gp = ρ > 0 ? 1 / ρ : 0, gmu = µ * gp;
        const double strays = Cpou - cak();
        const Complex Ya = Y(P(L1, Zp(w, Ra, strays)));
        const Complex Yk = Y(Ckconnected ? Zp(w, Rk, Ck + strays) : Zp(w, Rk, strays));
        const Complex yak = j * w * cak();
        const Complex yga = ignoreBootstrap ? Complex(0) : j * w * cga();
        const Complex ygk = ignoreBootstrap ? Complex(0) : j * w * cgk();
        const Complex a11 = Ya + gp + yga + yak, a12 = -(gmu + gp + yak), b1 = yga - gmu;
        const Complex a21 = -(gp + yak), a22 = Yk + gmu + gp + ygk + yak, b2 = gmu + ygk;
        const Complex det = a11 * a22 - a12 * a21;
        g0 = (b1 * a22 - a12 * b2) / det;
        follow = (a11 * b2 - a21 * b1) / det;
        break;
    }
    case tqpTubeCatFol: {
        // Rk to ground beside Rs in series with the load; the output is the foot of Rs.
        const Complex ZL = P(Zp(w, Rk, Cpou), Rs + L1);
        follow = µ * ZL / ((1 + µ) * ZL + ρ);
        g0 = Rs > 0 && !isOpen(L1) ? follow * L1 / (Rs + L1) : follow;
        break;
    }
    case tqpTubeGriCom: {
        const Complex RL = P(Zp(w, Ra, Cpou), L1);
        const Complex rin = (RL + ρ) / (1 + µ);
        const Complex Zc = P(rin, Zp(w, Rk, Cpin));
        const Complex xk = X(w, Ck);
        g0 = isOpen(xk) ? Complex(0) : (1 + µ) * (Zc / (Zc + xk)) * RL / (RL + ρ);
        break;
    }
    case tqpTubeAnoCom: {
        const Complex e = P(ρ, L1);
        const double k = 1 + gm() * Rk;
        g0 = e * k / (Rk + e * k);
        break;
    }
    case tqpTubePullUpDn:
        g0 = 1;
        break;
    case tqpTubeCathodyne: {
        const Complex RLa = P(Zp(w, Ra, Cpou), L1);
        const Complex Zb = Zp(w, Rgk, Ck);
        const Complex RLk = P(Zp(w, Rk, Cpou), L2);
        const Complex D = (1 + µ) * (Zb + RLk) + ρ + RLa;
        g0 = -µ * RLa / D;
        g1 = µ * RLk / D;
        L = L2;
        break;
    }
    case tqpTubeDifférentiel: {
        const Complex Z1 = P(L1, Zp(w, Ra1, Cpou));
        const Complex Z2 = P(L2, Zp(w, Ra2, Cpou));
        const Complex Zk = Zp(w, Rk, Cpin);
        const double p = 1 + µ;
        const Complex D = (Z1 + ρ + p * Zk) * (Z2 + ρ + p * Zk) - p * p * Zk * Zk;
        g0 = -µ * Z1 * (Z2 + ρ + p * Zk) / D;
        g1 = µ * p * Z2 * Zk / D;
        break;
    }
    case tqpTubeMixer: {
        const Complex RL = P(L1, Zp(w, Ra, Cpou));
        // The cathode impedance carries both triodes' currents (see the classic mixer).
        g0 = -µ * RL / (2.0 * RL + ρ + 2.0 * (µ + 1) * exactCathodeImpedance(w));
        break;
    }
    }
    exactAv0 = finiteOrZero(g0);
    exactAv1 = finiteOrZero(g1);
    const Complex z = exactInputImpedance(w, L, exactAv0, exactAv1, finiteOrZero(follow));
    exactZin = finite(z) || isOpen(z) ? z : Complex(0);
}

Complex TQuadripole::exactInputImpedance(double w, Complex L, Complex g0, Complex g1, Complex follow) const {
    const double µ = mu(), ρ = rho();
    switch (tqp) {
    case tqpInputGrid: {
        const Complex e = C1Shunted ? Complex(R1) : Zs(w, R1, C1);
        return e + P(R3 + P(X(w, C3 + Cpou), L), Zp(w, R2, C2));
    }
    case tqpOutputLoad:
        return Zs(w, Rs, Cs) + Zp(w, Ro, Co + Cpou);
    case tqpLevelShifter:
        return P(Zp(w, R1, C1) + P(R3 + P(X(w, C3 + Cpou), L), Zp(w, R2, C2)), X(w, Cpin));
    case tqpInterStage:
        return X(w, Ca) + P(Rgs + P(X(w, Cgs + Cpou), L), Rg);
    case tqpTubeCatCom: // Miller, and the grid-cathode capacitance sees (1 - vk/vg) vg
        return ignoreBootstrap ? X(w, Cpin) : capacitive(w, Cpin - follow * cgk() + (1.0 - g0) * cga());
    case tqpTubeDifférentiel:
    case tqpTubeMixer: // Miller: the grid-anode capacitance sees the grid-anode voltage (1 - Av) vg
        return ignoreBootstrap ? X(w, Cpin) : capacitive(w, Cpin + (1.0 - g0) * cga());
    case tqpTubeCatFol: // the grid-cathode capacitance sees (1 - vk/vg) vg
        return ignoreBootstrap ? X(w, Cpin) : capacitive(w, Cpin + (1.0 - follow) * cgk());
    case tqpTubeGriCom: {
        const Complex RL = P(Zp(w, Ra, Cpou), L);
        return X(w, Ck) + P(Zp(w, Rk, Cpin), (RL + ρ) / (1 + µ));
    }
    case tqpTubeAnoCom:
        return Rk + (1 + gm() * Rk) * P(ρ, L);
    case tqpTubePullUpDn:
        return P(P(X(w, Cpou), L), (1 + µ) * Rk + ρ);
    case tqpTubeCathodyne: {
        // The cathode follows the grid: the grid resistor is bootstrapped by 1 / (1 - Av1).
        const Complex R = Rg < 1e12 ? Rg / (1.0 - g1) : Complex(Rg);
        return P(R, X(w, Cpin));
    }
    }
    return 0;
}
