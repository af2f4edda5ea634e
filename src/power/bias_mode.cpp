// Push-pull bias rating, the load functions and the sums of one analysis cycle.
#include "power/power_analysis.h"

#include <algorithm>
#include <cmath>

namespace {

double sigmoid(double x) {
    if (std::isnan(x))
        return 0.5;
    return 1.0 / (1.0 + std::exp(-x));
}

// Whether the model's current cannot fall as the grid rises at this anode and screen voltage: every
// factor of the triode or pentode equation is then positive and rises with the grid.
bool risesWithGrid(const TTube& t, double Va, double Vs) {
    const bool constants = t.kp() > 0 && t.mu() != 0 && t.Kg1() > 0 && t.Ex() > 0 && std::isfinite(t.kp()) &&
                           std::isfinite(t.mu()) && std::isfinite(t.Kg1()) && std::isfinite(t.Ex()) &&
                           std::isfinite(t.kvb()) && std::isfinite(Va) && Va >= 0;
    if (t.t35() == 3)
        return constants && t.kvb() + Va * Va > 0;
    if (t.t35() == 5)
        return constants && t.kvb() > 0 && Vs > 0 && std::isfinite(Vs);
    return false;
}

// whichVg(I, Va, Vs) >= vg, without the search where the answer is already certain. The search
// returns a grid whose current is within 1e-6 A of I (0 when I is above the zero-grid current); a
// current that does not fall with the grid and differs at vg from I by more than that puts the grid
// found on the same side of vg every time. The margin covers the last bits of the libm functions.
bool gridReaches(const TTube& t, double I, double Va, double Vs, double vg) {
    if (risesWithGrid(t, Va, Vs)) {
        const double atVg = nkCurrent(t.constants(), vg, Va, Vs);
        const double band = 1e-6 + 1e-9 + 1e-12 * std::fabs(I);
        if (atVg < I - band)
            return true;
        if (atVg > I + band)
            return false;
    }
    return nkWhichVg(t.constants(), I, Va, Vs) >= vg;
}

// The swing x (0.5 V steps) at which the grid reaches −0.5 V while the current climbs along a line
// of the given slope from the quiescent point; bounded by the quiescent anode voltage.
double swingToGridCurrent(const TTube& t, int n, double slope, double Ia0, double Vak0) {
    const double Vs = t.Vek();
    const int steps = static_cast<int>(std::floor(2 * Vak0));
    for (int k = 0; k <= steps; ++k) {
        const double x = 0.5 * k;
        const double I = (Ia0 + slope * x) / n;
        if (gridReaches(t, I, Vak0 - x, Vs, -0.5))
            return x;
    }
    return std::max(0.5 * steps, 0.0);
}

} // namespace

double quarterSine(int i) {
    return std::sin(i * (M_PI / 2) / 255.0);
}

double loadFunction(LoadFunction f, double kzb, double kza, double R, double Ia0, double ia1, double Zaa) {
    const double ratio = Ia0 != 0 ? ia1 / Ia0 : 0;
    const double u = kza * (ratio - kzb / (1 - R));
    switch (f) {
    case LoadFunction::f1:
        return Zaa * (0.5 - 0.25 * sigmoid(u));
    case LoadFunction::f2: {
        const double q = 0.25 / (1 + std::exp(20 * (R - 0.25)));
        return Zaa * (0.5 - q * sigmoid(u));
    }
    case LoadFunction::f3Simple:
        return Zaa * (0.25 * (1 + std::exp(R)) + 0.25);
    case LoadFunction::f4Half:
        break;
    }
    return Zaa * 0.5;
}

BiasMode biasModePP(const TTube& tube, int n, double Zaa, double Ia0, double Vak0) {
    BiasMode m;
    if (!(Zaa > 0) || !(Vak0 > 0) || !std::isfinite(Vak0) || !std::isfinite(Zaa) || !std::isfinite(Ia0))
        return m;
    n = std::max(n, 1);
    const double gA = swingToGridCurrent(tube, n, 2 / Zaa, Ia0, Vak0);
    const double gB = swingToGridCurrent(tube, n, 4 / Zaa, Ia0, Vak0);
    m.R = (Zaa * Ia0 / 4 + gA - gB) / Vak0;
    const double up = std::min(Zaa * Ia0 / 2, gA);
    m.PA = (gA * gA + up * up) / Zaa;
    m.PB = 2 * gB * gB / Zaa + Zaa * Ia0 * Ia0 / 8;
    return m;
}

std::string biasClassName(double R) {
    if (R > 0.8)
        return "ultra hot";
    if (R >= 0.7)
        return "hot above A";
    if (R > 0.6)
        return "cl. A - hot";
    if (R >= 0.4)
        return "class A";
    if (R > 0.3)
        return "cl. AB - A";
    if (R >= 0.2)
        return "class AB";
    if (R > 0.05)
        return "cl. B - AB";
    return "class B";
}

void cycleTotals(TRecCycle& c, StageKind kind, double Yt, double Ia0, double Va0, double Vb) {
    const double N = kPointsPerCycle;
    double ppri = 0, ia = 0, ie = 0;
    const bool singleEnded = kind == StageKind::SingleEnded;
    for (const TPointOper& p : c.PointsOper) {
        if (singleEnded)
            ppri += std::fabs((p.va1 - Va0) * (p.ia1 - Ia0)) + std::fabs((p.va2 - Va0) * (p.ia2 - Ia0));
        else
            ppri += (Va0 - p.va1) * (p.ia1 - Ia0) + (p.va2 - Va0) * (Ia0 - p.ia2);
        ia += p.ia1 + p.ia2;
        ie += p.ie1 + p.ie2;
    }
    const double half = singleEnded ? 0.5 : 1.0;
    c.Ppri = half * ppri / N;
    c.Imoy = half * ia / N;
    c.Iem = half * ie / N;
    c.Psec = Yt * c.Ppri;
    c.PVb = Vb * c.Imoy + Vb * c.Iem;
    c.Y = c.PVb != 0 ? c.Psec / c.PVb : 0;
    c.swing = c.PointsOper.empty() ? 0 : c.PointsOper.back().swing;
}

std::optional<CycleCut> impossibleSums(const TRecCycle& c) {
    const bool finite = std::isfinite(c.Ppri) && std::isfinite(c.Psec) && std::isfinite(c.Imoy) &&
                        std::isfinite(c.Iem) && std::isfinite(c.PVb) && std::isfinite(c.Y) &&
                        std::isfinite(c.swing);
    if (finite && !(c.Psec > c.PVb) && !(c.Y > 1))
        return std::nullopt;
    return CycleCut{c.swing, !finite};
}
