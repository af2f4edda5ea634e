// Voltage regulators and current sinks: the family's shared helpers and C16, the
// two-triode serial regulator. C17 and C18 live in regulators_c17_c18.cpp, C25 and C27 in
// regulators_c25_c27.cpp.
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

namespace regulators {

std::string iterationsHeading(const std::string& title, int iterations) {
    return reportHeader(title) + strFormat(" %d iterations", iterations);
}

void stopWithDialog(SolveResult& result, const std::string& message) {
    result.messages.push_back(message);
    result.ok = false;
}

std::string ballastMessage(double Imax, double Vak) {
    return strFormat("The ballast tube cannot deliver a current larger than %.1fmA @ Vak = %.0fV and Vgk=0V",
                     1000 * Imax, Vak);
}

std::string tubeParameterBlock(const TTube& T) {
    return "<br>" + T.Reference() + " " + T.ModelName() + tubeParameterLine(T, false);
}

} // namespace regulators

using namespace regulators;

// C16: ballast T1 from Vb to the output; its grid fed by R1 from Vb and pulled down by the error
// amplifier T2, whose cathode sits on the reference Vref (fed from Vo through R2) and whose grid
// sits on the divider R3/R4 across the output.
void solveC16(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1");
    const double R2 = sheet.num("EdR2");
    const double R3 = sheet.num("EdR3");
    const double R4 = sheet.num("EdR4");
    const double Vref = sheet.num("EdVref");
    const double Io = sheet.num("EdIo");
    // The reference current flows through R2 and the divider ratio is R4/(R3 + R4).
    if (R2 == 0 || R4 == 0) {
        stopWithDialog(rs, kNullResistors);
        return;
    }
    auto T1 = makeTube(rq, "LBtube1", "T1 Ballast");
    auto T2 = makeTube(rq, "LBtube2", "T2 Amplifier");

    // Can the ballast carry what the nominal output needs?
    const double Rdiv = R3 + R4;
    const double VoNominal = Rdiv * Vref / R4;
    const double Ineeded = (VoNominal - Vref) / R2 + Io + VoNominal / Rdiv;
    const double Imax = T1->getMaxCurrent(Vb - VoNominal);
    if (Ineeded > Imax) {
        stopWithDialog(rs, ballastMessage(Imax, Vb - VoNominal));
        return;
    }

    // Bisection on the output voltage.
    Traces traces(rq, 3);
    const double k = R4 / Rdiv;
    constexpr int kMaxIterations = 10000;
    double lo = Vref, hi = Vref / k;
    double Vo = 0, I = 0, Vgk1 = 0, Vg1 = 0, Vak2 = 0, Vgk2 = 0, Ia2 = 0;
    bool converged = false;
    int iterations = 0;
    while (iterations < kMaxIterations) {
        Vo = (lo + hi) * 0.5;
        I = Vo / Rdiv + Io + (Vo - Vref) / R2;
        Vgk1 = T1->whichVg(I, Vb - Vo, 0);
        Vg1 = Vo + Vgk1;
        Vak2 = std::max(Vg1 - Vref, 0.0);
        Vgk2 = std::min(k * Vo - Vref, 0.0);
        T2->CalculerNK(Vak2, Vgk2, Ia2);
        ++iterations;
        tracePoint(traces.at(0), iterations, I);
        tracePoint(traces.at(1), iterations, Ia2);
        tracePoint(traces.at(2), iterations, Vo);
        const double VgGiven = Vb - R1 * Ia2;
        if (std::fabs(VgGiven - Vo - Vgk1) < 0.0001) {
            converged = true;
            break;
        }
        if (Vg1 < VgGiven)
            lo = Vo;
        else
            hi = Vo;
        if (bracketClosed(lo, hi)) {
            iterations = kMaxIterations;
            break;
        }
    }
    // The ballast keeps the point the circuit asks of it: its current at the grid found.
    const double Vak1 = Vb - Vo;
    double Ia1 = 0;
    T1->CalculerNK(Vak1, Vgk1, Ia1);
    T2->CalculerNK(Vak2, Vgk2, Ia2);
    for (int t = 0; t < 2; ++t)
        if (TFormConvergence* w = traces.at(t)) {
            const TTube& T = t == 0 ? *T1 : *T2;
            w->caption = strFormat("C%d - %s %s - %d iter. Ia %.2fmA", w->Tag, T.Reference().c_str(),
                                   T.ModelName().c_str(), iterations, 1000 * T.Ia());
        }
    if (TFormConvergence* w = traces.at(2))
        w->caption = strFormat("C%d - %d iter. Vo %.2fV", w->Tag, iterations, Vo);

    const double Idiv = Vo / Rdiv;
    const double IR2 = (Vo - Vref) / R2;
    const double Iref = IR2 + Ia2;
    const double Vg1Given = Vb - R1 * Ia2;
    const double Vg2 = k * Vo;
    const double Itot = I + Ia2;

    // Checks: the ballast carries the current the output needs; the amplifier conducts with its
    // anode above the reference.
    auto test = makeTube(rq, "LBtube1", "test");
    const bool op1 = test->checkOP(Vak1, Vgk1, I, 0, 1);
    const bool op2 = Vg1 > Vref && Ia2 > 0;
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(2, Vb, R1 * Ia2 + Vak2 + Vref);

    TTextResult text(iterationsHeading(rs.title, iterations));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
    if (!op2)
        addLineOnce(text.texte, errorLine("Abnormal T2 operating conditions"));
    if (!op1)
        addLineOnce(text.texte, errorLine("Abnormal T1 operating conditions"));
    if (!stacksOk)
        addLineOnce(text.texte, errorLine("Wrong stacked voltages branch 1"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk(s) positive or null"));
    if (!converged)
        addLineOnce(text.texte, errorLine("Too many iterations"));

    // DC report.
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia2, R1), resistorRecord("R2", IR2, R2),
                                        resistorRecord("R3", Idiv, R3), resistorRecord("R4", Idiv, R4)};
    text.Add("<br>" + dissipationTable(resistors));
    text.Add(strFormat("<br><br>VREF %.0fV %s %s", Vref, fmtCurrent("", 2, 1000 * Iref).c_str(),
                       fmtPowerMW("P", 0, 1000 * Vref * Iref).c_str()));
    text.Add(strFormat("<br>Vg1 %s", fmtVoltage("", 2, Vg1Given).c_str()));
    text.Add(strFormat("<br>Vg2 %s", fmtVoltage("", 2, Vg2).c_str()));
    text.Add(strFormat("<br><br>OUTPUT %s %s %s", fmtVoltage("", 2, Vo).c_str(),
                       fmtCurrent("", 2, 1000 * Io).c_str(), fmtPowerMW("", 0, 1000 * Vo * Io).c_str()));
    text.Add("<br>" + fmtCurrent("Max output current", 1, 1000 * Imax));
    rs.dcReport = text.texte;
    rs.acReport = kNoSmallSignal;

    rs.setLabel("LabelVg1", strFormat("%.2fV", Vg1Given));
    rs.setLabel("LabelVg2", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * Itot));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelIref", strFormat("%.2fmA", 1000 * Iref));
    rs.setLabel("LabelIdiv", strFormat("%.2fmA", 1000 * Idiv));

    // Branch 1: R1, the amplifier and the reference; then the ballast's drop above the output.
    TVoltageStacks branch1;
    branch1.Add("", R1 * Ia2, kStackRed);
    branch1.Add("T2", Vak2, kStackYellow);
    branch1.Add("Vref", Vref, kStackGreen);
    rs.stacks.push_back(branch1);
    TVoltageStacks branch2;
    branch2.Add("T1", Vak1, kStackYellow);
    branch2.Add("", IR2 * R2, kStackRed);
    branch2.Add("Vref", Vref, kStackGreen);
    rs.stacks.push_back(branch2);
    TVoltageStacks output;
    output.Add("Drop", Vb - Vo, kStackYellow);
    output.Add("Vo", Vo, kStackGreen);
    rs.stacks.push_back(output);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  T2->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, R1, loc),
                  gridCell(0, 1, R2, loc),
                  gridCell(0, 1, R3, loc),
                  gridCell(0, 1, R4, loc),
                  gridCell(1, 1, Vref, loc),
                  gridCell(2, 1, Vo, loc),
                  gridCell(2, 1000, Io, loc),
                  gridCell(2, 1, Vg1Given, loc),
                  gridCell(2, 1, Vg2, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * Itot, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, R1 * Ia2 * Ia2, loc),
                  gridCell(0, 1000, R2 * IR2 * IR2, loc),
                  gridCell(0, 1000, R3 * Idiv * Idiv, loc),
                  gridCell(0, 1000, R4 * Idiv * Idiv, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, 0, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb - Vref, R1, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}
