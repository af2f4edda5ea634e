// Shared pieces of the cascode and SRPP stages.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "solver/verdicts.h"

namespace cascodes {

double triodeCurrent(TTube& T, double Vgk, double Vak) {
    double ia;
    T.CalculerNK(Vak, Vgk, ia, 1);
    return ia;
}

std::string tubeParameters(const TTube& T, double rho, double gm, double mu) {
    return "<br>" + T.Reference() + " " + T.ModelName() + "<br>  " +
           parameterTriple(rho, gm, mu, "g<SUB>m</SUB>~");
}

std::string voltageLine(const std::string& label, double volts) {
    return "<br>" + fmtVoltage(label, 2, volts);
}

std::string pairOperatingPoints(const TTube& lower, const TTube& upper) {
    return "<br>" + lower.displayOP(1) + upper.displayOP(1);
}

PairChecks checkPair(const SolveRequest& rq, const std::string& selector, const TTube& lower,
                     const TTube& upper) {
    auto test = makeTube(rq, selector, "test");
    PairChecks checks;
    checks.operatingPointOk = test->checkOP(lower.Vak(), lower.Vgk(), lower.Ia(), 0, 1) &&
                              test->checkOP(upper.Vak(), upper.Vgk(), upper.Ia(), 0, 1);
    checks.vgkOk = lower.Vgk() < 0 && upper.Vgk() < 0;
    return checks;
}

bool pairVerdicts(std::string& report, const SolveRequest& rq, const TTube& lower, const TTube& upper,
                  double Vb, const TVoltageStacks& bar, double stackTolerance, bool iterationsOk) {
    const PairChecks checks = checkPair(rq, "LBtube", lower, upper);
    const bool stacksOk = stackCheck(stackTolerance, Vb, stackSum(bar));
    return verdicts(report, true, checks.operatingPointOk, checks.vgkOk, stacksOk, iterationsOk);
}

TVoltageStacks stackedPairBar(const TTube& upper, const std::string& upperR, double upperDrop,
                              const TTube& lower, const std::string& lowerR, double lowerDrop) {
    TVoltageStacks bar;
    bar.Add(upper.Reference(), upper.Vak(), kStackYellow);
    bar.Add(upperR, upperDrop, kStackRed);
    bar.Add(lower.Reference(), lower.Vak(), kStackYellow);
    bar.Add(lowerR, lowerDrop, kStackGreen);
    return bar;
}

std::vector<GridColumn> pairPowerColumns() {
    return {{"Ptot", "Ptot (mW)", 0, 1000}, {"PT1", "PT1 (mW)", 0, 1000}, {"PT2", "PT2 (mW)", 0, 1000}};
}

void fillPairPowers(GridRow& row, double Vb, double I, const TTube& T1, const TTube& T2) {
    row.set("Ptot", Vb * I).set("PT1", T1.Vak() * T1.Ia()).set("PT2", T2.Vak() * T2.Ia());
}

void addPair(SolveResult& rs, const TTube& lower, const TTube& upper, double Vb, double seriesR,
             int firstImage) {
    rs.loadLines.push_back(loadLineOf(lower, Vb, seriesR, firstImage));
    rs.loadLines.push_back(loadLineOf(upper, Vb, seriesR, firstImage + 1));
    rs.tubes.push_back(lower);
    rs.tubes.push_back(upper);
}

const std::vector<std::string>& pairBodeLegends() {
    static const std::vector<std::string> legends = {"RC input", "T1", "T2", "RC output", "Overall gain"};
    return legends;
}

void runPairBode(const SolveRequest& rq, SolveResult& rs, const SheetValues& sheet, const TTube& T1,
                 double Rk, double Ck, TTypeQuadripole upperKind, const TTube& T2,
                 std::vector<double> upper) {
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    upper.push_back(S);
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), capacitorOr2p(sheet.num("EdCs")),
                                           sheet.num("EdRg"), sheet.num("EdCg"), sheet.num("EdRgs"),
                                           sheet.capacitance("EdCgs"), S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatCom, &T1, std::vector<int>{2}, std::vector<double>{kOpen, Rk, Ck, S},
                       std::vector<bool>{ignore, true});
    quads.emplace_back(upperKind, &T2, std::vector<int>{3}, upper, std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{0, capacitorOr2p(sheet.num("EdCa")), sheet.num("EdRo"), sheet.num("EdCo"), S},
        std::vector<bool>{ignore});
    ::runBode(rq, rs, quads);
}

} // namespace cascodes
