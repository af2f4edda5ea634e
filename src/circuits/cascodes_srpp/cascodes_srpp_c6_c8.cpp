// C6, the true cascode (upper grid held by a divider), and C8, the cascode SRPP (upper tube
// self-biased by its cathode resistor): two triodes in series solved as a pair.
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

using namespace cascodes;

namespace {
constexpr int kMaxIterations = 1000;

// The input network of both chains: source, coupling capacitor Cs, grid leak, grid stopper.
TQuadripole inputOf(const SheetValues& sheet, double S, bool ignore) {
    return TQuadripole(tqpInputGrid, nullptr, {1},
                       {sheet.num("EdRs"), capacitorOr2p(sheet.num("EdCs")), sheet.num("EdRg"),
                        sheet.num("EdCg"), sheet.num("EdRgs"), sheet.capacitance("EdCgs"), S},
                       {ignore, false});
}
} // namespace

void solveC6(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rg1 = sheet.num("EdRg1"), Rg2 = sheet.num("EdRg2");
    const double Ra = sheet.num("EdRa"), Rk = sheet.num("EdRk"), Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Operating point: the divider holds T2's grid, the pair shares one current.
    const double Vg = ratioOrZero(Vb * Rg1, Rg1 + Rg2);
    const double Irg = ratioOrZero(Vb, Rg1 + Rg2);
    const int iterations =
        pairBiasFixedGridLead(*T1, *T2, kMaxIterations, Vb, Vg, 0, Rk, Ra, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Vm = Vb - T2->Vak() - Ra * Ia2;
    const double Va = Vb - Ra * Ia2;
    const double Vk = Rk * Ia1;
    const double It = Ia1 + Irg;

    // Voltage stacks: the divider, then the tube branch, where Ra carries T2's anode current and Rk
    // T1's cathode current. The stack check adds up the bars drawn.
    TVoltageStacks divider;
    divider.Add("Rg2", Rg2 * Irg, kStackRed);
    divider.Add("Rg1", Rg1 * Irg, kStackGreen);
    rs.stacks.push_back(divider);
    TVoltageStacks branch;
    branch.Add("Ra", Ra * Ia2, kStackRed);
    branch.Add("T2", T2->Vak(), kStackYellow);
    branch.Add("T1", T1->Vak(), kStackYellow);
    branch.Add("Rk", Rk * Ia1, kStackGreen);
    rs.stacks.push_back(branch);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk =
        test->checkOP(T1->Vak(), T1->Vgk(), Ia1, 0, 1) && test->checkOP(T2->Vak(), T2->Vgk(), Ia2, 0, 1);
    const bool vgkOk = T1->Vgk() < 0 && T2->Vgk() < 0;
    const bool stacksOk = stackCheck(3, Vb, stackSum(branch));
    const bool iterationsOk = iterations < kMaxIterations;

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Irg", 3, 1000 * Irg));
    text.Add(voltageLine("Va", Va));
    text.Add(voltageLine("Vg", Vg));
    text.Add(voltageLine("Vm", Vm));
    text.Add(voltageLine("Vk", Vk));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rg1", Irg, Rg1), resistorRecord("Rg2", Irg, Rg2),
                                        resistorRecord("Ra", Ia2, Ra), resistorRecord("Rk", Ia1, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    const CascodeFigures cascode = cascodeStage(*T1, *T2, Rk, Ro, Ra);
    text.Add(cascode.text);
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelVa", strFormat("%.2fV", Va));
    rs.setLabel("LabelVg", strFormat("%.2fV", Vg));
    rs.setLabel("LabelVm", strFormat("%.2fV", Vm));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * It));

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Rg1, loc),
                  gridCell(0, 1, Rg2, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(1, 1, Va, loc),
                  gridCell(1, 1, Vm, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(3, 1, Vk, loc),
                  gridCell(1, 1, T1->Vak(), loc),
                  gridCell(3, 1, T1->Vgk(), loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, T2->Vak(), loc),
                  gridCell(3, 1, T2->Vgk(), loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * It, loc),
                  gridCell(0, 1000, T1->Vak() * Ia1, loc),
                  gridCell(0, 1000, T2->Vak() * Ia2, loc),
                  gridCell(0, 1000, Ra * Ia2 * Ia2, loc),
                  gridCell(0, 1000, Rk * Ia1 * Ia1, loc),
                  gridCell(0, 1000, Rg1 * Irg * Irg, loc),
                  gridCell(0, 1000, Rg2 * Irg * Irg, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, cascode.gain, loc),
                  gridCell(0, 1, cascode.zout, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Ra + Rk, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input, T1 common cathode, T2 common grid, output.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.push_back(inputOf(sheet, S, ignore));
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{kOpen, Rk, capacitorOr2p(sheet.num("EdCk")), S},
                       std::vector<bool>{ignore, true});
    quads.emplace_back(tqpTubeGriCom, T2.get(), std::vector<int>{3},
                       std::vector<double>{kShortCapacitor, kOpen, Ra, S}, std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, capacitorOr2p(sheet.num("EdCa")), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

void solveC8(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rk1 = sheet.num("EdRk1"), Rk2 = sheet.num("EdRk2"), Ro = sheet.num("EdRo");
    const double RaTyped = sheet.num("EdRa");
    const bool raShorted = sheet.checked("CheckBoxRa");
    const double Ra = raShorted ? 0 : RaTyped;
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Operating point: T2 biased by Rk2, its grid on T1's anode.
    const int iterations =
        pairBiasSelfBiased(*T1, *T2, kMaxIterations, Vb, Rk1, Rk2, Ra, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Vk1 = Rk1 * Ia1;
    const double Vg2 = Vk1 + T1->Vak(); // T1's anode
    const double Vk2 = Vg2 + Rk2 * Ia2;
    const double Va2 = Vb - Ra * Ia2;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk =
        test->checkOP(T1->Vak(), T1->Vgk(), Ia1, 0, 1) && test->checkOP(T2->Vak(), T2->Vgk(), Ia2, 0, 1);
    const bool vgkOk = T1->Vgk() < 0 && T2->Vgk() < 0;
    const bool stacksOk = stackCheck(2, Vb, Rk1 * Ia1 + T1->Vak() + T2->Vak() + (Rk2 + Ra) * Ia2);
    const bool iterationsOk = iterations < kMaxIterations;

    // DC report.
    TTextResult text(reportHeader(rs.title) + strFormat("<br>%d iterations<br>", iterations));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add(voltageLine("Vg2", Vg2));
    text.Add(voltageLine("Vk2", Vk2));
    text.Add(voltageLine("Va2", Va2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rk1", Ia1, Rk1), resistorRecord("Rk2", Ia2, Rk2)};
    if (!raShorted)
        resistors.push_back(resistorRecord("Ra", Ia2, Ra));
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(
        "<br><i>Reference: The Optimized SRPP Amp (Part 2), by Quellbrook, in Audio Express June 2010</i>");
    text.Add("<br>");
    const SrppFigures srpp = srppOptimisedStage(*T1, *T2, Ro, Ra, Rk2, Rk1);
    text.Add(srpp.text);
    rs.acReport = text.texte;

    rs.setLabel("LabelVk1", strFormat("%.1fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelVg2", strFormat("%.1fV", Vg2));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * Ia1));

    TVoltageStacks branch;
    if (!raShorted)
        branch.Add("Ra", Ra * Ia2, kStackRed);
    branch.Add("T2", T2->Vak(), kStackYellow);
    branch.Add("Rk2", Rk2 * Ia2, kStackGreen);
    branch.Add("T1", T1->Vak(), kStackYellow);
    branch.Add("Rk1", Rk1 * Ia1, kStackGreen);
    rs.stacks.push_back(branch);

    // Logged-results row. The optimised figures are those of the bypassed lower cathode, the
    // configuration the optimisation assumes.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Rk1, loc),
                  gridCell(0, 1, Rk2, loc),
                  gridCell(3, 1, Vk1, loc),
                  gridCell(1, 1, Vk2, loc),
                  gridCell(1, 1, Vg2, loc),
                  gridCell(1, 1, T1->Vak(), loc),
                  gridCell(3, 1, T1->Vgk(), loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, T2->Vak(), loc),
                  gridCell(3, 1, T2->Vgk(), loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * Ia1, loc),
                  gridCell(0, 1000, T1->Vak() * Ia1, loc),
                  gridCell(0, 1000, T2->Vak() * Ia2, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, srpp.gainBypassed, loc),
                  gridCell(0, 1, srpp.zoutBypassed, loc),
                  gridCell(1, 1, srpp.gainBypassed, loc),
                  gridCell(1, 1, srpp.gainUnbypassed, loc),
                  gridCell(0, 1, srpp.zoutBypassed, loc),
                  gridCell(0, 1, srpp.zoutUnbypassed, loc)};

    const double branchR = Rk1 + Rk2 + Ra;
    rs.loadLines.push_back(loadLineOf(*T1, Vb, branchR, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, branchR, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input, T1 common cathode, T2 as the upper (anode-common) tube, output.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.push_back(inputOf(sheet, S, ignore));
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{kOpen, Rk1, capacitorOr2p(sheet.num("EdCk")), S},
                       std::vector<bool>{ignore, true});
    quads.emplace_back(tqpTubeAnoCom, T2.get(), std::vector<int>{3}, std::vector<double>{Rk2, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, capacitorOr2p(sheet.num("EdCa")), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}
