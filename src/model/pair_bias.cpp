// Two triodes in series: an outer bisection on the middle node voltage and, for each node voltage,
// the self-consistent current of each tube (its cathode-resistor bias and series drops taken at the
// current it carries). A balance that nudged one shared current estimate by a thousandth of the
// difference per pass could stop with resistor drops computed from a current neither tube carried.
#include "model/pair_bias.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double kTolerance = 1e-6; // A
// Below 100 µA the 1 µA balance would let the two tubes of one branch differ by a large part of the
// current they carry (a starved upper tube runs at a few µA): there the balance is 1 % of the current,
// never finer than 1 nA (a branch that is cut off balances at once).
constexpr double kRelativeTolerance = 0.01;
constexpr double kFinestTolerance = 1e-9; // A

double balanceTolerance(double I1, double I2) {
    return std::max(kFinestTolerance,
                    std::min(kTolerance, kRelativeTolerance * std::max(std::fabs(I1), std::fabs(I2))));
}

constexpr int kCurrentPasses = 80; // halves the current bracket well below any printed digit

double triode(TTube& T, double Vgk, double Vak) {
    double ia;
    T.CalculerNK(Vak, Vgk, ia, 1);
    return ia;
}

// The current I with I = f(I) for a tube current f that falls as I grows (bias and drops rise
// with it): a bisection on [0, f(0)].
double settle(const std::function<double(double)>& f) {
    double lo = 0, hi = f(0);
    if (!(hi > 0) || !std::isfinite(hi))
        return 0;
    for (int i = 0; i < kCurrentPasses; ++i) {
        const double mid = (lo + hi) / 2;
        if (f(mid) > mid)
            lo = mid;
        else
            hi = mid;
    }
    return (lo + hi) / 2;
}

// The lower tube on the node voltage Vm with its cathode resistor Rk.
double lowerCurrent(TTube& T1, double Vm, double Rk) {
    return settle([&](double I) { return triode(T1, -Rk * I, std::max(Vm - Rk * I, 0.0)); });
}

// Bisection of the node over [0, Vb]: the lower tube's current rises with the node voltage, the
// upper tube's falls. upper(Vm) gives the upper tube's settled current.
int bisectNode(TTube& T1, TTube& T2, int maxIter, double Vb, double Rk,
               const std::function<double(double)>& upper,
               const std::function<void(double, double, double)>& place, TFormConvergence* w1,
               TFormConvergence* w2) {
    double lo = 0, hi = std::max(Vb, 0.0);
    double Vm = hi / 2;
    double I1 = lowerCurrent(T1, Vm, Rk), I2 = upper(Vm);
    const double I0 = I1;
    tracePoint(w1, 0, I1);
    tracePoint(w2, 0, I2);
    int i = 0;
    while (i < maxIter) {
        ++i;
        Vm = (lo + hi) / 2;
        I1 = lowerCurrent(T1, Vm, Rk);
        I2 = upper(Vm);
        tracePoint(w1, i, I1);
        tracePoint(w2, i, I2);
        if (std::fabs(I1 - I2) < balanceTolerance(I1, I2))
            break;
        if (I1 > I2)
            hi = Vm;
        else
            lo = Vm;
        if (hi - lo <= 1e-12 * std::max(Vb, 1.0)) { // the node can no longer move: no balance
            i = maxIter;
            break;
        }
    }
    // Leave each tube at its own solved point.
    triode(T1, -Rk * I1, std::max(Vm - Rk * I1, 0.0));
    place(Vm, I1, I2);
    T1.titleTrace(w1, i, kTolerance, I0);
    T2.titleTrace(w2, i, kTolerance, I0);
    return i;
}

} // namespace

int pairBiasFixedGridLead(TTube& T1, TTube& T2, int maxIter, double Vb, double Vg2, double lead, double Rk,
                          double a, TFormConvergence* w1, TFormConvergence* w2) {
    const auto vak2 = [&](double Vm, double I) { return std::max(Vb - Vm - (lead + a) * I, 0.0); };
    const auto vgk2 = [&](double Vm, double I) { return std::min(Vg2 - Vm - lead * I, 0.0); };
    const auto upper = [&](double Vm) {
        return settle([&](double I) { return triode(T2, vgk2(Vm, I), vak2(Vm, I)); });
    };
    const auto place = [&](double Vm, double, double I2) { triode(T2, vgk2(Vm, I2), vak2(Vm, I2)); };
    return bisectNode(T1, T2, maxIter, Vb, Rk, upper, place, w1, w2);
}

int pairBiasFixedGrid(TTube& T1, TTube& T2, int maxIter, double Vb, double Vg2, double b, double Rk, double a,
                      TFormConvergence* w1, TFormConvergence* w2) {
    return pairBiasFixedGridLead(T1, T2, maxIter, Vb, Vg2, 0, Rk, a + b, w1, w2);
}

int pairBiasSelfBiased(TTube& T1, TTube& T2, int maxIter, double Vb, double Rk, double b, double a,
                       TFormConvergence* w1, TFormConvergence* w2) {
    const auto vak2 = [&](double Vm, double I) { return std::max(Vb - Vm - (a + b) * I, 0.0); };
    const auto upper = [&](double Vm) {
        return settle([&](double I) { return triode(T2, -b * I, vak2(Vm, I)); });
    };
    const auto place = [&](double Vm, double, double I2) { triode(T2, -b * I2, vak2(Vm, I2)); };
    return bisectNode(T1, T2, maxIter, Vb, Rk, upper, place, w1, w2);
}
