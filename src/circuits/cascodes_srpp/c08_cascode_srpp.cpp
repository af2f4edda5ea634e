// C8: the cascode SRPP. T2, self-biased by Rk2, sits on T1's anode with its grid there; Ra (unless
// shorted) lies between the supply and T2's anode; the output is T2's cathode. The small-signal
// figures follow the optimised SRPP of the reference the report names.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

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

constexpr int kMaxIterations = 1000;

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

    // Voltage stack, supply side first; a shorted Ra has no bar.
    TVoltageStacks branch;
    if (!raShorted)
        branch.Add("Ra", Ra * Ia2, kStackRed);
    branch.Add("T2", T2->Vak(), kStackYellow);
    branch.Add("Rk2", Rk2 * Ia2, kStackGreen);
    branch.Add("T1", T1->Vak(), kStackYellow);
    branch.Add("Rk1", Rk1 * Ia1, kStackGreen);
    rs.stacks.push_back(branch);

    // DC report, the checks first.
    TTextResult text(reportHeader(rs.title) + strFormat("<br>%d iterations<br>", iterations));
    rs.ok = pairVerdicts(text.texte, rq, *T1, *T2, Vb, branch, 2, iterations < kMaxIterations);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add(voltageLine("Vg2", Vg2));
    text.Add(voltageLine("Vk2", Vk2));
    text.Add(voltageLine("Va2", Va2));
    text.Add(pairOperatingPoints(*T1, *T2));
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

    // Schematic labels.
    rs.setLabel("LabelVk1", strFormat("%.1fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelVg2", strFormat("%.1fV", Vg2));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * Ia1));

    // Logged-results row. The optimised figures are those of the bypassed lower cathode, the
    // configuration the optimisation assumes.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Rk1", Rk1).set("Rk2", Rk2);
    row.set("Vk1", Vk1).set("Vk2", Vk2).set("Vg2", Vg2).tube("1", *T1).tube("2", *T2);
    fillPairPowers(row, Vb, Ia1, *T1, *T2);
    row.set("Ra", Ra).set("Ro", Ro).set("Aopt", srpp.gainBypassed).set("Zopt", srpp.zoutBypassed);
    row.set("Abyp", srpp.gainBypassed).set("Aunbyp", srpp.gainUnbypassed);
    row.set("Zobyp", srpp.zoutBypassed).set("Zounbyp", srpp.zoutUnbypassed);
    rs.gridRow = row.finish(rs.ok);

    addPair(rs, *T1, *T2, Vb, Rk1 + Rk2 + Ra);

    // Bandwidth chain: input, T1 common cathode, T2 as the upper (anode-common) tube, output.
    runPairBode(rq, rs, sheet, *T1, Rk1, capacitorOr2p(sheet.num("EdCk")), tqpTubeAnoCom, *T2, {Rk2, Ra});
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c08CascodeSrpp() {
    static const CircuitDef def = defineCircuit({
        .number = 8,
        .title = "Cascode SRPP",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRk1", "Rk1"},
                          {"EdRk2", "Rk2"},
                          {"EdRo", "Ro"},
                          {"EdRa", "Ra"},
                          {"EdCgs", "Cgs"},
                          {"EdCa", "Ca"},
                          {"EdCo", "Co"},
                          {"EdCk", "Ck"},
                          {"EdRs", "Rs"},
                          {"EdCs", "Cs"},
                          {"EdRgs", "Rgs"},
                          {"EdRg", "Rg"},
                          {"EdCg", "Cg"}},
                .checkBoxes = {{"CheckBoxRa", "short Ra"}},
                .captions = {"T1 and T2", "T2", "T1"},
                .resultLabels = {"LabelVk2", "LabelVg2", "LabelVk1", "LabelIt", "LabelVa2"},
            },
        .columns = columnTable({textColumn("model", "T1 & T2"),
                                {"Vb", "Vb (V)"},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Vk1", "Vk1 (V)", 3},
                                {"Vk2", "Vk2 (V)", 1},
                                {"Vg2", "Vg2 (V)", 1}},
                               tubeColumns("1", 1), tubeColumns("2", 1), pairPowerColumns(),
                               {{"Ra", "Ra (Ω)"},
                                {"Ro", "Ro (Ω)"},
                                {"Aopt", "Aopt", 1},
                                {"Zopt", "Zopt (Ω)"},
                                {"Abyp", "Abyp", 1},
                                {"Aunbyp", "Aunbyp", 1},
                                {"Zobyp", "Zobyp (Ω)"},
                                {"Zounbyp", "Zounbyp (Ω)"}}),
        .bodeLegends = pairBodeLegends(),
        .solve = solveC8,
    });
    return def;
}
