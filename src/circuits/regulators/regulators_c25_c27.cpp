// C25, the basic current sink (grid at Vg, anode at a fixed Va, cathode resistor Rk), and C27,
// the Janus cascode shunt regulator: two stacked triodes across the output fed through Ra.
#include "circuits/regulators/regulators_solvers.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

using namespace regulators;

// C25: a damped fixed point on the cathode current.
void solveC25(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vg = sheet.num("EdVg");
    const double Va = sheet.num("EdVa");
    const double Rk = sheet.num("EdRk");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Start half a volt of bias below the grid; without a cathode resistor that start is
    // meaningless and the small current is used as for a low grid.
    constexpr int kMaxIterations = 999;
    constexpr double kTolerance = 1e-6;
    double I = Rk > 0 ? (Vg - 0.5) / Rk : -1;
    if (I < 0)
        I = 0.0001;
    const double start = I;
    tracePoint(traces.at(0), 0, I);
    double Vak = 0, Vgk = 0, Ia = 0;
    bool converged = false;
    int iterations = 0;
    while (iterations < kMaxIterations) {
        Vak = std::max(Va - Rk * I, 10.0);
        Vgk = Vg - Rk * I;
        T1->CalculerNK(Vak, Vgk, Ia);
        ++iterations;
        tracePoint(traces.at(0), iterations, Ia);
        if (std::fabs(Ia - I) < kTolerance) {
            converged = true;
            break;
        }
        I += (Ia - I) / 50;
    }
    // With a steep tube on a large Rk (gm·Rk near 100 and above) the damped step overshoots more
    // every pass. The tube's current falls as I rises, so a bisection on I finds the one point
    // where they agree; it only runs where the damped search gave up.
    if (!converged) {
        const auto pointAt = [&](double current) {
            Vak = std::max(Va - Rk * current, 10.0);
            Vgk = Vg - Rk * current;
            T1->CalculerNK(Vak, Vgk, Ia);
            return Ia - current;
        };
        double lo = 0, hi = 0;
        T1->CalculerNK(std::max(Va, 10.0), Vg, hi); // no point can carry more
        hi += 1e-9;
        constexpr int kMaxHalvings = 200;
        for (int n = 0; n < kMaxHalvings && !converged; ++n) {
            I = (lo + hi) * 0.5;
            const double d = pointAt(I);
            ++iterations;
            tracePoint(traces.at(0), iterations, Ia);
            converged = std::fabs(d) < kTolerance;
            if (d > 0)
                lo = I;
            else
                hi = I;
        }
    }
    T1->titleTrace(traces.at(0), iterations, kTolerance, start);
    const double Vk = Rk * I;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, I, 0, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, Va, Vak + Vk);

    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    if (!opOk)
        addLineOnce(text.texte, errorLine("Abnormal T1 operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk positive"));
    if (!converged)
        addLineOnce(text.texte, errorLine("Too many iterations"));
    if (!stacksOk)
        addLineOnce(text.texte, errorLine("Error on stack voltages"));

    text.Add(strFormat("<br><br>Va %s", fmtVoltage("", 1, Va).c_str()));
    text.Add(strFormat("<br>Vg %s", fmtVoltage("", 2, Vg).c_str()));
    text.Add(strFormat("<br>Vk %s", fmtVoltage("", 2, Vk).c_str()));
    text.Add(strFormat("<br>Ia %s", fmtCurrent("", 3, 1000 * I).c_str()));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rk", I, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // A cathode resistor multiplies the tube's own resistance by the feedback it gives.
    T1->calculerParamètresIntrinsèques();
    const double Ri = T1->ρ() + (T1->µ() + 1) * Rk;
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(tubeParameterBlock(*T1));
    text.Add(strFormat("<br>%s  [ ρ +(µ+1)Rk ]  .", fmtResistance("Output impedance ", 0, Ri).c_str()));
    rs.acReport = text.texte;

    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * I));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));

    TVoltageStacks grid;
    grid.Add("", Va - Vg, kStackYellow);
    grid.Add("Vg", Vg, kStackGreen);
    rs.stacks.push_back(grid);
    TVoltageStacks cathode;
    cathode.Add("", Vak, kStackYellow);
    cathode.Add("Vk", Vk, kStackGreen);
    rs.stacks.push_back(cathode);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),           T1->ModelName(),
                  gridCell(0, 1, Va, loc),         gridCell(2, 1, Vg, loc),
                  gridCell(0, 1, Rk, loc),         gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk, loc),        gridCell(3, 1000, I, loc),
                  gridCell(0, 1000, Vak * I, loc), gridCell(0, 1000, Rk * I * I, loc),
                  gridCell(1, 0.001, Ri, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Va, Rk, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

// C27: Ra from Vb to the output Vo, which feeds the load Io, the divider R1/R2 and the two tubes:
// T2 (upper) with its grid on the divider tap, T1 (lower) with the cathode resistor Rk.
void solveC27(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double R1 = sheet.num("EdR1");
    const double R2 = sheet.num("EdR2");
    const double Rk = sheet.num("EdRk");
    const double Io = sheet.num("EdIo");
    const double Rdiv = R1 + R2;
    if (Rdiv == 0 || Rdiv + Ra == 0) {
        stopWithDialog(rs, kNullResistors);
        return;
    }
    Traces traces(rq, 2);
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // The output node: Ra carries the load, the tubes' current I and the divider's, and the
    // divider's current follows the output. Both are taken together (a node equation) rather
    // than one from the other, which swings apart whenever Ra exceeds R1 + R2.
    const double k = R2 / Rdiv;
    const auto outputFor = [&](double I) { return (Vb - (Io + I) * Ra) * Rdiv / (Rdiv + Ra); };

    constexpr int kMaxIterations = 4000;
    double I = Io / 2;
    const double start = I;
    double Vgk1 = -Rk * I, Vgk2 = -Rk * I;
    double Vo = outputFor(I), Vak1 = 0, Vak2 = 0, Ia1 = 0, Ia2 = 0;
    tracePoint(traces.at(0), 0, I);
    tracePoint(traces.at(1), 0, I);
    bool converged = false;
    int iterations = 0;
    while (iterations < kMaxIterations) {
        const double before = I;
        // Lower tube: its anode is the upper tube's cathode, below T2's grid by its bias.
        Vo = outputFor(I);
        Vak1 = k * Vo - Vgk2 - Rk * I;
        Vgk1 = -Rk * I;
        T1->CalculerNK(Vak1, Vgk1, Ia1);
        const double d1 = (Ia1 - I) / 10;
        I += d1;
        // Upper tube: the grid that passes I at what the output leaves above T1.
        Vo = outputFor(I);
        Vak2 = Vo - Vak1 - Rk * Ia1;
        Vgk2 = T2->whichVg(I, Vak2, 0);
        T2->CalculerNK(Vak2, Vgk2, Ia2);
        const double d2 = (Ia2 - I) / 10;
        I += d2;
        ++iterations;
        if (!std::isfinite(I)) // a load far beyond any supply: the currents overflow
            break;
        tracePoint(traces.at(0), iterations, Ia1);
        tracePoint(traces.at(1), iterations, Ia2);
        if (std::fabs(I - before) < 1e-6 && std::fabs(d1 - d2) < 5e-6) {
            converged = true;
            break;
        }
    }
    T1->titleTrace(traces.at(0), iterations, 1e-6, start);
    T2->titleTrace(traces.at(1), iterations, 1e-6, start);
    Vo = outputFor(I);
    const double Idiv = Vo / Rdiv;
    const double Itot = Io + I + Idiv;
    const double Vk = Rk * I;
    const double Va1 = Vk + Vak1;
    const double Vg2 = k * Vo;

    auto test = makeTube(rq, "LBtube", "test");
    // The search stops on corrections a tenth of the current mismatch, so a settled tube may
    // still differ from the shared current by about 10 µA: each tube is checked against the
    // search's own resolution rather than the 10 µA of a direct solve.
    constexpr double kSettled = 3e-5;
    const auto settled = [&](double vak, double vgk) {
        return vak > 0 && std::fabs(test->current(vgk, vak, 0) - I) < kSettled;
    };
    const bool op1 = settled(Vak1, Vgk1);
    const bool op2 = settled(Vak2, Vgk2);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(1, Vb, Ra * Itot + Vak2 + Vak1 + Vk);

    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
    if (!op1)
        addLineOnce(text.texte, errorLine("Abnormal T1 operating conditions"));
    if (!op2)
        addLineOnce(text.texte, errorLine("Abnormal T2 operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk positive"));
    if (!converged)
        addLineOnce(text.texte, errorLine("Too many iterations"));
    if (!stacksOk)
        addLineOnce(text.texte, errorLine("Error on stack voltages"));

    // Yields: the share of the supply's power and current that reaches the load.
    const double powerYield = Vb * Itot != 0 ? 100 * Vo * Io / (Vb * Itot) : 0;
    const double currentYield = Itot != 0 ? 100 * Io / Itot : 0;
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>Yield:");
    text.Add(strFormat("<br> - output power Vo.Io %s (%.0f%%)", fmtPowerMW("", 0, 1000 * Vo * Io).c_str(),
                       powerYield));
    text.Add(strFormat("<br> - output current Io %s (%.0f%%)", fmtCurrent("", 2, 1000 * Io).c_str(),
                       currentYield));
    text.Add(strFormat("<br> - voltage drop %s", fmtVoltage("", 2, Vb - Vo).c_str()));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    text.Add(strFormat("<br><br>Vo %s", fmtVoltage("", 2, Vo).c_str()));
    text.Add(strFormat("<br>Io %s", fmtCurrent("", 2, 1000 * Io).c_str()));
    text.Add(strFormat("<br>Vg2 %s", fmtVoltage("", 2, Vg2).c_str()));
    text.Add(strFormat("<br>Va1 %s", fmtVoltage("", 2, Va1).c_str()));
    text.Add(strFormat("<br>Vk %s", fmtVoltage("", 2, Vk).c_str()));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Itot, Ra), resistorRecord("R1", Idiv, R1),
                                        resistorRecord("R2", Idiv, R2), resistorRecord("Rk", I, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    rs.acReport = kNoSmallSignal;

    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelVg2", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));

    TVoltageStacks output;
    output.Add("Drop", Vb - Vo, kStackRed);
    output.Add("Vo", Vo, kStackGreen);
    rs.stacks.push_back(output);
    TVoltageStacks tubes;
    tubes.Add("", Ra * Itot, kStackRed);
    tubes.Add("T2", Vak2, kStackYellow);
    tubes.Add("T1", Vak1, kStackYellow);
    tubes.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(tubes);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(2, 1000, Itot, loc),
                  gridCell(2, 1, Vo, loc),
                  gridCell(2, 1000, Io, loc),
                  gridCell(2, 1, Va1, loc),
                  gridCell(2, 1, Vg2, loc),
                  gridCell(3, 1, Vk, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, R1, loc),
                  gridCell(0, 1, R2, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(0, 1000, Vb * Itot, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, Ra * Itot * Itot, loc),
                  gridCell(0, 1000, Rk * I * I, loc),
                  gridCell(0, 1000, R1 * Idiv * Idiv, loc),
                  gridCell(0, 1000, R2 * Idiv * Idiv, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Ra, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}
