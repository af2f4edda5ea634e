// C37: single-ended triode output stage, n triodes in parallel biased by a cathode resistor, the
// anode fed through the primary winding (ohmic resistance Rp, reflected load Ra). A bisection on
// the total current finds the operating point; the swing analysis follows the load line.
#include "circuits/catalogue.h"
#include "circuits/power/power_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

using namespace power_stage;

void solveC37(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const SingleEndedSheet s = readSingleEnded(sheet);
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: bisection on the total current of the n tubes. A bracket that closes
    // without a balance counts as running out of passes.
    constexpr int kMaxPasses = 100;
    constexpr double kTolerance = 1e-4;
    double zeroBias = 0;
    T1->CalculerNK(s.Vb, 0, zeroBias, s.n);
    const double hi = startHigh(zeroBias, s.Vb, s.Rp + s.Rk);
    const double start = hi / 2;
    tracePoint(traces.at(0), 0, start);
    double Ia = 0, Vak = s.Vb, Vgk = s.Vg;
    const SearchOutcome search = bisect(0, hi, kMaxPasses, kTolerance, [&](double I, int pass) {
        Vak = s.Vb - (s.Rp + s.Rk) * I;
        Vgk = s.Vg - s.Rk * I;
        T1->CalculerNK(Vak, Vgk, Ia, s.n);
        tracePoint(traces.at(0), pass, Ia);
        return Ia > I + kTolerance ? 1.0 : Ia < I - kTolerance ? -1.0 : 0.0;
    });
    if (search.stalled)
        traceRepeated(traces.at(0), search.passes, kMaxPasses, Ia);
    const int passes = search.stalled ? kMaxPasses : search.passes;
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    double perTube = 0;
    T1->CalculerNK(Vak, Vgk, perTube, 1);

    // The swing analysis around the solved point.
    PowerData power = analyseSingleEnded(rq, *T1, s, Ia, s.Vg - s.Rk * Ia);

    // Voltage stack, supply side first.
    TVoltageStacks stack;
    stack.Add("Rp", s.Rp * Ia, kStackRed);
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", s.Rk * Ia, kStackGreen);
    rs.stacks.push_back(stack);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia / s.n, 0, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, s.Vb, stackSum(stack));
    const bool converged = passes < kMaxPasses;

    // DC report.
    TTextResult text(powerHeader(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    rs.ok = powerVerdict(text.texte, power) && rs.ok;
    rs.ok = safeAreaVerdict(text.texte, *T1, 1) && rs.ok;
    text.Add(powerSupplyLine(s.Vb, Ia));
    text.Add("<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * Ia));
    text.Add("<br><br>" + fmtVoltage("Va", 1, s.Vb - s.Rp * Ia));
    text.Add("<br>" + fmtVoltage("Vk", 2, s.Rk * Ia));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rp", Ia, s.Rp), resistorRecord("Rk", Ia, s.Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.1fV", s.Vb - s.Rp * Ia));
    rs.setLabel("LabelVk", strFormat("%.1fV", s.Rk * Ia));
    rs.setLabel("LabelIa", strFormat("%.1fmA", 1000 * Ia));
    rs.tubes.push_back(*T1);

    logSingleEnded(rq, rs, *T1, s, Ia, Vak, std::move(power));
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c37SingleEndedTriode() {
    static const CircuitDef def = defineCircuit({
        .number = 37,
        .title = "Single-ended triode power amplifier",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRk", "Rk"},
                          {"EdVg", "Bias voltage (V)"},
                          {"EdRa", "Primary impedance (Ω)"},
                          {"EdRp", "Primary ohmic resistance (Ω)"}},
                .captions = {"T1", "triode(s) in parallel"},
                .resultLabels = {"LabelIa", "LabelVk", "LabelVa", "Label3"},
            },
        .columns = columns(),
        .power = PowerStageSetup{"self-biased triode SE", false, true},
        .solve = solveC37,
    });
    return def;
}
