// Push-pull power stages C39 .. C42: the operating point of one side (self-biased by a common
// cathode resistor, or at a fixed grid bias), DC report, labels, stack and the push-pull analysis.
#include "circuits/power/power_circuits_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

namespace {

struct PushPullSheet {
    double Vb, Zaa;
    int n;
    double Yt;
};

PushPullSheet readSheet(const SheetValues& sheet) {
    return {clampSupply(sheet.num("EdVb")), sheet.num("EdZaa"), parallelCount(sheet),
            transformerYield(sheet)};
}

// Result labels exist only on some of the four sheets.
void setSheetLabel(const SolveRequest& rq, SolveResult& rs, const std::string& name,
                   const std::string& text) {
    if (rq.sheet.find(name))
        rs.setLabel(name, text);
}

// The damped search of the self-biased pair: the bound on the side where the tube carries too
// much (or too little) moves by a tenth of the error.
struct DampedSearch {
    double lo = 0, hi = 0, tolerance = 0;
    // Returns true when the search stops.
    bool step(double Ia, double I) {
        const double e = Ia - I - tolerance;
        if (Ia > I + tolerance)
            lo += 0.1 * e;
        else if (Ia < I - tolerance)
            hi += 0.1 * e;
        return std::fabs(Ia - I) < tolerance || lo > hi;
    }
};

void runAnalysis(const SolveRequest& rq, SolveResult& rs, const TTube& T1, const PushPullSheet& s,
                 const AdvancedPowerParams& adv, double Rk, double Vek, double Vgk) {
    PowerData power = calculPP(rq.circuit, T1, s.n, adv, s.Yt, Rk, s.Zaa, Vek, Vgk, s.Vb);
    if (!power.converged)
        rs.messages.emplace_back("Some steps did not converge properly");
    rs.power = std::move(power);
}

} // namespace

