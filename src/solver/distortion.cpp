// Harmonics by a DFT over one period, of power cycles and of gain stages driven with a sine.
#include "solver/distortion.h"

#include "power/waveforms.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kMinSamples = 12;
constexpr int kThdHarmonics = 20;
// A single-ended cycle's samples meet the load line to 0.1 mA: a fundamental below 50 times that
// is mostly that resolution, not distortion.
constexpr double kSingleEndedFloor = 50 * 1e-4; // A
// Samples per period while searching the input amplitude, and for the harmonics at the level found.
constexpr int kSearchSamples = 32;
constexpr int kFinalSamples = 256;
constexpr int kMaxDoublings = 40;
constexpr int kMaxHalvings = 60;
constexpr int kMaxCurrentPasses = 80;
constexpr int kMaxSecantSteps = 12;
// Cut-off: the current has fallen below this share of its rest value.
constexpr double kCutoffShare = 0.01;

// The DFT coefficient pair of harmonic k, as a peak amplitude.
double amplitudeOf(const std::vector<double>& x, int k) {
    // The unit phasor turns by 2πk/N from sample to sample (a rotation, renormalised now and then).
    const double N = static_cast<double>(x.size());
    const double step = 2 * std::numbers::pi * k / N;
    const double cs = std::cos(step), sn = std::sin(step);
    double c = 1, s = 0, re = 0, im = 0;
    for (std::size_t j = 0; j < x.size(); ++j) {
        re += x[j] * c;
        im += x[j] * s;
        const double nc = c * cs - s * sn;
        s = s * cs + c * sn;
        c = nc;
        if (j % 64 == 63) {
            const double r = std::hypot(c, s);
            c /= r;
            s /= r;
        }
    }
    return 2 * std::hypot(re, im) / N;
}

// The input sine of amplitude A sampled N times over a period, through the characteristic; nullopt
// when a sample lies past the swing.
std::optional<std::vector<double>> drive(const Characteristic& f, double A, int N) {
    // sin(2πj/N) takes each of its values twice over a period (N a multiple of 4): a quarter of
    // inputs on each side of the rest point, from the rest point outwards, gives every sample.
    const int Q = N / 4;
    std::vector<double> up(static_cast<std::size_t>(Q) + 1), down(static_cast<std::size_t>(Q) + 1);
    for (auto [side, sign] : {std::pair{&up, 1.0}, std::pair{&down, -1.0}}) {
        for (int i = 0; i <= Q; ++i) {
            const auto y = f(sign * A * std::sin(2 * std::numbers::pi * i / N));
            if (!y || !std::isfinite(*y))
                return std::nullopt;
            (*side)[static_cast<std::size_t>(i)] = *y;
        }
    }
    std::vector<double> out(static_cast<std::size_t>(N));
    for (int j = 0; j < N; ++j) {
        const int k = j % (N / 2);
        const int i = k <= Q ? k : N / 2 - k;
        out[static_cast<std::size_t>(j)] = (j < N / 2 ? up : down)[static_cast<std::size_t>(i)];
    }
    return out;
}

// Within the swing at both peaks of a sine of amplitude A (the limits of a monotonic stage are met
// at the peaks first).
bool withinSwing(const Characteristic& f, double A) {
    const auto up = f(A), down = f(-A);
    return up && down && std::isfinite(*up) && std::isfinite(*down);
}

double fundamentalAt(const Characteristic& f, double A) {
    const auto out = drive(f, A, kSearchSamples);
    return out ? amplitudeOf(*out, 1) : 0;
}

} // namespace

Harmonics harmonicsOf(const std::vector<double>& period) {
    Harmonics h;
    if (period.size() < static_cast<std::size_t>(kMinSamples))
        return h;
    double largest = 0;
    for (double v : period) {
        if (!std::isfinite(v))
            return h;
        largest = std::max(largest, std::fabs(v));
    }
    h.fundamental = amplitudeOf(period, 1);
    // A waveform that does not move (the resting cycle) leaves only rounding in the sums.
    if (h.fundamental <= 1e-9 * largest) {
        h.fundamental = 0;
        return h;
    }
    // The total counts the harmonics up to the 20th (those a sampled period holds): beyond them a
    // power cycle's samples carry only the resolution of its point solves.
    const int highest = std::min(kThdHarmonics, static_cast<int>(period.size()) / 2 - 1);
    double sum = 0;
    for (int k = 2; k <= highest; ++k) {
        const double a = amplitudeOf(period, k);
        if (k <= 5)
            h.h[static_cast<std::size_t>(k - 2)] = a;
        sum += a * a;
    }
    h.thd = std::sqrt(sum) / h.fundamental;
    return h;
}

