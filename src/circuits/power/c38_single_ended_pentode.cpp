// C38: single-ended pentode output stage, n pentodes in parallel biased by a cathode resistor that
// carries the screen current too; the screen is fed from its own supply Vg2. A bisection on the
// anode current finds the operating point, the screen current following each pass.
#include "circuits/catalogue.h"
#include "circuits/power/power_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

using namespace power_stage;

// Screen voltage: the screen supply less the cathode voltage, never below 10 V.
double screenVoltage(double Vg2, double cathodeCurrent, double Rk) {
    return std::max(Vg2 - cathodeCurrent * Rk, 10.0);
}

// The screen current of the n tubes that agrees with its own share of the cathode voltage when the
// anodes carry I: the screen current falls as it raises the cathode, so a bisection on it settles.
// Taking the screen current of the previous pass instead lets it swing from pass to pass, and the
// bisection on the anode current then closes on a point where the tube does not carry I. (The
// search stops on the width of its bracket, not on a residual, hence its own loop.)
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

void solveC38(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const SingleEndedSheet s = readSingleEnded(sheet);
    const double Vg2 = sheet.num("EdVg2");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: bisection on the anode current. A bracket that closes without a balance
    // counts as running out of passes.
    constexpr int kMaxPasses = 200;
    constexpr double kTolerance = 1e-4;
    const double zeroBias = T1->CalculerNKpentode(s.Vb, 0, Vg2, s.n);
    const double hi = startHigh(zeroBias, s.Vb, s.Rp + s.Rk);
    const double start = hi / 2;
    tracePoint(traces.at(0), 0, start);
    double Ia = 0, Ie = 0, Vak = s.Vb, Vgk = s.Vg, Vs = Vg2;
    const SearchOutcome search = bisect(0, hi, kMaxPasses, kTolerance, [&](double I, int pass) {
        Ie = consistentScreenCurrent(*T1, s.n, I, s.Vg, Vg2, s.Rk);
        Vs = screenVoltage(Vg2, I + Ie, s.Rk);
        Vak = s.Vb - (s.Rp + s.Rk) * I - s.Rk * Ie;
        Vgk = s.Vg - (I + Ie) * s.Rk;
        Ia = T1->CalculerNKpentode(Vak, Vgk, Vs, s.n);
        Ie = T1->Ie();
        tracePoint(traces.at(0), pass, Ia);
        return Ia > I + kTolerance ? 1.0 : Ia < I - kTolerance ? -1.0 : 0.0;
    });
    if (search.stalled)
        traceRepeated(traces.at(0), search.passes, kMaxPasses, Ia);
    const int passes = search.stalled ? kMaxPasses : search.passes;
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    T1->CalculerNKpentode(Vak, Vgk, Vs, 1);

    // The swing analysis around the solved point.
    PowerData power = analyseSingleEnded(rq, *T1, s, Ia, s.Vg - (Ia + Ie) * s.Rk);

    // Voltage stack, supply side first: the cathode resistor carries the screen current too.
    TVoltageStacks stack;
    stack.Add("Rp", s.Rp * Ia, kStackRed);
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", (Ia + Ie) * s.Rk, kStackGreen);
    rs.stacks.push_back(stack);

    // Checks, at the screen voltage the point was solved with.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia / s.n, Vs, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, s.Vb, stackSum(stack));
    const bool converged = passes < kMaxPasses;

    // DC report.
    TTextResult text(powerHeader(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    rs.ok = powerVerdict(text.texte, power) && rs.ok;
    rs.ok = safeAreaVerdict(text.texte, *T1, 1) && rs.ok;
    text.Add(powerSupplyLine(s.Vb, Ia + Ie));
    text.Add("<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * Ia));
    text.Add("<br><br>" + fmtCurrent("Ig2 per tube", 1, 1000 * Ie / s.n));
    text.Add("<br>" + fmtCurrent("Ig2 total   ", 1, 1000 * Ie));
    text.Add("<br><br>" + fmtVoltage("Va", 1, s.Vb - s.Rp * Ia));
    // The same Vk as the label, the stack and the dissipation table.
    text.Add("<br>" + fmtVoltage("Vk", 2, s.Rk * (Ia + Ie)));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rp", Ia, s.Rp), resistorRecord("Rk", Ia + Ie, s.Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.1fV", s.Vb - s.Rp * Ia));
    rs.setLabel("LabelVk", strFormat("%.1fV", (Ia + Ie) * s.Rk));
    rs.setLabel("LabelIa", strFormat("%.1fmA", 1000 * Ia));
    rs.setLabel("LabelIg2", strFormat("%.1fmA", 1000 * Ie));
    rs.setLabel("LabelIk", strFormat("%.1fmA", 1000 * (Ia + Ie)));
    rs.tubes.push_back(*T1);

    logSingleEnded(rq, rs, *T1, s, Ia, Vak, std::move(power));
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c38SingleEndedPentode() {
    static const CircuitDef def = defineCircuit({
        .number = 38,
        .title = "Single-ended pentode power amplifier",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kPentode}},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdVg", "V"},
                          {"EdRk", "Rk"},
                          {"EdVg2", "V"},
                          {"EdRa", "Primary impedance (Ω)"},
                          {"EdRp", "Primary ohmic resistance (Ω)"}},
                .captions = {"tube(s) in parallel"},
                .resultLabels = {"LabelIa", "LabelVa", "LabelVk", "LabelIg2", "LabelIk", "Label3"},
            },
        .columns = columns(),
        .power = PowerStageSetup{"self-biased pentode SE", false, true},
        .solve = solveC38,
    });
    return def;
}
