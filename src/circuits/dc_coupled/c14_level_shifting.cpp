// C14: two common-cathode stages with DC level shifting. T1's anode feeds the divider Rag (top) /
// Rg2 (bottom) whose tap is T2's grid, so the divider current loads T1's anode; T2 then works with
// its grid at a fixed DC voltage.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

constexpr int kMaxPasses = 999;
constexpr double kDamping = 10;
constexpr double kTolerance = 1e-6; // A

// "<prefix>label gain  <css=db>x.xdB</css>" of a stage gain or a product of them.
std::string gainLine(const char* prefix, const std::string& label, double gain) {
    return prefix + fmtAmplification(label, 1, gain) + dbTail("  ", 1, gain);
}

// Gains and output impedances of a common-cathode stage with its cathode resistor bypassed or not.
struct Stage {
    double gainB, gainU, zoutB, zoutU;
};

// Stage n (T) on the load RL, cathode resistor Rk: its block of the AC report and its figures.
Stage stageFigures(TTube& T, const char* n, double RL, double Rk, const std::string& loadLabel,
                   std::string& report) {
    const double rho = T.getRo(), gm = T.getGm(), mu = rho * gm;
    const double degenerated = rho + (mu + 1) * Rk;
    const Stage s{-mu * ratioOrZero(RL, rho + RL), -mu * ratioOrZero(RL, RL + degenerated),
                  parallelR(RL, rho), ratioOrZero(RL * degenerated, RL + degenerated)};
    report += strFormat("<br><br><b>%s %s</b>", T.Reference().c_str(), T.ModelName().c_str());
    report += "<br>  " + parameterTriple(rho, gm, mu, "g<SUB>m</SUB>~");
    report += "<br>" + fmtResistance(loadLabel, 0, RL);
    report += "<br>" + fmtResistance(strFormat("Output impedance (Rk%s BYp) ", n), 0, s.zoutB);
    report += "<br>" + fmtResistance(strFormat("Output impedance (Rk%s UNb) ", n), 0, s.zoutU);
    report += gainLine("<br>", strFormat("Voltage gain of T%s (BYp)   ", n), s.gainB);
    report += gainLine("<br>", strFormat("Voltage gain of T%s (UNb)   ", n), s.gainU);
    return s;
}

