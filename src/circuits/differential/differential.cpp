// Differential stages: C7, C10, C15, C23. This file holds the registration and the two phase
// inverters whose pair shares one cathode element: C7 (a common resistor) and C10 (a constant
// current source).
#include "circuits/differential/differential_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

// The balance loops' iteration caps.
constexpr int kC7MaxIter = 1001;
constexpr int kC10MaxIter = 1500;
constexpr int kGridBiasCap = 1000; // gridBiasPoints' count when it did not converge

} // namespace

// C10: the cathodes are fed by a constant current Ics; a bracket on the cathode voltage Vk is
// narrowed until the two anode currents add up to Ics.
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

    // Balance: bisection-like narrowing of [Vg, Vg + 20] on Vk.
    double I1 = Ics / 2, I2 = Ics / 2;
    const double start = I1;
    tracePoint(traces.at(0), 0, I1);
    tracePoint(traces.at(1), 0, I2);
    double lo = Vg, hi = Vg + 20;
    double Vk = 0, Vak1 = 0, Vgk1 = 0, Ia1 = 0, Vak2 = 0, Vgk2 = 0, Ia2 = 0;
    bool converged = false;
    int iter = 0;
    while (iter < kC10MaxIter) {
        ++iter;
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
        tracePoint(traces.at(0), iter, Ia1);
        tracePoint(traces.at(1), iter, Ia2);

        const double e = Ia1 + Ia2 - Ics;
        if (e > 1e-6) {
            lo += (Vk - lo) * 0.05;
        } else if (e < -1e-6) {
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
    T1->titleTrace(traces.at(0), iter, 1e-6, start);
    T2->titleTrace(traces.at(1), iter, 1e-6, start);

    // Checks.
    auto test = makeTube(rq, "LBtube", "Test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk =
        stackCheck(5, Vb - Vk, Ra1 * Ia1 + Vak1) && stackCheck(5, Vb - Vk, Ra2 * Ia2 + Vak2);

    // DC report.
    const double Va1 = Vb - Ra1 * Ia1, Va2 = Vb - Ra2 * Ia2;
    TTextResult text("<br>" + std::string(kReportFooter) + strFormat(" %d iterations<br>", iter));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    text.Add(supplyLine(Vb, Ics));
    text.Add("<br><br>" + fmtCurrent("Ia1", 3, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 3, 1000 * Ia2));
    text.Add("<br><br>" + fmtVoltage("Va1", 2, Va1));
    text.Add("<br>" + fmtVoltage("Va2", 2, Va2));
    text.Add("<br>" + fmtVoltage("ΔVa", 2, Va1 - Va2));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    text.Add("<br>" + fmtVoltage("Vk", 3, Vk));
    text.Add("<br>" + T1->displayOP(1));
    text.Add("<br>" + T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra1", Ia1, Ra1), resistorRecord("Ra2", Ia2, Ra2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // AC report.
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

    // One stack per branch: anode resistor, tube, the current source.
    for (int b = 0; b < 2; ++b) {
        TVoltageStacks stack;
        stack.Add(b == 0 ? "Ra1" : "Ra2", b == 0 ? Ra1 * Ia1 : Ra2 * Ia2, kStackRed);
        stack.Add(b == 0 ? "T1" : "T2", b == 0 ? Vak1 : Vak2, kStackYellow);
        stack.Add("Ics", Vk, kStackGreen);
        rs.stacks.push_back(stack);
    }

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra1, loc),
                  gridCell(0, 1, Ra2, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(1, 1, Va2, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(1, 1, ac.gains.differential, loc),
                  gridCell(3, 1000, Ics, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * (Ia1 + Ia2), loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, Ra1 * Ia1 * Ia1, loc),
                  gridCell(0, 1000, Ra2 * Ia2 * Ia2, loc),
                  gridCell(0, 1, Ro1, loc),
                  gridCell(1, 1, ac.gains.anode1, loc),
                  gridCell(1, 1, ac.gains.anode2, loc),
                  gridCell(1, 1, ac.gains.differential, loc)};

    // Each tube's load line runs from the cathode potential through its anode resistor.
    rs.loadLines.push_back(pairLoadLine(*T1, Vb - Vk, Ra1, 1));
    rs.loadLines.push_back(pairLoadLine(*T2, Vb - Vk, Ra2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    PairChain chain;
    chain.Cg = sheet.num("EdCg"), chain.Rg = sheet.num("EdRg");
    chain.Ra1 = Ra1, chain.Ra2 = Ra2, chain.Rc = Rc;
    chain.Ca1 = sheet.num("EdCa1"), chain.Ro1 = Ro1, chain.Co1 = sheet.num("EdCo1");
    chain.Ca2 = sheet.num("EdCa2"), chain.Ro2 = Ro2, chain.Co2 = sheet.num("EdCo2");
    runPairBode(rq, rs, *T1, chain);
    traces.moveTo(rs);
}

// C7: the cathodes share the resistor Rk. Each tube is solved alone on an equivalent cathode
// resistor (Rk1 for T1, Rk2 for T2, Rk1 ∥ Rk2 = Rk), and Rk1 is moved until both cathode
// voltages agree.
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

    double Rk1 = 2 * Rk, Rk2 = 2 * Rk;
    double Vak1 = 0, Vgk1 = 0, Ia1 = 0, Vak2 = 0, Vgk2 = 0, Ia2 = 0;
    double start1 = 0, start2 = 0;
    bool converged = false, capHit = false;
    int iter = 0;
    while (iter < kC7MaxIter) {
        const int n1 = T1->gridBiasPoints(Vb, Ra1, Rk1, Vg, Vak1, Vgk1, Ia1);
        const int n2 = T2->gridBiasPoints(Vb, Ra2, Rk2, Vg, Vak2, Vgk2, Ia2);
        capHit = n1 >= kGridBiasCap || n2 >= kGridBiasCap;
        if (iter == 0) {
            start1 = Ia1, start2 = Ia2;
            tracePoint(traces.at(0), 0, Ia1);
            tracePoint(traces.at(1), 0, Ia2);
        }
        ++iter;
        tracePoint(traces.at(0), iter, Ia1);
        tracePoint(traces.at(1), iter, Ia2);
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
    T1->titleTrace(traces.at(0), iter, 2e-6, start1);
    T2->titleTrace(traces.at(1), iter, 2e-6, start2);
    if (capHit)
        rs.messages.push_back("Too many iterations");

    // Checks.
    const double It = Ia1 + Ia2, Vk = Rk * It;
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk =
        stackCheck(1, Vb, Ra1 * Ia1 + Vak1 + Vk) && stackCheck(1, Vb, Ra2 * Ia2 + Vak2 + Vk);

    // DC report.
    const double Va1 = Vb - Ra1 * Ia1, Va2 = Vb - Ra2 * Ia2;
    TTextResult text("<br>" + std::string(kReportFooter) + strFormat("%d iterations<br>", iter));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged && !capHit);
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 3, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 3, 1000 * Ia2));
    text.Add("<br><br>" + fmtVoltage("Va1", 2, Va1));
    text.Add("<br>" + fmtVoltage("Va2", 2, Va2));
    text.Add("<br>" + fmtVoltage("Va1-Va2", 2, Va1 - Va2));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    text.Add("<br>" + fmtVoltage("Vk", 3, Vk));
    text.Add("<br>" + T1->displayOP(1));
    text.Add("<br>" + T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra1", Ia1, Ra1), resistorRecord("Ra2", Ia2, Ra2),
                                        resistorRecord("Rk ", It, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // AC report.
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

    // One stack per branch: anode resistor, tube, the common resistor.
    for (int b = 0; b < 2; ++b) {
        TVoltageStacks stack;
        stack.Add(b == 0 ? "Ra1" : "Ra2", b == 0 ? Ra1 * Ia1 : Ra2 * Ia2, kStackRed);
        stack.Add(b == 0 ? "T1" : "T2", b == 0 ? Vak1 : Vak2, kStackYellow);
        stack.Add("Rk", Vk, kStackGreen);
        rs.stacks.push_back(stack);
    }

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra1, loc),
                  gridCell(0, 1, Ra2, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(1, 1, 0, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(1, 1, Va2, loc),
                  gridCell(1, 1, Va1 - Va2, loc),
                  gridCell(1, 1, ac.gains.differential, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(3, 1, Vk, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * It, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, Ra1 * Ia1 * Ia1, loc),
                  gridCell(0, 1000, Ra2 * Ia2 * Ia2, loc),
                  gridCell(0, 1000, Rk * It * It, loc),
                  gridCell(1, 1, ac.gains.anode2, loc),
                  gridCell(1, 1, ac.gains.anode1, loc),
                  gridCell(1, 1, ac.gains.differential, loc)};

    // Each tube on its equivalent cathode resistor: the point lies on Vb − (Ra + Rk')·I.
    rs.loadLines.push_back(pairLoadLine(*T1, Vb, Ra1 + Rk1, 1));
    rs.loadLines.push_back(pairLoadLine(*T2, Vb, Ra2 + Rk2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    PairChain chain;
    chain.Cg = sheet.num("EdCg"), chain.Rg = sheet.num("EdRg");
    chain.Ra1 = Ra1, chain.Ra2 = Ra2, chain.Rc = Rk;
    chain.Ca1 = sheet.num("EdCa1"), chain.Ro1 = Ro1, chain.Co1 = sheet.num("EcCo1");
    chain.Ca2 = sheet.num("EdCa2"), chain.Ro2 = Ro2, chain.Co2 = sheet.num("EdCo2");
    runPairBode(rq, rs, *T1, chain);
    traces.moveTo(rs);
}
