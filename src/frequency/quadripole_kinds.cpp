// Gains and input impedances of the twelve two-port kinds at one frequency, from the moduli
// of their R-C networks and the tube's small-signal parameters.
#include "frequency/impedance.h"
#include "frequency/quadripole.h"

using impedance::omega;
using impedance::P;
using impedance::X;
using impedance::Zp;
using impedance::Zs;

double TQuadripole::cathodeImpedance(double w) const {
    return Ckconnected ? Zp(w, Rk, Ck + Cpou) : Zp(w, Rk, Cpou);
}

void TQuadripole::getVarGains(const std::vector<double>& parms, const std::vector<bool>& /*switches*/,
                              double& g0, double& g1) {
    const double f = parms.empty() ? 0 : parms[0];
    const double L1 = parms.size() > 1 ? parms[1] : 0;
    const double L2 = parms.size() > 2 ? parms[2] : 0;
    const double w = omega(f);
    const double µ = mu(), ρ = rho();
    double Lpass = L1;

    switch (tqp) {
    case tqpInputGrid: {
        const double e = C1Shunted ? R1 : Zs(w, R1, C1);
        const double p = Zp(w, R2, C2);
        const double Ceq = C3 + Cpou + 1.0 / (w * L1); // the load seen as a capacitance
        const double h = Zs(w, R3, Ceq);
        const double x = X(w, Ceq);
        g0 = x * p / (e * (p + h) + p * h);
        break;
    }
    case tqpOutputLoad: {
        const double e = Zs(w, Rs, Cs);
        const double p = Zp(w, Ro, Co + Cpou);
        g0 = p / (p + e);
        Lpass = 0;
        break;
    }
    case tqpLevelShifter: {
        const double e = Zp(w, R1, C1);
        const double m = P(L1, X(w, C3 + Cpou));
        const double p = P(R3 + m, Zp(w, R2, C2));
        g0 = p * m / ((e + p) * (R3 + m));
        break;
    }
    case tqpInterStage: {
        const double m = P(L1, X(w, Cgs + Cpou));
        const double p = P(Rgs + m, Rg);
        const double y = X(w, Ca);
        g0 = p * m / ((y + p) * (Rgs + m));
        break;
    }
    case tqpTubeCatCom: {
        const double RL = P(L1, Zp(w, Ra, Cpou));
        g0 = µ * RL / ((1 + µ) * cathodeImpedance(w) + ρ + RL);
        break;
    }
    case tqpTubeCatFol: {
        // The cathode sees Rk to ground beside Rs in series with the load; the output is the foot
        // of Rs, which divides the cathode's signal.
        const double ZL = P(Zp(w, Rk, Cpou), Rs + L1);
        FAvk = µ * ZL / ((1 + µ) * ZL + ρ);
        g0 = Rs > 0 && !std::isinf(L1) ? FAvk * L1 / (Rs + L1) : FAvk;
        Lpass = ZL;
        break;
    }
    case tqpTubeGriCom: {
        const double RL = P(Zp(w, Ra, Cpou), L1);
        const double rin = (RL + ρ) / (1 + µ);
        const double Zc = P(rin, Zp(w, Rk, Cpin));
        const double t = Zc / (Zc + X(w, Ck));
        g0 = (1 + µ) * t * RL / (RL + ρ);
        break;
    }
    case tqpTubeAnoCom: {
        const double e = P(ρ + Ra, L1);
        const double k = 1 + gm() * Rk * anodeShare();
        g0 = e * k / (Rk + e * k);
        break;
    }
    case tqpTubePullUpDn:
        g0 = 1;
        break;
    case tqpTubeCathodyne: {
        const double RLa = P(Zp(w, Ra, Cpou), L1);
        const double Zb = Zp(w, Rgk, Ck);
        const double RLk = P(Zp(w, Rk, Cpou), L2);
        const double D = (1 + µ) * (Zb + RLk) + ρ + RLa;
        g0 = µ * RLa / D;
        g1 = µ * RLk / D;
        Fav1 = g1;
        Lpass = L2;
        break;
    }
    case tqpTubeDifférentiel: {
        const double Z1 = P(L1, Zp(w, Ra1, Cpou));
        const double Z2 = P(L2, Zp(w, Ra2, Cpou));
        const double Zk = Zp(w, Rk, Cpin);
        const double p = 1 + µ;
        const double D = (Z1 + ρ + p * Zk) * (Z2 + ρ + p * Zk) - p * p * Zk * Zk;
        g0 = µ * Z1 * (Z2 + ρ + p * Zk) / D;
        g1 = µ * p * Z2 * Zk / D;
        Lpass = 0;
        break;
    }
    case tqpTubeMixer: {
        // Both triodes' currents I flow in the shared cathode impedance Zk and each triode sees
        // the cathode at Zk·I: ρ·I = µ·vg − 2(µ + 1)·Zk·I − 2·RL·I, the idle grid at signal ground.
        const double RL = P(L1, Zp(w, Ra, Cpou));
        g0 = µ * RL / (2 * RL + ρ + 2 * (µ + 1) * cathodeImpedance(w));
        break;
    }
    }
    // A network shorted at both ends (e.g. a level shifter with no resistors) is 0/0: it passes nothing.
    if (!std::isfinite(g0))
        g0 = 0;
    if (!std::isfinite(g1))
        g1 = 0;
    if (!std::isfinite(Fav1))
        Fav1 = 0;
    gainQuadripole = g0;
    FAv0 = g0;
    setZinQuadripole(f, Lpass);
}

