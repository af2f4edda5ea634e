// Shared pieces of the differential stages: the pair's AC report, its bandwidth chain, its DC
// report lines and branch bars, load-line axes and the millivolt trace caption.
#include "circuits/differential/differential_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "util/format.h"

#include <cmath>

namespace differential {

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

void runPairBode(const SolveRequest& rq, SolveResult& rs, const SheetValues& sheet, const TTube& T1,
                 double Ra1, double Ra2, double Rc, double Ro1, double Ro2, const char* co1Field,
                 double returnRkg) {
    const double Cg = sheet.num("EdCg"), Rg = sheet.num("EdRg");
    const double Ca1 = sheet.num("EdCa1"), Co1 = sheet.num(co1Field);
    const double Ca2 = sheet.num("EdCa2"), Co2 = sheet.num("EdCo2");
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    const bool returned = returnRkg >= 0 && Rg > 0; // a grid resistor of 0 ties the grid to the junction
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{0, nonZeroCapacitance(Cg), Rg, 1e-12, 0, 1e-12, S},
                       std::vector<bool>{ignore, false, returned});
    std::vector<double> pair{Ra1, Ra2, Rc, S};
    if (returned)
        pair = {Ra1, Ra2, Rc, returnRkg, Rg, S};
    quads.emplace_back(tqpTubeDifférentiel, &T1, std::vector<int>{2, 3}, pair, std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, nonZeroCapacitance(Ca1), Ro1, Co1, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, nonZeroCapacitance(Ca2), Ro2, Co2, S},
                       std::vector<bool>{ignore});
    ::runBode(rq, rs, quads);
}

TVoltageStacks pairBranchBar(int branch, double anodeDrop, double Vak,
                             std::initializer_list<SharedDrop> shared) {
    TVoltageStacks bar;
    bar.Add(branch == 1 ? "Ra1" : "Ra2", anodeDrop, kStackRed);
    bar.Add(branch == 1 ? "T1" : "T2", Vak, kStackYellow);
    for (const SharedDrop& d : shared)
        bar.Add(d.name, d.volts, d.colour);
    return bar;
}

void addPairLines(TTextResult& text, const TTube& T1, const TTube& T2, double Ia1, double Ia2, double Va1,
                  double Va2, const char* deltaLabel, double Vg, double Vk) {
    text.Add("<br><br>" + fmtCurrent("Ia1", 3, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 3, 1000 * Ia2));
    text.Add("<br><br>" + fmtVoltage("Va1", 2, Va1));
    text.Add("<br>" + fmtVoltage("Va2", 2, Va2));
    text.Add("<br>" + fmtVoltage(deltaLabel, 2, Va1 - Va2));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    text.Add("<br>" + fmtVoltage("Vk", 3, Vk));
    text.Add("<br>" + T1.displayOP(1));
    text.Add("<br>" + T2.displayOP(1));
}

std::vector<GridColumn> gainColumns() {
    return {{"Ro", "Ro (Ω)"}, {"A1", "A1", 1}, {"A2", "A2", 1}, {"Adiff", "Adiff", 1}};
}

void fillGains(GridRow& row, double Ro1, const DifferentialGains& gains) {
    row.set("Ro", Ro1).set("A1", gains.anode1).set("A2", gains.anode2).set("Adiff", gains.differential);
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

} // namespace differential
