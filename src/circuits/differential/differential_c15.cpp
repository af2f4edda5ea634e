// C15: long-tailed pair. Both cathodes sit on the bias resistor Rkg in series with the tail Rk;
// both grids return to the junction of the two, so Vgk = −Rkg·(I1 + I2).
#include "circuits/differential/differential_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxIter = 2000;

// Appends a red line when the check failed, unless the report already holds it.
void addOwnVerdict(std::string& texte, bool failed, const char* line) {
    if (failed)
        addLineOnce(texte, errorLine(line));
}

} // namespace

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

    // Damped fixed point on the two currents.
    double Vak1 = 0, Vgk1 = 0, Ia1 = 0, Vak2 = 0, Ia2 = 0;
    bool converged = false;
    int iter = 0;
    while (iter < kMaxIter) {
        ++iter;
        const double It = I1 + I2;
        Vak1 = std::max(Vb - Ra1 * I1 - (Rkg + Rk) * It, VakMin);
        Vgk1 = std::min(-Rkg * It, 0.0);
        T1->CalculerNK(Vak1, Vgk1, Ia1);
        Vak2 = std::max(Vb - Ra2 * I2 - (Rkg + Rk) * It, VakMin);
        T2->CalculerNK(Vak2, Vgk1, Ia2);
        tracePoint(traces.at(0), iter, Ia1);
        tracePoint(traces.at(1), iter, Ia2);
        if (std::fabs(Ia1 - I1) <= 1e-6 && std::fabs(Ia2 - I2) <= 1e-6) {
            converged = true;
            break;
        }
        I1 += 0.025 * (Ia1 - I1);
        I2 += 0.025 * (Ia2 - I2);
    }
    T1->titleTrace(traces.at(0), iter, 1e-6, start);
    T2->titleTrace(traces.at(1), iter, 1e-6, start);
    const double Vgk2 = Vgk1;

    // Checks: the solved currents must be what the tube equation gives at the solved voltages.
    const double It = I1 + I2;
    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(Vak1, Vgk1, I1, 0, 1);
    const bool op2 = test->checkOP(Vak2, Vgk2, I2, 0, 1);
    const bool vgkOk = Vgk1 < 0;
    const bool stack1 = stackCheck(2, Vb, (Rkg + Rk) * It + Ra1 * I1 + Vak1);
    const bool stack2 = stackCheck(2, Vb, (Rkg + Rk) * It + Ra2 * I2 + Vak2);

    // DC report.
    const double Va1 = Vb - Ra1 * I1, Va2 = Vb - Ra2 * I2;
    const double Vg = Rk * It, Vk = (Rkg + Rk) * It;
    TTextResult text("<p><b>" + rs.title + "</b></p><br>" + kReportFooter +
                     strFormat(" %d iterations", iter));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stack1 && stack2, converged);
    addOwnVerdict(text.texte, !op1, "Abnormal T1 operating conditions");
    addOwnVerdict(text.texte, !op2, "Abnormal T2 operating conditions");
    addOwnVerdict(text.texte, !stack1, "Wrong stacked voltages branch 1");
    addOwnVerdict(text.texte, !stack2, "Wrong stacked voltages branch 2");
    addOwnVerdict(text.texte, !vgkOk, "Vgk(s) positive or null");
    addOwnVerdict(text.texte, !converged, "Too many iterations");
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 3, 1000 * I1));
    text.Add("<br>" + fmtCurrent("Ia2", 3, 1000 * I2));
    text.Add("<br><br>" + fmtVoltage("Va1", 2, Va1));
    text.Add("<br>" + fmtVoltage("Va2", 2, Va2));
    text.Add("<br>" + fmtVoltage("ΔVa", 2, Va1 - Va2));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    text.Add("<br>" + fmtVoltage("Vk", 3, Vk));
    text.Add("<br>" + T1->displayOP(1));
    text.Add("<br>" + T2->displayOP(1));
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

    // One stack per branch: anode resistor, tube, bias resistor, tail.
    for (int b = 0; b < 2; ++b) {
        TVoltageStacks stack;
        stack.Add(b == 0 ? "Ra1" : "Ra2", b == 0 ? Ra1 * I1 : Ra2 * I2, kStackRed);
        stack.Add(b == 0 ? "T1" : "T2", b == 0 ? Vak1 : Vak2, kStackYellow);
        stack.Add("Rkg", Rkg * It, kStackLime);
        stack.Add("Rk", Rk * It, kStackGreen);
        rs.stacks.push_back(stack);
    }

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra1, loc),
                  gridCell(0, 1, Ra2, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(0, 1, Rkg, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(1, 1, Va2, loc),
                  gridCell(2, 1, Vg, loc),
                  gridCell(2, 1, Vg, loc),
                  gridCell(3, 1, Vk, loc),
                  gridCell(1, 1, ac.gains.differential, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, I1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, I2, loc),
                  gridCell(0, 1000, Vb * It, loc),
                  gridCell(0, 1000, Vak1 * I1, loc),
                  gridCell(0, 1000, Ra1 * I1 * I1, loc),
                  gridCell(0, 1000, Vak2 * I2, loc),
                  gridCell(0, 1000, Ra2 * I2 * I2, loc),
                  gridCell(0, 1000, Rk * It * It, loc),
                  gridCell(0, 1000, Rkg * It * It, loc),
                  gridCell(0, 1, Ro1, loc),
                  gridCell(1, 1, ac.gains.anode1, loc),
                  gridCell(1, 1, ac.gains.anode2, loc),
                  gridCell(1, 1, ac.gains.differential, loc)};

    // Each tube sees its own current through Ra + Rkg + Rk; the other tube's current only
    // lowers the voltage available to the branch.
    rs.loadLines.push_back(pairLoadLine(*T1, Vb - (Rkg + Rk) * I2, Ra1 + Rkg + Rk, 1));
    rs.loadLines.push_back(pairLoadLine(*T2, Vb - (Rkg + Rk) * I1, Ra2 + Rkg + Rk, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    PairChain chain;
    chain.Cg = sheet.num("EdCg"), chain.Rg = sheet.num("EdRg");
    chain.Ra1 = Ra1, chain.Ra2 = Ra2, chain.Rc = Rk;
    chain.Ca1 = sheet.num("EdCa1"), chain.Ro1 = Ro1, chain.Co1 = sheet.num("EdCo1");
    chain.Ca2 = sheet.num("EdCa2"), chain.Ro2 = Ro2, chain.Co2 = sheet.num("EdCo2");
    runPairBode(rq, rs, *T1, chain);
    traces.moveTo(rs);
}
