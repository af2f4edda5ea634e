// Two-tube bias solvers: a bisection on the middle node voltage with a slow correction of the
// common current, until both tubes agree on the current.
#include "model/pair_bias.h"

#include <algorithm>
#include <cmath>

namespace {
double triode(TTube& t, double Vgk, double Vak) {
    double ia;
    t.CalculerNK(Vak, Vgk, ia, 1);
    return ia;
}
// T1's current alone: grid at 0 V, cathode resistor Rk, anode node at Vm; a bisection fine enough
// that the result is a smooth function of Vm.
double selfBiasCurrent(TTube& T1, double Vm, double Rk) {
    double lo = 0, hi = std::max(T1.getMaxCurrent(std::max(Vm, 0.0)), 0.0);
    double I = 0;
    for (int n = 0; n < 200 && hi - lo > 1e-13; ++n) {
        I = (lo + hi) * 0.5;
        if (triode(T1, -Rk * I, Vm - Rk * I) > I)
            lo = I;
        else
            hi = I;
    }
    return I;
}

// The balance loops below stop when the two tubes agree on a current, but the resistor drops are
// computed from a separate estimate of that current that moves by a thousandth of the difference
// per pass, so it can stop far from the current the tubes carry and the branch no longer adds up to
// the supply. When that happens the point is settled here: a bisection on the node voltage Vm where
// T1 runs at its own self-biased current and T2 must carry the same, t2(Vm, I) giving T2's current.
// Returns the current, leaving both tubes evaluated at the settled point.
template <typename T2Current>
double settleStack(TTube& T1, double Rk, double Vb, double Vm, double I, double I1, T2Current t2) {
    if (std::fabs(I1 - I) < 1e-6)
        return I; // already consistent: nothing to change
    double lo = 0, hi = Vb;
    for (int n = 0; n < 200 && hi - lo > 1e-9; ++n) {
        Vm = (lo + hi) * 0.5;
        I = selfBiasCurrent(T1, Vm, Rk);
        const double d = I - t2(Vm, I);
        if (std::fabs(d) < 1e-7)
            break;
        if (d > 0)
            hi = Vm;
        else
            lo = Vm;
    }
    triode(T1, -Rk * I, Vm - Rk * I);
    t2(Vm, I);
    return I;
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

    auto t2Current = [&](double vm, double current) {
        double vak2 = Vb - (a + b) * current - vm;
        if (vak2 < 0)
            vak2 = 10;
        return triode(T2, std::min(Vg2 - vm, 0.0), vak2);
    };
    int i = 1;
    double I1 = I;
    bool balanced = false;
    while (i < maxIter) {
        double Vak1 = Vm - Rk * I;
        if (Vak1 < 0)
            Vak1 = 10;
        I1 = triode(T1, -Rk * I, Vak1);
        tracePoint(w1, i, I1);
        double Vak2 = Vb - (a + b) * I - Vm;
        if (Vak2 < 0)
            Vak2 = 10;
        double Vgk2 = Vg2 - Vm;
        if (Vgk2 > 0)
            Vgk2 = 0;
        const double I2 = triode(T2, Vgk2, Vak2);
        tracePoint(w2, i, I2);
        if (std::fabs(I1 - I2) < 1e-6) {
            balanced = true;
            break;
        }
        if (I1 > I2)
            hi = Vm + (hi - Vm) * 0.9;
        else
            lo = Vm - (Vm - lo) * 0.9;
        Vm = (lo + hi) * 0.5;
        I -= (I1 - I2) * 0.001;
        ++i;
    }
    if (balanced)
        settleStack(T1, Rk, Vb, Vm, I, I1, t2Current);
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

    auto t2Current = [&](double vm, double current) {
        return triode(T2, -b * current, std::max(Vb - vm - (b + a) * current, 10.0));
    };
    int i = 0;
    double I1 = I;
    bool balanced = false;
    while (i < maxIter) {
        ++i;
        double Vak1 = Vm - Rk * I;
        if (Vak1 < 10)
            Vak1 = 10;
        I1 = triode(T1, -Rk * I, Vak1);
        const double I2 = t2Current(Vm, I);
        tracePoint(w1, i, I1);
        tracePoint(w2, i, I2);
        if (std::fabs(I1 - I2) < 1e-6) {
            balanced = true;
            break;
        }
        if (I1 > I2)
            hi = Vm;
        else
            lo = Vm;
        Vm = (lo + hi) * 0.5;
        I -= (I1 - I2) * 0.001;
    }
    if (balanced)
        settleStack(T1, Rk, Vb, Vm, I, I1, t2Current);
    T1.titleTrace(w1, i, 1e-6, I0);
    T2.titleTrace(w2, i, 1e-6, I0);
    return i;
}
