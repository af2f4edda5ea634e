// C22: the cascode SRPP with its upper grid at the fixed voltage Vg2. R2 lies in T2's cathode lead,
// R1 under T1's cathode; the output is T2's cathode.
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

void solveC22(const SolveRequest& rq, SolveResult& rs) {
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

    // Voltage stack, supply side first.
    const TVoltageStacks branch = stackedPairBar(*T2, "R2", R2 * Ia2, *T1, "R1", R1 * Ia1);
    rs.stacks.push_back(branch);

    // DC report, the checks first.
    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", iterations));
    rs.ok = pairVerdicts(text.texte, rq, *T1, *T2, Vb, branch, 3, iterations < kMaxIterations);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add(voltageLine("Vg2", Vg2));
    text.Add(voltageLine("Vo", Vo));
    text.Add(voltageLine("Va1", Va1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add(pairOperatingPoints(*T1, *T2));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia1, R1), resistorRecord("R2", Ia2, R2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: both tubes' parameters, the load, then the optimised SRPP with the lower cathode
    // bypassed.
    text.Add("<b>Small signal estimations:</b><br>");
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    text.Add(tubeParameters(*T1, T1->ρ(), T1->gm(), T1->µ()));
    text.Add(tubeParameters(*T2, T2->ρ(), T2->gm(), T2->µ()));
    text.Add("<br>" + fmtResistance("Output load ", 0, Ro));
    const SrppFigures srpp = srppOptimisedStage(*T1, *T2, Ro, 0, R2, 0);
    text.Add("<br>" + srpp.text);
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vo));
    rs.setLabel("LabelI2", strFormat("%.2fmA", 1000 * Ia2));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vg2", Vg2).set("Vo", Vo).set("Va1", Va1);
    row.tube("1", *T1).tube("2", *T2).set("R1", R1).set("R2", R2);
    fillPairPowers(row, Vb, Ia1, *T1, *T2);
    row.set("PR1", R1 * Ia1 * Ia1).set("PR2", R2 * Ia2 * Ia2).set("Ro", Ro);
    row.set("Av", srpp.gainBypassed).set("Zo", srpp.zoutBypassed);
    rs.gridRow = row.finish(rs.ok);

    addPair(rs, *T1, *T2, Vb, R1 + R2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c22FixedBiasCascodeSrpp() {
    static const CircuitDef def = defineCircuit({
        .number = 22,
        .title = "Cascode SRPP, fixed bias",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "V"}, {"EdR1", "R1"}, {"EdR2", "R2"}, {"EdVg2", "EdVg2"}, {"EdRo", "Ro"}},
                .captions = {"T1 and T2", "T2", "T1"},
                .resultLabels = {"LabelVk2", "LabelVa1", "LabelVk1", "LabelI2"},
            },
        .columns = columnTable({textColumn("model", "T1-T2"),
                                {"Vb", "Vb (V)"},
                                {"Vg2", "Vg2 (V)", 1},
                                {"Vo", "Vo (V)", 1},
                                {"Va1", "Va1 (V)", 1}},
                               tubeColumns("1", 1), tubeColumns("2", 1), {{"R1", "R1 (Ω)"}, {"R2", "R2 (Ω)"}},
                               pairPowerColumns(),
                               {{"PR1", "PR1 (mW)", 0, 1000},
                                {"PR2", "PR2 (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"Av", "Av", 1},
                                {"Zo", "Zo (Ω)"}}),
        .solve = solveC22,
    });
    return def;
}
