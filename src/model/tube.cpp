// The NK equations of TTube, their derivatives, the load-line helpers and the inversions.
#include "model/tube.h"

#include <bit>
#include <cmath>
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
} // namespace

TTube::TTube(const TubeParams& p, std::string reference)
    : Fkp(p.kp), Fmu(p.mu), Fkvb(p.kvb), FEx(p.ex), FKg1(p.kg1), FKg2(p.kg2), FIamax(p.imax), FPamax(p.pmax),
      FVamax(p.vmax), FPemax(p.pemax), FVemax(p.vemax), FCgk(p.cgk), FCga(p.cga), FCak(p.cak),
      FReference(std::move(reference)), FName(p.name), FT35(p.t35) {}

std::string TTube::getType() const {
    if (FT35 == 3)
        return "triode";
    if (FT35 == 5)
        return "pentode";
    return {};
}

void TTube::CopyOperatingMode(TTube& T) const {
    T.FIa = FIa;
    T.FVak = FVak;
    T.FVgk = FVgk;
    T.FVek = FVek;
    T.FIe = FIe;
}

void TTube::CalculerNK(double Vak, double Vgk, double& Ia, int parallel) {
    double I = 0;
    // A model without constants (a name no row carries) conducts nothing.
    if (Fkp != 0 && Fmu != 0 && FKg1 != 0) {
        const double s = std::sqrt(Fkvb + Vak * Vak);
        const double x = Fkp * (1.0 / Fmu + Vgk / s);
        const double E1 = (Vak / Fkp) * softplus(x);
        if (E1 > 0)
            I = 2.0 * std::pow(E1, FEx) / FKg1;
    }
    FVak = Vak;
    FVgk = Vgk;
    FIa = parallel * I;
    Ia = FIa;
}

TTube::PentodeGrid TTube::pentodeGrid(double Vgk, double Vek) const {
    if (Fkp != 0 && Fmu != 0 && FKg1 != 0 && Vek != 0) {
        const double x = Fkp * (1.0 / Fmu + Vgk / Vek);
        const double E1 = (Vek / Fkp) * softplus(x);
        if (E1 > 0)
            return {true, 2.0 * (std::pow(E1, FEx) / FKg1)};
    }
    return {};
}

double TTube::CalculerNKpentode(double Vak, double Vgk, double Vek, int parallel) {
    const double I = pentodeAnode(pentodeGrid(Vgk, Vek), Vak);
    double Ie = 0;
    if (Fmu != 0 && FKg2 != 0) {
        const double u = Vek / Fmu + Vgk;
        if (u >= 0)
            Ie = std::pow(u, 1.5) / FKg2;
    }
    FVak = Vak;
    FVgk = Vgk;
    FVek = Vek;
    FIa = parallel * I;
    FIe = parallel * Ie;
    return FIa;
}

double TTube::CalculerEcranPentode(double Vgk, double Vek) {
    double Ie = 0;
    if (Fmu != 0 && FKg2 != 0) {
        const double u = Vek / Fmu + Vgk;
        if (u >= 0)
            Ie = std::pow(u, 1.5) / FKg2;
    }
    FIe = Ie;
    FVgk = Vgk;
    FVek = Vek;
    return FIe;
}

double TTube::current(double Vgk, double Vak, double Vsk, int parallel) {
    if (FT35 == 3) {
        double ia;
        CalculerNK(Vak, Vgk, ia, parallel);
        return ia;
    }
    if (FT35 == 5)
        return CalculerNKpentode(Vak, Vgk, Vsk, parallel);
    return 0;
}

double TTube::getMaxCurrent(double Vak) {
    return triode(0, Vak);
}

bool TTube::checkOP(double Vak, double Vgk, double Ia, double Vsk, int parallel) {
    const double I = current(Vgk, Vak, Vsk, parallel);
    return std::fabs(Ia - I) < 1e-5;
}

void TTube::calculerParamètresIntrinsèques() {
    const double vak = FVak, vgk = FVgk, ia = FIa, ie = FIe;
    const double vek = FVek;

    const double iaPlus = current(vgk, vak + 0.1, vek);
    FVak = vak;
    const double iaMinus = current(vgk, vak - 0.1, vek);
    Fρ = openOr(2 * 0.1 / (iaPlus - iaMinus));

    FVak = vak;
    const double igMinus = current(vgk - 0.05, vak, vek);
    FVgk = vgk;
    const double igPlus = current(vgk + 0.05, vak, vek);
    Fgm = (igPlus - igMinus) * 0.5 / 0.05;

    FVgk = vgk;
    FVak = vak;
    Fµ = Fρ * Fgm;
    FIa = ia;
    FIe = ie;
}