void TQuadripole::setZinQuadripole(double fréquence, double LoadExterne) {
    const double w = omega(fréquence);
    const double L = LoadExterne;
    const double µ = mu(), ρ = rho();
    double z = 0;

    switch (tqp) {
    case tqpInputGrid: // C1Shunted counts for the gain only
        z = Zs(w, R1, C1) + P(R3 + P(X(w, C3 + Cpou), L), Zp(w, R2, C2));
        break;
    case tqpOutputLoad:
        z = Zs(w, Rs, Cs) + Zp(w, Ro, Co + Cpou);
        break;
    case tqpLevelShifter:
        z = P(Zp(w, R1, C1) + P(R3 + P(X(w, C3), L), Zp(w, R2, C2)), X(w, Cpin));
        break;
    case tqpInterStage:
        z = X(w, Ca) + P(Rgs + P(X(w, Cgs + Cpou), L), Rg);
        break;
    case tqpTubeCatCom:
    case tqpTubeDifférentiel:
    case tqpTubeMixer: // Miller capacitance: the gain times Cga
        z = ignoreBootstrap ? X(w, Cpin) : X(w, Cpin + gainQuadripole * cga());
        break;
    case tqpTubeCatFol: { // bootstrapped Cgk: it sees the grid minus the cathode
        const double follow = Rs > 0 ? FAvk : gainQuadripole;
        z = ignoreBootstrap ? X(w, Cpin) : X(w, Cpin + (1 - follow) * cgk());
        break;
    }
    case tqpTubeGriCom: {
        const double RL = P(Zp(w, Ra, Cpou), L);
        z = X(w, Ck) + P(Zp(w, Rk, Cpin), (RL + ρ) / (1 + µ));
        break;
    }
    case tqpTubeAnoCom:
        z = Rk + (1 + gm() * Rk * anodeShare()) * P(ρ + Ra, L);
        break;
    case tqpTubePullUpDn:
        z = P(P(X(w, Cpou), L), (1 + µ) * Rk + ρ);
        break;
    case tqpTubeCathodyne: {
        // The cathode follows the grid, so the grid resistor is bootstrapped by 1 / (1 - Av1).
        const double R = Rg < 1e12 ? Rg / (1 - Fav1) : Rg;
        z = Zp(w, R, Cpin);
        break;
    }
    }
    if (!std::isfinite(z))
        z = 0; // shown as an empty cell of the per-stage table
    ZinQuadripole = z;
    FZi = z;
}
