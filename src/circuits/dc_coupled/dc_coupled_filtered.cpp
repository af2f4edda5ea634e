// Cascaded common-cathode stages on a filtered supply: C19 (three stages) and C20 (two stages, with
// a bandwidth chain). Each stage draws from the node after its filter resistor; the node voltages
// and the stage currents are solved together.
#include "circuits/dc_coupled/dc_coupled_solvers.h"

#include "frequency/bode_options.h"
#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace dc_coupled;

namespace {

constexpr int kMaxPasses = 100000;

// The stages in supply order: stage n hangs on node n, behind the filter resistor R[n].
struct FilteredStages {
    std::vector<std::unique_ptr<TTube>> tubes;
    std::vector<double> R, Ra, Rk;
    std::vector<double> V, I; // node voltages and stage currents
    int passes = 0;
};

// Filter resistor n carries the currents of stage n and of every stage after it.
double filterCurrent(const FilteredStages& s, std::size_t n) {
    double sum = 0;
    for (std::size_t m = n; m < s.I.size(); ++m)
        sum += s.I[m];
    return sum;
}

// Alternates solving every stage at its node voltage and recomputing the nodes from the currents,
// until the last node moves by less than 1e-4 of its value between two passes. A filter whose drop
// swings the nodes further each pass (a large filter resistor against a steep tube) would never
// settle: such swings are damped, which leaves every converging run as it was.
void solveNodes(FilteredStages& s, double Vb, Traces& traces) {
    const std::size_t n = s.tubes.size();
    s.V.assign(n, Vb);
    s.I.assign(n, 0);
    std::vector<double> first(n, 0);
    double previousLast = 0, previousDelta = 0, damping = 1;
    for (s.passes = 1; s.passes <= kMaxPasses; ++s.passes) {
        for (std::size_t k = 0; k < n; ++k) {
            // A node pulled below ground leaves its stage without anode voltage: no current.
            s.I[k] = s.tubes[k]->basicBiasSuccApprox(std::max(s.V[k], 0.0), s.Ra[k], s.Rk[k]);
            tracePoint(traces.at(static_cast<int>(k)), s.passes, s.I[k]);
        }
        if (s.passes == 1)
            first = s.I;
        double node = Vb;
        for (std::size_t k = 0; k < n; ++k) {
            node -= filterCurrent(s, k) * s.R[k];
            s.V[k] += (node - s.V[k]) * damping;
        }
        const double last = s.V[n - 1];
        const double delta = last - previousLast;
        if (s.passes > 1 && std::fabs(delta) < 1e-4 * std::fabs(last) + 1e-6)
            break;
        // The last node swinging back by more than half its previous step: an oscillation.
        if (s.passes > 2 && delta * previousDelta < 0 && std::fabs(delta) > 0.5 * std::fabs(previousDelta) &&
            damping > 1e-6)
            damping *= 0.5;
        previousDelta = delta;
        previousLast = last;
    }
    s.passes = std::min(s.passes, kMaxPasses);
    for (std::size_t k = 0; k < n; ++k)
        s.tubes[k]->titleTrace(traces.at(static_cast<int>(k)), s.passes, 1e-6, first[k]);
}

// Verdicts, the node lines, the quiescent states and the dissipations of the filter and anode
// resistors. Returns the overall verdict.
bool filteredDcReport(const SolveRequest& rq, const FilteredStages& s, double Vb, const std::string& tubeList,
                      TTextResult& text) {
    const std::size_t n = s.tubes.size();
    bool opOk = true, vgkOk = true, stacksOk = true;
    auto test = makeTube(rq, "LBtube", "test");
    for (std::size_t k = 0; k < n; ++k) {
        const TTube& T = *s.tubes[k];
        opOk = test->checkOP(T.Vak(), T.Vgk(), T.Ia(), 0, 1) && opOk;
        vgkOk = vgkOk && T.Vgk() < 0;
        double drop = 0;
        for (std::size_t m = 0; m <= k; ++m)
            drop += filterCurrent(s, m) * s.R[m];
        stacksOk = stacksOk && stackCheck(1, Vb, drop + (s.Ra[k] + s.Rk[k]) * T.Ia() + T.Vak());
    }
    const bool passesOk = s.passes < kMaxPasses - 1;
    bool ok = addVerdictsOnce(text.texte, true, opOk, vgkOk, stacksOk, passesOk);
    if (!opOk)
        addLineOnce(text.texte, errorLine("Abnormal " + tubeList + " operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk(s) positive or null"));
    if (!passesOk)
        addLineOnce(text.texte, errorLine("Too many iterations"));

    text.Add(supplyLine(Vb, filterCurrent(s, 0)));
    for (std::size_t k = 0; k < n; ++k)
        text.Add(strFormat(k == 0 ? "<br><br>V%d %s" : "<br>V%d %s", static_cast<int>(k + 1),
                           fmtVoltage("", 1, s.V[k]).c_str()));
    for (std::size_t k = 0; k < n; ++k)
        text.Add(strFormat(k == 0 ? "<br><br>%s" : "<br>%s",
                           fmtCurrent(strFormat("Ia%d", static_cast<int>(k + 1)), 2, 1000 * s.I[k]).c_str()));
    text.Add("<br>");
    for (std::size_t k = 0; k < n; ++k)
        text.Add(s.tubes[k]->displayOP(1));
    std::vector<TResistor> resistors;
    for (std::size_t k = 0; k < n; ++k)
        resistors.push_back(
            resistorRecord(strFormat("R%d", static_cast<int>(k + 1)), filterCurrent(s, k), s.R[k]));
    for (std::size_t k = 0; k < n; ++k)
        resistors.push_back(resistorRecord(strFormat("Ra%d", static_cast<int>(k + 1)), s.I[k], s.Ra[k]));
    text.Add("<br>" + dissipationTable(resistors));
    return ok;
}

// Node, anode, cathode and current labels, one stack column per stage and the load lines.
void filteredPictures(const FilteredStages& s, double Vb, SolveResult& rs) {
    const std::size_t n = s.tubes.size();
    for (std::size_t k = 0; k < n; ++k) {
        const int i = static_cast<int>(k + 1);
        rs.setLabel(strFormat("LabelVb%d", i), strFormat("%.1fV", s.V[k]));
        rs.setLabel(strFormat("LabelVa%d", i), strFormat("%.1fV", s.V[k] - s.Ra[k] * s.I[k]));
        rs.setLabel(strFormat("LabelVk%d", i), strFormat("%.2fV", s.Rk[k] * s.I[k]));
        rs.setLabel(strFormat("LabelI%d", i), strFormat("%.2fmA", 1000 * s.I[k]));
    }
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * filterCurrent(s, 0)));
    for (std::size_t k = 0; k < n; ++k) {
        TVoltageStacks stack;
        for (std::size_t m = 0; m <= k; ++m)
            stack.Add(strFormat("R%d", static_cast<int>(m + 1)), filterCurrent(s, m) * s.R[m],
                      m % 2 ? kStackPurple : kStackNavy);
        stack.Add(strFormat("Ra%d", static_cast<int>(k + 1)), s.Ra[k] * s.I[k], kStackRed);
        stack.Add(s.tubes[k]->Reference(), s.tubes[k]->Vak(), kStackYellow);
        stack.Add(strFormat("Rk%d", static_cast<int>(k + 1)), s.Rk[k] * s.I[k], kStackGreen);
        rs.stacks.push_back(stack);
        rs.loadLines.push_back(loadLineOf(*s.tubes[k], s.V[k], s.Ra[k] + s.Rk[k], static_cast<int>(k + 1)));
    }
    (void)Vb;
}

