// C39: push-pull of triodes self-biased by one cathode resistor shared by both sides (n triodes in
// parallel per side). A damped search on one side's current finds the bias; the push-pull swing
// analysis follows.
#include "circuits/catalogue.h"
#include "circuits/power/power_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

using namespace power_stage;

void solveC39(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const PushPullSheet s = readPushPull(sheet);
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
    const double start = search.middle();
    tracePoint(traces.at(0), 0, start);
    double Ia = 0, Vk = 0;
    int passes = 1;
    for (; passes <= kMaxPasses; ++passes) {
        const double I = search.middle();
        Vk = 2 * Rk * I;
        T1->CalculerNK(s.Vb - Vk, -Vk, Ia, s.n);
        tracePoint(traces.at(0), passes, Ia);
        if (search.step(Ia, I))
            break;
    }
    passes = std::min(passes, kMaxPasses);
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    const double Vak = s.Vb - Vk, Vgk = -Vk;

    // The push-pull analysis takes the solved bias from the tube.
    PowerData power = analysePushPull(rq, *T1, s, *adv, Rk, 0, 0);

    // Voltage stack: one side's tube over the shared cathode resistor.
    TVoltageStacks stack;
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", 2 * Rk * Ia, kStackGreen);
    rs.stacks.push_back(stack);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, s.n);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, s.Vb, stackSum(stack));
    const bool converged = passes < kMaxPasses;

    // DC report.
    TTextResult text(powerHeader(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    rs.ok = powerVerdict(text.texte, power) && rs.ok;
    rs.ok = safeAreaVerdict(text.texte, *T1, s.n) && rs.ok;
    text.Add(powerSupplyLine(s.Vb, 2 * Ia, 2 * s.n));
    text.Add("<br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br><br>" + fmtCurrent("Ia per branch", 1, 1000 * Ia));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * 2 * Ia));
    text.Add("<br><br>" + fmtVoltage("Vk", 1, 2 * Rk * Ia));
    text.Add("<br>" + T1->displayOP(s.n));
    std::vector<TResistor> resistors = {resistorRecord("Rk", 2 * Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels.
    setSheetLabel(rq, rs, "LabelVa", strFormat("%.0fV", s.Vb));
    setSheetLabel(rq, rs, "LabelVk", strFormat("%.1fV", 2 * Rk * Ia));
    setSheetLabel(rq, rs, "LabelIb", strFormat("%.0fmA", 1000 * 2 * Ia));
    rs.tubes.push_back(*T1);

    keepPushPull(rq, rs, *T1, s, {0, Rk, Vak, Vgk, 2 * Ia, 2 * Ia}, std::move(power));
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c39SelfBiasedTriodePushPull() {
    static const CircuitDef def = defineCircuit({
        .number = 39,
        .title = "Self-biased triode push-pull",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .sheet =
            {
                .edits = {{"EdVb", "V"}, {"EdRk", "Rk"}, {"EdZaa", "Primary impedance (Ω)"}},
                .captions = {"AC swing +", "AC swing -", "tube(s) in parallel per branch",
                             "Transformer power yield (%)"},
                .resultLabels = {"LabelIb", "LabelVk", "LabelVa"},
            },
        .columns = columns(),
        .power = PowerStageSetup{"self-biased triode PP", true, true},
        .advanced = AdvancedPowerSetup{"1", "2.1", 3},
        .rules = {selfBiasCathodeResistor()},
        .solve = solveC39,
    });
    return def;
}
