// C31, the cascode SRPP+ (the upper cathode resistance split in R1 and R2), and C34, the half-µ
// stage: two self-biased triodes in series.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "frequency/bode_options.h"
#include "model/pair_bias.h"
#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

using namespace cascodes;

namespace {
constexpr int kMaxIterations = 1000;

// "<br>Tn: ρ~   gm~  => µ~" from the one-sided derivatives at the solved point.
std::string srppPlusTubeLine(TTube& T, double rho, double gm) {
    return "<br>" + T.Reference() + ": " + parameterTriple(rho, gm, rho * gm, "g<SUB>m</SUB>~");
}
// "<br>label gain xdB"; a null gain (Ro = R2 = 0 shorts the output) has no decibel figure.
std::string gainWithDb(const char* label, double gain) {
    return "<br>" + fmtAmplification(label, 1, gain + 0.0) + dbTail(" ", 1, gain);
}
} // namespace

void solveC31(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rk = sheet.num("EdRk"), R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2"),
                 Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // T2 biased by R1 + R2; the output is taken between them.
    const int iterations =
        pairBiasSelfBiased(*T1, *T2, kMaxIterations, Vb, Rk, R1 + R2, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Vk1 = Rk * Ia1;
    const double Va1 = Vk1 + T1->Vak();
    const double Vm = Va1 + R2 * Ia2;
    const double Vk2 = Va1 + (R1 + R2) * Ia2;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk =
        test->checkOP(T1->Vak(), T1->Vgk(), Ia1, 0, 1) && test->checkOP(T2->Vak(), T2->Vgk(), Ia2, 0, 1);
    const bool vgkOk = T1->Vgk() < 0 && T2->Vgk() < 0;
    const bool stacksOk = stackCheck(2, Vb, Rk * Ia1 + T1->Vak() + T2->Vak() + (R1 + R2) * Ia2);
    const bool iterationsOk = iterations < kMaxIterations;

    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", iterations));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add(voltageLine("Va1", Va1));
    text.Add(voltageLine("Vo", Vm));
    text.Add(voltageLine("Vk2", Vk2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rk", Ia1, Rk), resistorRecord("R1", Ia2, R1),
                                        resistorRecord("R2", Ia2, R2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: averaged ρ and µ of the two tubes.
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    const double rho1 = T1->getRo(), gm1 = T1->getGm(), rho2 = T2->getRo(), gm2 = T2->getGm();
    const double rho = (rho1 + rho2) / 2, mu = (rho1 * gm1 + rho2 * gm2) / 2;
    const double gainBypassed = mu * (2 * Ro + R2) / (2 * Ro + R2 + rho);
    const double gainUnbypassed = mu * (2 * Ro + R2) / (2 * Ro + R2 + rho + (mu + 1) * Rk);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(srppPlusTubeLine(*T1, rho1, gm1));
    text.Add(srppPlusTubeLine(*T2, rho2, gm2));
    text.Add(strFormat("<br>Average for calculating: %s   %s", fmtResistance("ρ~", 0, rho).c_str(),
                       fmtAmplification("µ~", 1, mu).c_str()));
    text.Add("<br>" + gainWithDb("Gain, Rk bypassed   ", gainBypassed));
    text.Add(gainWithDb("Gain, Rk UNbypassed ", gainUnbypassed));
    rs.acReport = text.texte;

    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vm));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));

    TVoltageStacks branch;
    branch.Add("T2", T2->Vak(), kStackYellow);
    branch.Add("R1", R1 * Ia2, kStackRed);
    branch.Add("R2", R2 * Ia2, kStackRed);
    branch.Add("T1", T1->Vak(), kStackYellow);
    branch.Add("Rk", Rk * Ia1, kStackGreen);
    rs.stacks.push_back(branch);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, T1->Vak(), loc),
                  gridCell(3, 1, T1->Vgk(), loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, T2->Vak(), loc),
                  gridCell(3, 1, T2->Vgk(), loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(3, 1, Vk1, loc),
                  gridCell(1, 1, Vm, loc),
                  gridCell(1, 1, Vk2, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(0, 1, R1, loc),
                  gridCell(0, 1, R2, loc),
                  gridCell(0, 1000, Vb * Ia1, loc),
                  gridCell(0, 1000, T1->Vak() * Ia1, loc),
                  gridCell(0, 1000, T2->Vak() * Ia2, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, mu, loc),
                  gridCell(1, 1, gainBypassed, loc),
                  gridCell(1, 1, gainUnbypassed, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Rk + R1 + R2, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Rk + R1 + R2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

void solveC34(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    const int iterations =
        pairBiasSelfBiased(*T1, *T2, kMaxIterations, Vb, R1, R2, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Vk1 = R1 * Ia1;
    const double Va1 = Vk1 + T1->Vak(); // the output, T2's grid
    const double Vk2 = Va1 + R2 * Ia2;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk =
        test->checkOP(T1->Vak(), T1->Vgk(), Ia1, 0, 1) && test->checkOP(T2->Vak(), T2->Vgk(), Ia2, 0, 1);
    const bool vgkOk = T1->Vgk() < 0 && T2->Vgk() < 0;
    const bool stacksOk = stackCheck(2, Vb, R1 * Ia1 + T1->Vak() + T2->Vak() + R2 * Ia2);
    const bool iterationsOk = iterations < kMaxIterations;

    TTextResult text(reportHeader(rs.title) + strFormat("<br>%d iterations", iterations));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add(voltageLine("Va1", Va1));
    text.Add(voltageLine("Vk2", Vk2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia1, R1), resistorRecord("R2", Ia2, R2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    text.Add("<b>Small signal estimations:</b><br>");
    text.Add("<br><br><i>Reference: The Optimized SRPP Amp (Part 1), by Quellbrook, in Audio Express May "
             "2010</i>");
    text.Add(
        "<br><i>Condition: output supposedly loaded by infinite load (e.g. direct coupling to grid of next "
        "stage)</i>");
    const HalfMuFigures halfMu = halfMuStage(*T1, *T2, R2, R1);
    text.Add(halfMu.text);
    rs.acReport = text.texte;

    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia1));

    TVoltageStacks branch;
    branch.Add("T2", T2->Vak(), kStackYellow);
    branch.Add("R2", R2 * Ia2, kStackRed);
    branch.Add("T1", T1->Vak(), kStackYellow);
    branch.Add("R1", R1 * Ia1, kStackGreen);
    rs.stacks.push_back(branch);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, R1, loc),
                  gridCell(0, 1, R2, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(1, 1, T1->Vak(), loc),
                  gridCell(3, 1, T1->Vgk(), loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, T2->Vak(), loc),
                  gridCell(3, 1, T2->Vgk(), loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * Ia1, loc),
                  gridCell(0, 1000, T1->Vak() * Ia1, loc),
                  gridCell(0, 1000, T2->Vak() * Ia2, loc),
                  gridCell(1, 1, halfMu.gainBypassed, loc),
                  gridCell(1, 1, halfMu.gainUnbypassed, loc),
                  gridCell(0, 1, halfMu.zoutBypassed, loc),
                  gridCell(0, 1, halfMu.zoutUnbypassed, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, R1 + R2, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, R1 + R2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input, T1 common cathode, T2 pulling up, output.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), capacitorOr2p(sheet.num("EdCs")),
                                           sheet.num("EdRg"), sheet.num("EdCg"), sheet.num("EdRgs"),
                                           sheet.capacitance("EdCgs"), S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{kOpen, R1, sheet.capacitance("EdCk"), S},
                       std::vector<bool>{ignore, true});
    quads.emplace_back(tqpTubePullUpDn, T2.get(), std::vector<int>{3}, std::vector<double>{R2, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{0, capacitorOr2p(sheet.num("EdCa")), sheet.num("EdRo"), sheet.num("EdCo"), S},
        std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}
