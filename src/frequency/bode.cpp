// Sweep of a two-port chain: gain curves per stage output, overall gain with feedback, the
// peak and corners, and the per-stage table at the peak and at each decade from 1 Hz.
#include "frequency/bode.h"

#include "frequency/bode_options.h"
#include "frequency/bode_search.h"
#include "frequency/bode_table.h"
#include "frequency/bode_text.h"

#include <cmath>
#include <limits>

std::vector<double> frequencyList(double fmin, double fmax) {
    std::vector<double> F;
    if (!(fmin > 0) || !std::isfinite(fmin) || std::isnan(fmax))
        return F;
    // A value within rounding of fmax is fmax itself; the decade count bounds a runaway range.
    const auto isEnd = [fmax](double v) { return std::fabs(v - fmax) <= 1e-9 * std::fabs(fmax); };
    double d = fmin;
    for (int decade = 0; decade < 400; ++decade) {
        for (int i = 1; i <= 9; ++i) {
            const double v = i * d;
            if (isEnd(v)) {
                F.push_back(fmax);
                break;
            }
            F.push_back(v);
        }
        d *= 10;
        if (!(F.back() < fmax) || isEnd(F.back()))
            break;
    }
    return F;
}

int chainLoadIndex(const std::vector<TQuadripole>& quads, std::size_t k, std::size_t output) {
    const auto& aval = quads[k].Faval;
    if (output < aval.size()) {
        const int j = aval[output];
        if (j > static_cast<int>(k) && static_cast<std::size_t>(j) < quads.size())
            return j;
    }
    return -1;
}

double chainProduct(std::vector<TQuadripole>& quads, double f) {
    const auto load = [&](std::size_t k, std::size_t output) {
        const int j = chainLoadIndex(quads, k, output);
        return j >= 0 ? quads[static_cast<std::size_t>(j)].ZinQuadripole
                      : std::numeric_limits<double>::infinity();
    };
    double P = 1;
    for (std::size_t k = quads.size(); k-- > 0;) {
        TQuadripole& q = quads[k];
        std::vector<double> parms{f};
        if (q.tqp != tqpOutputLoad)
            parms.push_back(load(k, 0));
        if (q.outputs() == 2)
            parms.push_back(load(k, 1));
        double g0 = 0, g1 = q.Fav1;
        q.getVarGains(parms, g0, g1);
        q.FAv0 = g0;
        q.Fav1 = g1;
        P *= g0;
    }
    return P;
}

double gainChain(std::vector<TQuadripole>& quads, double beta, double f) {
    const double P = chainProduct(quads, f);
    return P / (1 + beta * P);
}

std::size_t peakBracketIndex(const std::vector<double>& A) {
    const std::size_t N = A.size();
    std::size_t m = 0;
    double best = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (A[i] > best) {
            best = A[i];
            m = i;
        }
    if (m == 0)
        m = 5;
    if (N >= 6 && m == N - 1)
        m = N - 6;
    // Short sweeps: keep a neighbour on each side.
    if (N >= 3) {
        if (m < 1)
            m = 1;
        if (m > N - 2)
            m = N - 2;
    }
    return m;
}

BodeData calculBode(const std::string& title, std::vector<TQuadripole>& quads, const TLegendes& legends,
                    const std::string& tag, double beta, double fmax, double fmin,
                    const NumberLocale& locale) {
    BodeData data = bodeRunStart(title, legends, tag, beta, fmax, fmin);
    const std::vector<double>& F = data.freqs;
    const std::size_t N = F.size();

    for (TQuadripole& q : quads)
        q.Gains.assign(static_cast<std::size_t>(q.outputs()), TNewGain{TArrayDouble(N, 0.0)});

    data.overall.assign(N, 0.0);
    for (std::size_t i = 0; i < N; ++i) {
        data.overall[i] = gainChain(quads, beta, F[i]);
        for (TQuadripole& q : quads) {
            q.Gains[0].gains[i] = q.Av0();
            if (q.outputs() == 2)
                q.Gains[1].gains[i] = q.Av1();
        }
    }

    const GainOfFrequency A = [&](double f) { return gainChain(quads, beta, f); };
    if (N > 0) {
        double lo = F.front(), hi = F.back();
        if (N >= 3) {
            const std::size_t m = peakBracketIndex(data.overall);
            lo = F[m - 1];
            hi = F[m + 1];
        }
        data.fpk = searchPeak(A, lo, hi);
        data.Apk = A(data.fpk);
        data.fL = searchLowCorner(A, data.fpk, data.Apk);
        data.fH = searchHighCorner(A, data.fpk, data.Apk);
    }

    data.Amax = -100;
    for (const double a : data.overall)
        if (a > data.Amax)
            data.Amax = a;

    fillStageTable(
        data, quads, legends, [&](double f) { gainChain(quads, 0, f); },
        [](const TQuadripole& q, int out) { return out == 0 ? q.Av0() : q.Av1(); },
        [](const TQuadripole& q) { return q.Zi(); });

    for (TQuadripole& q : quads)
        for (TNewGain& curve : q.Gains)
            data.curves.push_back(std::move(curve.gains));
    data.overallDrawn = legends.size() > data.curves.size();
    if (data.overallDrawn)
        data.summary = bodeSummary(data.Amax, data.fpk, data.fL, data.fH, locale);

    quads.clear();
    return data;
}
