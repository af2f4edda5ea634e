// The phase-exact bandwidth run: the chain evaluated with complex impedances, moduli and unwrapped
// phases per stage output and overall, the peak and the -3 dB corners bracketed on the sweep.
#include "frequency/bode.h"

#include "frequency/bode_search.h"
#include "frequency/bode_table.h"
#include "frequency/bode_text.h"
#include "frequency/impedance_exact.h"

#include <cmath>

using Complex = std::complex<double>;

namespace {
// Indexes of the two-ports on the way from the source to the main output: from the first two-port,
// each one's first output. A chain of single-output two-ports is all of it; a phase splitter's second
// branch is not on it.
std::vector<std::size_t> mainPath(const std::vector<TQuadripole>& quads) {
    std::vector<std::size_t> path;
    for (int k = quads.empty() ? -1 : 0; k >= 0; k = chainLoadIndex(quads, static_cast<std::size_t>(k), 0))
        path.push_back(static_cast<std::size_t>(k));
    return path;
}
} // namespace

Complex chainProductExact(std::vector<TQuadripole>& quads, double f) {
    const auto load = [&](std::size_t k, std::size_t output) {
        const int j = chainLoadIndex(quads, k, output);
        return j >= 0 ? quads[static_cast<std::size_t>(j)].exactZin : impedance::exact::open();
    };
    for (std::size_t k = quads.size(); k-- > 0;) {
        TQuadripole& q = quads[k];
        const Complex L1 = q.tqp == tqpOutputLoad ? Complex(0) : load(k, 0);
        const Complex L2 = q.outputs() == 2 ? load(k, 1) : Complex(0);
        q.getExactGains(f, L1, L2);
    }
    // The gain at the main output: the product along its path (the other branch's load is no factor).
    Complex P = 1;
    for (const std::size_t k : mainPath(quads))
        P *= quads[k].exactAv0;
    return P;
}

Complex gainChainExact(std::vector<TQuadripole>& quads, double beta, double f) {
    double sign = 1;
    for (const std::size_t k : mainPath(quads))
        if (quadripoleInverts(quads[k].tqp))
            sign = -sign;
    const Complex P = chainProductExact(quads, f);
    const Complex A = P / (1.0 + beta * sign * P);
    return std::isfinite(A.real()) && std::isfinite(A.imag()) ? A : Complex(0);
}

std::vector<double> unwrappedPhase(const std::vector<Complex>& values, std::size_t reference) {
    std::vector<double> phase(values.size());
    constexpr double kDegrees = 180 / 3.14159265358979323846;
    for (std::size_t i = 0; i < values.size(); ++i) {
        phase[i] = std::arg(values[i]) * kDegrees;
        if (i > 0) {
            while (phase[i] - phase[i - 1] > 180)
                phase[i] -= 360;
            while (phase[i] - phase[i - 1] < -180)
                phase[i] += 360;
        }
    }
    if (reference < phase.size()) {
        // In-phase mid-bands read about 0 degrees, inverting ones about 180.
        const double shift = 360 * std::ceil((phase[reference] - 270) / 360);
        for (double& v : phase)
            v -= shift;
    }
    return phase;
}

BodeData calculBodeExact(const std::string& title, std::vector<TQuadripole>& quads, const TLegendes& legends,
                         const std::string& tag, double beta, double fmax, double fmin,
                         const NumberLocale& locale) {
    BodeData data = bodeRunStart(title, legends, tag, beta, fmax, fmin);
    data.exact = true;
    const std::vector<double>& F = data.freqs;
    const std::size_t N = F.size();

    std::vector<std::vector<Complex>> stage;
    for (const TQuadripole& q : quads)
        for (int out = 0; out < q.outputs(); ++out)
            stage.emplace_back(N);
    std::vector<Complex> overall(N);
    for (std::size_t i = 0; i < N; ++i) {
        overall[i] = gainChainExact(quads, beta, F[i]);
        std::size_t c = 0;
        for (const TQuadripole& q : quads) {
            stage[c++][i] = q.exactAv0;
            if (q.outputs() == 2)
                stage[c++][i] = q.exactAv1;
        }
    }
    for (const Complex& a : overall)
        data.overall.push_back(std::abs(a));

    const GainOfFrequency A = [&](double f) { return std::abs(gainChainExact(quads, beta, f)); };
    std::size_t m = 0;
    if (N > 0) {
        for (std::size_t i = 1; i < N; ++i)
            if (data.overall[i] > data.overall[m])
                m = i;
        data.fpk = F[m];
        if (N >= 3) {
            const double f = searchPeakGolden(A, F[m == 0 ? 0 : m - 1], F[m + 1 < N ? m + 1 : m]);
            if (A(f) > data.overall[m])
                data.fpk = f;
        }
        data.Apk = A(data.fpk);
        const double target = data.Apk / std::sqrt(2.0);
        data.fL = searchCornerBracketed(A, F, data.overall, data.fpk, target, true);
        data.fH = searchCornerBracketed(A, F, data.overall, data.fpk, target, false);
    }
    data.phase = unwrappedPhase(overall, m);
    for (const auto& curve : stage) {
        std::vector<double> moduli;
        for (const Complex& g : curve)
            moduli.push_back(std::abs(g));
        data.curves.push_back(std::move(moduli));
        data.curvePhases.push_back(unwrappedPhase(curve, m));
    }

    data.Amax = -100;
    for (const double a : data.overall)
        if (a > data.Amax)
            data.Amax = a;

    fillStageTable(
        data, quads, legends, [&](double f) { gainChainExact(quads, 0, f); },
        [](const TQuadripole& q, int out) { return std::abs(out == 0 ? q.exactAv0 : q.exactAv1); },
        [](const TQuadripole& q) {
            const double z = std::abs(q.exactZin);
            return std::isfinite(z) ? z : 0.0;
        });

    data.overallDrawn = legends.size() > data.curves.size();
    if (data.overallDrawn)
        data.summary = bodeSummary(data.Amax, data.fpk, data.fL, data.fH, locale) + " (exact)";
    quads.clear();
    return data;
}
