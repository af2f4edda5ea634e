// Phase-exact gains and input impedances of the twelve two-port kinds: the same components and
// node capacitances as the magnitude arithmetic, combined as complex impedances, with the sign of
// each output and the Miller and bootstrap terms taken from the complex gains.
#include "frequency/impedance.h"
#include "frequency/impedance_exact.h"
#include "frequency/quadripole.h"

#include <algorithm>
#include <array>

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
        const Complex p = R2Returned ? X(w, C2) : Zp(w, R2, C2);
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
        if (!ignoreBootstrap) {
            exactGroundedGrid(w, L1);
            return;
        }
        const Complex RL = P(Zp(w, Ra, Cpou), L1);
        const Complex rin = (RL + ρ) / (1 + µ);
        const Complex Zc = P(rin, Zp(w, Rk, Cpin));
        const Complex xk = X(w, Ck);
        g0 = isOpen(xk) ? Complex(0) : (1 + µ) * (Zc / (Zc + xk)) * RL / (RL + ρ);
        break;
    }
    case tqpTubeAnoCom: {
        const Complex e = P(ρ + Ra, L1);
        const double k = 1 + gm() * Rk * anodeShare();
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
    case tqpTubeDifférentiel:
        exactDifferential(w, L1, L2);
        return;
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
        return e + P(R3 + P(X(w, C3 + Cpou), L), R2Returned ? X(w, C2) : Zp(w, R2, C2));
    }
    case tqpOutputLoad:
        return Zs(w, Rs, Cs) + Zp(w, Ro, Co + Cpou);
    case tqpLevelShifter:
        return P(Zp(w, R1, C1) + P(R3 + P(X(w, C3 + Cpou), L), Zp(w, R2, C2)), X(w, Cpin));
    case tqpInterStage:
        return X(w, Ca) + P(Rgs + P(X(w, Cgs + Cpou), L), Rg);
    case tqpTubeCatCom: // Miller, and the grid-cathode capacitance sees (1 - vk/vg) vg
        return ignoreBootstrap ? X(w, Cpin) : capacitive(w, Cpin - follow * cgk() + (1.0 - g0) * cga());
    case tqpTubeDifférentiel: // solved with its gains (exactDifferential)
    case tqpTubeMixer:        // Miller: the grid-anode capacitance sees the grid-anode voltage (1 - Av) vg
        return ignoreBootstrap ? X(w, Cpin) : capacitive(w, Cpin + (1.0 - g0) * cga());
    case tqpTubeCatFol: // the grid-cathode capacitance sees (1 - vk/vg) vg
        return ignoreBootstrap ? X(w, Cpin) : capacitive(w, Cpin + (1.0 - follow) * cgk());
    case tqpTubeGriCom: {
        const Complex RL = P(Zp(w, Ra, Cpou), L);
        return X(w, Ck) + P(Zp(w, Rk, Cpin), (RL + ρ) / (1 + µ));
    }
    case tqpTubeAnoCom:
        return Rk + (1 + gm() * Rk * anodeShare()) * P(ρ + Ra, L);
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

namespace {
// Solves the 4 x 4 complex system [A | b] in place by elimination with partial pivoting; a singular
// system leaves zeros.
std::array<Complex, 4> solve4(std::array<std::array<Complex, 5>, 4> m) {
    constexpr std::size_t n = 4;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::abs(m[r][c]) > std::abs(m[pivot][c]))
                pivot = r;
        if (std::abs(m[pivot][c]) == 0)
            return {};
        std::swap(m[c], m[pivot]);
        for (std::size_t r = c + 1; r < n; ++r) {
            const Complex k = m[r][c] / m[c][c];
            for (std::size_t k2 = c; k2 <= n; ++k2)
                m[r][k2] -= k * m[c][k2];
        }
    }
    std::array<Complex, 4> x{};
    for (std::size_t c = n; c-- > 0;) {
        Complex v = m[c][n];
        for (std::size_t k2 = c + 1; k2 < n; ++k2)
            v -= m[c][k2] * x[k2];
        x[c] = v / m[c][c];
    }
    return x;
}

// A resistance as a conductance; a short (0) becomes a milliohm.
double conductance(double R) {
    return std::isinf(R) ? 0 : 1 / std::max(R, 1e-3);
}
} // namespace

