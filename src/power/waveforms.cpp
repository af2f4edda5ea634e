// Rebuilt periods, scales and captions of the swing waveforms.
#include "power/waveforms.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {
double pointValue(const TPointOper& p, int which, WaveQuantity q) {
    if (q == WaveQuantity::Voltage)
        return which == 1 ? p.va1 : p.va2;
    return which == 1 ? p.ia1 : p.ia2;
}

constexpr int kMaxGridLines = 1000;
} // namespace

std::vector<double> fullPeriod(const TRecCycle& cycle, WaveQuantity q) {
    const auto& pts = cycle.PointsOper;
    const int n = static_cast<int>(pts.size());
    std::vector<double> out;
    if (n == 0)
        return out;
    out.reserve(4 * n - 3);
    for (int i = 0; i < n; ++i)
        out.push_back(pointValue(pts[i], 1, q));
    for (int i = n - 2; i >= 0; --i)
        out.push_back(pointValue(pts[i], 1, q));
    for (int i = 1; i < n; ++i)
        out.push_back(pointValue(pts[i], 2, q));
    for (int i = n - 2; i >= 0; --i)
        out.push_back(pointValue(pts[i], 2, q));
    return out;
}

WaveScale waveScale(const TRecCycle& cycle, WaveQuantity q) {
    WaveScale s;
    if (cycle.PointsOper.empty())
        return s;
    s.Q = pointValue(cycle.PointsOper.front(), 1, q);
    for (const TPointOper& p : cycle.PointsOper)
        for (int which : {1, 2}) {
            const double d = std::fabs(pointValue(p, which, q) - s.Q);
            if (std::isfinite(d))
                s.A = std::max(s.A, d);
        }
    return s;
}

double waveGridStep(WaveQuantity q) {
    return q == WaveQuantity::Voltage ? 10.0 : 0.01;
}

std::vector<double> waveGridLevels(double A, WaveQuantity q) {
    const double step = waveGridStep(q);
    std::vector<double> levels;
    for (int k = 0; k < kMaxGridLines && k * step < A; ++k)
        levels.push_back(k * step);
    for (int k = -1; k > -kMaxGridLines && k * step > -A; --k)
        levels.push_back(k * step);
    return levels;
}

double waveInput(int j) {
    return std::sin(2 * M_PI * j / 1020.0);
}

WaveCaptions waveCaptions(WaveDisplay display, int p) {
    WaveCaptions c;
    c.track = strFormat("Vg swing %dV", p);
    switch (display) {
    case WaveDisplay::Voltage:
        c.vin = strFormat("Thin line: Vin swing shape (inverted) %dV", p);
        c.quantity = "Anode voltage";
        c.colour = 0xFF0000;
        break;
    case WaveDisplay::Current:
        c.vin = strFormat("Thin line: Vin swing shape %dV", p);
        c.quantity = "Anode current";
        c.colour = 0xFF7F00;
        break;
    case WaveDisplay::Both:
        c.vin = strFormat("Thin line: Vin swing shape %dV", p);
        c.quantity = "va ia waveforms";
        c.colour = 0x000000;
        break;
    }
    return c;
}

int waveCycleIndex(const PowerData& data, int p) {
    if (data.cycles.empty())
        return -1;
    return std::clamp(p, 0, data.trackMax());
}
