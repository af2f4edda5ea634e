// C21: the double cascode. A half-µ stage (T2 self-biased by R2 on top of T1, both of LBtube1)
// drives a cathode follower (T4, its grid on the first stage's output) standing on the current sink
// T3 (both of LBtube2); R4 lies between T4's cathode and T3's anode.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "model/pair_bias.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

using namespace cascodes;

namespace {

constexpr int kMaxIterations = 99999;

void solveC21(const SolveRequest& rq, SolveResult& rs) {
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

    // Voltage stacks, one per stage, each checked as drawn.
    const TVoltageStacks stage1 = stackedPairBar(*T2, "R2", R2 * Ia2, *T1, "R1", R1 * Ia1);
    const TVoltageStacks stage2 = stackedPairBar(*T4, "R4", R4 * Ia4, *T3, "R3", R3 * Ia3);
    rs.stacks.push_back(stage1);
    rs.stacks.push_back(stage2);

    // Checks, per stage.
    const PairChecks checks12 = checkPair(rq, "LBtube1", *T1, *T2);
    const PairChecks checks34 = checkPair(rq, "LBtube2", *T3, *T4);
    const bool op12 = checks12.operatingPointOk, op34 = checks34.operatingPointOk;
    const bool vgkOk = checks12.vgkOk && checks34.vgkOk;
    const bool stacksOk = stackCheck(1, Vb, stackSum(stage1)) && stackCheck(1, Vb, stackSum(stage2));
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
    text.Add(pairOperatingPoints(*T1, *T2));
    text.Add("<br><b>SECOND STAGE T3 T4</b>");
    text.Add(pairOperatingPoints(*T3, *T4));
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

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelVa3", strFormat("%.2fV", Va3));
    rs.setLabel("LabelVk3", strFormat("%.2fV", Vk3));
    rs.setLabel("LabelVk4", strFormat("%.2fV", Vk4));
    rs.setLabel("LabelI1", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelI3", strFormat("%.2fmA", 1000 * Ia3));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));

    // Logged-results row.
    GridRow row(rq);
    row.text("model1", T1->ModelName()).text("model2", T3->ModelName()).set("Vb", Vb);
    row.set("Va1", Va1).set("Va3", Va3).set("Itot", Itot);
    row.tube("1", *T1).tube("2", *T2).tube("3", *T3).tube("4", *T4);
    row.set("R1", R1).set("R2", R2).set("R3", R3).set("R4", R4).set("Ptot", Vb * Itot);
    row.set("PT1", T1->Vak() * T1->Ia()).set("PT2", T2->Vak() * T2->Ia());
    row.set("PT3", T3->Vak() * T3->Ia()).set("PT4", T4->Vak() * T4->Ia());
    row.set("A1", first.gainBypassed).set("A2", second.gain).set("Zo", second.zout);
    rs.gridRow = row.finish(rs.ok);

    addPair(rs, *T1, *T2, Vb, R1 + R2);
    addPair(rs, *T3, *T4, Vb, R3 + R4, 3);

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
    // T4's cathode has no resistor to ground: R4 runs to T3's anode, where the output is taken.
    quads.emplace_back(tqpTubeCatFol, T4.get(), std::vector<int>{4}, std::vector<double>{kOpen, R4, S},
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

} // namespace

const CircuitDef& c21DoubleCascode() {
    static const CircuitDef def = defineCircuit({
        .number = 21,
        .title = "Double cascode after Aikido Lumacraft",
        .tubeCount = 4,
        .tubeSelectors = {{"LBtube1", kTriode}, {"LBtube2", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdR1", "R1"},
                          {"EdR2", "R2"},
                          {"EdR3", "R3"},
                          {"EdR4", "R4"},
                          {"EdRo", "Ro"},
                          {"EdCo", "Co"},
                          {"EdCg", "Cg"},
                          {"EdRg", "Rg"},
                          {"EdRgs", "Rgs"},
                          {"EdC1", "C1"},
                          {"EdCgs", "Cgs"},
                          {"EdCa", "Ca"}},
                .captions = {"T1 and T2", "T3 and T4"},
                .resultLabels = {"LabelVa1", "LabelVk2", "LabelVk4", "LabelVa3", "LabelVk3", "LabelVk1",
                                 "LabelI1", "LabelI3", "LabelItot"},
            },
        .columns =
            columnTable({textColumn("model1", "T1,T2"),
                         textColumn("model2", "T3,T4"),
                         {"Vb", "Vb (V)"},
                         {"Va1", "Va1 (V)", 1},
                         {"Va3", "Va3 (V)", 1},
                         {"Itot", "ΣIa (mA)", 3, 1000}},
                        tubeColumns("1", 1), tubeColumns("2", 1), tubeColumns("3", 1), tubeColumns("4", 1),
                        {{"R1", "R1 (Ω)"},
                         {"R2", "R2 (Ω)"},
                         {"R3", "R3 (Ω)"},
                         {"R4", "R4 (Ω)"},
                         {"Ptot", "Ptot (mW)", 0, 1000},
                         {"PT1", "PT1 (mW)", 0, 1000},
                         {"PT2", "PT2 (mW)", 0, 1000},
                         {"PT3", "PT3 (mW)", 0, 1000},
                         {"PT4", "PT4 (mW)", 0, 1000},
                         {"A1", "A1", 1},
                         {"A2", "A2", 2},
                         {"Zo", "Zo"}}),
        .bodeLegends = {"RC input", "T1", "T2", "T4", "T3", "RC output", "Overall gain"},
        .solve = solveC21,
    });
    return def;
}
