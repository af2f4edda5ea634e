// Points of the anode curves and of the dissipation hyperbola drawn on the load-line diagrams.
#include "model/load_line_points.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kMaxCurvePoints = 100000;
constexpr int kMaxCurves = 200;
} // namespace

std::vector<VIPoint> loadLineAnodeCurve(const TubeConstants& c, double Vgk, double Imax, double Vmax) {
    std::vector<VIPoint> pts;
    double va = 0;
    double ia = nkTriodeCurrent(c, va, Vgk);
    pts.push_back({va, ia});
    while (static_cast<int>(pts.size()) < kMaxCurvePoints && va + 2 < Vmax && ia < Imax &&
           (va + 2) * ia < c.Pamax) {
        va += 2;
        ia = nkTriodeCurrent(c, va, Vgk);
        pts.push_back({va, ia});
    }
    return pts;
}

std::vector<VIPoint> groupAnodeCurve(const TubeConstants& c, double Vgk, double Vsk, int n, double Vend,
                                     double Imax, double Pmax) {
    std::vector<VIPoint> pts;
    double va = 0;
    for (int k = 0; k < kMaxCurvePoints; ++k) {
        const double ia = nkCurrent(c, Vgk, va, Vsk, n);
        pts.push_back({va, ia});
        va += 2;
        if (va >= Vend || ia >= Imax || Pmax <= va * ia)
            break;
    }
    return pts;
}

std::vector<FamilyCurve> pushPullAnodeFamily(const TubeConstants& c, double Vgk, double Vek, int n,
                                             double Vb) {
    std::vector<FamilyCurve> family;
    if (!std::isfinite(Vgk))
        return family;
    n = std::max(n, 1);
    const double f = c.t35 == 5 ? 1.5 : 1.1;
    const double limit = n * f * c.Pamax;
    double step = std::fabs(std::round(2 * Vgk / 20));
    if (step == 0)
        step = 1;
    for (double vg = 2 * std::round(Vgk); vg <= 0 && static_cast<int>(family.size()) < kMaxCurves;
         vg += step) {
        FamilyCurve curve;
        curve.vgk = vg;
        double va = 0;
        for (int k = 0; k < kMaxCurvePoints; ++k) {
            const double ia = nkCurrent(c, vg, va, Vek, n);
            curve.points.push_back({va, ia});
            va += 2;
            curve.labelAt = {va, ia};
            if (va >= 2 * Vb || va * ia > limit)
                break;
        }
        family.push_back(std::move(curve));
    }
    return family;
}

std::vector<VIPoint> dissipationHyperbola(double Pamax, double Iamax, double Vamax) {
    std::vector<VIPoint> pts;
    if (!(Pamax > 0 && Iamax > 0))
        return pts;
    const double v0 = Pamax / Iamax;
    pts.push_back({v0, Iamax});
    for (double v = v0 + 2; v < Vamax && static_cast<int>(pts.size()) < kMaxCurvePoints; v += 2)
        pts.push_back({v, Pamax / v});
    return pts;
}