// Nodes: the anodes a1 and a2, the joined cathodes k and the junction j of Rkg and the tail Rk where the
// grid resistors return (without a return j is grounded and Rk joins k to ground). T1's grid is driven
// (vg1 = 1), T2's sits at AC ground. Each tube passes gm vgk + vak / rho, with its three capacitances
// between its pins; the anodes keep the node's strays (Cpou without Cak and Cga), the cathode and the
// grid theirs (Cpin without Cgk and Cak). Both tubes take the pair's operating point.
void TQuadripole::exactDifferential(double w, Complex L1, Complex L2) {
    const double µ = mu(), ρ = rho();
    const double gp = ρ > 0 ? 1 / ρ : 0, gmu = µ * gp;
    const Complex j(0, 1);
    const double strays = Cpou - cak() - cga(), node = Cpin - cgk() - cak();
    const Complex Ya1 = Y(P(L1, Zp(w, Ra1, strays))), Ya2 = Y(P(L2, Zp(w, Ra2, strays)));
    const Complex yak = j * w * cak(), yga2 = j * w * cga(), ygk2 = j * w * cgk();
    const Complex yga1 = ignoreBootstrap ? Complex(0) : yga2, ygk1 = ignoreBootstrap ? Complex(0) : ygk2;
    const bool returned = Rg > 0;
    const double gr = returned ? conductance(Rg) : 0;
    const double gkg = returned ? conductance(Rgk) : 0, gtail = conductance(Rk);
    const Complex anode = -(gmu + gp + yak), back = -(gp + yak);
    const Complex zero(0), cathode = 2.0 * (gmu + gp + yak) + ygk1 + ygk2 + j * w * node;
    std::array<std::array<Complex, 5>, 4> m{};
    m[0] = {Ya1 + gp + yga1 + yak, zero, anode, zero, yga1 - gmu};
    m[1] = {zero, Ya2 + gp + yga2 + yak, anode, zero, zero};
    if (returned) {
        m[2] = {back, back, cathode + gkg, Complex(-gkg), gmu + ygk1};
        m[3] = {zero, zero, Complex(-gkg), Complex(gkg + gtail + 2 * gr), Complex(gr)};
    } else {
        m[2] = {back, back, cathode + gtail, zero, gmu + ygk1};
        m[3] = {zero, zero, zero, Complex(1), zero};
    }
    const std::array<Complex, 4> v = solve4(m);
    exactAv0 = finiteOrZero(v[0]);
    exactAv1 = finiteOrZero(v[1]);
    // What the grid draws: its stray, Cgk and Cga across the voltages they see, the returned Rg.
    const Complex returnCurrent = gr * (1.0 - v[3]);
    const Complex y = ignoreBootstrap
                          ? j * w * Cpin + returnCurrent
                          : j * w * node + ygk1 * (1.0 - v[2]) + yga1 * (1.0 - v[0]) + returnCurrent;
    const Complex z = y == Complex(0) ? open() : 1.0 / y;
    exactZin = finite(z) || isOpen(z) ? z : Complex(0);
}

// The grounded-grid stage node by node, for vk = 1 at the cathode: the grid at AC ground, Cak between
// the anode and the cathode (the cathode sees it through 1 - Av, the anode moving in phase), Cga and
// the anode's strays (Cpou without Cak) to ground, the cathode's strays and Cgk (Cpin) beside Rk.
void TQuadripole::exactGroundedGrid(double w, Complex L1) {
    const double µ = mu(), ρ = rho();
    const double gp = ρ > 0 ? 1 / ρ : 0, gmu = µ * gp;
    const Complex yak(0, w * cak());
    const Complex Ya = Y(P(L1, Zp(w, Ra, Cpou - cak())));
    const Complex A = (gmu + gp + yak) / (Ya + gp + yak);
    const Complex Yk = Y(Zp(w, Rk, Cpin)) + gmu + gp - gp * A + yak * (1.0 - A);
    const Complex Zk = Yk == Complex(0) ? open() : 1.0 / Yk;
    const Complex xk = X(w, Ck);
    exactAv0 = isOpen(xk) || isOpen(Zk) ? Complex(0) : finiteOrZero(A * Zk / (Zk + xk));
    const Complex z = isOpen(xk) ? xk : xk + Zk;
    exactZin = finite(z) || isOpen(z) ? z : Complex(0);
}
