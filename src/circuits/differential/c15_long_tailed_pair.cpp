// C15: the long-tailed pair. Both cathodes sit on the bias resistor Rkg in series with the tail Rk;
// both grids return to the junction of the two, so Vgk = −Rkg·(I1 + I2).
#include "circuits/differential/differential_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace differential;

constexpr int kMaxPasses = 2000;
constexpr double kTolerance = 1e-6; // A

void solveC15(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    const double Rkg = sheet.num("EdRkg");
    const double Rk = sheet.num("EdRk");
    const double Ro1 = sheet.num("EdRo1");
    const double Ro2 = sheet.num("EdRo2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Start: T1 alone, each shared resistor counted twice (it carries both currents).
    const double start = T1->basicBiasSuccApprox(Vb, 2 * Rk + Ra1, 2 * Rkg);
    double I1 = start, I2 = start;
    double VakMin = 0, IaMax = 0;
    const double sumR = Ra1 + Rkg + Rk;
    T1->LoadLineNullVgk(Vb, sumR > 0 ? sumR : 1, VakMin, IaMax);
    if (!std::isfinite(VakMin))
        VakMin = 0;
    tracePoint(traces.at(0), 0, I1);
    tracePoint(traces.at(1), 0, I2);

    // Damped fixed point on the two currents together (each tube's grid bias depends on both), a
    // fortieth of the way a pass; it ends when both tubes give the currents they were solved at.
    double Vak1 = 0, Vgk1 = 0, Ia1 = 0, Vak2 = 0, Ia2 = 0;
    bool converged = false;
    int passes = 0;
    while (passes < kMaxPasses) {
        ++passes;
        const double It = I1 + I2;
        Vak1 = std::max(Vb - Ra1 * I1 - (Rkg + Rk) * It, VakMin);
        Vgk1 = std::min(-Rkg * It, 0.0);
        T1->CalculerNK(Vak1, Vgk1, Ia1);
        Vak2 = std::max(Vb - Ra2 * I2 - (Rkg + Rk) * It, VakMin);
        T2->CalculerNK(Vak2, Vgk1, Ia2);
        tracePoint(traces.at(0), passes, Ia1);
        tracePoint(traces.at(1), passes, Ia2);
        if (std::fabs(Ia1 - I1) <= kTolerance && std::fabs(Ia2 - I2) <= kTolerance) {
            converged = true;
            break;
        }
        I1 += 0.025 * (Ia1 - I1);
        I2 += 0.025 * (Ia2 - I2);
    }
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    T2->titleTrace(traces.at(1), passes, kTolerance, start);
    const double Vgk2 = Vgk1;
    const double It = I1 + I2;
    const double Va1 = Vb - Ra1 * I1, Va2 = Vb - Ra2 * I2;
    const double Vg = Rk * It, Vk = (Rkg + Rk) * It;

    // One bar per branch: anode resistor, tube, bias resistor, tail.
    const TVoltageStacks branch1 =
        pairBranchBar(1, Ra1 * I1, Vak1, {{"Rkg", Rkg * It, kStackLime}, {"Rk", Rk * It, kStackGreen}});
    const TVoltageStacks branch2 =
        pairBranchBar(2, Ra2 * I2, Vak2, {{"Rkg", Rkg * It, kStackLime}, {"Rk", Rk * It, kStackGreen}});

    // Checks: the solved currents must be what the tube equation gives at the solved voltages.
    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(Vak1, Vgk1, I1, 0, 1);
    const bool op2 = test->checkOP(Vak2, Vgk2, I2, 0, 1);
    const bool vgkOk = Vgk1 < 0;
    const bool stack1 = stackCheck(2, Vb, stackSum(branch1));
    const bool stack2 = stackCheck(2, Vb, stackSum(branch2));

    // DC report: the shared verdict lines, then the circuit's own unless already written.
    TTextResult text("<p><b>" + rs.title + "</b></p><br>" + kReportFooter +
                     strFormat(" %d iterations", passes));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stack1 && stack2, converged);
    const auto own = [&text](bool good, const char* message) {
        if (!good)
            addLineOnce(text.texte, errorLine(message));
    };
    own(op1, "Abnormal T1 operating conditions");
    own(op2, "Abnormal T2 operating conditions");
    own(stack1, "Wrong stacked voltages branch 1");
    own(stack2, "Wrong stacked voltages branch 2");
    own(vgkOk, "Vgk(s) positive or null");
    own(converged, "Too many iterations");
    text.Add(supplyLine(Vb, It));
    addPairLines(text, *T1, *T2, I1, I2, Va1, Va2, "ΔVa", Vg, Vk);
    std::vector<TResistor> resistors = {resistorRecord("Ra1", I1, Ra1), resistorRecord("Ra2", I2, Ra2),
                                        resistorRecord("Rkg", It, Rkg), resistorRecord("Rk", It, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // AC report: the tail Rk is the common cathode impedance (Rkg is bypassed by the grid return).
    const PairSmallSignal ac = pairSmallSignal(*T1, *T2, Rk, Ra1, Ro1, Ra2, Ro2, false);
    rs.acReport = ac.text;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelVk", strFormat("%.1fV", Vk));
    rs.setLabel("LabelVg", strFormat("%.1fV", Vg));
    rs.setLabel("LabelIt", strFormat("%.1fmA", 1000 * It));
    rs.setLabel("LabelIa1", strFormat("%.1fmA", 1000 * I1));
    rs.setLabel("LabelIa2", strFormat("%.1fmA", 1000 * I2));
    rs.stacks = {branch1, branch2};

    // Logged-results row: the tubes' currents are the balanced branch currents; both grids sit on
    // the tail.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra1", Ra1).set("Ra2", Ra2).set("Rk", Rk);
    row.set("Rkg", Rkg).set("Va1", Va1).set("Va2", Va2).set("Vg1", Vg).set("Vg2", Vg).set("Vk", Vk);
    row.set("Gain", ac.gains.differential);
    row.set("Vak1", Vak1).set("Vgk1", Vgk1).set("Ia1", I1).set("Vak2", Vak2).set("Vgk2", Vgk2).set("Ia2", I2);
    row.set("Ptot", Vb * It).set("PT1", Vak1 * I1).set("PRa1", Ra1 * I1 * I1).set("PT2", Vak2 * I2);
    row.set("PRa2", Ra2 * I2 * I2).set("PRk", Rk * It * It).set("PRkg", Rkg * It * It);
    fillGains(row, Ro1, ac.gains);
    rs.gridRow = row.finish(rs.ok);

    // Each tube sees its own current through Ra + Rkg + Rk; the other tube's current only
    // lowers the voltage available to the branch.
    rs.loadLines.push_back(pairLoadLine(*T1, Vb - (Rkg + Rk) * I2, Ra1 + Rkg + Rk, 1));
    rs.loadLines.push_back(pairLoadLine(*T2, Vb - (Rkg + Rk) * I1, Ra2 + Rkg + Rk, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Rg returns to the junction of Rkg and Rk: the grid sees it bootstrapped (followed in exact mode).
    runPairBode(rq, rs, sheet, *T1, Ra1, Ra2, Rk, Ro1, Ro2, "EdCo1", Rkg);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c15LongTailedPair() {
    static const CircuitDef def = defineCircuit({
        .number = 15,
        .title = "Differential phase inverter, long-tailed pair, cathode bias",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::PhaseInverter, LibraryGroup::Differential},
        .listedByTubeCount = false, // not under "2-tube"
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRkg", "Rkg"},
                          {"EdRg", "Rg"},
                          {"EdRk", "Rk"},
                          {"EdRa1", "Ra1"},
                          {"EdRa2", "Ra2"},
                          {"EdRo1", "Ro1"},
                          {"EdCo1", "Co1"},
                          {"EdCo2", "Co2"},
                          {"EdRo2", "Ro2"},
                          {"EdCa2", "Ca2"},
                          {"EdCg", "Cg"},
                          {"EdCa1", "Ca1"}},
                .resultLabels = {"LabelVa1", "LabelVa2", "LabelVk", "LabelVg", "LabelIt", "LabelIa1",
                                 "LabelIa2"},
            },
        .columns = columnTable({textColumn("model", "T1 & T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra1", "Ra1 (Ω)"},
                                {"Ra2", "Ra2 (Ω)"},
                                {"Rk", "Rk (Ω)"},
                                {"Rkg", "Rkg (Ω)"},
                                {"Va1", "Va1 (V)", 1},
                                {"Va2", "Va2 (V)", 1},
                                {"Vg1", "Vg1 (V)", 2},
                                {"Vg2", "Vg2 (V)", 2},
                                {"Vk", "Vk (V)", 3},
                                {"Gain", "Gain", 1}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PRa1", "PRa1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa2", "PRa2 (mW)", 0, 1000},
                                {"PRk", "PRk (mW)", 0, 1000},
                                {"PRkg", "PRkg (mW)", 0, 1000}},
                               gainColumns()),
        .bodeLegends = {"RC in", "T1", "T2", "RC1", "RC2"},
        .feedback = false, // a phase splitter takes no global feedback
        .solve = solveC15,
    });
    return def;
}
