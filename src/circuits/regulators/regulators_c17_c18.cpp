// The single-triode regulators: C17, a serial ballast whose grid sits on the reference, and C18,
// a shunt triode across the output whose cathode sits on the reference.
#include "circuits/regulators/regulators_solvers.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

using namespace regulators;

// C17: the ballast's anode on Vb, its grid on the reference Vref (fed from Vb through R), its
// cathode the output carrying Io.
void solveC17(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R = sheet.num("EdR");
    const double Vref = sheet.num("EdVref");
    const double Io = sheet.num("EdIo");
    if (R == 0) {
        stopWithDialog(rs, "Resistor \"R\" cannot be null!");
        return;
    }
    if (Vb < Vref + 50) {
        stopWithDialog(rs, "Vb and Vref are too close!");
        return;
    }
    auto T1 = makeTube(rq, "LBtube", "T1");
    const double Imax = T1->getMaxCurrent(Vb - Vref);
    if (Imax < Io) {
        stopWithDialog(rs, ballastMessage(Imax, Vb - Vref));
        return;
    }

    // Bisection on the output: the ballast must carry exactly the load current.
    Traces traces(rq, 1);
    constexpr int kMaxIterations = 1000;
    constexpr double kTolerance = 1e-6;
    double lo = Vref, hi = Vb;
    double Vo = 0, Ia = 0;
    bool converged = false;
    int iterations = 0;
    while (iterations < kMaxIterations) {
        Vo = (lo + hi) * 0.5;
        T1->CalculerNK(Vb - Vo, Vref - Vo, Ia);
        ++iterations;
        tracePoint(traces.at(0), iterations, Ia);
        if (std::fabs(Ia - Io) < kTolerance) {
            converged = true;
            break;
        }
        if (Io > Ia)
            hi = Vo;
        else
            lo = Vo;
        if (bracketClosed(lo, hi)) {
            iterations = kMaxIterations;
            break;
        }
    }
    T1->titleTrace(traces.at(0), iterations, kTolerance, Io);
    const double Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Iref = (Vb - Vref) / R; // the grid draws nothing from the reference
    const double Itot = Ia + Iref;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Io, 0, 1);
    const bool vgkOk = Vgk < 0;

    TTextResult text(iterationsHeading(rs.title, iterations));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, true, converged);
    if (!opOk)
        addLineOnce(text.texte, errorLine("Abnormal T1 operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk(s) positive or null"));
    if (!converged)
        addLineOnce(text.texte, errorLine("Too many iterations"));

    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("R", Iref, R)};
    text.Add("<br>" + dissipationTable(resistors));
    text.Add(strFormat("<br>VREF %.0fV %s %s", Vref, fmtCurrent("", 2, 1000 * Iref).c_str(),
                       fmtPowerMW("P", 0, 1000 * Vref * Iref).c_str()));
    text.Add(strFormat("<br><br>OUTPUT %s %s %s", fmtVoltage("", 2, Vo).c_str(),
                       fmtCurrent("", 2, 1000 * Io).c_str(), fmtPowerMW("", 0, 1000 * Vo * Io).c_str()));
    text.Add("<br>" + fmtCurrent("Max output current", 1, 1000 * Imax));
    rs.dcReport = text.texte;
    text.Clear();

    // The output is the ballast's cathode with its grid held: a follower's output impedance.
    T1->calculerParamètresIntrinsèques();
    text.Add("<b>Small signal analysis</b><br>");
    text.Add(tubeParameterBlock(*T1));
    const double conductance = T1->gm() + (T1->ρ() > 0 ? 1 / T1->ρ() : 0);
    const double Zout = conductance > 0 ? 1 / conductance : 0;
    text.Add("<br>" + fmtResistance("Output impedance ", 0, Zout));
    rs.acReport = text.texte;

    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));

    TVoltageStacks reference;
    reference.Add("", Vb - Vref, kStackRed);
    reference.Add("Vref", Vref, kStackGreen);
    rs.stacks.push_back(reference);
    TVoltageStacks output;
    output.Add("T1", Vak, kStackYellow);
    output.Add("Load", Vo, kStackGreen);
    rs.stacks.push_back(output);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, R, loc),
                  gridCell(1, 1, Vref, loc),
                  gridCell(2, 1, Vo, loc),
                  gridCell(2, 1000, Io, loc),
                  gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk, loc),
                  gridCell(3, 1000, Ia, loc),
                  gridCell(0, 1000, Vb * Itot, loc),
                  gridCell(0, 1000, Vak * Ia, loc),
                  gridCell(0, 1000, R * Iref * Iref, loc),
                  gridCell(0, 1000, Vref * Iref, loc),
                  gridCell(0, 1000, Vo * Io, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, 0, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

// C18: R1 from Vb to the output; T1 from the output down to the reference Vref at its cathode,
// its grid on the divider R2/R3 across the output; Io is the load current.
void solveC18(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1");
    const double R2 = sheet.num("EdR2");
    const double R3 = sheet.num("EdR3");
    const double Vref = sheet.num("EdVref");
    const double Io = sheet.num("EdIo");
    // Null resistors first: with R1 = 0 the drop check below would blame R1 for being too high.
    if (R1 == 0 || R2 == 0 || R3 == 0) {
        stopWithDialog(rs, kNullResistors);
        return;
    }
    if (Vb - R1 * Io < 50) {
        stopWithDialog(
            rs, strFormat("R1 %.0fΩ is too high and/or output current %.0fmA is too high", R1, 1000 * Io));
        return;
    }
    auto T1 = makeTube(rq, "LBtube", "T1");

    // With the load disconnected the shunt takes everything the divider leaves.
    const double Rdiv = R2 + R3;
    const double VoNominal = Rdiv * Vref / R3;
    const double Ishunt = (Vb - VoNominal) / R1 - VoNominal / Rdiv;
    if (Ishunt > T1->getMaxCurrent(VoNominal - Vref)) {
        stopWithDialog(
            rs, strFormat("T1 cannot sink %.1fmA at Vgk null, when load is disconnected", 1000 * Ishunt));
        return;
    }

    // Bisection on the output: the tube sinks what R1 brings beyond the divider and the load.
    Traces traces(rq, 1);
    constexpr int kMaxIterations = 100000;
    constexpr double kTolerance = 1e-5;
    double lo = 0, hi = VoNominal;
    double Vo = 0, Is = 0, Ia = 0, start = 0;
    bool converged = false;
    int iterations = 0;
    while (iterations < kMaxIterations) {
        Vo = (lo + hi) * 0.5;
        Is = (Vb - Vo) / R1 - Vo / Rdiv - Io;
        T1->CalculerNK(Vo - Vref, Vo * R3 / Rdiv - Vref, Ia);
        if (iterations == 0)
            start = Ia;
        ++iterations;
        tracePoint(traces.at(0), iterations, Ia);
        if (std::fabs(Is - Ia) < kTolerance) {
            converged = true;
            break;
        }
        if (Ia < Is)
            lo = Vo;
        else
            hi = Vo;
        if (bracketClosed(lo, hi)) {
            iterations = kMaxIterations;
            break;
        }
    }
    T1->titleTrace(traces.at(0), iterations, kTolerance, start);
    const double Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Idiv = Vo / Rdiv;
    const double Itot = Idiv + Ia + Io;
    const double Vg = Vo * R3 / Rdiv;

    // The tube must sink the needed current with its anode above the reference.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = Vak > 0 && test->checkOP(Vak, Vgk, Is, 0, 1);
    const bool vgkOk = Vgk < 0;

    TTextResult text(iterationsHeading(rs.title, iterations));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, true, converged);
    if (!opOk)
        addLineOnce(text.texte, errorLine("Abnormal T1 operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk(s) positive or null"));
    if (!converged)
        addLineOnce(text.texte, errorLine("Too many iterations"));

    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(strFormat("<br>VREF %.0fV %s %s", Vref, fmtCurrent("", 2, 1000 * Ia).c_str(),
                       fmtPowerMW("P", 0, 1000 * Vref * Ia).c_str()));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    std::vector<TResistor> resistors = {resistorRecord("R1", Itot, R1), resistorRecord("R2", Idiv, R2),
                                        resistorRecord("R3", Idiv, R3)};
    text.Add("<br><br>" + dissipationTable(resistors));
    text.Add(strFormat("<br><br>OUTPUT %s %s %s", fmtVoltage("", 2, Vo).c_str(),
                       fmtCurrent("", 2, 1000 * Io).c_str(), fmtPowerMW("", 0, 1000 * Vo * Io).c_str()));
    auto probe = makeTube(rq, "LBtube", "probe");
    text.Add(strFormat(
        "<br>%s %s",
        fmtCurrent("Max current that T1 can sink (at Vgk null)", 1, 1000 * probe->getMaxCurrent(Vo - Vref))
            .c_str(),
        fmtVoltage("at Vo", 2, Vo).c_str()));
    rs.dcReport = text.texte;
    text.Clear();

    T1->calculerParamètresIntrinsèques();
    text.Add("<b>Small signal analysis</b><br>");
    text.Add(tubeParameterBlock(*T1));
    text.Add("<br>" + fmtResistance("Internal resistance ", 0, T1->ρ()));
    rs.acReport = text.texte;

    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelVg", strFormat("%.2fV", Vg));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));

    TVoltageStacks stack;
    stack.Add("R1", Vb - Vo, kStackRed);
    stack.Add("T1", Vak, kStackYellow);
    stack.Add("Vref", Vref, kStackGreen);
    rs.stacks.push_back(stack);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(2, 1000, Itot, loc),
                  gridCell(0, 1, R1, loc),
                  gridCell(0, 1, R2, loc),
                  gridCell(0, 1, R3, loc),
                  gridCell(1, 1, Vref, loc),
                  gridCell(2, 1, Vo, loc),
                  gridCell(2, 1000, Io, loc),
                  gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk, loc),
                  gridCell(3, 1000, Ia, loc),
                  gridCell(0, 1000, Vb * Itot, loc),
                  gridCell(0, 1000, Vak * Ia, loc),
                  gridCell(0, 1000, R1 * Itot * Itot, loc),
                  gridCell(0, 1000, R2 * Idiv * Idiv, loc),
                  gridCell(0, 1000, R3 * Idiv * Idiv, loc),
                  gridCell(0, 1000, Vref * Ia, loc),
                  gridCell(0, 1000, Vo * Io, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb - Vref, R1, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}
