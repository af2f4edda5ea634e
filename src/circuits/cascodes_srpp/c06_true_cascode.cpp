// C6: the true cascode. T1 amplifies in common cathode; T2 above it, its grid held by the divider
// Rg1/Rg2, passes T1's current on to the anode load Ra, so T1 sees a low anode load and the pair
// the gain of a pentode.
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
    // T1's cathode current. The check adds up the tube branch as drawn.
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

    // DC report, the checks first.
    TTextResult text(reportHeader(rs.title));
    rs.ok = pairVerdicts(text.texte, rq, *T1, *T2, Vb, branch, 3, iterations < kMaxIterations);
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Irg", 3, 1000 * Irg));
    text.Add(voltageLine("Va", Va));
    text.Add(voltageLine("Vg", Vg));
    text.Add(voltageLine("Vm", Vm));
    text.Add(voltageLine("Vk", Vk));
    text.Add(pairOperatingPoints(*T1, *T2));
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
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Rg1", Rg1).set("Rg2", Rg2).set("Vg", Vg);
    row.set("Ra", Ra).set("Va", Va).set("Vm", Vm).set("Rk", Rk).set("Vk", Vk);
    row.tube("1", *T1).tube("2", *T2);
    fillPairPowers(row, Vb, It, *T1, *T2);
    row.set("PRa", Ra * Ia2 * Ia2).set("PRk", Rk * Ia1 * Ia1).set("PRg1", Rg1 * Irg * Irg);
    row.set("PRg2", Rg2 * Irg * Irg).set("Rao", Ro).set("Gain", cascode.gain).set("Zo", cascode.zout);
    rs.gridRow = row.finish(rs.ok);

    addPair(rs, *T1, *T2, Vb, Ra + Rk);

    // Bandwidth chain: input, T1 common cathode, T2 common grid, output.
    runPairBode(rq, rs, sheet, *T1, Rk, capacitorOr2p(sheet.num("EdCk")), tqpTubeGriCom, *T2,
                {kShortCapacitor, kOpen, Ra});
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c06TrueCascode() {
    static const CircuitDef def = defineCircuit({
        .number = 6,
        .title = "True cascode",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRg1", "Rg1"},
                          {"EdRg2", "Rg2"},
                          {"EdRk", "Rk"},
                          {"EdRa", "Ra"},
                          {"EdRo", "Ro"},
                          {"EdCg", "Cg"},
                          {"EdCa", "Ca"},
                          {"EdCo", "Co"},
                          {"EdCk", "Ck"},
                          {"EdRs", "Rs"},
                          {"EdCs", "Cs"},
                          {"EdRgs", "Rgs"},
                          {"EdCgs", "Cgs"},
                          {"EdRg", "Rg"}},
                .captions = {"T1 and T2", "T2", "T1"},
                .resultLabels = {"LabelVa", "LabelVk", "LabelVg", "LabelVm", "LabelIt", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "T1 & T2"),
                                {"Vb", "Vb (V)"},
                                {"Rg1", "Rg1 (Ω)"},
                                {"Rg2", "Rg2 (Ω)"},
                                {"Vg", "Vg (V)", 1},
                                {"Ra", "Ra (Ω)"},
                                {"Va", "Va (V)", 1},
                                {"Vm", "Vm (V)", 1},
                                {"Rk", "Rk (Ω)"},
                                {"Vk", "Vk (V)", 3}},
                               tubeColumns("1", 1), tubeColumns("2", 1), pairPowerColumns(),
                               {{"PRa", "PRa (mW)", 0, 1000},
                                {"PRk", "PRk (mW)", 0, 1000},
                                {"PRg1", "PRg1 (mW)", 0, 1000},
                                {"PRg2", "PRg2 (mW)", 0, 1000},
                                {"Rao", "Rao (Ω)"},
                                {"Gain", "Gain", 1},
                                {"Zo", "Zo (Ω)"}}),
        .bodeLegends = pairBodeLegends(),
        .solve = solveC6,
    });
    return def;
}
