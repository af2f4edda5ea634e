// Shared pieces of the cathodyne phase inverters.
#include "circuits/cathodynes/cathodynes_common.h"

#include "frequency/bode_options.h"

namespace cathodynes {

const std::vector<std::string>& bodeLegends() {
    static const std::vector<std::string> legends = {"RC input", "T1A", "T1K", "RCa output", "RCk output"};
    return legends;
}

CathodyneGains smallSignal(TTube& T, double Ra, double Rao, double Rk, double Rko, std::string& report) {
    const CathodyneGains gains = cathodyneStage(T, Ra, Rao, Rk, Rko);
    report = "<b>Small signal estimations:</b><br>" + gains.text;
    return gains;
}

std::vector<GridColumn> tailColumns() {
    return columnTable(tubeColumns("", 1), {{"Ptot", "Ptot (mW)", 0, 1000},
                                            {"PT1", "PT1 (mW)", 0, 1000},
                                            {"PRa", "PRa (mW)", 0, 1000},
                                            {"PRk", "PRk (mW)", 0, 1000},
                                            {"Rao", "Rao (Ω)"},
                                            {"Rko", "Rko (Ω)"},
                                            {"Aa", "Aa", 2},
                                            {"Ak", "Ak", 2}});
}

void fillTail(GridRow& row, const TTube& T, double Vb, double Ra, double Rk, double Rao, double Rko,
              const CathodyneGains& gains) {
    const double Ia = T.Ia();
    row.tube("", T)
        .set("Ptot", Vb * Ia)
        .set("PT1", T.Vak() * Ia)
        .set("PRa", Ra * Ia * Ia)
        .set("PRk", Rk * Ia * Ia);
    row.set("Rao", Rao).set("Rko", Rko).set("Aa", gains.anode).set("Ak", gains.cathode);
}

LoadLineData loadLine(const TTube& T, double Vb, double sumR) {
    return {T, sumR > 0 ? Vb / sumR : nkTriodeCurrent(T.constants(), Vb, 0), Vb, true, 1};
}

void runBode(const SolveRequest& rq, SolveResult& rs, const SheetValues& sheet, const TTube& T,
             std::vector<double> input, std::vector<double> stage) {
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    input.push_back(S);
    stage.push_back(S);
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1}, input, std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCathodyne, &T, std::vector<int>{2, 3}, stage, std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{0, sheet.capacitance("EdCa"), sheet.num("EdRao"), sheet.num("EdCao"), S},
        std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{0, sheet.capacitance("EdCk"), sheet.num("EdRko"), sheet.num("EdCko"), S},
        std::vector<bool>{ignore});
    ::runBode(rq, rs, quads);
}

} // namespace cathodynes
