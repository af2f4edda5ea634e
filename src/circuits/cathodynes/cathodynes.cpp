// Cathodyne phase inverters: the split-load stages C2 (self bias) and C5 (fixed grid bias)
// (C28, the totem pole, is in cathodynes_c28.cpp).
#include "circuits/cathodynes/cathodynes_solvers.h"
#include "circuits/solver_common.h"

#include "frequency/bode_options.h"
#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

namespace {

// The four two-ports of a cathodyne chain: input RC, the split-load stage feeding the anode output
// (index 2) and the cathode output (index 3), and the two output RCs. input holds the input
// two-port's components and stage the cathodyne's (Ra, Rk, Rg, Rgk, Cgk), the stray unit added here.
void runCathodyneBode(const SolveRequest& rq, SolveResult& rs, const SheetValues& sheet, const TTube& T,
                      std::vector<double> input, std::vector<double> stage) {
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    input.push_back(S);
    stage.push_back(S);
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1}, input, std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCathodyne, &T, std::vector<int>{2, 3}, stage, std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{0, sheet.capacitance("EdCa"), sheet.num("EdRao"), sheet.num("EdCao"), S},
        std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{0, sheet.capacitance("EdCk"), sheet.num("EdRko"), sheet.num("EdCko"), S},
        std::vector<bool>{ignore});
    runBode(rq, rs, quads);
}

// The dialog of a tube whose zero-bias current cannot lift the cathode up to the grid voltage.
std::string cannotProvideMinimalCurrent(double Imin, double Vg, double Rk, double Imax0, double Vak0) {
    return strFormat(
               "The circuit cannot be operated normally:\n\nthe tube cannot provide the minimal current\n  "
               "%.0fmA (%.0fV onto %.0fΩ),\n\nbeing itself limited to\n  %.1fmA @ Vgk null and Vak=%.0fV",
               1000 * Imin, Vg, Rk, 1000 * Imax0, Vak0) +
           "\n\nSuggestions:\n- reduce the DC voltage on grid\n- increase the value of Rk2\n- use a tube "
           "able to "
           "deliver more current";
}

} // namespace

// C2: the grid returns through Rg to the junction of the bias resistor Rgk and the cathode load Rk,
// so Rgk alone sets the bias while Ra and Rk carry the same current.
void solveC2(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rgk = sheet.num("EdRgk");
    const double Rg = sheet.num("EdRg");
    const double Rk = sheet.num("EdRk");
    const double Rao = sheet.num("EdRao");
    const double Rko = sheet.num("EdRko");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: Rgk is the bias resistor, Ra + Rk the rest of the series load.
    T1->basicBiasSuccApprox(Vb, Ra + Rk, Rgk, traces.at(0));
    const double Ia = T1->Ia(), Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Va = Vb - Ra * Ia, Vk = (Rgk + Rk) * Ia, Vg = Rk * Ia;

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, Vb, (Ra + Rgk + Rk) * Ia + Vak);

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, true);
    text.Add(supplyLine(Vb, Ia));
    text.Add("<br><br>" + fmtCurrent("Ia", 1, 1000 * Ia));
    text.Add(strFormat("<br>Va %0.2fV", Va));
    text.Add(strFormat("<br>Vk %0.2fV", Vk));
    text.Add(strFormat("<br>Vg %0.2fV", Vg));
    text.Add("<br>" + fmtVoltage("Va", 2, Va));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia, Ra), resistorRecord("Rgk", Ia, Rgk),
                                        resistorRecord("Rk", Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: Rgk is bypassed, so the cathode output sees Rk; the cathode bootstraps Rg.
    text.Add("<b>Small signal estimations:</b><br>");
    const CathodyneGains gains = cathodyneStage(*T1, Ra, Rao, Rk, Rko);
    text.Add(gains.text);
    // The cathode gain stays below 1 for any positive load; should it not, Rg is shown unbootstrapped.
    const double lift = 1 - gains.cathode;
    const double Zin = lift > 0 && std::isfinite(lift) ? Rg / lift : Rg;
    text.Add(strFormat("<br><br>Input impedance (Rgk BYpassed) <css=r>%.0f kΩ</css>", Zin / 1000));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelVg", strFormat("%.2fV", Vg));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));

    // Voltage stack, supply side first.
    TVoltageStacks stack;
    stack.Add("Ra", Ra * Ia, kStackRed);
    stack.Add("T1", Vak, kStackYellow);
    stack.Add("Rgk", Rgk * Ia, kStackGreen);
    stack.Add("Rk", Rk * Ia, kStackNavy);
    rs.stacks.push_back(stack);

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rgk, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(1, 1, Va, loc),
                  gridCell(3, 1, Vk, loc),
                  gridCell(3, 1, Vg, loc),
                  gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk + 0.0, loc), // no "-0.000" at zero bias
                  gridCell(3, 1000, Ia, loc),
                  gridCell(0, 1000, Vb * Ia, loc),
                  gridCell(0, 1000, Vak * Ia, loc),
                  gridCell(0, 1000, Ra * Ia * Ia, loc),
                  gridCell(0, 1000, Rk * Ia * Ia, loc),
                  gridCell(0, 1, Rao, loc),
                  gridCell(0, 1, Rko, loc),
                  gridCell(2, 1, gains.anode, loc),
                  gridCell(2, 1, gains.cathode, loc)};

    // DC load line through (Vb, 0) and the short-circuit current of the whole series load.
    const double sumR = Ra + Rgk + Rk;
    rs.loadLines.push_back({*T1, sumR > 0 ? Vb / sumR : test->getMaxCurrent(Vb), Vb, true, 1});
    rs.tubes.push_back(*T1);

    // Bandwidth chain: the grid resistor is bootstrapped, so it sits in the cathodyne two-port and
    // the input two-port sees an open grid.
    runCathodyneBode(rq, rs, sheet, *T1, {0, sheet.capacitance("EdCg"), 1e12, 1e-12, 0, 1e-12},
                     {Ra, Rk, Rg, Rgk, sheet.num("EdCgk")});
    traces.moveTo(rs);
}

