// C9: two common-cathode stages with direct coupling. T1 is self-biased by Rk1; its anode voltage is
// T2's grid voltage, T2's cathode resistor Rk2 lifting the cathode above it.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

// "label gain <css=db>x.xdB</css>" of a product of stage gains; a null gain has no dB figure.
std::string totalGainLine(const char* label, double gain) {
    return label + fmtAmplification("", 1, gain) + dbTail(" ", 1, gain);
}

void solveC9(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube2", "T2");

    // Operating points: the first stage, then the second on its anode voltage.
    T1->basicBiasSuccApprox(Vb, Ra1, Rk1, traces.at(0));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Va1 = Vb - Ra1 * Ia1;
    const bool regular2 = dc_coupled::solveFixedGridStage(*T2, Vb, Va1, Ra2, Rk2, traces.at(1), rs);
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Va2 = Vb - Ra2 * Ia2, Vk1 = Rk1 * Ia1, Vk2 = Rk2 * Ia2;
    const double It = Ia1 + Ia2;

    // Voltage stacks, one per tube, supply side first; each check adds up the bar drawn.
    TVoltageStacks stack1, stack2;
    stack1.Add("Ra1", Ra1 * Ia1, kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Vk1, kStackGreen);
    stack2.Add("Ra2", Ra2 * Ia2, kStackRed);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks = {stack1, stack2};

    // Checks, tube by tube.
    auto test1 = makeTube(rq, "LBtube1", "Test1");
    auto test2 = makeTube(rq, "LBtube2", "Test2");
    TTextResult text(reportHeader(rs.title));
    const bool ok1 = addVerdictsOnce(text.texte, true, test1->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 < 0,
                                     stackCheck(1, Vb, stackSum(stack1)), true);
    const bool ok2 = addVerdictsOnce(text.texte, true, regular2 && test2->checkOP(Vak2, Vgk2, Ia2, 0, 1),
                                     Vgk2 < 0, stackCheck(1, Vb, stackSum(stack2)), true);
    rs.ok = ok1 && ok2;
    if (Vk2 < Va1)
        text.Add("<br>Tube T2 cannot deliver current in these conditions");

    // DC report.
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtVoltage("Va1", 1, Va1));
    text.Add("<br>" + fmtVoltage("Vk1", 3, Vk1));
    text.Add("<br><br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add("<br>" + fmtVoltage("Va2", 1, Va2));
    text.Add("<br>" + fmtVoltage("Vk2", 2, Vk2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra1", Ia1, Ra1), resistorRecord("Rk1", Ia1, Rk1),
                                        resistorRecord("Ra2", Ia2, Ra2), resistorRecord("Rk2", Ia2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: T1 sees only Ra1 (T2's grid draws nothing), T2 drives Ro.
    text.Add("<b>Small signal estimations:</b><br>");
    const CommonCathodeGains a1 = commonCathodeStage(*T1, Ra1, Rk1, 1e8);
    text.Add(a1.text);
    const CommonCathodeGains a2 = commonCathodeStage(*T2, Ra2, Rk2, Ro);
    text.Add(a2.text);
    text.Add("<br><br>" +
             totalGainLine("Total gain, BYpassed cathode resistors   ", a1.bypassed * a2.bypassed));
    text.Add("<br>" +
             totalGainLine("Total gain, UNbypassed cathode resistors ", a1.unbypassed * a2.unbypassed));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelVk1", strFormat("%.1fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelIa1", strFormat("%.1fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.1fmA", 1000 * Ia2));
    rs.setLabel("LabelIt", strFormat("%.1fmA", 1000 * It));

    // Logged-results row.
    GridRow row(rq);
    row.text("model1", T1->ModelName()).text("model2", T2->ModelName()).set("Vb", Vb);
    row.set("Ra1", Ra1).set("Ra2", Ra2).set("Rk1", Rk1).set("Rk2", Rk2);
    row.set("Va1", Va1).set("Va2", Va2).set("Vk1", Vk1).set("Vk2", Vk2).tube("1", *T1).tube("2", *T2);
    row.set("Ptot", Vb * It).set("PT1", Vak1 * Ia1).set("PRa1", Ra1 * Ia1 * Ia1).set("PT2", Vak2 * Ia2);
    row.set("PRa2", Ra2 * Ia2 * Ia2).set("PRk2", Rk2 * Ia2 * Ia2).set("Ro", Ro);
    row.set("A1b", a1.bypassed).set("A1u", a1.unbypassed).set("A2b", a2.bypassed).set("A2u", a2.unbypassed);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra1 + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Ra2 + Rk2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input RC, the two stages, output RC.
    dc_coupled::Chain(rq)
        .input(sheet.num("EdRs"), sheet.capacitance("EdCs"), sheet.num("EdRg"), sheet.num("EdCg"),
               sheet.num("EdRgs"), sheet.num("EdCgs"))
        .commonCathode(*T1, 2, Ra1, Rk1, sheet.num("EdCk1"))
        .commonCathode(*T2, 3, Ra2, Rk2, sheet.num("EdCk2"))
        .output(sheet.capacitance("EdCa"), Ro, sheet.num("EdCo"))
        .run(rs);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c09DirectCoupled() {
    static const CircuitDef def = defineCircuit({
        .number = 9,
        .title = "Common-cathode amplifier with DC direct coupling",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube1", kTriode}, {"LBtube2", kTriode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa1", "Ra1"},
                          {"EdRk1", "Rk1"},
                          {"EdRk2", "Rk2"},
                          {"EdRa2", "Ra2"},
                          {"EdRo", "Ro"},
                          {"EdCa", "Ca"},
                          {"EdRgs", "Rgs"},
                          {"EdRs", "Rs"},
                          {"EdCs", "Cs"},
                          {"EdRg", "Rg"},
                          {"EdCg", "Cg"},
                          {"EdCgs", "Cgs"},
                          {"EdCk1", "Ck1"},
                          {"EdCk2", "Ck2"},
                          {"EdCo", "Co"}},
                .captions = {"T1", "T2"},
                .resultLabels = {"LabelVa2", "LabelVa1", "LabelVk1", "LabelVk2", "LabelIt", "LabelIa2",
                                 "LabelIa1"},
            },
        .columns = columnTable({textColumn("model1", "T1"),
                                textColumn("model2", "T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra1", "Ra1 (Ω)"},
                                {"Ra2", "Ra2 (Ω)"},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Va1", "Va1 (V)", 1},
                                {"Va2", "Va2 (V)", 1},
                                {"Vk1", "Vk1 (V)", 3},
                                {"Vk2", "Vk2 (V)", 2}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PRa1", "PRa1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa2", "PRa2 (mW)", 0, 1000},
                                {"PRk2", "PRk2 (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"A1b", "A1b", 1},
                                {"A1u", "A1u", 1},
                                {"A2b", "A2b", 1},
                                {"A2u", "A2u", 1}}),
        .bodeLegends = {"RC input", "T1", "T2", "RC output", "Overall gain"},
        .solve = solveC9,
    });
    return def;
}
