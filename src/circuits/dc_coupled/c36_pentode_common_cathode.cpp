// C36: the common-cathode pentode stage. The screen is held at Vek above the cathode and the
// cathode resistor carries the anode and screen currents. The anode current is found by narrowing a
// bracket in 10 µA steps.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/distortion.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <tuple>

namespace {

constexpr int kMaxPasses = 500;
constexpr double kStep = 1e-5; // A

void solveC36(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa") == 0 ? 1 : sheet.num("EdRa");
    const double Rk = sheet.num("EdRk") == 0 ? 1 : sheet.num("EdRk");
    const double Vek = sheet.num("EdVek");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point.
    const double startIa = T1->CalculerNKpentode(Vb, 0, Vek);
    const double startIe = T1->Ie();
    const double I0 = 0.5 * Vb / (Ra + Rk);
    double lo = 0.1 * I0, hi = 2 * I0;
    TFormConvergence* traceA = traces.at(0);
    TFormConvergence* traceS = traces.at(1);
    tracePoint(traceA, 0, startIa);
    tracePoint(traceS, 0, startIe);
    // The bias the cathode resistor gives with the anode current I and the screen current at that
    // very bias: Vgk + Rk·(I + Ie(Vgk)) rises with Vgk, so one bisection finds it, ending on the
    // middle of a bracket 1 nV wide. (Taking the screen current of the previous bias instead swings
    // the bias back and forth for a tube whose screen current is steep.)
    const auto cathodeBias = [&](double I) {
        double lo = -Rk * (I + T1->CalculerEcranPentode(0, Vek)), hi = 0;
        for (int n = 0; n < 200 && hi - lo > 1e-9; ++n) {
            const double mid = (lo + hi) * 0.5;
            if (mid + Rk * (I + T1->CalculerEcranPentode(mid, Vek)) > 0)
                hi = mid;
            else
                lo = mid;
        }
        return (lo + hi) * 0.5;
    };
    // The bracket's ends move by a fixed step towards the current the tube gives at its middle.
    double Vgk = 0, Ia = 0, Ie = 0, I = 0;
    int passes = 0;
    bool converged = false;
    while (passes < kMaxPasses) {
        ++passes;
        I = (lo + hi) * 0.5;
        Vgk = cathodeBias(I);
        double Vak = Vb - Ra * I + Vgk;
        if (Vak < 10) {
            Vak = 10;
            I = (Vb + Vgk - 10) / Ra;
        }
        Vak = std::min(Vak, Vb);
        Ia = T1->CalculerNKpentode(Vak, Vgk, Vek);
        Ie = T1->Ie();
        tracePoint(traceA, passes, Ia);
        tracePoint(traceS, passes, Ie);
        if (Ia - I > kStep)
            lo += kStep;
        else if (Ia - I < -kStep)
            hi -= kStep;
        else {
            converged = true;
            break;
        }
    }
    for (auto [trace, label, first, last] :
         {std::tuple{traceA, "Ia", startIa, Ia}, std::tuple{traceS, "Ie", startIe, Ie}})
        if (trace)
            trace->caption = strFormat("C%d - %s %s - %d iter. Res ±%.0fµA %s %.2f=>%.2fmA", trace->Tag,
                                       T1->Reference().c_str(), T1->ModelName().c_str(), passes, kStep * 1e6,
                                       label, 1000 * first, 1000 * last);
    const double Vak = T1->Vak();
    const double Ik = Ia + Ie;
    // The anode sits Vak above the cathode (below the supply by Ra·Ia once the search has settled).
    const double Vk = Rk * Ik, Va = Vak + Vk, Vs = Vk + Vek;
    // The screen resistor that drops the supply to the screen voltage; none when no screen current.
    // A screen voltage above the supply (less the cathode's rise) would take a negative resistor,
    // which is no design: the solve fails and the resistor is shown as none.
    const double screenDrop = Vb - Vek + Vgk;
    const bool screenOk = screenDrop >= 0;
    const double Rg2 = screenOk ? ratioOrZero(screenDrop, Ie) : 0;

    // Two bars, supply side first: the anode branch as the search last built it (the anode current
    // agrees with I to 10 µA), whose check adds it up, and the screen branch.
    TVoltageStacks anode, screen;
    anode.Add("Ra", Ra * I, kStackRed);
    anode.Add("T1", Vak, kStackYellow);
    anode.Add("Rk", -Vgk, kStackGreen);
    screen.Add("Rg2", Rg2 * Ie, kStackNavy);
    screen.Add("Vs", Vek, kStackYellow);
    screen.Add("Rk", -Vgk, kStackGreen);
    rs.stacks = {anode, screen};

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, Vek, 1);
    const bool stacksOk = stackCheck(1, Vb, stackSum(anode));