double TTube::getGm() {
    const double ia = FIa, vak = FVak, vgk = FVgk;
    const double gm = (triode(vgk - 0.01, vak) - triode(vgk, vak)) / (-0.01);
    FIa = ia;
    FVak = vak;
    FVgk = vgk;
    return gm;
}

double TTube::getRo() {
    const double ia = FIa, vak = FVak, vgk = FVgk;
    const double d = triode(vgk, vak + 0.1) - triode(vgk, vak);
    FIa = ia;
    FVak = vak;
    FVgk = vgk;
    return openOr(0.1 / d);
}

double TTube::getMu() {
    return getRo() * getGm();
}

double TTube::getGm(double Va, double Vg, double Vs) {
    const double i0 = current(Vg, Va, Vs);
    const double i1 = current(Vg - 0.01, Va, Vs);
    return (i1 - i0) / (-0.01);
}

double TTube::getRo(double Va, double Vg, double Vs) {
    const double i0 = current(Vg, Va, Vs);
    const double i1 = current(Vg, Va + 0.1, Vs);
    return i0 == i1 ? 0 : 0.1 / (i1 - i0);
}

double TTube::getMu(double Va, double Vg, double Vs) {
    const double ro = getRo(Va, Vg, Vs);
    return ro * getGm(Va, Vg, Vs);
}

bool TTube::LoadLineNullVgk(double Vb, double sumR, double& Vakmin, double& Iamax) {
    constexpr int kPasses = 1999;
    double I = Vb / sumR / 2;
    double last = 0, beforeLast = 0; // the currents the two previous passes began with
    for (int pass = 0; pass < kPasses; ++pass) {
        // Damped by a twentieth, the search overshoots where the load line is steep against the
        // tube's curve, and often settles into two points it alternates between for good. Once a
        // pass begins where the one before the last began, every further pair of passes repeats:
        // go on with the last passes of the same phase, which end as the whole run would.
        if (pass >= 2 && sameBits(I, beforeLast))
            pass += (kPasses - 1 - pass) / 2 * 2;
        beforeLast = last;
        last = I;
        Vakmin = Vb - sumR * I;
        if (Vakmin < 0)
            Vakmin = 1;
        Iamax = getMaxCurrent(Vakmin);
        const double d = Iamax - I;
        if (std::fabs(d) < 1e-5)
            return true;
        I += d / 20;
    }
    return false;
}

bool TTube::loadLineOK(double VB, double sumR, double Vakmin, double Iamax) const {
    return FVak >= Vakmin && FIa < Iamax + 3e-5 && std::fabs(FIa - (VB - FVak) / sumR) < 3e-5;
}

double TTube::whichVg(double Ia, double Va, double Vs) {
    if (Ia > current(0, Va, Vs))
        return 0;
    // The currents of a real tube vanish well before a few kilovolts of negative grid; the bounds
    // only stop targets that no grid voltage can reach (a target of zero or below).
    constexpr double kLowestGrid = -10000;
    constexpr int kMaxHalvings = 400;
    double hi = 0, lo = 0;
    while (current(lo, Va, Vs) > Ia && lo > kLowestGrid)
        lo -= 1;
    double mid = 0;
    for (int n = 0; n < kMaxHalvings; ++n) {
        mid = (lo + hi) * 0.5;
        const double diff = Ia - current(mid, Va, Vs);
        if (std::fabs(diff) < 1e-6)
            return mid;
        if (diff < 0)
            hi = mid;
        else
            lo = mid;
    }
    return mid;
}

double TTube::whichVgOld(double Ia, double Va, double Vs, double vgstart) {
    double Vg = vgstart;
    if (Ia > current(vgstart, Va, Vs))
        return 1;
    constexpr int kMaxSteps = 2000000; // 2 kV of 1 mV steps
    for (int n = 0; n < kMaxSteps; ++n) {
        Vg -= 0.001;
        const double I = current(Vg, Va, Vs);
        if (std::fabs(Ia - I) < 1e-5 || Ia > I)
            break;
    }
    return Vg;
}

double TTube::whichVa(double Ia, double Vg, double Vs) {
    double Va = FVamax / 2;
    // Half-percent steps: a million passes cover any reachable anode voltage many times over;
    // the bound stops targets above the saturation current of a pentode.
    constexpr int kMaxPasses = 1000000;
    for (int n = 0; n < kMaxPasses; ++n) {
        const double I = current(Vg, Va, Vs);
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
