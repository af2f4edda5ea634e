// C7: the differential phase inverter whose cathodes share the resistor Rk. Each tube is solved
// alone on an equivalent cathode resistor (Rk1 for T1, Rk2 for T2, Rk1 ∥ Rk2 = Rk), and Rk1 is moved
// until both cathode voltages agree.
#include "circuits/differential/differential_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

using namespace differential;

constexpr int kMaxPasses = 1001;
constexpr int kGridBiasCap = 1000; // gridBiasPoints' count when it did not converge

void solveC7(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Vg = sheet.num("EdVg");
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    double Rk = sheet.num("EdRk");
    if (Rk <= 0) // a shorted (or negative) common resistor would split into nothing
        Rk = 1;
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Balance: Rk1 moves by a percent a pass, up while T1's cathode sits lower than T2's, down
    // while it sits higher, until the two cathode voltages agree within 0.1 mV. The step is a
    // ratio, not a bracket or a fixed point, so the loop stays inline.
    double Rk1 = 2 * Rk, Rk2 = 2 * Rk;
    double Vak1 = 0, Vgk1 = 0, Ia1 = 0, Vak2 = 0, Vgk2 = 0, Ia2 = 0;
    double start1 = 0, start2 = 0;
    bool converged = false, capHit = false;
    int passes = 0;
    while (passes < kMaxPasses) {
        const int n1 = T1->gridBiasPoints(Vb, Ra1, Rk1, Vg, Vak1, Vgk1, Ia1);
        const int n2 = T2->gridBiasPoints(Vb, Ra2, Rk2, Vg, Vak2, Vgk2, Ia2);
        capHit = n1 >= kGridBiasCap || n2 >= kGridBiasCap;
        if (passes == 0) {
            start1 = Ia1, start2 = Ia2;
            tracePoint(traces.at(0), 0, Ia1);
            tracePoint(traces.at(1), 0, Ia2);
        }
        ++passes;
        tracePoint(traces.at(0), passes, Ia1);
        tracePoint(traces.at(1), passes, Ia2);
        const double m = Rk1 * Ia1 - Rk2 * Ia2;
        if (m > 0.0001) {
            Rk1 *= 0.99;
        } else if (m < -0.0001) {
            Rk1 *= 1.01;
        } else {
            converged = true;
            break;
        }
        // Rk1 must stay above Rk for Rk2 to exist (Rk1 → Rk means T2 carries nothing).
        Rk1 = std::max(Rk1, Rk * (1 + 1e-9));
        Rk2 = Rk1 * Rk / (Rk1 - Rk);
    }
    T1->titleTrace(traces.at(0), passes, 2e-6, start1);
    T2->titleTrace(traces.at(1), passes, 2e-6, start2);
    if (capHit)
        rs.messages.push_back("Too many iterations");
    const double It = Ia1 + Ia2, Vk = Rk * It;
    const double Va1 = Vb - Ra1 * Ia1, Va2 = Vb - Ra2 * Ia2;

    // One bar per branch: anode resistor, tube, the common resistor.
    const TVoltageStacks branch1 = pairBranchBar(1, Ra1 * Ia1, Vak1, {{"Rk", Vk, kStackGreen}});
    const TVoltageStacks branch2 = pairBranchBar(2, Ra2 * Ia2, Vak2, {{"Rk", Vk, kStackGreen}});

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(branch1)) && stackCheck(1, Vb, stackSum(branch2));

    // DC report: the footer and the pass count head it, without the title.
    TTextResult text("<br>" + std::string(kReportFooter) + strFormat("%d iterations<br>", passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged && !capHit);
    text.Add(supplyLine(Vb, It));
    addPairLines(text, *T1, *T2, Ia1, Ia2, Va1, Va2, "Va1-Va2", Vg, Vk);
    std::vector<TResistor> resistors = {resistorRecord("Ra1", Ia1, Ra1), resistorRecord("Ra2", Ia2, Ra2),
                                        resistorRecord("Rk ", It, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // AC report: both tubes are one model at nearly one point, so one parameter line.
    const double Ro1 = sheet.num("EdRo1"), Ro2 = sheet.num("EdRo2");
    const PairSmallSignal ac = pairSmallSignal(*T1, *T2, Rk, Ra1, Ro1, Ra2, Ro2, true);
    rs.acReport = ac.text;

    // Schematic labels.
    rs.setLabel("LabelVk", strFormat("%.1fV", Vk));
    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelIa1", strFormat("%.1fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.1fmA", 1000 * Ia2));
    rs.setLabel("LabelIt", strFormat("%.1fmA", 1000 * It));
    rs.stacks = {branch1, branch2};

    // Logged-results row: both grids sit on the one bias Vg.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra1", Ra1).set("Ra2", Ra2);
    row.set("Vg1", Vg).set("Vg2", Vg).set("Vg1-Vg2", 0).set("Va1", Va1).set("Va2", Va2);
    row.set("Va1-Va2", Va1 - Va2).set("ΔVa/ΔVg", ac.gains.differential).set("Rk", Rk).set("Vk", Vk);
    row.set("Vak1", Vak1)
        .set("Vgk1", Vgk1)
        .set("Ia1", Ia1)
        .set("Vak2", Vak2)
        .set("Vgk2", Vgk2)
        .set("Ia2", Ia2);
    row.set("Ptot", Vb * It).set("PT1", Vak1 * Ia1).set("PT2", Vak2 * Ia2);
    row.set("PRa1", Ra1 * Ia1 * Ia1).set("PRa2", Ra2 * Ia2 * Ia2).set("PRk", Rk * It * It);
    row.set("Gain Ninv", ac.gains.anode2)
        .set("Gain Inv", ac.gains.anode1)
        .set("Gain diff", ac.gains.differential);
    rs.gridRow = row.finish(rs.ok);

    // Each tube on its equivalent cathode resistor: the point lies on Vb − (Ra + Rk')·I.
    rs.loadLines.push_back(pairLoadLine(*T1, Vb, Ra1 + Rk1, 1));
    rs.loadLines.push_back(pairLoadLine(*T2, Vb, Ra2 + Rk2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    runPairBode(rq, rs, sheet, *T1, Ra1, Ra2, Rk, Ro1, Ro2, "EcCo1");
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c07DifferentialCathodeBias() {
    static const CircuitDef def = defineCircuit({
        .number = 7,
        .title = "Differential phase inverter, cathode bias",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::PhaseInverter, LibraryGroup::Differential},
        .sheet =
            {
                .edits = {{"EdVb", "Vb"},
                          {"EdCg", "Cg"},
                          {"EdVg", "Vbias"},
                          {"EdRk", "Rk"},
                          {"EdRa1", "Ra1"},
                          {"EdRa2", "Ra2"},
                          {"EdRo1", "Ro1"},
                          {"EdRo2", "Ro2"},
                          {"EdCo2", "Co2"},
                          {"EcCo1", "Co1"},
                          {"EdRg", "Rg"},
                          {"EdCa2", "Ca2"},
                          {"EdCa1", "Ca1"}},
                .captions = {"T1 and T2", "T1", "T2", "AC grounded"},
                .resultLabels = {"LabelVa2", "LabelVk", "LabelVa1", "LabelIt", "LabelIa2", "LabelIa1"},
            },
        .columns = columnTable({textColumn("model", "T1 & T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra1", "Ra1 (Ω)"},
                                {"Ra2", "Ra2 (Ω)"},
                                {"Vg1", "Vg1 (V)", 1},
                                {"Vg2", "Vg2 (V)", 1},
                                {"Vg1-Vg2", "Vg1-Vg2 (V)", 1},
                                {"Va1", "Va1 (V)", 1},
                                {"Va2", "Va2 (V)", 1},
                                {"Va1-Va2", "Va1-Va2 (V)", 1},
                                {"ΔVa/ΔVg", "ΔVa/ΔVg", 1},
                                {"Rk", "Rk (Ω)"},
                                {"Vk", "Vk (V)", 3}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa1", "PRa1 (mW)", 0, 1000},
                                {"PRa2", "PRa2 (mW)", 0, 1000},
                                {"PRk", "PRk (mW)", 0, 1000},
                                {"Gain Ninv", "Gain Ninv", 1},
                                {"Gain Inv", "Gain Inv", 1},
                                {"Gain diff", "Gain diff", 1}}),
        .bodeLegends = {"RC in", "T1", "T2", "RC1", "RC2"},
        .feedback = false, // a phase splitter takes no global feedback
        .solve = solveC7,
    });
    return def;
}
