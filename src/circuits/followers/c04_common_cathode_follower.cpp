// C4: a common-cathode stage DC-coupled to a cathode follower. T1 (Ra, Rk1) amplifies; T2's grid is
// tied to T1's anode and its cathode resistor Rk2 carries the output.
#include "circuits/followers/followers_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

// "<br><br>label gain or x.xdB" of a two-stage product; a null gain has no dB figure.
std::string totalGainLine(const char* label, double gain) {
    const std::string dB = dbFigure(1, gain);
    return "<br><br>" + fmtAmplification(label, 1, gain) + (dB.empty() ? "" : " or " + dB + "dB");
}

void solveC4(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Ra = sheet.num("EdRa");
    const double Ro = sheet.num("EdRo");
    // The follower's cathode current is its cathode voltage over Rk2: a short there has no bias.
    if (Rk2 == 0) {
        rs.dcReport = followers::kNullResistor;
        rs.ok = false;
        return;
    }
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube2", "T2");

    // Operating points: the amplifier first, then the follower on its anode voltage.
    T1->basicBiasSuccApprox(Vb, Ra, Rk1, traces.at(0));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Vg2 = Vb - Ra * Ia1;
    const std::string message = T2->basicFollower(Vb, Vg2, Rk2, traces.at(1));
    if (!message.empty())
        rs.messages.push_back(message);
    followers::titleFollowerTrace(traces.at(1), *T2);
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double It = Ia1 + Ia2, Vk1 = Rk1 * Ia1, Vk2 = Rk2 * Ia2;

    // Voltage stacks, one per tube, supply side first; each check adds up the bars drawn.
    TVoltageStacks stack1, stack2;
    stack1.Add("Ra", Ra * Ia1, kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Vk1, kStackGreen);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks = {stack1, stack2};

    // Checks, tube by tube.
    auto test1 = makeTube(rq, "LBtube1", "test1");
    auto test2 = makeTube(rq, "LBtube2", "test2");
    TTextResult text(reportHeader(rs.title));
    const bool ok1 = addVerdictsOnce(text.texte, true, test1->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 <= 0,
                                     stackCheck(1, Vb, stackSum(stack1)), true);
    const bool ok2 =
        addVerdictsOnce(text.texte, true, message.empty() && test2->checkOP(Vak2, Vgk2, Ia2, 0, 1), Vgk2 <= 0,
                        stackCheck(1, Vb, stackSum(stack2)), true);
    rs.ok = ok1 && ok2;
    if (Vk2 < Vg2)
        text.Add("<br><br><css=error>Warning: the tube T2 cannot deliver the current<br>which is imposed by "
                 "its (high) grid voltage and (low) cathode resistor.</css>");

    // DC report.
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtVoltage("Va1", 1, Vg2));
    text.Add("<br>" + fmtVoltage("Vk1", 3, Vk1));
    text.Add("<br><br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add("<br>" + fmtVoltage("Vk2", 2, Vk2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia1, Ra), resistorRecord("Rk1", Ia1, Rk1),
                                        resistorRecord("Rk2", Ia2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: T1 loaded by Ra and the follower's grid, then the follower on Ro.
    text.Add("<b>Small signal estimations:</b><br>");
    const CommonCathodeGains a1 = commonCathodeStage(*T1, Ra, Rk1, 1e8);
    text.Add(a1.text);
    const FollowerFigures a2 = cathodeFollowerStage(*T2, Ro, Rk2);
    text.Add(a2.text);
    text.Add(totalGainLine("Total gain (Rk1 BYpassed)   ", a1.bypassed * a2.gain));
    text.Add(totalGainLine("Total gain (Rk1 UNbypassed) ", a1.unbypassed * a2.gain));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelVg", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelIa1", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * It));

    // Logged-results row. The A1 column follows the sheet's choice of a connected cathode capacitor.
    const bool ckConnected = sheet.checked("CheckBoxConnected");
    const double A1 = ckConnected ? a1.bypassed : a1.unbypassed;
    GridRow row(rq);
    row.text("model1", T1->ModelName()).text("model2", T2->ModelName()).set("Vb", Vb).set("Ra", Ra);
    row.set("Rk1", Rk1).set("Rk2", Rk2).set("Va1", Vg2).set("Vk1", Vk1).set("Vk2", Vk2);
    row.tube("1", *T1).tube("2", *T2);
    row.set("Ptot", Vb * It).set("PT1", Vak1 * Ia1).set("PRa", Ra * Ia1 * Ia1).set("PT2", Vak2 * Ia2);
    row.set("PRk2", Rk2 * Ia2 * Ia2).set("Ro", Ro).set("A1", A1).set("A2", a2.gain).set("A1A2", A1 * a2.gain);
    row.set("Zo", a2.zout);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Rk2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input RC, common cathode, follower, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), sheet.capacitance("EdCs"), sheet.num("EdRg"),
                                           sheet.num("EdCg"), sheet.num("EdRgs"), sheet.num("EdCgs"), S},
                       std::vector<bool>{ignore, sheet.checked("CheckBoxShunted")});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{Ra, Rk1, sheet.num("EdCk"), S},
                       std::vector<bool>{ignore, ckConnected});
    quads.emplace_back(tqpTubeCatFol, T2.get(), std::vector<int>{3}, std::vector<double>{Rk2, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{sheet.num("EdRko"), sheet.capacitance("EdCko"), Ro, sheet.num("EdCo"), S},
        std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c04CommonCathodeFollower() {
    static const CircuitDef def = defineCircuit({
        .number = 4,
        .title = "Common-cathode amplifier and DC-coupled cathode-follower",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube1", kTriode}, {"LBtube2", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::Buffer},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa", "Ra"},
                          {"EdRk2", "Rk2"},
                          {"EdRo", "Ro"},
                          {"EdRg", "Rg"},
                          {"EdCg", "Cg"},
                          {"EdCgs", "Cgs"},
                          {"EdRgs", "Rgs"},
                          {"EdCs", "Cs"},
                          {"EdRs", "Rs"},
                          {"EdCo", "Co"},
                          {"EdCko", "Cko"},
                          {"EdCk", "Ck"},
                          {"EdRk1", "Rk1"},
                          {"EdRko", "Rko"}},
                .checkBoxes = {{"CheckBoxConnected", "connected"}, {"CheckBoxShunted", "shunted"}},
                .captions = {"T1", "T2"},
                .resultLabels = {"LabelVg", "LabelVk1", "LabelVk2", "LabelIt", "LabelIa2", "LabelIa1"},
            },
        .columns = columnTable({textColumn("model1", "T1"),
                                textColumn("model2", "T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra", "Ra (Ω)"},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Va1", "Va1 (V)", 1},
                                {"Vk1", "Vk1 (V)", 3},
                                {"Vk2", "Vk2 (V)", 2}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PRa", "PRa (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRk2", "PRk2 (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"A1", "A1", 1},
                                {"A2", "A2", 3},
                                {"A1A2", "A1.A2", 1},
                                {"Zo", "Zo (Ω)"}}),
        .bodeLegends = {"RC input", "T1", "T2", "RC output", "Overall gain"},
        .solve = solveC4,
    });
    return def;
}
