// C40: push-pull of pentodes self-biased by one cathode resistor shared by both sides, which
// carries the anode and screen currents of both; the screens are fed from their own supply Ve. A
// damped search on one side's anode current finds the bias; the push-pull swing analysis follows.
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

void solveC40(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const PushPullSheet s = readPushPull(sheet);
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
    const double start = search.middle();
    tracePoint(traces.at(0), 0, start);
    double Ia = 0, Vk = 0;
    int passes = 1;
    for (; passes <= kMaxPasses; ++passes) {
        const double I = search.middle();
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

    // The push-pull analysis takes the solved bias from the tube, the screen supply as given.
    PowerData power = analysePushPull(rq, *T1, s, *adv, Rk, Ve, 0);

    // Voltage stack: one side's tube over the shared cathode resistor.
    TVoltageStacks stack;
    stack.Add("T1", Vak, kStackOrange);
    stack.Add("Rk", 2 * Rk * (Ia + Ie), kStackGreen);
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
    rs.ok = safeAreaVerdict(text.texte, *T1, s.n) && rs.ok;
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

    // Schematic labels.
    setSheetLabel(rq, rs, "LabelVa", strFormat("%.0fV", s.Vb));
    setSheetLabel(rq, rs, "LabelVk", strFormat("%.1fV", 2 * Rk * (Ia + Ie)));
    setSheetLabel(rq, rs, "LabelIb", strFormat("%.0fmA", 1000 * 2 * (Ia + Ie)));
    setSheetLabel(rq, rs, "LabelIe", strFormat("%.0fmA", 1000 * 2 * Ie));
    rs.tubes.push_back(*T1);

    keepPushPull(rq, rs, *T1, s, {0, Rk, Vak, Vgk, 2 * Ia, 2 * (Ia + Ie)}, std::move(power));
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c40SelfBiasedPentodePushPull() {
    static const CircuitDef def = defineCircuit({
        .number = 40,
        .title = "Self-biased pentode push-pull",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kPentode}},
        .sheet =
            {
                .edits =
                    {{"EdVb", "V"}, {"EdVe", "V"}, {"EdZaa", "Primary impedance (Ω)"}, {"EdRk", "Rk (Ω)"}},
                .captions = {"tube(s) in parallel per branch", "AC swing +", "ACswing -",
                             "Transformer power yield (%)"},
                .resultLabels = {"LabelIb", "LabelVk", "LabelIe"},
            },
        .columns = columns(),
        .power = PowerStageSetup{"self-biased pentode PP", true, true},
        .advanced = AdvancedPowerSetup{"4", "0.2", 3},
        .rules = {selfBiasCathodeResistor()},
        .solve = solveC40,
    });
    return def;
}
