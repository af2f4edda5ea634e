// C41: push-pull of triodes at a fixed grid bias (n triodes in parallel per side): one evaluation
// gives the operating point; the push-pull swing analysis follows.
#include "circuits/catalogue.h"
#include "circuits/power/power_common.h"

#include "markup/formatters.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

using namespace power_stage;

void solveC41(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const PushPullSheet s = readPushPull(sheet);
    const double Vg = sheet.num("EdVg");
    const std::optional<AdvancedPowerParams> adv = advancedParams(rq, rs);
    if (!adv)
        return;
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Fixed bias: one evaluation of the side's n tubes.
    double Ia = 0;
    T1->CalculerNK(s.Vb, Vg, Ia, s.n);
    captionFixedBias(traces.at(0), *T1);

    // The push-pull analysis at the bias given.
    PowerData power = analysePushPull(rq, *T1, s, *adv, 0, 0, Vg);

    // The tube takes the whole supply.
    TVoltageStacks stack;
    stack.Add("T1", s.Vb, kStackOrange);
    rs.stacks.push_back(stack);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(s.Vb, Vg, Ia, 0, s.n);
    const bool vgkOk = Vg < 0;
    const bool stacksOk = stackCheck(1, s.Vb, stackSum(stack));

    // DC report.
    TTextResult text(powerHeader(rs.title, -1));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, true);
    rs.ok = powerVerdict(text.texte, power) && rs.ok;
    rs.ok = safeAreaVerdict(text.texte, *T1, s.n) && rs.ok;
    text.Add(powerSupplyLine(s.Vb, 2 * Ia, 2 * s.n));
    text.Add("<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / s.n));
    text.Add("<br>" + fmtCurrent("Ia total   ", 1, 1000 * 2 * Ia));
    text.Add("<br><br>" + fmtVoltage("Vak", 0, s.Vb));
    text.Add("<br>" + fmtVoltage("Vgk", 1, Vg));
    text.Add("<br>" + T1->displayOP(s.n));
    rs.dcReport = text.texte;

    // Schematic labels.
    setSheetLabel(rq, rs, "LabelVa", strFormat("%.0fV", s.Vb));
    setSheetLabel(rq, rs, "LabelIb", strFormat("%.0fmA", 1000 * 2 * Ia));
    rs.tubes.push_back(*T1);

    keepPushPull(rq, rs, *T1, s, {Vg, std::nullopt, s.Vb, Vg, 2 * Ia, 2 * Ia}, std::move(power));
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c41FixedBiasTriodePushPull() {
    static const CircuitDef def = defineCircuit({
        .number = 41,
        .title = "Fixed bias triode push-pull",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .sheet =
            {
                .edits = {{"EdVb", "V"}, {"EdVg", "Grid bias (V)"}, {"EdZaa", "Primary impedance (Ω)"}},
                .captions = {"AC swing +", "AC swing -", "tube(s) in parallel per branch"},
                .resultLabels = {"LabelIb", "LabelVa", "Label3"},
            },
        .columns = columns(),
        .power = PowerStageSetup{"fixed-biased triode PP", true, false},
        .advanced = AdvancedPowerSetup{"8", "0.2", 3},
        .rules = {fixedGridBias()},
        .solve = solveC41,
    });
    return def;
}