std::vector<double> distortionPeriod(const PowerData& data, int cycle) {
    if (cycle < 0 || cycle >= static_cast<int>(data.cycles.size()))
        return {};
    std::vector<double> full =
        fullPeriod(data.cycles[static_cast<std::size_t>(cycle)], WaveQuantity::Current);
    if (full.size() < 2)
        return {};
    full.pop_back(); // the last point starts the next period
    if (!data.pushPull)
        return full;
    const std::size_t N = full.size(), half = N / 2;
    std::vector<double> primary(N);
    for (std::size_t j = 0; j < N; ++j)
        primary[j] = full[j] - full[(j + half) % N];
    return primary;
}

Harmonics cycleHarmonics(const PowerData& data, int cycle) {
    Harmonics h = harmonicsOf(distortionPeriod(data, cycle));
    if (!data.pushPull && h.fundamental < kSingleEndedFloor)
        h.resolved = false;
    return h;
}

std::vector<Harmonics> powerHarmonics(const PowerData& data) {
    std::vector<Harmonics> all;
    all.reserve(data.cycles.size());
    for (int i = 0; i < static_cast<int>(data.cycles.size()); ++i)
        all.push_back(cycleHarmonics(data, i));
    return all;
}

std::string harmonicsText(const Harmonics& h) {
    if (!h.resolved)
        return "swing too small to resolve";
    std::string s;
    for (int k = 2; k <= 5; ++k)
        s += strFormat("H%d %.2f%%  ", k, 100 * h.relative(k));
    return s + strFormat("THD %.2f%%", 100 * h.thd);
}

std::string cycleDistortionCaption(const PowerData& data, int cycle) {
    if (cycle < 0 || cycle >= static_cast<int>(data.cycles.size()))
        return {};
    return std::string(data.pushPull ? "Primary current (ia1 − ia2): " : "Anode current: ") +
           harmonicsText(cycleHarmonics(data, cycle));
}

StageDistortion distortionAtLevel(const Characteristic& f, double level, double inputHint) {
    StageDistortion d;
    d.level = level;
    if (!(level > 0) || !std::isfinite(level) || !withinSwing(f, 0)) {
        d.beyondSwing = true;
        return d;
    }
    // Most levels lie well within the swing: from the small-signal gain, a secant on the amplitude
    // meets the level in a few drives. A drive past the swing, or no convergence, leaves it to the
    // bracketing search below, which also finds how far the stage can go.
    const double h0 = inputHint > 0 && std::isfinite(inputHint) ? inputHint : 1;
    const double delta = 1e-3 * h0;
    const auto fp = f(delta), fm = f(-delta);
    if (fp && fm && *fp != *fm) {
        double a0 = level * 2 * delta / std::fabs(*fp - *fm);
        auto f0 = drive(f, a0, kSearchSamples);
        double F0 = f0 ? amplitudeOf(*f0, 1) : 0;
        double a1 = F0 > 0 ? a0 * level / F0 : 0;
        for (int n = 0; f0 && F0 > 0 && n < kMaxSecantSteps; ++n) {
            const auto f1 = drive(f, a1, kSearchSamples);
            if (!f1 || !(a1 > 0))
                break;
            const double F1 = amplitudeOf(*f1, 1);
            if (std::fabs(F1 - level) <= 1e-9 * level) {
                if (const auto out = drive(f, a1, kFinalSamples)) {
                    d.input = a1;
                    d.harmonics = harmonicsOf(*out);
                    return d;
                }
                break;
            }
            const double next = F1 != F0 ? a1 - (F1 - level) * (a1 - a0) / (F1 - F0) : a1 * level / F1;
            a0 = a1, F0 = F1, a1 = next;
        }
    }

    // The largest amplitude within the swing: double from the hint until a peak leaves it, then halve
    // the bracket. A stage that never leaves it keeps the last doubling.
    double lo = 0, hi = inputHint > 0 && std::isfinite(inputHint) ? inputHint : 1;
    int doublings = 0;
    while (withinSwing(f, hi) && doublings < kMaxDoublings) {
        lo = hi;
        hi *= 2;
        ++doublings;
    }
    if (doublings < kMaxDoublings) {
        for (int n = 0; n < kMaxHalvings && hi - lo > 1e-7 * hi; ++n) {
            const double mid = (lo + hi) / 2;
            (withinSwing(f, mid) ? lo : hi) = mid;
        }
    }
    const double Amax = lo;
    d.maxLevel = fundamentalAt(f, Amax);
    if (!(d.maxLevel >= level)) {
        d.beyondSwing = true;
        return d;
    }
    // The amplitude giving the level: the fundamental grows with the drive; regula falsi on the
    // bracket [0, Amax] with the Illinois halving, ending on a bisection step when it stalls.
    double a = 0, fa = -level, b = Amax, fb = d.maxLevel - level;
    int side = 0;
    double A = Amax;
    for (int n = 0; n < kMaxHalvings; ++n) {
        A = fb != fa ? b - fb * (b - a) / (fb - fa) : (a + b) / 2;
        if (!(A > a && A < b))
            A = (a + b) / 2;
        const double fA = fundamentalAt(f, A) - level;
        if (std::fabs(fA) <= 1e-9 * level || b - a <= 1e-12 * b)
            break;
        if (fA > 0) {
            b = A, fb = fA;
            if (side == 1)
                fa /= 2;
            side = 1;
        } else {
            a = A, fa = fA;
            if (side == -1)
                fb /= 2;
            side = -1;
        }
    }
    d.input = A;
    if (const auto out = drive(f, A, kFinalSamples))
        d.harmonics = harmonicsOf(*out);
    return d;
}

