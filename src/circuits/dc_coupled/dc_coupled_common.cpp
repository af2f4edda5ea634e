// Shared pieces of the DC-coupled and multi-stage amplifiers.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace dc_coupled {

bool solveFixedGridStage(TTube& T, double Vb, double Vg, double Ra, double Rk, TFormConvergence* trace,
                         SolveResult& result) {
    std::string message;
    if (Rk > 0) {
        message = T.gridFixedBiasDephaseur(Vb, Vg, Ra, Rk, trace);
        if (!message.empty())
            result.messages.push_back(message);
        if (message.empty() || message == "Too many iterations")
            return message.empty();
    }
    // No regular point: the tube at zero bias on its load line.
    T.basicBiasSuccApprox(Vb, Ra + Rk, 0, trace);
    double ia = 0;
    T.CalculerNK(T.Vak(), 0.0, ia); // a clean zero bias, not -0
    return false;
}

SelfBiasedPoint solveSelfBiased(const SolveRequest& rq, SolveResult& rs, TTube& T, double Vb, double Ra,
                                double Rk, TFormConvergence* trace) {
    SelfBiasedPoint p;
    T.basicBiasSuccApprox(Vb, Ra, Rk, trace);
    p.Ia = T.Ia(), p.Vak = T.Vak(), p.Vgk = T.Vgk();

    TVoltageStacks stack;
    stack.Add("Ra", Ra * p.Ia, kStackRed);
    stack.Add("T1", p.Vak, kStackYellow);
    stack.Add("Rk", Rk * p.Ia, kStackGreen);
    rs.stacks.push_back(stack);

    auto test = makeTube(rq, "LBtube", "test");
    p.opOk = test->checkOP(p.Vak, p.Vgk, p.Ia, 0, 1);
    p.vgkOk = p.Vgk < 0;
    p.stacksOk = stackCheck(1, Vb, stackSum(stack));
    return p;
}

void selfBiasedReport(SolveResult& rs, const TTube& T, const SelfBiasedPoint& p, double Vb, double Ra,
                      double Rk) {
    const double Va = Vb - Ra * p.Ia, Vk = Rk * p.Ia;
    TTextResult text(reportHeader(rs.title));
    rs.ok = addVerdictsOnce(text.texte, true, p.opOk, p.vgkOk, p.stacksOk, true);
    text.Add(supplyLine(Vb, p.Ia));
    text.Add("<br><br>" + fmtCurrent("Ia", 1, 1000 * p.Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vk", 3, Vk));
    text.Add("<br>" + T.displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", p.Ia, Ra), resistorRecord("Rk", p.Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * p.Ia));
    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
}

namespace {

constexpr int kMaxFilterPasses = 100000;

// Filter resistor n carries the currents of stage n and of every stage after it.
double filterCurrent(const FilteredStages& s, std::size_t n) {
    double sum = 0;
    for (std::size_t m = n; m < s.I.size(); ++m)
        sum += s.I[m];
    return sum;
}

// "<name><n>" for stage index k (counting from 0).
std::string numbered(const char* name, std::size_t k) {
    return strFormat("%s%d", name, static_cast<int>(k + 1));
}

} // namespace

FilteredStages readFilteredStages(const SolveRequest& rq, const SheetValues& sheet, int n) {
    FilteredStages s;
    for (int i = 1; i <= n; ++i) {
        s.tubes.push_back(makeTube(rq, "LBtube", strFormat("T%d", i)));
        s.R.push_back(sheet.num(strFormat("EdR%d", i)));
        s.Ra.push_back(sheet.num(strFormat("EdRa%d", i)));
        s.Rk.push_back(sheet.num(strFormat("EdRk%d", i)));
    }
    return s;
}

// Alternates solving every stage at its node voltage and recomputing the nodes from the currents,
// until the last node moves by less than 1e-4 of its value between two passes. A filter whose drop
// swings the nodes further each pass (a large filter resistor against a steep tube) would never
// settle: such swings are damped, which leaves every converging run as it was. The nodes are
// several unknowns moved together with a damping that adapts, so this loop is its own.
void solveFilteredStages(FilteredStages& s, double Vb, Traces& traces) {
    const std::size_t n = s.tubes.size();
    s.V.assign(n, Vb);
    s.I.assign(n, 0);
    std::vector<double> first(n, 0);
    double previousLast = 0, previousDelta = 0, damping = 1;
    for (s.passes = 1; s.passes <= kMaxFilterPasses; ++s.passes) {
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
    s.passes = std::min(s.passes, kMaxFilterPasses);
    for (std::size_t k = 0; k < n; ++k)
        s.tubes[k]->titleTrace(traces.at(static_cast<int>(k)), s.passes, 1e-6, first[k]);
}

void filteredDcResults(const SolveRequest& rq, SolveResult& rs, const FilteredStages& s, double Vb,
                       const std::string& tubeList) {
    const std::size_t n = s.tubes.size();

    // One bar per stage, supply side first: the filter drops down to its node, Ra, the tube, Rk.
    std::vector<TVoltageStacks> bars(n);
    for (std::size_t k = 0; k < n; ++k) {
        for (std::size_t m = 0; m <= k; ++m)
            bars[k].Add(numbered("R", m), filterCurrent(s, m) * s.R[m], m % 2 ? kStackPurple : kStackNavy);
        bars[k].Add(numbered("Ra", k), s.Ra[k] * s.I[k], kStackRed);
        bars[k].Add(s.tubes[k]->Reference(), s.tubes[k]->Vak(), kStackYellow);
        bars[k].Add(numbered("Rk", k), s.Rk[k] * s.I[k], kStackGreen);
    }
    rs.stacks.insert(rs.stacks.end(), bars.begin(), bars.end());

    // Checks, every stage and every bar.
    bool opOk = true, vgkOk = true, stacksOk = true;
    auto test = makeTube(rq, "LBtube", "test");
    for (std::size_t k = 0; k < n; ++k) {
        const TTube& T = *s.tubes[k];
        opOk = test->checkOP(T.Vak(), T.Vgk(), T.Ia(), 0, 1) && opOk;
        vgkOk = vgkOk && T.Vgk() < 0;
        stacksOk = stacksOk && stackCheck(1, Vb, stackSum(bars[k]));
    }
    const bool passesOk = s.passes < kMaxFilterPasses - 1;

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = addVerdictsOnce(text.texte, true, opOk, vgkOk, stacksOk, passesOk);
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
                           fmtCurrent(numbered("Ia", k), 2, 1000 * s.I[k]).c_str()));
    text.Add("<br>");
    for (std::size_t k = 0; k < n; ++k)
        text.Add(s.tubes[k]->displayOP(1));
    std::vector<TResistor> resistors;
    for (std::size_t k = 0; k < n; ++k)
        resistors.push_back(resistorRecord(numbered("R", k), filterCurrent(s, k), s.R[k]));
    for (std::size_t k = 0; k < n; ++k)
        resistors.push_back(resistorRecord(numbered("Ra", k), s.I[k], s.Ra[k]));
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Node, anode, cathode and current labels; the load lines from each stage's node.
    for (std::size_t k = 0; k < n; ++k) {
        rs.setLabel(numbered("LabelVb", k), strFormat("%.1fV", s.V[k]));
        rs.setLabel(numbered("LabelVa", k), strFormat("%.1fV", s.V[k] - s.Ra[k] * s.I[k]));
        rs.setLabel(numbered("LabelVk", k), strFormat("%.2fV", s.Rk[k] * s.I[k]));
        rs.setLabel(numbered("LabelI", k), strFormat("%.2fmA", 1000 * s.I[k]));
    }
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * filterCurrent(s, 0)));
    for (std::size_t k = 0; k < n; ++k)
        rs.loadLines.push_back(loadLineOf(*s.tubes[k], s.V[k], s.Ra[k] + s.Rk[k], static_cast<int>(k + 1)));
}

