// C24: the SRPP headphone amplifier. Three triodes meet at the output node Vo: T1 (self-biased by
// Rk1, its anode load R1 from Vo) and T2 (its cathode resistor Rk2, its grid on T1's cathode) hang
// below it, T3 (its grid on T1's anode) feeds it from the supply beside R2.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

using namespace cascodes;

namespace {

constexpr int kMaxIterations = 999;
constexpr double kDamping = 20;
constexpr double kTolerance = 1e-6; // A

void solveC24(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 4); // T1, T2, T3, the output node
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2");
    const double Rk1 = sheet.num("EdRk1"), Rk2 = sheet.num("EdRk2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");
    auto T3 = makeTube(rq, "LBtube", "T3");

    // Start: T1 alone across the supply, T2 and T3 at half the supply with T1's bias.
    double Vo = Vb / 2;
    T1->basicBiasSuccApprox(Vb, R1 + R2, Rk1, nullptr);
    double I1 = T1->Ia(), vak1 = T1->Vak(), vgk1 = T1->Vgk();
    double I2 = triodeCurrent(*T2, vgk1, Vo), vak2 = Vo, vgk2 = vgk1;
    double I3 = triodeCurrent(*T3, vgk2, Vo), vak3 = Vo, vgk3 = vgk2;
    const double start1 = I1, start2 = I2, start3 = I3;
    for (int t = 0; t < 3; ++t)
        tracePoint(traces.at(t), 0, t == 0 ? I1 : t == 1 ? I2 : I3);
    tracePoint(traces.at(3), 0, Vo);

    // The output node as the average of its four estimates: from T3, from R2, from T2's branch
    // and from T1's branch.
    // A node of this passive network stays between ground and the supply; holding the estimate there
    // keeps a diverging first guess from running away to infinity.
    const auto node = [&] {
        const double v =
            0.25 * ((Vb - vak3) + (Vb - (I1 + I2 - I3) * R2) + (vak2 + Rk2 * I2) + (vak1 + (Rk1 + R1) * I1));
        return std::isfinite(v) ? std::clamp(v, 0.0, Vb) : Vb / 2;
    };
    // Each pass moves the three currents in turn, each by a damped step towards its tube's current
    // at the node just estimated; the search ends when no step's residual reached the tolerance.
    // Three coupled unknowns: a loop of its own rather than the one-unknown fixed point.
    int iterations = 0;
    bool converged = false;
    while (iterations < kMaxIterations && !converged) {
        ++iterations;
        Vo = node();
        vak1 = Vo - (R1 + Rk1) * I1;
        if (vak1 < 30)
            vak1 = 30;
        vgk1 = -Rk1 * I1;
        const double new1 = triodeCurrent(*T1, vgk1, vak1);
        const double d1 = new1 - I1;
        I1 += d1 / kDamping;

        Vo = node();
        vak2 = Vo - Rk2 * I2;
        vgk2 = Rk1 * I1 - Rk2 * I2;
        const double new2 = triodeCurrent(*T2, vgk2, vak2);
        const double d2 = new2 - I2;
        I2 += d2 / kDamping;

        Vo = node();
        vak3 = Vb - Vo;
        vgk3 = -R1 * I1;
        const double new3 = Vb - Vo > 0.01 ? triodeCurrent(*T3, vgk3, vak3) : 0;
        const double d3 = new3 - I3;
        I3 += d3 / kDamping;

        tracePoint(traces.at(0), iterations, new1);
        tracePoint(traces.at(1), iterations, new2);
        tracePoint(traces.at(2), iterations, new3);
        tracePoint(traces.at(3), iterations, Vo);
        converged = std::fabs(d1) < kTolerance && std::fabs(d2) < kTolerance && std::fabs(d3) < kTolerance;
    }
    // The tubes keep their solved points; the settled currents I1, I2, I3 are reported. A cut-off
    // T3 carries nothing.
    triodeCurrent(*T1, vgk1, vak1);
    triodeCurrent(*T2, vgk2, vak2);
    if (Vb - Vo > 0.01) {
        triodeCurrent(*T3, vgk3, vak3);
    } else {
        vak3 = 0;
        I3 = 0;
        triodeCurrent(*T3, vgk3, vak3);
    }
    T1->titleTrace(traces.at(0), iterations, kTolerance, start1);
    T2->titleTrace(traces.at(1), iterations, kTolerance, start2);
    T3->titleTrace(traces.at(2), iterations, kTolerance, start3);
    if (TFormConvergence* w = traces.at(3))
        w->caption = strFormat("C%d - %d iter. Vo %.2fV", w->Tag, iterations, Vo);
    const double I9 = I1 + I2 - I3; // through R2
    const double Itot = I1 + I2;
    const double Vk1 = Rk1 * I1, Vk2 = Rk2 * I2, Va1 = Vk1 + vak1;