void solveC39(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const PushPullSheet s = readSheet(sheet);
    const double Rk = sheet.num("EdRk");
    const std::optional<AdvancedPowerParams> adv = advancedParams(rq, rs);
    if (!adv)
        return;
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point of one side: both sides share the cathode resistor.
    constexpr int kMaxPasses = 100;
    constexpr double kTolerance = 1e-4;
    double zeroBias = 0;
    T1->CalculerNK(s.Vb, 0, zeroBias, s.n);
    DampedSearch search{0, zeroBias / 2, kTolerance};
    if (Rk > 0 && search.hi > s.Vb / Rk)
        search.hi = s.Vb / Rk;
    const double start = (search.lo + search.hi) / 2;
    tracePoint(traces.at(0), 0, start);
    double I = 0, Ia = 0, Vk = 0;
    int passes = 1;
    for (; passes <= kMaxPasses; ++passes) {
        I = (search.lo + search.hi) / 2;
        Vk = 2 * Rk * I;
        T1->CalculerNK(s.Vb - Vk, -Vk, Ia, s.n);
        tracePoint(traces.at(0), passes, Ia);
        if (search.step(Ia, I))
            break;
    }
    passes = std::min(passes, kMaxPasses);
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    const double Vak = s.Vb - Vk, Vgk = -Vk;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, s.n);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, s.Vb, 2 * Rk * Ia + Vak);
    const bool converged = passes < kMaxPasses;

    TTextResult text(powerHeader(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    text.Add(powerSupplyLine(s.Vb, 2 * Ia, 2 * s.n));
    text.Add("<br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br><br>" + fmtCurrent("Ia per branch", 1, 1000 * Ia));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * 2 * Ia));
    text.Add("<br><br>" + fmtVoltage("Vk", 1, 2 * Rk * Ia));
    text.Add("<br>" + T1->displayOP(s.n));
    std::vector<TResistor> resistors = {resistorRecord("Rk", 2 * Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    setSheetLabel(rq, rs, "LabelVa", strFormat("%.0fV", s.Vb));
    setSheetLabel(rq, rs, "LabelVk", strFormat("%.1fV", 2 * Rk * Ia));
    setSheetLabel(rq, rs, "LabelIb", strFormat("%.0fmA", 1000 * 2 * Ia));
    TVoltageStacks stack;
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", 2 * Rk * Ia, kStackGreen);
    rs.stacks.push_back(stack);
    rs.tubes.push_back(*T1);

    runAnalysis(rq, rs, *T1, s, *adv, Rk, 0, 0);
    traces.moveTo(rs);
}

void solveC40(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const PushPullSheet s = readSheet(sheet);
    const double Rk = sheet.num("EdRk");
    const double Ve = sheet.num("EdVe");
    const std::optional<AdvancedPowerParams> adv = advancedParams(rq, rs);
    if (!adv)
        return;
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point of one side; the cathode carries both sides' anode and screen currents.
    constexpr int kMaxPasses = 1000;
    constexpr double kTolerance = 5e-4;
    DampedSearch search{0, 0.75 * T1->CalculerNKpentode(s.Vb, 0, Ve, s.n), kTolerance};
    const double start = (search.lo + search.hi) / 2;
    tracePoint(traces.at(0), 0, start);
    double I = 0, Ia = 0, Vk = 0;
    int passes = 1;
    for (; passes <= kMaxPasses; ++passes) {
        I = (search.lo + search.hi) / 2;
        Vk = 2 * Rk * (I + T1->Ie());
        Ia = T1->CalculerNKpentode(s.Vb - Vk, -Vk, Ve - Vk, s.n);
        tracePoint(traces.at(0), passes, Ia);
        if (search.step(Ia, I))
            break;
    }
    passes = std::min(passes, kMaxPasses);
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    const double Ie = T1->Ie();
    const double Vak = s.Vb - Vk, Vgk = -Vk, Vs = Ve - Vk;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia / s.n, Vs, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, s.Vb, 2 * Rk * (Ia + Ie) + Vak);
    const bool converged = passes < kMaxPasses;

    TTextResult text(powerHeader(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    text.Add(powerSupplyLine(s.Vb, 2 * (Ia + Ie), 2 * s.n));
    text.Add("<br><br>" + fmtCurrent("Is per tube", 1, 1000 * Ie / s.n));
    text.Add("<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Is total   ", 1, 1000 * 2 * Ie));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * 2 * Ia));
    text.Add("<br><br>" + fmtVoltage("Va", 1, s.Vb));
    text.Add("<br>" + fmtVoltage("Vk", 2, 2 * Rk * (Ia + Ie)));
    text.Add("<br>" + T1->displayOP(s.n));
    std::vector<TResistor> resistors = {resistorRecord("Rk", 2 * (Ia + Ie), Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    setSheetLabel(rq, rs, "LabelVa", strFormat("%.0fV", s.Vb));
    setSheetLabel(rq, rs, "LabelVk", strFormat("%.1fV", 2 * Rk * (Ia + Ie)));
    setSheetLabel(rq, rs, "LabelIb", strFormat("%.0fmA", 1000 * 2 * (Ia + Ie)));
    setSheetLabel(rq, rs, "LabelIe", strFormat("%.0fmA", 1000 * 2 * Ie));
    TVoltageStacks stack;
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", 2 * Rk * (Ia + Ie), kStackGreen);
    rs.stacks.push_back(stack);
    rs.tubes.push_back(*T1);

    runAnalysis(rq, rs, *T1, s, *adv, Rk, Ve, 0);
    traces.moveTo(rs);
}

void solveC41(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const PushPullSheet s = readSheet(sheet);
    const double Vg = sheet.num("EdVg");
    const std::optional<AdvancedPowerParams> adv = advancedParams(rq, rs);
    if (!adv)
        return;
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Fixed bias: one evaluation of the side's n tubes.
    double Ia = 0;
    T1->CalculerNK(s.Vb, Vg, Ia, s.n);
    if (TFormConvergence* trace = traces.at(0))
        trace->caption =
            strFormat("C%d - %s %s", trace->Tag, T1->Reference().c_str(), T1->ModelName().c_str());

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(s.Vb, Vg, Ia, 0, s.n);
    const bool vgkOk = Vg < 0;

    TTextResult text(powerHeader(rs.title, -1));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, true, true);
    text.Add(powerSupplyLine(s.Vb, 2 * Ia, 2 * s.n));
    text.Add("<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * 2 * Ia));
    text.Add("<br><br>" + fmtVoltage("Vak", 0, s.Vb));
    text.Add("<br>" + fmtVoltage("Vgk", 1, Vg));
    text.Add("<br>" + T1->displayOP(s.n));
    rs.dcReport = text.texte;

    setSheetLabel(rq, rs, "LabelVa", strFormat("%.0fV", s.Vb));
    setSheetLabel(rq, rs, "LabelIb", strFormat("%.0fmA", 1000 * 2 * Ia));
    TVoltageStacks stack;
    stack.Add("T1", s.Vb, kStackOrange);
    rs.stacks.push_back(stack);
    rs.tubes.push_back(*T1);

    runAnalysis(rq, rs, *T1, s, *adv, 0, 0, Vg);
    traces.moveTo(rs);
}

void solveC42(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const PushPullSheet s = readSheet(sheet);
    const double Vg = sheet.num("EdVg");
    const double Ve = sheet.num("EdVe");
    const std::optional<AdvancedPowerParams> adv = advancedParams(rq, rs);
    if (!adv)
        return;
    auto T1 = makeTube(rq, "LBtube", "T1");

    const double Ia = T1->CalculerNKpentode(s.Vb, Vg, Ve, s.n);
    const double Ie = T1->Ie();
    if (TFormConvergence* trace = traces.at(0))
        trace->caption =
            strFormat("C%d - %s %s", trace->Tag, T1->Reference().c_str(), T1->ModelName().c_str());

    // The operating point is checked at the screen voltage it was solved with.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(s.Vb, Vg, Ia, Ve, s.n);
    const bool vgkOk = Vg < 0;

    TTextResult text(powerHeader(rs.title, -1));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, true, true);
    text.Add(powerSupplyLine(s.Vb, 2 * Ia, 2 * s.n, true));
    text.Add("<br><br>" + fmtCurrent("Ia per single tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Is per single tube", 1, 1000 * Ie / s.n));
    text.Add("<br>" + fmtCurrent("Is total   ", 1, 1000 * 2 * Ie));
    text.Add("<br><br>" + fmtCurrent("Ia per branch", 1, 1000 * Ia));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * 2 * Ia));
    text.Add("<br><br>" + fmtVoltage("Vak", 1, s.Vb));
    text.Add("<br>" + fmtVoltage("Vgk", 1, Vg));
    text.Add("<br>" + T1->displayOP(s.n));
    rs.dcReport = text.texte;

    setSheetLabel(rq, rs, "LabelVa", strFormat("%.0fV", s.Vb));
    setSheetLabel(rq, rs, "LabelIb", strFormat("%.0fmA", 1000 * 2 * Ia));
    setSheetLabel(rq, rs, "LabelIe", strFormat("%.0fmA", 1000 * 2 * Ie));
    TVoltageStacks stack;
    stack.Add("T1", s.Vb, kStackOrange);
    rs.stacks.push_back(stack);
    rs.tubes.push_back(*T1);

    runAnalysis(rq, rs, *T1, s, *adv, 0, Ve, Vg);
    traces.moveTo(rs);
}
