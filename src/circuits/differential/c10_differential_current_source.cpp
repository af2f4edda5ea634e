// C10: the differential phase inverter whose cathodes are fed by a constant current Ics. A
// bracket on the cathode voltage Vk is narrowed until the two anode currents add up to Ics.
#include "circuits/differential/differential_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

using namespace differential;

constexpr int kMaxPasses = 1500;
constexpr double kTolerance = 1e-6; // A

void solveC10(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    const double Rc = sheet.num("EdRk"); // the current source's impedance
    const double Vg = sheet.num("EdVg");
    double Ics = sheet.num("EdIcs");
    if (Ics <= 0) // no source, or a reversed one: a trickle keeps the pair defined
        Ics = 0.0001;
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Balance on Vk in [Vg, Vg + 20]. Each pass moves one end of the bracket only 5 % of the way to
    // its middle, while the anode drops follow the currents by damped steps: neither a bisection
    // nor a single fixed point, so the loop stays inline.
    double I1 = Ics / 2, I2 = Ics / 2;
    const double start = I1;
    tracePoint(traces.at(0), 0, I1);
    tracePoint(traces.at(1), 0, I2);
    double lo = Vg, hi = Vg + 20;
    double Vk = 0, Vak1 = 0, Vgk1 = 0, Ia1 = 0, Vak2 = 0, Vgk2 = 0, Ia2 = 0;
    bool converged = false;
    int passes = 0;
    while (passes < kMaxPasses) {
        ++passes;
        Vk = (lo + hi) * 0.5;
        Vak1 = Vb - Ra1 * I1 - Vk;
        if (Vak1 < 0)
            Vak1 = 10;
        Vgk1 = std::min(Vg - Vk, 0.0);
        T1->CalculerNK(Vak1, Vgk1, Ia1);
        Vak2 = Vb - Ra2 * I2 - Vk;
        if (Vak2 < 0)
            Vak2 = 10;
        Vgk2 = Vgk1;
        T2->CalculerNK(Vak2, Vgk2, Ia2);
        tracePoint(traces.at(0), passes, Ia1);
        tracePoint(traces.at(1), passes, Ia2);

        const double e = Ia1 + Ia2 - Ics;
        if (e > kTolerance) {
            lo += (Vk - lo) * 0.05;
        } else if (e < -kTolerance) {
            hi -= (hi - Vk) * 0.05;
        } else {
            converged = true;
            break;
        }
        // The anode drops follow the currents, scaled to the source's total.
        const double s = (Ia1 + Ia2) / Ics;
        const double t1 = s > 0 ? Ia1 / s : Ics / 2, t2 = s > 0 ? Ia2 / s : Ics / 2;
        I1 = std::max(0.0, I1 + (t1 - I1) * 0.1);
        I2 = std::max(0.0, I2 + (t2 - I2) * 0.1);
    }
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    T2->titleTrace(traces.at(1), passes, kTolerance, start);
    const double Va1 = Vb - Ra1 * Ia1, Va2 = Vb - Ra2 * Ia2;

    // One bar per branch: anode resistor, tube, the current source.
    const TVoltageStacks branch1 = pairBranchBar(1, Ra1 * Ia1, Vak1, {{"Ics", Vk, kStackGreen}});
    const TVoltageStacks branch2 = pairBranchBar(2, Ra2 * Ia2, Vak2, {{"Ics", Vk, kStackGreen}});

    // Checks.
    auto test = makeTube(rq, "LBtube", "Test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(5, Vb, stackSum(branch1)) && stackCheck(5, Vb, stackSum(branch2));

    // DC report: the footer and the pass count head it, without the title.
    TTextResult text("<br>" + std::string(kReportFooter) + strFormat(" %d iterations<br>", passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    text.Add(supplyLine(Vb, Ics));
    addPairLines(text, *T1, *T2, Ia1, Ia2, Va1, Va2, "ΔVa", Vg, Vk);
    std::vector<TResistor> resistors = {resistorRecord("Ra1", Ia1, Ra1), resistorRecord("Ra2", Ia2, Ra2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // AC report: the source's own impedance is the common cathode element.
    const double Ro1 = sheet.num("EdRo1"), Ro2 = sheet.num("EdRo2");
    const PairSmallSignal ac = pairSmallSignal(*T1, *T2, Rc, Ra1, Ro1, Ra2, Ro2, false);
    rs.acReport = ac.text;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelVk", strFormat("%.1fV", Vk));
    rs.setLabel("LabelIa1", strFormat("%.1fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.1fmA", 1000 * Ia2));
    rs.setLabel("LabelIt", strFormat("%.1fmA", 1000 * (Ia1 + Ia2)));
    rs.stacks = {branch1, branch2};

    // Logged-results row: both grids sit on the one bias Vg.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra1", Ra1).set("Ra2", Ra2);
    row.set("Va1", Va1).set("Va2", Va2).set("Vg1", Vg).set("Vg2", Vg).set("δVa/δVg", ac.gains.differential);
    row.set("Ic", Ics);
    row.set("Vak1", Vak1)
        .set("Vgk1", Vgk1)
        .set("Ia1", Ia1)
        .set("Vak2", Vak2)
        .set("Vgk2", Vgk2)
        .set("Ia2", Ia2);
    row.set("Ptot", Vb * (Ia1 + Ia2)).set("PT1", Vak1 * Ia1).set("PT2", Vak2 * Ia2);
    row.set("PRa1", Ra1 * Ia1 * Ia1).set("PRa2", Ra2 * Ia2 * Ia2);
    fillGains(row, Ro1, ac.gains);
    rs.gridRow = row.finish(rs.ok);

    // Each tube's load line runs from the cathode potential through its anode resistor.
    rs.loadLines.push_back(pairLoadLine(*T1, Vb - Vk, Ra1, 1));
    rs.loadLines.push_back(pairLoadLine(*T2, Vb - Vk, Ra2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    runPairBode(rq, rs, sheet, *T1, Ra1, Ra2, Rc, Ro1, Ro2, "EdCo1");
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c10DifferentialCurrentSource() {
    static const CircuitDef def = defineCircuit({
        .number = 10,
        .title = "Differential phase inverter, constant current bias",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::PhaseInverter, LibraryGroup::Differential},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa1", "Ra1"},
                          {"EdRo1", "Ro1"},
                          {"EdIcs", "Current (A)"},
                          {"EdVg", "DC Vg"},
                          {"EdRk", "Source impedance"},
                          {"EdRa2", "Ra2"},
                          {"EdRg", "Rg"},
                          {"EdRo2", "Ro2"},
                          {"EdCo2", "Co2"},
                          {"EdCo1", "Co1"},
                          {"EdCa1", "Ca1"},
                          {"EdCa2", "Ca2"},
                          {"EdCg", "Cg"}},
                .captions = {"T1", "T2"},
                .resultLabels = {"LabelVa1", "LabelVa2", "LabelVk", "LabelIt", "LabelIa1", "LabelIa2"},
            },
        .columns = columnTable({textColumn("model", "T1 & T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra1", "Ra1 (Ω)"},
                                {"Ra2", "Ra2 (Ω)"},
                                {"Va1", "Va1 (V)", 1},
                                {"Va2", "Va2 (V)", 1},
                                {"Vg1", "Vg1 (V)", 1},
                                {"Vg2", "Vg2 (V)", 1},
                                {"δVa/δVg", "δVa/δVg", 1},
                                {"Ic", "Ic (mA)", 3, 1000}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa1", "PRa1 (mW)", 0, 1000},
                                {"PRa2", "PRa2 (mW)", 0, 1000}},
                               gainColumns()),
        .bodeLegends = {"RC in", "T1", "T2", "RC1", "RC2"},
        .feedback = false, // a phase splitter takes no global feedback
        .solve = solveC10,
    });
    return def;
}