    // Two branches below the output node, each under the drop of R2 (and T3 beside it), each
    // checked as drawn.
    TVoltageStacks branch1;
    branch1.Add("R2", R2 * I9, kStackRed);
    branch1.Add("R1", R1 * I1, kStackRed);
    branch1.Add("T1", vak1, kStackYellow);
    branch1.Add("Rk1", Vk1, kStackGreen);
    rs.stacks.push_back(branch1);
    TVoltageStacks branch2;
    branch2.Add("R2", R2 * I9, kStackRed);
    branch2.Add("T2", vak2, kStackYellow);
    branch2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks.push_back(branch2);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(vak1, vgk1, I1, 0, 1);
    const bool op2 = test->checkOP(vak2, vgk2, I2, 0, 1);
    const bool op3 = test->checkOP(vak3, vgk3, I3, 0, 1) || I3 == 0;
    const bool vgkOk = vgk1 <= 0 && vgk2 <= 0 && vgk3 <= 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(branch1)) && stackCheck(1, Vb, stackSum(branch2));

    // DC report: the shared verdict lines, then the circuit's own unless already written.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op1 && op2 && op3, vgkOk, stacksOk, converged);
    const auto own = [&text](bool good, const char* message) {
        if (!good)
            addLineOnce(text.texte, errorLine(message));
    };
    own(op1, "Abnormal T1 operating conditions");
    own(op2, "Abnormal T2 operating conditions");
    own(op3, "Abnormal T3 operating conditions");
    own(vgkOk, "Vgk(s) positive");
    own(converged, "Too many iterations");
    own(stacksOk, "Error on stack voltages");
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1) + T2->displayOP(1) + T3->displayOP(1));
    text.Add(strFormat("<br><br>Vo %s", fmtVoltage("", 2, Vo).c_str()));
    text.Add(strFormat("<br>Va1 %s", fmtVoltage("", 2, Va1).c_str()));
    text.Add(strFormat("<br>Vk1 %s", fmtVoltage("", 2, Vk1).c_str()));
    text.Add(strFormat("<br>Vk2 %s", fmtVoltage("", 2, Vk2).c_str()));
    std::vector<TResistor> resistors = {resistorRecord("R1", I1, R1), resistorRecord("R2", I9, R2),
                                        resistorRecord("Rk1", I1, Rk1), resistorRecord("Rk2", I2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelI1", strFormat("%.2fmA", 1000 * I1));
    rs.setLabel("LabelI2", strFormat("%.2fmA", 1000 * I2));
    rs.setLabel("LabelI3", strFormat("%.2fmA", 1000 * I3));
    rs.setLabel("LabelI9", strFormat("%.2fmA", 1000 * I9));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));

    // Logged-results row: the tubes at the settled currents.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vo", Vo).set("Va1", Va1).set("Vk1", Vk1);
    row.set("Vk2", Vk2).set("Vak1", vak1).set("Vgk1", vgk1).set("Ia1", I1);
    row.set("Vak2", vak2).set("Vgk2", vgk2).set("Ia2", I2).set("Vak3", vak3).set("Vgk3", vgk3).set("Ia3", I3);
    row.set("Rk1", Rk1).set("Rk2", Rk2).set("R1", R1).set("R2", R2).set("Ptot", Vb * Itot);
    row.set("PT1", vak1 * I1).set("PT2", vak2 * I2).set("PT3", vak3 * I3).set("PR1", R1 * I1 * I1);
    row.set("PR2", R2 * I9 * I9).set("PRk1", Rk1 * I1 * I1).set("PRk2", Rk2 * I2 * I2);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, R2 + R1 + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, R2 + Rk2, 2));
    rs.loadLines.push_back(loadLineOf(*T3, Vb, 0, 3));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    rs.tubes.push_back(*T3);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c24SrppHeadphone() {
    static const CircuitDef def = defineCircuit({
        .number = 24,
        .title = "SRPP headphone amplifier after Lumacraft",
        .tubeCount = 3,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::Buffer, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "Vb : power supply (V)"},
                          {"EdR1", "R1"},
                          {"EdRk1", "Rk1"},
                          {"EdR2", "R2"},
                          {"EdRk2", "Rk2"}},
                .captions = {"T1 and T2 and T3", "T3", "T1", "T2"},
                .resultLabels = {"LabelVo", "LabelItot", "LabelVa1", "LabelVk1", "LabelVk2", "LabelI3",
                                 "LabelI2", "LabelI1", "LabelI9"},
            },
        .columns = columnTable({textColumn("model", "Tubes"),
                                {"Vb", "Vb (V)"},
                                {"Vo", "Vo (V)", 1},
                                {"Va1", "Va1 (V)", 1},
                                {"Vk1", "Vk1 (V)", 3},
                                {"Vk2", "Vk2", 3}},
                               tubeColumns("1", 1), tubeColumns("2", 1), tubeColumns("3", 1),
                               {{"Rk1", "Rk1 (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"R1", "R1 (Ω)"},
                                {"R2", "R2 (Ω)"},
                                {"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PT3", "PT3 (mW)", 0, 1000},
                                {"PR1", "PR1 (mW)", 0, 1000},
                                {"PR2", "PR2 (mW)", 0, 1000},
                                {"PRk1", "PRk1 (mW)", 0, 1000},
                                {"PRk2", "PRk2 (mW)", 0, 1000}}),
        .solve = solveC24,
    });
    return def;
}