    // DC report. Its heading has always gone without the grey footer line of the other reports.
    TTextResult text(strFormat("<b>%s</b><br>%d iterations", rs.title.c_str(), passes));
    rs.ok = verdicts(text.texte, true, opOk, Vgk < 0, stacksOk, converged) && screenOk;
    if (!screenOk)
        addLineOnce(text.texte,
                    errorLine(strFormat("Screen voltage above what the supply can give: Vs %.1fV > "
                                        "V %.1fV, no screen resistor",
                                        Vs, Vb)));
    text.Add(supplyLine(Vb, Ik));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia));
    text.Add("<br>" + fmtCurrent("Is", 2, 1000 * Ie));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vs", 1, Vs));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia, Ra), resistorRecord("Rg2", Ie, Rg2),
                                        resistorRecord("Rk", Ik, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: a pentode's gain is its transconductance times the load. The stage inverts like
    // every common-cathode stage of the system, so the gain is printed and logged as -gm·RL (the
    // magnitude and the decibels are those of gm·RL). The load line starts a line of its own (an
    // upper-case "<BR>" would vanish as an unknown tag and run it into the parameter line).
    T1->calculerParamètresIntrinsèques();
    const double RL = parallelR(Ra, Ro);
    const double gain = -T1->gm() * RL;
    const double zout = parallelR(Ra, T1->ρ());
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(strFormat("<br><b>%s %s</b>", T1->Reference().c_str(), T1->ModelName().c_str()));
    text.Add(tubeParameterLine(*T1, false));
    text.Add("<br>" + fmtResistance("AC load ", 0, RL));
    text.Add("<br>  * if BYpassed cathode resistor:");
    text.Add("<br>    " + fmtAmplification("gain ", 1, gain) + dbTail("   ", 1, gain));
    const GainStageDrive drive{.Vgk0 = Vgk, .Vak0 = Vak, .Ia0 = Ia, .Vek = Vek, .load = RL};
    rs.distortion = gainStageDistortion(*T1, drive, rq.thdLevel);
    text.Add("<br>" + distortionLine(*rs.distortion));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVe", strFormat("%.1fV", Vs));
    rs.setLabel("LabelRe", screenOk ? strFormat("%.0fko", Rg2 / 1000) : std::string("none"));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelI", strFormat("%.2fmA", 1000 * Ia));

    // Logged-results row: the screen voltage typed, then the tube's own; the screen resistor under
    // the legend "Rs".
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vek", Vek).set("Rk", Rk).set("Ra", Ra);
    row.set("Rg2", Rg2).set("Vak", Vak).set("Vgk", Vgk).set("Vsk", T1->Vek()).set("Ia", Ia).set("Is", Ie);
    row.set("Ptot", Vb * Ik).set("PT1a", Vak * Ia).set("PT1s", Vek * Ie).set("Ro", Ro);
    row.set("Av", gain).set("Zo", zout);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.tubes.push_back(*T1);

    // Bandwidth chain: input RC, the stage, output RC.
    dc_coupled::Chain(rq)
        .input(sheet.num("EdRs"), sheet.capacitance("EdCs"), sheet.num("EdRg"), sheet.num("EdCg"),
               sheet.num("EdRgs"), sheet.num("EdCgs"))
        .commonCathode(*T1, 2, Ra, Rk, sheet.num("EdCk"))
        .output(sheet.capacitance("EdCa"), Ro, sheet.num("EdCo"))
        .run(rs);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c36PentodeCommonCathode() {
    static const CircuitDef def = defineCircuit({
        .number = 36,
        .title = "Cathode-common pentode amplifier",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kPentode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa", "Ra"},
                          {"EdRo", "Ro"},
                          {"EdVek", "Screen-cathode voltage"},
                          {"EdRk", "Rk"},
                          {"EdRs", "Rs"},
                          {"EdCk", "Ck"},
                          {"EdCo", "Co"},
                          {"EdCgs", "Cgs"},
                          {"EdRgs", "Rgs"},
                          {"EdRg", "Rg"},
                          {"EdCg", "EdCg"},
                          {"EdCs", "Cs"},
                          {"EdCa", "Ca"}},
                .captions = {"T1"},
                .resultLabels = {"LabelI", "LabelVa", "LabelVk", "LabelRe", "LabelVe"},
            },
        .columns = {textColumn("model", "T1"),
                    {"Vb", "Vb (V)"},
                    {"Vek", "Vsk (V)", 1},
                    {"Rk", "Rk (Ω)"},
                    {"Ra", "Ra (Ω)"},
                    {"Rg2", "Rs (Ω)"},
                    {"Vak", "Vak (V)", 1},
                    {"Vgk", "Vgk (V)", 3},
                    {"Vsk", "Vsk (V)", 1},
                    {"Ia", "Ia (mA)", 3, 1000},
                    {"Is", "Is (mA)", 3, 1000},
                    {"Ptot", "Ptot (mW)", 0, 1000},
                    {"PT1a", "PT1a (mW)", 0, 1000},
                    {"PT1s", "PT1s (mW)", 0, 1000},
                    {"Ro", "Ro (Ω)"},
                    {"Av", "Av", 1},
                    {"Zo", "Zo (Ω)"}},
        .bodeLegends = {"RC input", "T1", "RC output", "Overall gain"},
        .solve = solveC36,
    });
    return def;
}
