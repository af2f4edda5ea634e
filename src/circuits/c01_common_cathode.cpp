// C1: common-cathode triode stage with cathode bias, the reference circuit. Its file holds all of
// it: the entry (sheet, grid columns, legends) and the solver, whose phases every other circuit
// follows (traces, sheet, tubes, bias, stacks and checks, DC report, AC report, labels, grid row,
// load line, bandwidth chain).
#include "circuits/catalogue.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/distortion.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

void solveC1(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point.
    T1->basicBiasSuccApprox(Vb, Ra, Rk, traces.at(0));
    const double Ia = T1->Ia(), Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Va = Vb - Ra * Ia, Vk = Rk * Ia;

    // Voltage stack, supply side first; the check adds up the bars drawn.
    TVoltageStacks stack;
    stack.Add("Ra", Ra * Ia, kStackRed);
    stack.Add("T1", Vak, kStackYellow);
    stack.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(stack);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(stack));

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, true);
    text.Add(supplyLine(Vb, Ia));
    text.Add("<br><br>" + fmtCurrent("Ia", 1, 1000 * Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vk", 3, Vk));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia, Ra), resistorRecord("Rk", Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    const CommonCathodeGains gains = commonCathodeStage(*T1, Ra, Rk, Ro);
    text.Add(gains.text);
    const GainStageDrive drive{.Vgk0 = Vgk,
                               .Vak0 = Vak,
                               .Ia0 = Ia,
                               .load = parallelR(Ra, Ro),
                               .cathodeLoad = sheet.checked("CheckBoxCkconnected") ? 0 : Rk};
    rs.distortion = gainStageDistortion(*T1, drive, rq.thdLevel);
    text.Add("<br>" + distortionLine(*rs.distortion));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra", Ra).set("Rk", Rk).set("Va", Va).set("Vk", Vk);
    row.tube("", *T1).set("Ptot", Vb * Ia).set("PT1", Vak * Ia).set("PRa", Ia * Ra * Ia).set("Ro", Ro);
    row.set("Abyp", gains.bypassed).set("Aunbyp", gains.unbypassed);
    rs.gridRow = row.finish(rs.ok);

    // DC load line through (Vb, 0) and the short-circuit current.
    rs.loadLines.push_back({*T1, Vb / (Ra + Rk), Vb, true, 1});
    rs.tubes.push_back(*T1);

    // Bandwidth chain: input RC, the stage, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), sheet.capacitance("EdCi"), sheet.num("EdRg"),
                                           sheet.num("EdCg"), sheet.num("EdRgs"), sheet.capacitance("EdCgs"),
                                           S},
                       std::vector<bool>{ignore, sheet.checked("CheckBoxC1shunted")});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{Ra, Rk, sheet.num("EdCk"), S},
                       std::vector<bool>{ignore, sheet.checked("CheckBoxCkconnected")});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, sheet.capacitance("EdCs"), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c01CommonCathode() {
    static const CircuitDef def = defineCircuit({
        .number = 1,
        .title = "Common-cathode amplifier, cathode bias",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdVb", "V", "", 3},
                          {"EdRa", "Ra", "Anode ohmic load"},
                          {"EdRk", "Rk", "Cathode bias resistor"},
                          {"EdRo", "Ro", "Anode output load"},
                          {"EdCo", "Co", "Output load capacitor"},
                          {"EdRgs", "Rgs", "Grid stopper resistance"},
                          {"EdRg", "Rg", "Grid pulldown resistor"},
                          {"EdCgs", "Cgs", "Grid capacitor stopper"},
                          {"EdCi", "Cin", "Input isolating capacitor"},
                          {"EdCg", "Cg", "Input capacitor"},
                          {"EdCs", "Cout", "Anode coupling capacitor"},
                          {"EdCk", "Ck", "Cathode decoupling capacitor"},
                          {"EdRs", "Rs", "Source ohmic impedance"}},
                .checkBoxes = {{"CheckBoxCkconnected", "Ck connected"}, {"CheckBoxC1shunted", "Cin shunted"}},
                .captions = {"T1"},
                .resultLabels = {"LabelVa", "LabelVk", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "T1"),
                                {"Vb", "Vb (V)"},
                                {"Ra", "Ra (Ω)"},
                                {"Rk", "Rk (Ω)"},
                                {"Va", "Va (V)"},
                                {"Vk", "Vk (V)", 3}},
                               tubeColumns("", 0),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PRa", "PRa (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"Abyp", "Abyp", 1},
                                {"Aunbyp", "Aunbyp", 1}}),
        .bodeLegends = {"RC input", "T1", "RC output", "Overall gain"},
        .solve = solveC1,
    });
    return def;
}
