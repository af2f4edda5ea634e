// TTube over the pure NK equations: each evaluation stores the operating point it was made at.
#include "model/tube.h"

TTube::TTube(const TubeParams& p, std::string reference)
    : FC(TubeConstants::of(p)), FCgk(p.cgk), FCga(p.cga), FCak(p.cak), FReference(std::move(reference)),
      FName(p.name) {}

std::string TTube::getType() const {
    if (FC.t35 == 3)
        return "triode";
    if (FC.t35 == 5)
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
    const double I = nkTriodeCurrent(FC, Vak, Vgk);
    FVak = Vak;
    FVgk = Vgk;
    FIa = parallel * I;
    Ia = FIa;
}

double TTube::CalculerNKpentode(double Vak, double Vgk, double Vek, int parallel) {
    const double I = nkPentodeCurrent(FC, Vak, Vgk, Vek);
    const double Ie = nkScreenCurrent(FC, Vgk, Vek);
    FVak = Vak;
    FVgk = Vgk;
    FVek = Vek;
    FIa = parallel * I;
    FIe = parallel * Ie;
    return FIa;
}

double TTube::CalculerEcranPentode(double Vgk, double Vek) {
    FIe = nkScreenCurrent(FC, Vgk, Vek);
    FVgk = Vgk;
    FVek = Vek;
    return FIe;
}

double TTube::current(double Vgk, double Vak, double Vsk, int parallel) {
    if (FC.t35 == 3) {
        double ia;
        CalculerNK(Vak, Vgk, ia, parallel);
        return ia;
    }
    if (FC.t35 == 5)
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
    const SmallSignal s = nkSmallSignal(FC, FVak, FVgk, FVek);
    Fρ = s.rho;
    Fgm = s.gm;
    Fµ = s.mu;
}

double TTube::getGm(double Va, double Vg, double Vs) {
    const double gm = nkGm(FC, Va, Vg, Vs);
    current(Vg - 0.01, Va, Vs); // the operating point of the last difference
    return gm;
}

double TTube::getRo(double Va, double Vg, double Vs) {
    const double ro = nkRo(FC, Va, Vg, Vs);
    current(Vg, Va + 0.1, Vs);
    return ro;
}

double TTube::getMu(double Va, double Vg, double Vs) {
    const double ro = getRo(Va, Vg, Vs);
    return ro * getGm(Va, Vg, Vs);
}

bool TTube::LoadLineNullVgk(double Vb, double sumR, double& Vakmin, double& Iamax) {
    const bool found = nkLoadLineNullVgk(FC, Vb, sumR, Vakmin, Iamax);
    getMaxCurrent(Vakmin);
    return found;
}

bool TTube::loadLineOK(double VB, double sumR, double Vakmin, double Iamax) const {
    return FVak >= Vakmin && FIa < Iamax + 3e-5 && std::fabs(FIa - (VB - FVak) / sumR) < 3e-5;
}

double TTube::whichVg(double Ia, double Va, double Vs) {
    double probe = 0;
    const double vg = nkWhichVg(FC, Ia, Va, Vs, &probe);
    current(probe, Va, Vs);
    return vg;
}

double TTube::whichVgOld(double Ia, double Va, double Vs, double vgstart) {
    double probe = 0;
    const double vg = nkWhichVgOld(FC, Ia, Va, Vs, vgstart, &probe);
    current(probe, Va, Vs);
    return vg;
}

double TTube::whichVa(double Ia, double Vg, double Vs) {
    double probe = 0;
    const double va = nkWhichVa(FC, Ia, Vg, Vs, &probe);
    current(Vg, probe, Vs);
    return va;
}
