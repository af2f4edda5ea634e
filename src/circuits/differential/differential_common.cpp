// Shared pieces of the differential-stage solvers: the pair's AC report, its bandwidth chain,
// load-line axes and the millivolt trace caption.
#include "circuits/differential/differential_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "util/format.h"

#include <cmath>

namespace {

// "ρ~ ...   gm~ ...  => µ~ ..." of one tube.
std::string tubeTriple(const TTube& T) {
    return parameterTriple(T.ρ(), T.gm(), T.µ());
}

// "<br><br>label gain  xdB"; a gain of zero has no decibel figure.
std::string gainLine(const char* label, double gain, bool withDb) {
    return "<br><br>" + fmtAmplification(label, 1, gain) + (withDb ? dbTail("  ", 1, gain) : std::string());
}

} // namespace

PairSmallSignal pairSmallSignal(TTube& T1, TTube& T2, double Rc, double Ra1, double Ro1, double Ra2,
                                double Ro2, bool bothTubes) {
    PairSmallSignal s;
    s.gains = differentialPairGains(T1, T2, Rc, parallelR(Ra2, Ro2), parallelR(Ra1, Ro1));
    std::string& t = s.text;
    t = "<b>Small signal estimations:</b><br>";
    if (bothTubes) {
        t += strFormat("<br><br>Both tubes %s", tubeTriple(T1).c_str());
    } else {
        t += strFormat("<br><br><b>%s</b>: %s", T1.Reference().c_str(), tubeTriple(T1).c_str());
        t += strFormat("<br><br><b>%s</b>: %s", T2.Reference().c_str(), tubeTriple(T2).c_str());
    }
    t += gainLine("Gain on inverting output T1     ", s.gains.anode1, true);
    t += gainLine("Gain on non-inverting output T2  ", s.gains.anode2, s.gains.anode2 > 0);
    t += gainLine("Differential gain                ", s.gains.differential, true);
    return s;
}

void runPairBode(const SolveRequest& rq, SolveResult& rs, const TTube& T1, const PairChain& c) {
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{0, nonZeroCapacitance(c.Cg), c.Rg, 1e-12, 0, 1e-12, S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeDifférentiel, &T1, std::vector<int>{2, 3},
                       std::vector<double>{c.Ra1, c.Ra2, c.Rc, S}, std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, nonZeroCapacitance(c.Ca1), c.Ro1, c.Co1, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, nonZeroCapacitance(c.Ca2), c.Ro2, c.Co2, S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
}

LoadLineData pairLoadLine(const TTube& T, double Vmax, double R, int image) {
    const bool line = R > 0 && Vmax > 0 && std::isfinite(Vmax);
    if (line)
        return {T, Vmax / R, Vmax, true, image};
    // No resistive load to draw: axes wide enough for the operating point.
    const double v = std::isfinite(T.Vak()) && T.Vak() > 0 ? 1.5 * T.Vak() : 1;
    const double i = std::isfinite(T.Ia()) && T.Ia() > 0 ? 1.5 * T.Ia() : 1e-3;
    return {T, i, v, false, image};
}

void titleTraceMillivolts(TFormConvergence* trace, const TTube& T, int count, double toleranceV,
                          double start) {
    if (!trace)
        return;
    trace->caption =
        strFormat("C%d - %s %s - %d iter. Res ±%.0fmV Ia %.2f=>%.2fmA", trace->Tag, T.Reference().c_str(),
                  T.ModelName().c_str(), count, toleranceV * 1000, start * 1000, T.Ia() * 1000);
}
