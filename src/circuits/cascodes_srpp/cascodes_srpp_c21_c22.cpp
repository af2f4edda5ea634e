// C21, the double cascode (a half-µ stage driving a cathode follower on a current sink), and C22,
// the cascode SRPP with its upper grid at a fixed voltage.
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

void solveC21(const SolveRequest& rq, SolveResult& rs) {
    constexpr int kMaxIterations = 99999;
    Traces traces(rq, 4);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2"), R3 = sheet.num("EdR3"),
                 R4 = sheet.num("EdR4");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube1", "T2");
    auto T3 = makeTube(rq, "LBtube2", "T3");
    auto T4 = makeTube(rq, "LBtube2", "T4");

    // First stage: T2 self-biased by R2 on top of T1. Second stage: T4's grid on the first
    // stage's output, R4 between T4's cathode and the sink T3.
    const int iterations1 =
        pairBiasSelfBiased(*T1, *T2, kMaxIterations, Vb, R1, R2, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Va1 = Vb - T2->Vak() - R2 * Ia2;
    const int iterations2 =
        pairBiasFixedGridLead(*T3, *T4, kMaxIterations, Vb, Va1, R4, R3, 0, traces.at(2), traces.at(3));
    const double Ia3 = T3->Ia(), Ia4 = T4->Ia();
    const double Va3 = Vb - T4->Vak() - R4 * Ia4;
    const double Vk1 = R1 * Ia1, Vk2 = Vb - T2->Vak(), Vk3 = R3 * Ia3, Vk4 = Vb - T4->Vak();
    const double Itot = Ia1 + Ia3;

    // Checks, per stage.
    auto test1 = makeTube(rq, "LBtube1", "test");
    auto test2 = makeTube(rq, "LBtube2", "test");
    const bool op12 =
        test1->checkOP(T1->Vak(), T1->Vgk(), Ia1, 0, 1) && test1->checkOP(T2->Vak(), T2->Vgk(), Ia2, 0, 1);
    const bool op34 =
        test2->checkOP(T3->Vak(), T3->Vgk(), Ia3, 0, 1) && test2->checkOP(T4->Vak(), T4->Vgk(), Ia4, 0, 1);
    const bool vgkOk = T1->Vgk() < 0 && T2->Vgk() < 0 && T3->Vgk() < 0 && T4->Vgk() < 0;
    const bool stacksOk = stackCheck(1, Vb, R1 * Ia1 + T1->Vak() + T2->Vak() + R2 * Ia2) &&
                          stackCheck(1, Vb, R3 * Ia3 + T3->Vak() + T4->Vak() + R4 * Ia4);
    const bool iterationsOk = iterations1 < kMaxIterations && iterations2 < kMaxIterations;

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op12 && op34, vgkOk, stacksOk, iterationsOk);
    if (!op12)
        addLineOnce(text.texte, errorLine("Abnormal T1 / T2 operating conditions"));
    if (!op34)
        addLineOnce(text.texte, errorLine("Abnormal T3 / T4 operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk(s) positive or null"));
    if (!iterationsOk)
        addLineOnce(text.texte, errorLine("Too many iterations"));
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br><b>FIRST STAGE T1 T2</b>");
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    text.Add("<br><b>SECOND STAGE T3 T4</b>");
    text.Add("<br>" + T3->displayOP(1));
    text.Add(T4->displayOP(1));
    text.Add(strFormat("<br><br>Va1 %s", fmtVoltage("", 2, Va1).c_str()));
    text.Add(strFormat("<br>Va3 %s", fmtVoltage("", 2, Va3).c_str()));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia1, R1), resistorRecord("R2", Ia2, R2),
                                        resistorRecord("R3", Ia3, R3), resistorRecord("R4", Ia4, R4)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: the half-µ stage, the follower, and their product.
    text.Add("<b>Small signal estimations:</b><br>");
    const HalfMuFigures first = halfMuStage(*T1, *T2, R2, R1);
    text.Add(first.text);
    const FollowerFigures second = followerWithSinkStage(*T3, *T4, Ro, R4, R3);
    text.Add(second.text);
    // A null product (an output shorted by Ro = 0) has no decibel figure.
    const auto compound = [&](const char* label, double gain) {
        const std::string dB = dbFigure(2, gain);
        text.Add("<br>" + fmtAmplification(label, 2, gain + 0.0) + (dB.empty() ? "" : "  " + dB + "dB"));
    };
    text.Add("<br>");
    compound("Compound voltage gain (R1 BYpassed)   ", first.gainBypassed * second.gain);
    compound("Compound voltage gain (R1 UNbypassed) ", first.gainUnbypassed * second.gain);
    rs.acReport = text.texte;

    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelVa3", strFormat("%.2fV", Va3));
    rs.setLabel("LabelVk3", strFormat("%.2fV", Vk3));
    rs.setLabel("LabelVk4", strFormat("%.2fV", Vk4));
    rs.setLabel("LabelI1", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelI3", strFormat("%.2fmA", 1000 * Ia3));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));

    TVoltageStacks stage1;
    stage1.Add("T2", T2->Vak(), kStackYellow);
    stage1.Add("R2", R2 * Ia2, kStackRed);
    stage1.Add("T1", T1->Vak(), kStackYellow);
    stage1.Add("R1", R1 * Ia1, kStackGreen);
    rs.stacks.push_back(stage1);
    TVoltageStacks stage2;
    stage2.Add("T4", T4->Vak(), kStackYellow);
    stage2.Add("R4", R4 * Ia4, kStackRed);
    stage2.Add("T3", T3->Vak(), kStackYellow);
    stage2.Add("R3", R3 * Ia3, kStackGreen);
    rs.stacks.push_back(stage2);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),       T1->ModelName(),          T3->ModelName(),
                  gridCell(0, 1, Vb, loc),     gridCell(1, 1, Va1, loc), gridCell(1, 1, Va3, loc),
                  gridCell(3, 1000, Itot, loc)};
    for (const TTube* T : {T1.get(), T2.get(), T3.get(), T4.get()}) {
        rs.gridRow.push_back(gridCell(1, 1, T->Vak(), loc));
        rs.gridRow.push_back(gridCell(3, 1, T->Vgk(), loc));
        rs.gridRow.push_back(gridCell(3, 1000, T->Ia(), loc));
    }
    for (const double R : {R1, R2, R3, R4})
        rs.gridRow.push_back(gridCell(0, 1, R, loc));
    rs.gridRow.push_back(gridCell(0, 1000, Vb * Itot, loc));
    for (const TTube* T : {T1.get(), T2.get(), T3.get(), T4.get()})
        rs.gridRow.push_back(gridCell(0, 1000, T->Vak() * T->Ia(), loc));
    rs.gridRow.push_back(gridCell(1, 1, first.gainBypassed, loc));
    rs.gridRow.push_back(gridCell(2, 1, second.gain, loc));
    rs.gridRow.push_back(gridCell(0, 1, second.zout, loc));

    rs.loadLines.push_back(loadLineOf(*T1, Vb, R1 + R2, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, R1 + R2, 2));
    rs.loadLines.push_back(loadLineOf(*T3, Vb, R3 + R4, 3));
    rs.loadLines.push_back(loadLineOf(*T4, Vb, R3 + R4, 4));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    rs.tubes.push_back(*T3);
    rs.tubes.push_back(*T4);

    // Bandwidth chain in the order of the legends.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{0, capacitorOr2p(sheet.num("EdCg")), sheet.num("EdRg"), 1e-12,
                                           sheet.num("EdRgs"), sheet.capacitance("EdCgs"), S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{kOpen, R1, capacitorOr2p(sheet.num("EdC1")), S},
                       std::vector<bool>{ignore, true});
    quads.emplace_back(tqpTubePullUpDn, T2.get(), std::vector<int>{3}, std::vector<double>{R2, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(tqpTubeCatFol, T4.get(), std::vector<int>{4}, std::vector<double>{R4, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(tqpTubePullUpDn, T3.get(), std::vector<int>{5}, std::vector<double>{R3, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{0, capacitorOr2p(sheet.num("EdCa")), Ro, capacitorOr2p(sheet.num("EdCo")), S},
        std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

void solveC22(const SolveRequest& rq, SolveResult& rs) {
    constexpr int kMaxIterations = 1000;
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2"), Ro = sheet.num("EdRo");
    const double Vg2 = sheet.num("EdVg2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // R2 lies in T2's cathode lead: its drop biases T2.
    const int iterations =
        pairBiasFixedGridLead(*T1, *T2, kMaxIterations, Vb, Vg2, R2, R1, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Vo = Vb - T2->Vak();
    const double Vk1 = R1 * Ia1;
    const double Va1 = Vk1 + T1->Vak();

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk =
        test->checkOP(T1->Vak(), T1->Vgk(), Ia1, 0, 1) && test->checkOP(T2->Vak(), T2->Vgk(), Ia2, 0, 1);
    const bool vgkOk = T1->Vgk() < 0 && T2->Vgk() < 0;
    const bool stacksOk = stackCheck(3, Vb, T1->Vak() + T2->Vak() + R1 * Ia1 + R2 * Ia2);
    const bool iterationsOk = iterations < kMaxIterations;

    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", iterations));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add(voltageLine("Vg2", Vg2));
    text.Add(voltageLine("Vo", Vo));
    text.Add(voltageLine("Va1", Va1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia1, R1), resistorRecord("R2", Ia2, R2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    text.Add("<b>Small signal estimations:</b><br>");
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    text.Add(tubeParameters(*T1, T1->ρ(), T1->gm(), T1->µ()));
    text.Add(tubeParameters(*T2, T2->ρ(), T2->gm(), T2->µ()));
    text.Add("<br>" + fmtResistance("Output load ", 0, Ro));
    const SrppFigures srpp = srppOptimisedStage(*T1, *T2, Ro, 0, R2, 0);
    text.Add("<br>" + srpp.text);
    rs.acReport = text.texte;

    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vo));
    rs.setLabel("LabelI2", strFormat("%.2fmA", 1000 * Ia2));

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
                  gridCell(1, 1, Vg2, loc),
                  gridCell(1, 1, Vo, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(1, 1, T1->Vak(), loc),
                  gridCell(3, 1, T1->Vgk(), loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, T2->Vak(), loc),
                  gridCell(3, 1, T2->Vgk(), loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1, R1, loc),
                  gridCell(0, 1, R2, loc),
                  gridCell(0, 1000, Vb * Ia1, loc),
                  gridCell(0, 1000, T1->Vak() * Ia1, loc),
                  gridCell(0, 1000, T2->Vak() * Ia2, loc),
                  gridCell(0, 1000, R1 * Ia1 * Ia1, loc),
                  gridCell(0, 1000, R2 * Ia2 * Ia2, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, srpp.gainBypassed, loc),
                  gridCell(0, 1, srpp.zoutBypassed, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, R1 + R2, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, R1 + R2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}
