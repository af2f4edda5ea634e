// C34: the half-µ stage. Two equal triodes in series, each self-biased: T2 on top of T1 (R2 in its
// cathode, its grid on T1's anode), the output at T1's anode.
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

void solveC34(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Operating point.
    const int iterations =
        pairBiasSelfBiased(*T1, *T2, kMaxIterations, Vb, R1, R2, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Vk1 = R1 * Ia1;
    const double Va1 = Vk1 + T1->Vak(); // the output, T2's grid
    const double Vk2 = Va1 + R2 * Ia2;

    // Voltage stack, supply side first.
    const TVoltageStacks branch = stackedPairBar(*T2, "R2", R2 * Ia2, *T1, "R1", R1 * Ia1);
    rs.stacks.push_back(branch);

    // DC report, the checks first.
    TTextResult text(reportHeader(rs.title) + strFormat("<br>%d iterations", iterations));
    rs.ok = pairVerdicts(text.texte, rq, *T1, *T2, Vb, branch, 2, iterations < kMaxIterations);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add(voltageLine("Va1", Va1));
    text.Add(voltageLine("Vk2", Vk2));
    text.Add(pairOperatingPoints(*T1, *T2));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia1, R1), resistorRecord("R2", Ia2, R2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add("<br><br><i>Reference: The Optimized SRPP Amp (Part 1), by Quellbrook, in Audio Express May "
             "2010</i>");
    text.Add(
        "<br><i>Condition: output supposedly loaded by infinite load (e.g. direct coupling to grid of next "
        "stage)</i>");
    const HalfMuFigures halfMu = halfMuStage(*T1, *T2, R2, R1);
    text.Add(halfMu.text);
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia1));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("R1", R1).set("R2", R2).set("Va1", Va1);
    row.tube("1", *T1).tube("2", *T2);
    fillPairPowers(row, Vb, Ia1, *T1, *T2);
    row.set("Ab", halfMu.gainBypassed).set("Au", halfMu.gainUnbypassed);
    row.set("Zb", halfMu.zoutBypassed).set("Zu", halfMu.zoutUnbypassed);
    rs.gridRow = row.finish(rs.ok);

    addPair(rs, *T1, *T2, Vb, R1 + R2);

    // Bandwidth chain: input, T1 common cathode, T2 pulling up, output.
    runPairBode(rq, rs, sheet, *T1, R1, sheet.capacitance("EdCk"), tqpTubePullUpDn, *T2, {R2});
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c34HalfMu() {
    static const CircuitDef def = defineCircuit({
        .number = 34,
        .title = "Half-mu stage",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdR1", "R1"},
                          {"EdR2", "R2"},
                          {"EdRs", "Rs"},
                          {"EdCs", "Cs"},
                          {"EdRgs", "Rgs"},
                          {"EdCg", "Cg"},
                          {"EdRg", "Rg"},
                          {"EdCgs", "Cgs"},
                          {"EdCk", "Ck"},
                          {"EdRo", "Ro"},
                          {"EdCo", "Co"},
                          {"EdCa", "Ca"}},
                .captions = {"T1 and T2", "T1", "T2"},
                .resultLabels = {"LabelVa1", "LabelVk2", "LabelVk1", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "T1 T2"),
                                {"Vb", "Vb (V)"},
                                {"R1", "Rk1 (Ω)"},
                                {"R2", "Rk2 (Ω)"},
                                {"Va1", "Va1 (V)", 1}},
                               tubeColumns("1", 1), tubeColumns("2", 1), pairPowerColumns(),
                               {{"Ab", "Ab", 1}, {"Au", "Au", 1}, {"Zb", "Zb (Ω)"}, {"Zu", "Zu (Ω)"}}),
        .bodeLegends = pairBodeLegends(),
        .solve = solveC34,
    });
    return def;
}
