// Two-tube bias solvers: a bisection on the middle node voltage with a slow correction of the
// common current, until both tubes agree on the current.
#include "model/pair_bias.h"

#include <cmath>

namespace {
double triode(TTube& t, double Vgk, double Vak) {
    double ia;
    t.CalculerNK(Vak, Vgk, ia, 1);
    return ia;
}
} // namespace

int pairBiasFixedGrid(TTube& T1, TTube& T2, int maxIter, double Vb, double Vg2, double b, double Rk, double a,
                      TFormConvergence* w1, TFormConvergence* w2) {
    double Vm = Vg2;
    double lo = Vm - Vb / 10, hi = Vm + Vb / 10;
    T1.basicBiasSuccApprox(Vm, 0, Rk, nullptr);
    double I = T1.Ia();
    const double I0 = I;
    if (w1 && w2) {
        w1->AddPoint(0, I0);
        w2->AddPoint(0, I0);
    }
    tracePoint(w1, 1, I0);

    int i = 1;
    while (i < maxIter) {
        double Vak1 = Vm - Rk * I;
        if (Vak1 < 0)
            Vak1 = 10;
        const double I1 = triode(T1, -Rk * I, Vak1);
        tracePoint(w1, i, I1);
        double Vak2 = Vb - (a + b) * I - Vm;
        if (Vak2 < 0)
            Vak2 = 10;
        double Vgk2 = Vg2 - Vm;
        if (Vgk2 > 0)
            Vgk2 = 0;
        const double I2 = triode(T2, Vgk2, Vak2);
        tracePoint(w2, i, I2);
        if (std::fabs(I1 - I2) < 1e-6)
            break;
        if (I1 > I2)
            hi = Vm + (hi - Vm) * 0.9;
        else
            lo = Vm - (Vm - lo) * 0.9;
        Vm = (lo + hi) * 0.5;
        I -= (I1 - I2) * 0.001;
        ++i;
    }
    T1.titleTrace(w1, i, 1e-6, I0);
    T2.titleTrace(w2, i, 1e-6, I0);
    return i;
}

int pairBiasSelfBiased(TTube& T1, TTube& T2, int maxIter, double Vb, double Rk, double b, double a,
                       TFormConvergence* w1, TFormConvergence* w2) {
    double Vm = Vb / 2;
    double vak, vgk, I;
    T1.basicBiasPoints(Vm, 0, Rk, vak, vgk, I, nullptr);
    double lo = Vm - Vb / 10, hi = Vm + Vb / 10;
    const double I0 = I;
    tracePoint(w1, 0, I0);
    tracePoint(w2, 0, I0);

    int i = 0;
    while (i < maxIter) {
        ++i;
        double Vak1 = Vm - Rk * I;
        if (Vak1 < 10)
            Vak1 = 10;
        const double I1 = triode(T1, -Rk * I, Vak1);
        double Vak2 = Vb - Vm - (b + a) * I;
        if (Vak2 < 10)
            Vak2 = 10;
        const double I2 = triode(T2, -b * I, Vak2);
        tracePoint(w1, i, I1);
        tracePoint(w2, i, I2);
        if (std::fabs(I1 - I2) < 1e-6)
            break;
        if (I1 > I2)
            hi = Vm;
        else
            lo = Vm;
        Vm = (lo + hi) * 0.5;
        I -= (I1 - I2) * 0.001;
    }
    T1.titleTrace(w1, i, 1e-6, I0);
    T2.titleTrace(w2, i, 1e-6, I0);
    return i;
}