// C5: the grid sits at the fixed voltage Vg and Rk is the whole cathode load.
void solveC5(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Rk = sheet.num("EdRk");
    if (Rk == 0) {
        rs.dcReport = "<css=error>Resistor(s) cannot be null !</css>";
        rs.ok = false;
        return;
    }
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Vg = sheet.num("EdVg");
    const double Rao = sheet.num("EdRao");
    const double Rko = sheet.num("EdRko");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // The cathode cannot sit below the grid: the tube must give Vg / Rk at zero bias.
    const double Imin = Vg / Rk;
    const double Imax0 = T1->getMaxCurrent(Vb - Vg);
    if (Imax0 < Imin) {
        rs.messages.push_back(cannotProvideMinimalCurrent(Imin, Vg, Rk, Imax0, Vb - Vg));
        rs.ok = false;
        return;
    }

    // Operating point. A search that ran out of passes is shown and the solve goes on with its last
    // point; a circuit the solver rejected before searching has no point at all (the tube would
    // still hold the zero-bias probe above), so that solve stops like the pre-check.
    Traces traces(rq, 1);
    const std::string diagnostic = T1->gridFixedBiasDephaseur(Vb, Vg, Ra, Rk, traces.at(0));
    if (!diagnostic.empty()) {
        rs.messages.push_back(diagnostic);
        if (diagnostic != "Too many iterations") {
            rs.ok = false;
            return;
        }
    }
    const double Ia = T1->Ia(), Vak = T1->Vak(), Vgk = T1->Vgk();
    if (TFormConvergence* trace = traces.at(0))
        trace->caption =
            strFormat("C%d - %s %s Res ±%.0fµA Ia %.2f=>%.2fmA", trace->Tag, T1->Reference().c_str(),
                      T1->ModelName().c_str(), 1e-6 * 1e6, 1000 * Imin, 1000 * Ia);
    const double Va = Vb - Ra * Ia, Vk = Rk * Ia;

    // Checks, the load line included.
    auto test = makeTube(rq, "LBtube", "test");
    bool loadLineOk = true;
    if (Ra + Rk > 0) {
        double Vakmin = 0, Iamax = 0;
        loadLineOk =
            test->LoadLineNullVgk(Vb, Ra + Rk, Vakmin, Iamax) && T1->loadLineOK(Vb, Ra + Rk, Vakmin, Iamax);
    }
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool vgkOk = Vgk < 0 && Vg < Vk;
    const bool stacksOk = stackCheck(1, Vb, (Rk + Ra) * Ia + Vak);

    // DC report.
    TTextResult text(reportHeader(rs.title));
    // Unlike C2 the report has no supply line: the current drawn is the Ia line itself.
    rs.ok = verdicts(text.texte, loadLineOk, opOk, vgkOk, stacksOk, true);
    text.Add("<br><br>" + fmtCurrent("Ia", 1, 1000 * Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vg", 1, Vg));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia, Ra), resistorRecord("Rk", Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    const CathodyneGains gains = cathodyneStage(*T1, Ra, Rao, Rk, Rko);
    text.Add(gains.text);
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelVa", strFormat("%.2fV", Va));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));

    // Two bars: the grid bias supply, then the tube branch.
    TVoltageStacks grid;
    grid.Add("", Vb - Vg, kStackGrey);
    grid.Add("Vg", Vg, kStackPurple);
    rs.stacks.push_back(grid);
    TVoltageStacks branch;
    branch.Add("Ra", Ra * Ia, kStackRed);
    branch.Add("T1", Vak, kStackYellow);
    branch.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(branch);

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(1, 1, Va, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(2, 1, Vk, loc),
                  gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk + 0.0, loc), // no "-0.000" at zero bias
                  gridCell(3, 1000, Ia, loc),
                  gridCell(0, 1000, Vb * Ia, loc),
                  gridCell(0, 1000, Vak * Ia, loc),
                  gridCell(0, 1000, Ra * Ia * Ia, loc),
                  gridCell(0, 1000, Rk * Ia * Ia, loc),
                  gridCell(0, 1, Rao, loc),
                  gridCell(0, 1, Rko, loc),
                  gridCell(2, 1, gains.anode, loc),
                  gridCell(2, 1, gains.cathode, loc)};

    const double sumR = Ra + Rk;
    rs.loadLines.push_back({*T1, sumR > 0 ? Vb / sumR : test->getMaxCurrent(Vb), Vb, true, 1});
    rs.tubes.push_back(*T1);

    // Bandwidth chain: the grid resistor goes to the fixed bias, unbootstrapped, in the input two-port.
    runCathodyneBode(rq, rs, sheet, *T1, {0, sheet.capacitance("EdCg"), sheet.num("EdRg"), 1e-12, 0, 1e-12},
                     {Ra, Rk, 1e12, 0, 1e-12});
    traces.moveTo(rs);
}