Characteristic gainStageCharacteristic(const TTube& tube, const GainStageDrive& g) {
    // Grid drive: vgk = Vgk0 + vin − Rk·ΔI; cathode drive: vgk = Vgk0 − vin and the anode-cathode
    // voltage falls with the cathode's rise. The anode falls by (load + Rk)·ΔI.
    const double gridIn = g.cathodeInput ? -1 : 1, anodeIn = g.cathodeInput ? -1 : 0;
    const double Rk = g.cathodeInput ? 0 : g.cathodeLoad;
    const double Rsum = g.load + Rk;
    const TubeConstants c = tube.constants();
    auto guess = std::make_shared<double>(g.Ia0);
    return [=](double vin) -> std::optional<double> {
        const auto vgk = [&](double I) { return g.Vgk0 + gridIn * vin - Rk * (I - g.Ia0); };
        const auto vak = [&](double I) { return g.Vak0 + anodeIn * vin - Rsum * (I - g.Ia0); };
        const auto excess = [&](double I) { return nkCurrent(c, vgk(I), vak(I), g.Vek) - I; };
        double I = 0;
        if (!(Rsum > 0)) {
            I = nkCurrent(c, vgk(g.Ia0), vak(g.Ia0), g.Vek);
        } else {
            // The current lies between none and the one that leaves no voltage across the tube; the
            // excess falls as the current rises. Newton from the last answer, kept in the bracket.
            double lo = 0, hi = std::max(0.0, g.Ia0 + (g.Vak0 + anodeIn * vin) / Rsum);
            I = std::clamp(*guess, lo, hi);
            const double tol = 1e-12 + 1e-10 * g.Ia0;
            // Secant steps from a first finite-difference slope, kept inside the bracket.
            double e = excess(I);
            const double h = 1e-7 * std::max(g.Ia0, 1e-6);
            double slope = (excess(I + h) - e) / h;
            for (int n = 0; n < kMaxCurrentPasses && std::fabs(e) > tol; ++n) {
                (e > 0 ? lo : hi) = I;
                double next = slope < 0 ? I - e / slope : (lo + hi) / 2;
                if (!(next > lo && next < hi))
                    next = (lo + hi) / 2;
                const double eNext = excess(next);
                if (next != I && (eNext - e) / (next - I) < 0)
                    slope = (eNext - e) / (next - I);
                I = next;
                e = eNext;
            }
        }
        *guess = I;
        if (vgk(I) > 0 || I < kCutoffShare * g.Ia0 || !std::isfinite(I))
            return std::nullopt;
        return -g.load * (I - g.Ia0);
    };
}

StageDistortion gainStageDistortion(const TTube& tube, const GainStageDrive& drive, double level) {
    const double hint = std::max(0.1, std::fabs(drive.Vgk0) / 2);
    return distortionAtLevel(gainStageCharacteristic(tube, drive), level, hint);
}

std::string distortionLine(const StageDistortion& d) {
    if (d.beyondSwing)
        return strFormat("<br>Distortion at %g V peak out: beyond the stage's swing (at most %.1f V peak)",
                         d.level, d.maxLevel);
    return strFormat("<br>Distortion at %g V peak out (%.3g V in): ", d.level, d.input) +
           harmonicsText(d.harmonics);
}

bool hasDistortionLine(int circuit) {
    return circuit == 1 || circuit == 13 || circuit == 32 || circuit == 36;
}