void solveC14(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    const double Rag = sheet.num("EdRag");
    const double Rg2 = sheet.num("EdRg2");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Ro = sheet.num("EdRo");
    const double Rd = Rag + Rg2;
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube2", "T2");

    // T1: damped fixed point on its current, the anode held by Ra1 and the divider. The tube's
    // current is capped at the load line's maximum, so I1, starting below it and moving towards
    // the capped current, never exceeds it either. The trace holds the tube's current at each pass.
    double Vakmin = 0, Imax = 0;
    T1->LoadLineNullVgk(Vb, Ra1 + Rk1, Vakmin, Imax);
    const double divide = ratioOrZero(Rd, Ra1 + Rd);
    double I1 = Imax / 2;
    const double start = I1;
    TFormConvergence* trace1 = traces.at(0);
    tracePoint(trace1, 0, I1);
    const SearchOutcome search = dampedFixedPointTestFirst(
        I1, kMaxPasses, kDamping, kTolerance,
        [&](double I) {
            const double Va = (Vb - Ra1 * I) * divide;
            double Ia = 0;
            T1->CalculerNK(std::max(Va - Rk1 * I, 0.0), 0.0 - Rk1 * I, Ia); // +0, not -0, without Rk1
            return std::min(Ia, Imax);
        },
        trace1);
    T1->titleTrace(trace1, search.passes, kTolerance, start);
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Va1 = (Vb - Ra1 * Ia1) * divide;
    const double Ishift = ratioOrZero(Va1, Rd);
    const double Vg2 = Ishift * Rg2;

    // T2 with its grid at the divider's tap.
    const bool regular2 = dc_coupled::solveFixedGridStage(*T2, Vb, Vg2, Ra2, Rk2, traces.at(1), rs);
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Va2 = Vb - Ra2 * Ia2, Vk1 = Rk1 * Ia1, Vk2 = Rk2 * Ia2;
    const double It = Ia1 + Ishift + Ia2;

    // Three bars, supply side first: T1, the divider under Ra1, T2. Each check adds up its bar.
    TVoltageStacks stack1, stackDivider, stack2;
    stack1.Add("Ra1", Ra1 * (Ia1 + Ishift), kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Vk1, kStackGreen);
    stackDivider.Add("Ra1", Ra1 * (Ia1 + Ishift), kStackRed);
    stackDivider.Add("Rag", Rag * Ishift, kStackNavy);
    stackDivider.Add("Rg2", Vg2, kStackPurple);
    stack2.Add("Ra2", Ra2 * Ia2, kStackRed);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks = {stack1, stackDivider, stack2};

    // Checks, tube by tube. Here a grid at the cathode's potential (Vgk = 0) passes: only a positive
    // grid is refused.
    auto test1 = makeTube(rq, "LBtube1", "Test1");
    auto test2 = makeTube(rq, "LBtube2", "Test2");
    TTextResult text(reportHeader(rs.title));
    const bool ok1 = addVerdictsOnce(text.texte, true, test1->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 <= 0,
                                     stackCheck(1, Vb, stackSum(stack1)), search.converged);
    const bool ok2 = addVerdictsOnce(text.texte, true, regular2 && test2->checkOP(Vak2, Vgk2, Ia2, 0, 1),
                                     Vgk2 <= 0, stackCheck(1, Vb, stackSum(stack2)), true);
    rs.ok = ok1 && ok2;
    if (Vg2 > Vk2) {
        text.Add(
            errorLine("Error: tube T2 cannot deliver required current because of Vg2 too high and/or Rk2 "
                      "too low"));
        rs.ok = false;
    }

    // DC report.
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add("<br>" + fmtCurrent("Ishifter", 3, 1000 * Ishift));
    text.Add("<br><br>" + fmtVoltage("Va1", 1, Va1));
    text.Add("<br>" + fmtVoltage("Vk1", 3, Vk1));
    text.Add("<br>" + fmtVoltage("Va2", 1, Va2));
    text.Add("<br>" + fmtVoltage("Vk2", 2, Vk2));
    text.Add("<br>" + fmtVoltage("Vg2", 2, Vg2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {
        resistorRecord("Ra1", Ia1 + Ishift, Ra1), resistorRecord("Ra2", Ia2, Ra2),
        resistorRecord("Rk1", Ia1, Rk1),          resistorRecord("Rk2", Ia2, Rk2),
        resistorRecord("Rag", Ishift, Rag),       resistorRecord("Rg2", Ishift, Rg2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: the speed-up capacitor passes the whole of T1's anode swing to T2's grid, so T1
    // sees Ra1 ∥ Rg2.
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add("<br>Rk1 and Rk2 bypassed (BYp) or unbypassed (UNb) by capacitors.");
    const Stage s1 =
        stageFigures(*T1, "1", parallelR(Ra1, Rg2), Rk1, "Effective load on T1 (Ra1||Rg2) ", text.texte);
    const Stage s2 =
        stageFigures(*T2, "2", parallelR(Ra2, Ro), Rk2, "Effective load on T2 (Ra2||Ro) ", text.texte);
    text.Add("<br><br>Global voltage gain of T1 and T2:");
    text.Add(gainLine("<br>  ", "Rk1 Rk2 BYp ", s1.gainB * s2.gainB));
    text.Add(gainLine("<br>  ", "Rk1 Rk2 UNb ", s1.gainU * s2.gainU));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelVk1", strFormat("%.1fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelVg2", strFormat("%.1fV", Vg2));
    rs.setLabel("LabelIa1", strFormat("%.1fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.1fmA", 1000 * Ia2));
    rs.setLabel("LabelIg", strFormat("%.1fmA", 1000 * Ishift));
    rs.setLabel("LabelIt", strFormat("%.1fmA", 1000 * It));

    // Logged-results row: Ra1 carries T1's current and the divider's.
    GridRow row(rq);
    row.text("model1", T1->ModelName()).text("model2", T2->ModelName()).set("Vb", Vb);
    row.set("Ra1", Ra1).set("Ra2", Ra2).set("Rk1", Rk1).set("Rk2", Rk2).set("Rag", Rag).set("Rg2", Rg2);
    row.set("Ig", Ishift).set("Va1", Va1).set("Va2", Va2).set("Vg2", Vg2).set("Vk1", Vk1).set("Vk2", Vk2);
    row.tube("1", *T1).tube("2", *T2);
    row.set("Ptot", Vb * It).set("PT1", Vak1 * Ia1).set("PRa1", Ra1 * (Ia1 + Ishift) * (Ia1 + Ishift));
    row.set("PT2", Vak2 * Ia2).set("PRa2", Ra2 * Ia2 * Ia2).set("PRk2", Rk2 * Ia2 * Ia2);
    row.set("PRag", Rag * Ishift * Ishift).set("PRg2", Rg2 * Ishift * Ishift).set("Ro", Ro);
    row.set("A1byp", s1.gainB).set("A1unbyp", s1.gainU).set("A2byp", s2.gainB).set("A2unbyp", s2.gainU);
    row.set("Zo2byp", s2.zoutB).set("Zo2unbyp", s2.zoutU);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra1 + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Ra2 + Rk2, 2));
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input RC, T1, the level shifter (Rag with its speed-up capacitor over Rg2 and
    // T2's grid stopper), T2, output RC.
    dc_coupled::Chain(rq)
        .input(0, sheet.capacitance("EdCs"), sheet.num("EdRg1"), 0, sheet.num("EdRgs1"), sheet.num("EdCgs1"))
        .commonCathode(*T1, 2, Ra1, Rk1, sheet.num("EdCk1"))
        .add(tqpLevelShifter, nullptr, {3},
             {Rag, sheet.num("EdC1"), Rg2, sheet.num("EdRgs2"), sheet.num("EdCgs2")})
        .commonCathode(*T2, 4, Ra2, Rk2, sheet.num("EdCk2"))
        .output(sheet.capacitance("EdCa"), Ro, sheet.num("EdCo"))
        .run(rs);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c14LevelShifting() {
    static const CircuitDef def = defineCircuit({
        .number = 14,
        .title = "Common-cathode amplifier with DC level shifting",
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
                          {"EdRag", "R1"},
                          {"EdRg2", "R2"},
                          {"EdRo", "Ro"},
                          {"EdCgs1", "Cg"},
                          {"EdCo", "Co"},
                          {"EdCa", "Ca"},
                          {"EdCk2", "Ck2"},
                          {"EdCk1", "Ck1"},
                          {"EdRgs1", "Rs"},
                          {"EdCs", "Cs"},
                          {"EdRg1", "Rg"},
                          {"EdRgs2", "Rgs"},
                          {"EdCgs2", "Cgs"},
                          {"EdC1", "C1"}},
                .captions = {"T1", "T2"},
                .resultLabels = {"LabelVa1", "LabelVa2", "LabelVg2", "LabelVk1", "LabelVk2", "LabelIt",
                                 "LabelIa2", "LabelIa1", "LabelIg"},
            },
        .columns = columnTable({textColumn("model1", "T1"),
                                textColumn("model2", "T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra1", "Ra1 (Ω)"},
                                {"Ra2", "Ra2 (Ω)"},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Rag", "Rag (Ω)"},
                                {"Rg2", "Rg2 (Ω)"},
                                {"Ig", "Ig (mA)", 3, 1000},
                                {"Va1", "Va1 (V)", 1},
                                {"Va2", "Va2 (V)", 1},
                                {"Vg2", "Vg2 (V)", 2},
                                {"Vk1", "Vk1 (V)", 3},
                                {"Vk2", "Vk2 (V)", 2}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PRa1", "PRa1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa2", "PRa2 (mW)", 0, 1000},
                                {"PRk2", "PRk2 (mW)", 0, 1000},
                                {"PRag", "PRag (mW)", 0, 1000},
                                {"PRg2", "PRg2 (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"A1byp", "A1byp", 1},
                                {"A1unbyp", "A1unbyp", 1},
                                {"A2byp", "A2byp", 1},
                                {"A2unbyp", "A2unbyp", 1},
                                {"Zo2byp", "Zo2byp (Ω)"},
                                {"Zo2unbyp", "Zo2unbyp (Ω)"}}),
        .bodeLegends = {"RC input", "T1", "Level shifter", "T2", "RC output", "Overall gain"},
        .solve = solveC14,
    });
    return def;
}
