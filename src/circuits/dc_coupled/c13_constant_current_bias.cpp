// C13: a common-cathode stage whose cathode is fed by a constant current Ik with the grid held at
// Vg, so the cathode settles where the tube carries exactly Ik: a bisection on the cathode voltage.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/distortion.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

constexpr int kMaxPasses = 1001;
constexpr double kTolerance = 1e-6; // A

void solveC13(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Vg = sheet.num("EdVg");
    const double Ik = sheet.num("EdIk");
    const double Ro = sheet.num("EdRo");

    const double Va = Vb - Ra * Ik;
    if (!(Va - Vg >= 50)) {
        rs.messages.push_back("The drop voltage Ra.Ik is certainly too large.");
        rs.ok = false;
        return;
    }
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: the cathode lies between the grid voltage and the grid voltage less the bias
    // that gives Ik with the whole supply across the tube. A tube carrying more than Ik lifts its
    // cathode. The trace holds the tube's current at each pass, counted from 0. A bracket that
    // closes without meeting Ik counts as running out of passes.
    const double Vgk0 = T1->whichVg(Ik, Vb - Vg, 0);
    TFormConvergence* trace = traces.at(0);
    double Ia = 0, start = 0;
    const SearchOutcome search = bisect(Vg, Vg - Vgk0, kMaxPasses, kTolerance, [&](double Vk, int pass) {
        double Vak = Vb - Ra * Ik - Vk;
        if (Vak < 0)
            Vak = 10;
        T1->CalculerNK(Vak, Vg - Vk, Ia);
        if (pass == 1)
            start = Ia;
        tracePoint(trace, pass - 1, Ia);
        return Ia - Ik;
    });
    const int passes = search.stalled ? kMaxPasses : search.passes;
    const bool converged = search.converged;
    T1->titleTrace(trace, passes, kTolerance, start);
    const double Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Vk = Vg - Vgk;

    // The bar: the anode branch down to the cathode, then the current source under it. It adds up
    // to the supply by construction, so the check adds up the branch it stands for: Ra, the tube and
    // the cathode.
    TVoltageStacks stack;
    stack.Add("Vb", Vb - Vk, kStackRed);
    stack.Add("Vkg", Vk, kStackGreen);
    rs.stacks.push_back(stack);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool stacksOk = stackCheck(1, Vb, Ra * Ik + Vak + Vk);

    // DC report.
    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", passes));
    rs.ok = addVerdictsOnce(text.texte, true, opOk, Vgk < 0, stacksOk, converged);
    if (!converged) {
        addLineOnce(text.texte, errorLine("No convergence !"));
        rs.ok = false;
    }
    text.Add(supplyLine(Vb, Ik));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + fmtVoltage("Vg", 1, Vg));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ik, Ra)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: the cathode is held by the current source and bypassed.
    const double rho = T1->getRo(), gm = T1->getGm(), mu = T1->getMu();
    const double RL = parallelR(Ra, Ro);
    const double zout = parallelR(Ra, rho);
    const double gain = -mu * ratioOrZero(RL, rho + RL);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(strFormat("<br><b>%s %s</b>", T1->Reference().c_str(), T1->ModelName().c_str()));
    text.Add("<br>  " + parameterTriple(rho, gm, mu));
    text.Add("<br>Cathode is bypassed by a capacitor.");
    text.Add("<br>  " + fmtResistance("Effective load on T1 anode (Ra||Ro)", 0, RL));
    text.Add("<br>  " + fmtResistance("Output impedance ", 0, zout));
    text.Add("<br>  " + fmtAmplification("Gain ", 1, gain) + dbTail("  ", 1, gain));
    rs.distortion = gainStageDistortion(*T1, {.Vgk0 = Vgk, .Vak0 = Vak, .Ia0 = Ia, .load = RL}, rq.thdLevel);
    text.Add("<br>" + distortionLine(*rs.distortion));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.2fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));

    // Logged-results row: the supply and Ra carry Ik.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra", Ra).set("Va", Va).set("Vg", Vg).set("Vk", Vk);
    row.tube("", *T1).set("Ptot", Vb * Ik).set("PT1", Vak * Ia).set("PRa", Ra * Ik * Ik).set("Ro", Ro);
    row.set("Abyp", gain).set("Zo", zout);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra, 1));
    T1->calculerParamètresIntrinsèques();
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c13ConstantCurrentBias() {
    static const CircuitDef def = defineCircuit({
        .number = 13,
        .title = "Common-cathode amplifier, constant current bias",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdVb", "EdVb"},
                          {"EdRa", "Ra"},
                          {"EdVg", "Vg"},
                          {"EdIk", "Ik : constant current (A)"},
                          {"EdRo", "Ro"}},
                .captions = {"T1"},
                .resultLabels = {"LabelVa", "LabelVk"},
            },
        .columns = {textColumn("model", "T1"),
                    {"Vb", "Vb (V)"},
                    {"Ra", "Ra (Ω)"},
                    {"Va", "Va (V)", 1},
                    {"Ia", "Ia (mA)", 3, 1000},
                    {"Vg", "Vg (V)", 1},
                    {"Vk", "Vk (V)", 2},
                    {"Vak", "Vak (V)", 1},
                    {"Vgk", "Vgk (V)", 3},
                    {"Ptot", "Ptot (mW)", 0, 1000},
                    {"PT1", "PT1 (mW)", 0, 1000},
                    {"PRa", "PRa (mW)", 0, 1000},
                    {"Ro", "Ro"},
                    {"Abyp", "Abyp", 1},
                    {"Zo", "Zo (Ω)"}},
        .solve = solveC13,
    });
    return def;
}