// The grid cells every filtered circuit shares: nodes, currents, anodes, resistors, dissipations.
std::vector<std::string> filteredGridCells(const FilteredStages& s, double Vb, const NumberLocale& loc) {
    const std::size_t n = s.tubes.size();
    std::vector<std::string> cells = {gridCell(0, 1, Vb, loc)};
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(1, 1, s.V[k], loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(3, 1000, filterCurrent(s, k), loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(3, 1000, s.I[k], loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(1, 1, s.V[k] - s.Ra[k] * s.I[k], loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(0, 1, s.R[k], loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(0, 1, s.Ra[k], loc));
    cells.push_back(gridCell(0, 1000, Vb * filterCurrent(s, 0), loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(0, 1000, s.tubes[k]->Vak() * s.I[k], loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(0, 1000, s.R[k] * filterCurrent(s, k) * filterCurrent(s, k), loc));
    for (std::size_t k = 0; k < n; ++k)
        cells.push_back(gridCell(0, 1000, s.Ra[k] * s.I[k] * s.I[k], loc));
    return cells;
}

FilteredStages readStages(const SolveRequest& rq, const SheetValues& sheet, int n) {
    FilteredStages s;
    for (int i = 1; i <= n; ++i) {
        s.tubes.push_back(makeTube(rq, "LBtube", strFormat("T%d", i)));
        s.R.push_back(sheet.num(strFormat("EdR%d", i)));
        s.Ra.push_back(sheet.num(strFormat("EdRa%d", i)));
        s.Rk.push_back(sheet.num(strFormat("EdRk%d", i)));
    }
    return s;
}

} // namespace

// C19: three stages, T3 the input, T2 the middle, T1 the output nearest the supply.
void solveC19(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 3);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rg1 = sheet.num("EdRg1");
    const double Rg2 = sheet.num("EdRg2");
    const double Ro = sheet.num("EdRo");
    FilteredStages s = readStages(rq, sheet, 3);
    solveNodes(s, Vb, traces);

    TTextResult text(reportHeader(rs.title));
    rs.ok = filteredDcReport(rq, s, Vb, "T1 / T2 / T3", text);
    rs.dcReport = text.texte;
    text.Clear();

    text.Add("<b>Small signal estimations:</b><br>");
    text.Add("<br><i>Theoretical because the probability of oscillation is close to 1 unless a shielded and "
             "careful layout is used!</i><br>");
    text.Add(commonCathodeStage(*s.tubes[0], s.Ra[0], s.Rk[0], Ro).text);
    text.Add(commonCathodeStage(*s.tubes[1], s.Ra[1], s.Rk[1], Rg1).text);
    text.Add(commonCathodeStage(*s.tubes[2], s.Ra[2], s.Rk[2], Rg2).text);
    rs.acReport = text.texte;

    filteredPictures(s, Vb, rs);
    rs.gridRow = {gridStatus(rq, rs.ok), s.tubes[0]->ModelName()};
    for (auto& cell : filteredGridCells(s, Vb, rq.locale))
        rs.gridRow.push_back(cell);
    for (auto& T : s.tubes)
        rs.tubes.push_back(*T);
    traces.moveTo(rs);
}

// C20: two stages, T2 the input on the far node, T1 the output nearest the supply.
void solveC20(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rg1 = sheet.num("EdRg1");
    const double Rg2 = sheet.num("EdRg2");
    const double Ro = sheet.num("EdRo");
    FilteredStages s = readStages(rq, sheet, 2);
    solveNodes(s, Vb, traces);
    TTube& T1 = *s.tubes[0];
    TTube& T2 = *s.tubes[1];

    TTextResult text(reportHeader(rs.title));
    rs.ok = filteredDcReport(rq, s, Vb, "T1 / T2", text);
    rs.dcReport = text.texte;
    text.Clear();

    text.Add("<b>Small signal estimations:</b><br>");
    const CommonCathodeGains a1 = commonCathodeStage(T1, s.Ra[0], s.Rk[0], Ro);
    text.Add(a1.text);
    const CommonCathodeGains a2 = commonCathodeStage(T2, s.Ra[1], s.Rk[1], Rg1);
    text.Add(a2.text);
    rs.acReport = text.texte;

    filteredPictures(s, Vb, rs);
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok), T1.ModelName()};
    for (auto& cell : filteredGridCells(s, Vb, loc))
        rs.gridRow.push_back(cell);
    for (const std::string& cell : {gridCell(0, 1, Rg2, loc), gridCell(0, 1, Ro, loc),
                                    gridCell(1, 1, a1.bypassed, loc), gridCell(1, 1, a1.unbypassed, loc),
                                    gridCell(1, 1, a2.bypassed, loc), gridCell(1, 1, a2.unbypassed, loc)})
        rs.gridRow.push_back(cell);
    rs.tubes.push_back(T1);
    rs.tubes.push_back(T2);

    // Bandwidth chain in signal order: input RC, T2, the RC from T2 to T1, T1, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), sheet.capacitance("EdCs"), Rg2,
                                           sheet.num("EdCg2"), sheet.num("EdRgs2"), sheet.num("EdCgs2"), S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatCom, &T2, std::vector<int>{2},
                       std::vector<double>{s.Ra[1], s.Rk[1], sheet.num("EdCk2"), S},
                       std::vector<bool>{ignore, true});
    quads.emplace_back(
        tqpInterStage, nullptr, std::vector<int>{3},
        std::vector<double>{sheet.capacitance("EdCa2"), Rg1, sheet.num("EdRgs1"), sheet.num("EdCgs1"), S},
        std::vector<bool>{ignore});
    quads.emplace_back(tqpTubeCatCom, &T1, std::vector<int>{4},
                       std::vector<double>{s.Ra[0], s.Rk[0], sheet.num("EdCk1"), S},
                       std::vector<bool>{ignore, true});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, sheet.capacitance("EdCa1"), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}
