// C26: the CCDA line amplifier. T1 is a common-cathode stage (Ra, Rk1); T2 follows T1's anode, its
// cathode returning through Rk2 + Rk3 to the top of Rk1, so Rk1 carries both currents.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

namespace {

constexpr int kMaxPasses = 999;
constexpr double kDamping = 200;
constexpr double kTolerance = 1e-6; // A

void solveC26(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Rk3 = sheet.num("EdRk3");
    const double Rf = Rk2 + Rk3;
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Start: T1 as if Rk1 carried twice its current, T2 at T1's point.
    double I1 = T1->basicBiasSuccApprox(Vb, Ra, 2 * Rk1);
    double I2 = 0;
    T2->CalculerNK(T1->Vak(), T1->Vgk(), I2);
    const double start1 = I1, start2 = I2;
    tracePoint(traces.at(0), 0, I1);
    tracePoint(traces.at(1), 0, I2);

    // Both currents settle together by a slow damped update, T2's computed from T1's new current
    // within the same pass; the pass ends the search when both corrections are small. Two coupled
    // unknowns: this loop is its own.
    int passes = 0;
    bool converged = false;
    while (passes < kMaxPasses) {
        ++passes;
        double ia = 0;
        T1->CalculerNK(Vb - Ra * I1 - (I1 + I2) * Rk1, 0.0 - Rk1 * (I1 + I2), ia); // +0 without Rk1
        const double d1 = ia - I1;
        I1 += d1 / kDamping;
        const double Vk1 = (I1 + I2) * Rk1;
        T2->CalculerNK(Vb - I2 * Rf - Vk1, (Vb - Ra * I1) - Rf * I2 - Vk1, ia);
        const double d2 = ia - I2;
        I2 += d2 / kDamping;
        tracePoint(traces.at(0), passes, I1);
        tracePoint(traces.at(1), passes, I2);
        if (std::fabs(d1) < kTolerance && std::fabs(d2) < kTolerance) {
            converged = true;
            break;
        }
    }
    T1->titleTrace(traces.at(0), passes, kTolerance, start1);
    T2->titleTrace(traces.at(1), passes, kTolerance, start2);
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double It = Ia1 + Ia2;
    const double Va1 = Vb - Ra * Ia1, Vk1 = Rk1 * It;
    const double Vk2 = Vk1 + Rf * Ia2, Vk12 = Vk1 + Rk3 * Ia2;

    // Two bars, supply side first, both ending on Rk1; each check adds up its bar.
    TVoltageStacks stack1, stack2;
    stack1.Add("Ra", Ra * Ia1, kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Vk1, kStackGreen);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Rk2 * Ia2, kStackNavy);
    stack2.Add("Rk3", Rk3 * Ia2, kStackPurple);
    stack2.Add("Rk1", Vk1, kStackGreen);
    rs.stacks = {stack1, stack2};

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(Vak1, Vgk1, Ia1, 0, 1);
    const bool op2 = test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(stack1)) && stackCheck(1, Vb, stackSum(stack2));

    // DC report: the shared verdict lines, then the circuit's own unless already written.
    TTextResult text(reportHeader(rs.title));
    rs.ok = addVerdictsOnce(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
    const auto own = [&text](bool good, const char* message) {
        if (!good)
            addLineOnce(text.texte, errorLine(message));
    };
    own(op1, "Abnormal T1 operating conditions");
    own(op2, "Abnormal T2 operating conditions");
    own(vgkOk, "Vgk positive");
    own(converged, "Too many iterations");
    own(stacksOk, "Error on stack voltages");
    text.Add(supplyLine(Vb, It));
    text.Add(strFormat("<br><br>Va1 %s", fmtVoltage("", 1, Va1).c_str()));
    text.Add(strFormat("<br>Vk1 %s", fmtVoltage("", 2, Vk1).c_str()));
    text.Add(strFormat("<br>Vk2 %s", fmtVoltage("", 2, Vk2).c_str()));
    text.Add(strFormat("<br>Vk12 %s", fmtVoltage("", 2, Vk12).c_str()));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia1, Ra), resistorRecord("Rk1", It, Rk1),
                                        resistorRecord("Rk2", Ia2, Rk2), resistorRecord("Rk3", Ia2, Rk3)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * It));
    rs.setLabel("LabelI1", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelI2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelVk12", strFormat("%.1fV", Vk12));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Va1", Va1).set("Vk1", Vk1).set("Vk2", Vk2);
    row.set("Vk12", Vk12).tube("1", *T1).tube("2", *T2);
    row.set("Ra", Ra).set("Rk1", Rk1).set("Rk2", Rk2).set("Rk3", Rk3);
    row.set("Ptot", Vb * It).set("PT1", Vak1 * Ia1).set("PT2", Vak2 * Ia2).set("PRa", Ra * Ia1 * Ia1);
    row.set("PRk1", Rk1 * It * It).set("PRk2", Rk2 * Ia2 * Ia2).set("PRk3", Rk3 * Ia2 * Ia2);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Rf + Rk1, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c26Ccda() {
    static const CircuitDef def = defineCircuit({
        .number = 26,
        .title = "CCDA line amplifier after Lumacraft",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::Buffer},
        .sheet =
            {
                .edits = {{"EdVb", "Vb : power supply (V)"},
                          {"EdRa", "Ra"},
                          {"EdRk2", "Rk2"},
                          {"EdRk1", "Rk1"},
                          {"EdRk3", "Rk3"}},
                .captions = {"T1", "T2", "T1 and T2"},
                .resultLabels = {"LabelItot", "LabelVa1", "LabelI1", "LabelI2", "LabelVk1", "LabelVk12",
                                 "LabelVk2", "Label9"},
            },
        .columns = columnTable({textColumn("model", "Tubes"),
                                {"Vb", "Vb (V)"},
                                {"Va1", "Va1 (V)", 1},
                                {"Vk1", "Vk1 (V)", 2},
                                {"Vk2", "Vk2 (V)", 1},
                                {"Vk12", "Vk12 (V)", 1}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ra", "Ra (Ω)"},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Rk3", "Rk3 (Ω)"},
                                {"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa", "PRa (mW)", 0, 1000},
                                {"PRk1", "PRk1 (mW)", 0, 1000},
                                {"PRk2", "PRk2 (mW)", 0, 1000},
                                {"PRk3", "PRk3 (mW)", 0, 1000}}),
        .solve = solveC26,
    });
    return def;
}