std::vector<GridColumn> filteredColumns(int n) {
    std::vector<GridColumn> columns = {{"Vb", "Vb (V)"}};
    const auto each = [&](const char* name, const char* unit, int decimals, double factor) {
        for (int i = 1; i <= n; ++i) {
            const std::string column = strFormat("%s%d", name, i);
            columns.push_back({column, column + " (" + unit + ")", decimals, factor});
        }
    };
    each("V", "V", 1, 1);
    each("IR", "mA", 3, 1000);
    each("Ia", "mA", 3, 1000);
    each("Va", "V", 1, 1);
    each("R", "Ω", 0, 1);
    each("Ra", "Ω", 0, 1);
    columns.push_back({"Ptot", "Ptot (mW)", 0, 1000});
    each("PT", "mW", 0, 1000);
    each("PR", "mW", 0, 1000);
    each("PRa", "mW", 0, 1000);
    return columns;
}

void fillFilteredColumns(GridRow& row, const FilteredStages& s, double Vb) {
    const std::size_t n = s.tubes.size();
    row.set("Vb", Vb).set("Ptot", Vb * filterCurrent(s, 0));
    for (std::size_t k = 0; k < n; ++k) {
        const double IR = filterCurrent(s, k);
        row.set(numbered("V", k), s.V[k]).set(numbered("IR", k), IR).set(numbered("Ia", k), s.I[k]);
        row.set(numbered("Va", k), s.V[k] - s.Ra[k] * s.I[k]).set(numbered("R", k), s.R[k]);
        row.set(numbered("Ra", k), s.Ra[k]).set(numbered("PT", k), s.tubes[k]->Vak() * s.I[k]);
        row.set(numbered("PR", k), s.R[k] * IR * IR).set(numbered("PRa", k), s.Ra[k] * s.I[k] * s.I[k]);
    }
}

Chain::Chain(const SolveRequest& rq)
    : rq_(rq), S_(strayUnitOf(rq.bode.straycaps)), ignore_(rq.bode.ignoreMiller) {}

Chain& Chain::input(double Rs, double Cs, double Rg, double Cg, double Rgs, double Cgs) {
    quads_.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                        std::vector<double>{Rs, Cs, Rg, Cg, Rgs, Cgs, S_}, std::vector<bool>{ignore_, false});
    return *this;
}

Chain& Chain::commonCathode(const TTube& T, int output, double Ra, double Rk, double Ck) {
    quads_.emplace_back(tqpTubeCatCom, &T, std::vector<int>{output}, std::vector<double>{Ra, Rk, Ck, S_},
                        std::vector<bool>{ignore_, true});
    return *this;
}

Chain& Chain::add(TTypeQuadripole kind, const TTube* T, std::vector<int> outputs, std::vector<double> parts) {
    parts.push_back(S_);
    quads_.emplace_back(kind, T, std::move(outputs), parts, std::vector<bool>{ignore_});
    return *this;
}

Chain& Chain::output(double Ca, double Ro, double Co) {
    return add(tqpOutputLoad, nullptr, {}, {0, Ca, Ro, Co});
}

void Chain::run(SolveResult& rs) {
    runBode(rq_, rs, quads_);
}

} // namespace dc_coupled
