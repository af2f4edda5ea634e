// Single-ended power stages C37 (triode) and C38 (pentode): cathode-biased operating point by
// bisection, DC report, labels, stack, the swing analysis and the logged-results row.
#include "circuits/power/power_circuits_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

constexpr double kTolerance = 1e-4;

struct SingleEndedSheet {
    double Vb, Rp, Ra, Vg, Rk;
    int n;
    double Yt;
};

SingleEndedSheet readSheet(const SheetValues& sheet) {
    return {clampSupply(sheet.num("EdVb")),
            sheet.num("EdRp"),
            sheet.num("EdRa"),
            sheet.num("EdVg"),
            sheet.num("EdRk"),
            parallelCount(sheet),
            transformerYield(sheet)};
}

// Upper end of the bisection: half the zero-bias current, lowered to the short-circuit current of
// the anode circuit when it has resistance.
double startHigh(double zeroBiasCurrent, double Vb, double Rdc) {
    double hi = zeroBiasCurrent / 2;
    if (Rdc > 0 && hi > Vb / Rdc)
        hi = Vb / Rdc;
    return hi;
}

// The swing analysis, its data in the result and the logged-results row.
void analyseAndLog(const SolveRequest& rq, SolveResult& rs, const TTube& T1, const SingleEndedSheet& s,
                   double Ia, double Vak, double Vgk) {
    PowerSummary sum;
    PowerData power = calculSE(T1, s.n, Ia, s.Yt, s.Rk, s.Ra, s.Rp, Vgk, s.Vb, &sum);
    power.circuit = rq.circuit;
    const bool hasCycle = !power.cycles.empty();
    const NumberLocale& loc = rq.locale;
    auto lastCell = [&](int decimals, double factor, double value) {
        return hasCycle ? gridCell(decimals, factor, value, loc) : std::string();
    };
    rs.gridRow = {gridStatus(rq, rs.ok),       strFormat("%dx %s", s.n, T1.ModelName().c_str()),
                  gridCell(0, 1, s.Vb, loc),   gridCell(1, 1, s.Vg, loc),
                  gridCell(0, 1, s.Rk, loc),   gridCell(0, 1, s.Rp, loc),
                  gridCell(0, 1, s.Ra, loc),   strFormat("%.0f%%", 100 * s.Yt),
                  gridCell(0, 1, Vak, loc),    gridCell(2, 1, T1.Vgk(), loc),
                  gridCell(1, 1000, Ia, loc),  gridCell(1, 1, s.Vb * Ia, loc),
                  lastCell(1, 1, sum.swing),   lastCell(1, 1, sum.Psec),
                  lastCell(1, 1000, sum.Imoy), lastCell(2, 1, sum.Y)};
    rs.power = std::move(power);
}

// Screen voltage of C38: the screen supply less the cathode voltage, never below 10 V.
double screenVoltage(double Vg2, double cathodeCurrent, double Rk) {
    return std::max(Vg2 - cathodeCurrent * Rk, 10.0);
}

// The screen current of the n tubes that agrees with its own share of the cathode voltage when the
// anodes carry I: the screen current falls as it raises the cathode, so a bisection on it settles.
// Taking the screen current of the previous pass instead lets it swing from pass to pass, and the
// bisection on the anode current then closes on a point where the tube does not carry I.
double consistentScreenCurrent(TTube& T, int n, double I, double Vg, double Vg2, double Rk) {
    auto screen = [&](double Ie) {
        const double cathode = I + Ie;
        return n * T.CalculerEcranPentode(Vg - cathode * Rk, screenVoltage(Vg2, cathode, Rk));
    };
    double lo = 0, hi = screen(0);
    for (int k = 0; k < 100 && hi - lo > 1e-9; ++k) {
        const double mid = (lo + hi) / 2;
        if (screen(mid) > mid)
            lo = mid;
        else
            hi = mid;
    }
    return (lo + hi) / 2;
}

} // namespace

