// C33: the White cathode follower. T2 (upper, grid at Vg2, anode resistor Ra) drives T1's grid from
// its anode; T1 (lower, cathode resistor Rk) sinks the output node at T2's cathode, so the pair
// answers a rising output with a falling sink current.
#include "circuits/followers/followers_common.h"

#include "markup/formatters.h"
#include "model/pair_bias.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <string>

namespace {

// Small-signal figures of the pair: T1 lower, T2 upper; Ra is T2's anode resistor, Rg the grid
// resistor of T1 (the pair Ra ∥ Rg couples T2's anode to T1's grid), Ro the load.
struct WhiteFollowerFigures {
    double gain = 0, anodeGain = 0, zout = 0;
    std::string text;
};

// Computes both tubes' parameters at their operating points and writes the report block.
WhiteFollowerFigures whiteFollowerStage(TTube& T1, TTube& T2, double Ra, double Rg, double Ro) {
    WhiteFollowerFigures f;
    T1.calculerParamètresIntrinsèques();
    T2.calculerParamètresIntrinsèques();
    const double mu1 = T1.µ(), ro1 = T1.ρ(), mu2 = T2.µ(), ro2 = T2.ρ();
    const double Rp = parallelR(Ra, Rg);
    const double R = Ro;

    // Thévenin model: T2's anode signal drives T1's grid through Ra ∥ Rg.
    const double M = Rp + (mu2 + 1) * R * (R + Rp * mu1) / (R + ro1) + ro2 + (mu2 + 1) * R;
    f.gain = ((R + Rp * mu1) / (R + ro1) + 1) * (R * mu2 / M);
    f.anodeGain = Rp == 0 ? 0.0 : -Rp * mu2 / M; // no "-0.00" when T2 has no anode resistor

    // Output impedance with the two tubes' parameters averaged.
    const double ro = (ro1 + ro2) / 2, gm = (T1.gm() + T2.gm()) / 2, mu = ro * gm;
    const double Rz = Rp == 0 ? 1 : Rp;
    f.zout = 1 / ((mu * (mu + 1) + 1) / (ro / Rz + 1) / ro + (mu + 1) / (ro + Rz));

    const std::string gmLabel = "g<SUB>m</SUB>~";
    std::string& s = f.text;
    s = "<br><i>Voltage gain: Valvenix Thévenin model</i>";
    s += "<br><i>Output impedance: formula by Trevarro, published at "
         "http://www.trevarro.example/white-cathode-follower.html</i>";
    s += "<br>";
    s += strFormat("<br>%s %s", T1.Reference().c_str(), T1.ModelName().c_str()) +
         tubeParameterLine(T1, true, gmLabel);
    s += strFormat("<br>%s %s</p>", T2.Reference().c_str(), T2.ModelName().c_str()) +
         tubeParameterLine(T2, true, gmLabel);
    s += "<br><br>" + fmtResistance("AC load ", 0, Ro);
    const std::string gain = fmtAmplification("Voltage gain     ", 2, f.gain);
    s += "<br>" + gain + (f.gain > 0 ? dbTail("   ", 1, f.gain) : std::string());
    s += "<br>" + fmtAmplification("Voltage gain an anode T2    ", 2, f.anodeGain);
    s += strFormat("<br><br>%s (calculated with average µ and ρ of T1 T2)",
                   fmtResistance("Output impedance ", 0, f.zout).c_str());
    return f;
}

void solveC33(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Vg2 = sheet.num("EdVg2");
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Rg = sheet.num("EdRg");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Operating point of the pair.
    const int iterations = pairBiasFixedGrid(*T1, *T2, followers::kPairIterations, Vb, Vg2, Ra, Rk, 0,
                                             traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Vk = Rk * Ia1, Vo = Vk + Vak1, Va = Vb - Ra * Ia2;

    // Voltage stack, supply side first: T2 above T1; the check adds up the bars drawn.
    TVoltageStacks stack;
    stack.Add("Ra", Ra * Ia2, kStackRed);
    stack.Add("T2", Vak2, kStackYellow);
    stack.Add("T1", Vak1, kStackYellow);
    stack.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(stack);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(stack));
    const bool iterationsOk = iterations < followers::kPairIterations;

    // DC report.
    TTextResult text(reportHeader(rs.title) + strFormat("<br>%d iterations", iterations));
    rs.ok = addVerdictsOnce(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, Ia2));
    text.Add("<br><br>" + fmtVoltage("Va2", 1, Va));
    text.Add("<br>" + fmtVoltage("Vo", 1, Vo));
    text.Add("<br>" + fmtVoltage("Vk1", 2, Vk));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia2, Ra), resistorRecord("Rk", Ia1, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    const WhiteFollowerFigures white = whiteFollowerStage(*T1, *T2, Ra, Rg, Ro);
    text.Add(white.text);
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelVak", strFormat("%.1fV", Vo));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia1));

    // Logged-results row. Its "Va1" column holds T2's anode (the report's Va2) and "Va2" the output
    // node at T1's anode, as the logged results have always read.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vg2", Vg2).set("Ra", Ra).set("Rk", Rk);
    row.set("Va1", Va).set("Va2", Vo).set("Vk", Vk).tube("1", *T1).tube("2", *T2);
    row.set("Ptot", Vb * Ia2).set("PT1", Vak1 * Ia1).set("PT2", Vak2 * Ia2).set("Ro", Ro);
    row.set("Gain", white.gain).set("Zout", white.zout);
    rs.gridRow = row.finish(rs.ok);

    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c33WhiteFollower() {
    static const CircuitDef def = defineCircuit({
        .number = 33,
        .title = "White cathode follower",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::Buffer, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa", "Ra"},
                          {"EdVg2", "V"},
                          {"EdRk", "Rk"},
                          {"EdRg", "Rg"},
                          {"EdRo", "Ro"}},
                .captions = {"T2", "T1", "T1 and T2"},
                .resultLabels = {"LabelVa", "LabelVak", "LabelVk", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "T1 T2"),
                                {"Vb", "Vb (V)"},
                                {"Vg2", "Vg2 (V)", 1},
                                {"Ra", "Ra (Ω)"},
                                {"Rk", "Rk (Ω)"},
                                {"Va1", "Va1 (V)", 1},
                                {"Va2", "Va2 (V)", 1},
                                {"Vk", "Vk (V)", 2}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"Gain", "Gain", 3},
                                {"Zout", "Zout (Ω)"}}),
        .solve = solveC33,
    });
    return def;
}