void solveC37(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const SingleEndedSheet s = readSheet(sheet);
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: bisection on the total current of the n tubes.
    constexpr int kMaxPasses = 100;
    double zeroBias = 0;
    T1->CalculerNK(s.Vb, 0, zeroBias, s.n);
    double lo = 0, hi = startHigh(zeroBias, s.Vb, s.Rp + s.Rk);
    const double start = (lo + hi) / 2;
    tracePoint(traces.at(0), 0, start);
    double I = 0, Ia = 0, Vak = s.Vb, Vgk = s.Vg;
    int passes = 1;
    for (; passes <= kMaxPasses; ++passes) {
        I = (lo + hi) / 2;
        Vak = s.Vb - (s.Rp + s.Rk) * I;
        Vgk = s.Vg - s.Rk * I;
        T1->CalculerNK(Vak, Vgk, Ia, s.n);
        tracePoint(traces.at(0), passes, Ia);
        if (Ia > I + kTolerance)
            lo = I;
        else if (Ia < I - kTolerance)
            hi = I;
        else
            break;
    }
    passes = std::min(passes, kMaxPasses);
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    double perTube = 0;
    T1->CalculerNK(Vak, Vgk, perTube, 1);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia / s.n, 0, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, s.Vb, (s.Rp + s.Rk) * Ia + Vak);
    const bool converged = passes < kMaxPasses;

    // DC report.
    TTextResult text(powerHeader(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    text.Add(powerSupplyLine(s.Vb, Ia));
    text.Add("<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * Ia));
    text.Add("<br><br>" + fmtVoltage("Va", 1, s.Vb - s.Rp * Ia));
    text.Add("<br>" + fmtVoltage("Vk", 2, s.Rk * Ia));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rp", Ia, s.Rp), resistorRecord("Rk", Ia, s.Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels and stack.
    rs.setLabel("LabelVa", strFormat("%.1fV", s.Vb - s.Rp * Ia));
    rs.setLabel("LabelVk", strFormat("%.1fV", s.Rk * Ia));
    rs.setLabel("LabelIa", strFormat("%.1fmA", 1000 * Ia));
    TVoltageStacks stack;
    stack.Add("Rp", s.Rp * Ia, kStackRed);
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", s.Rk * Ia, kStackGreen);
    rs.stacks.push_back(stack);
    rs.tubes.push_back(*T1);

    analyseAndLog(rq, rs, *T1, s, Ia, Vak, s.Vg - s.Rk * Ia);
    traces.moveTo(rs);
}

void solveC38(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const SingleEndedSheet s = readSheet(sheet);
    const double Vg2 = sheet.num("EdVg2");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: bisection on the anode current, the screen current following each pass.
    constexpr int kMaxPasses = 200;
    const double zeroBias = T1->CalculerNKpentode(s.Vb, 0, Vg2, s.n);
    double lo = 0, hi = startHigh(zeroBias, s.Vb, s.Rp + s.Rk);
    const double start = (lo + hi) / 2;
    tracePoint(traces.at(0), 0, start);
    double I = 0, Ia = 0, Ie = 0, Vak = s.Vb, Vgk = s.Vg, Vs = Vg2;
    int passes = 1;
    for (; passes <= kMaxPasses; ++passes) {
        I = (lo + hi) / 2;
        Ie = consistentScreenCurrent(*T1, s.n, I, s.Vg, Vg2, s.Rk);
        Vs = screenVoltage(Vg2, I + Ie, s.Rk);
        Vak = s.Vb - (s.Rp + s.Rk) * I - s.Rk * Ie;
        Vgk = s.Vg - (I + Ie) * s.Rk;
        Ia = T1->CalculerNKpentode(Vak, Vgk, Vs, s.n);
        Ie = T1->Ie();
        tracePoint(traces.at(0), passes, Ia);
        if (Ia > I + kTolerance)
            lo = I;
        else if (Ia < I - kTolerance)
            hi = I;
        else
            break;
    }
    passes = std::min(passes, kMaxPasses);
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    T1->CalculerNKpentode(Vak, Vgk, Vs, 1);

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia / s.n, Vs, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, s.Vb, s.Rp * Ia + Vak + s.Rk * (Ia + Ie));
    const bool converged = passes < kMaxPasses;

    TTextResult text(powerHeader(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    text.Add(powerSupplyLine(s.Vb, Ia + Ie));
    text.Add("<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * Ia));
    text.Add("<br><br>" + fmtCurrent("Ig2 per tube", 1, 1000 * Ie / s.n));
    text.Add("<br>" + fmtCurrent("Ig2 total   ", 1, 1000 * Ie));
    text.Add("<br><br>" + fmtVoltage("Va", 1, s.Vb - s.Rp * Ia));
    // The cathode resistor carries the screen current too: the same Vk as the label, the stack
    // and the dissipation table.
    text.Add("<br>" + fmtVoltage("Vk", 2, s.Rk * (Ia + Ie)));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rp", Ia, s.Rp), resistorRecord("Rk", Ia + Ie, s.Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    rs.setLabel("LabelVa", strFormat("%.1fV", s.Vb - s.Rp * Ia));
    rs.setLabel("LabelVk", strFormat("%.1fV", (Ia + Ie) * s.Rk));
    rs.setLabel("LabelIa", strFormat("%.1fmA", 1000 * Ia));
    rs.setLabel("LabelIg2", strFormat("%.1fmA", 1000 * Ie));
    rs.setLabel("LabelIk", strFormat("%.1fmA", 1000 * (Ia + Ie)));
    TVoltageStacks stack;
    stack.Add("Rp", s.Rp * Ia, kStackRed);
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", (Ia + Ie) * s.Rk, kStackGreen);
    rs.stacks.push_back(stack);
    rs.tubes.push_back(*T1);

    analyseAndLog(rq, rs, *T1, s, Ia, Vak, s.Vg - (Ia + Ie) * s.Rk);
    traces.moveTo(rs);
}
