// C25: the basic current sink. The grid sits at Vg, the anode at the fixed voltage Va and the
// cathode on Rk; the current is the one that biases the tube by Vg − Rk·I.
#include "circuits/regulators/regulators_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace regulators;

constexpr int kMaxDampedPasses = 999;
constexpr double kDamping = 50;
constexpr int kMaxHalvings = 200;
constexpr double kTolerance = 1e-6; // A

void solveC25(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vg = sheet.num("EdVg");
    const double Va = sheet.num("EdVa");
    const double Rk = sheet.num("EdRk");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // The point at the cathode current I: the tube's own current there.
    double Vak = 0, Vgk = 0, Ia = 0;
    const auto pointAt = [&](double current) {
        Vak = std::max(Va - Rk * current, 10.0);
        Vgk = Vg - Rk * current;
        T1->CalculerNK(Vak, Vgk, Ia);
    };

    // Start half a volt of bias below the grid; without a cathode resistor that start is
    // meaningless and the small current is used as for a low grid.
    double I = Rk > 0 ? (Vg - 0.5) / Rk : -1;
    if (I < 0)
        I = 0.0001;
    const double start = I;
    tracePoint(traces.at(0), 0, I);

    // Damped fixed point on the cathode current, a fiftieth of the way a pass. It ends when the
    // tube gives the current it was solved at, before moving: not the helper's notion of a pass,
    // which moves first, so this loop stays inline.
    bool converged = false;
    int passes = 0;
    while (passes < kMaxDampedPasses) {
        pointAt(I);
        ++passes;
        tracePoint(traces.at(0), passes, Ia);
        if (std::fabs(Ia - I) < kTolerance) {
            converged = true;
            break;
        }
        I += (Ia - I) / kDamping;
    }
    // With a steep tube on a large Rk (gm·Rk near 100 and above) the damped step overshoots more
    // every pass. The tube's current falls as I rises, so a bisection on I finds the one point
    // where they agree; it only runs where the damped search gave up. No point can carry more than
    // the tube at its grid voltage with the whole of Va across it.
    if (!converged) {
        double hi = 0;
        T1->CalculerNK(std::max(Va, 10.0), Vg, hi);
        const int before = passes;
        const SearchOutcome halving =
            bisect(0, hi + 1e-9, kMaxHalvings, kTolerance, [&](double current, int pass) {
                I = current;
                pointAt(I);
                tracePoint(traces.at(0), before + pass, Ia);
                return Ia - I;
            });
        converged = halving.converged;
        passes += halving.passes;
    }
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    const double Vk = Rk * I;

    // Bars: the grid's bias supply, then the tube above its cathode resistor.
    TVoltageStacks grid;
    grid.Add("", Va - Vg, kStackYellow);
    grid.Add("Vg", Vg, kStackGreen);
    TVoltageStacks cathode;
    cathode.Add("", Vak, kStackYellow);
    cathode.Add("Vk", Vk, kStackGreen);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, I, 0, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, Va, stackSum(cathode));

    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, converged);
    addOwnVerdict(text.texte, opOk, "Abnormal T1 operating conditions");
    addOwnVerdict(text.texte, vgkOk, "Vgk positive");
    addOwnVerdict(text.texte, converged, "Too many iterations");
    addOwnVerdict(text.texte, stacksOk, "Error on stack voltages");

    // DC report.
    text.Add(strFormat("<br><br>Va %s", fmtVoltage("", 1, Va).c_str()));
    text.Add(strFormat("<br>Vg %s", fmtVoltage("", 2, Vg).c_str()));
    text.Add(strFormat("<br>Vk %s", fmtVoltage("", 2, Vk).c_str()));
    text.Add(strFormat("<br>Ia %s", fmtCurrent("", 3, 1000 * I).c_str()));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rk", I, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: a cathode resistor multiplies the tube's own resistance by the feedback it gives.
    T1->calculerParamètresIntrinsèques();
    const double Ri = T1->ρ() + (T1->µ() + 1) * Rk;
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(tubeParameterBlock(*T1));
    text.Add(strFormat("<br>%s  [ ρ +(µ+1)Rk ]  .", fmtResistance("Output impedance ", 0, Ri).c_str()));
    rs.acReport = text.texte;

    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * I));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.stacks = {grid, cathode};

    // Logged-results row: the sink's current is the solved cathode current.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Va", Va).set("Vg", Vg).set("Rk", Rk);
    row.set("Vak", Vak).set("Vgk", Vgk).set("Ia", I).set("PT1", Vak * I).set("PRk", Rk * I * I).set("Ri", Ri);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Va, Rk, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c25CurrentSink() {
    static const CircuitDef def = defineCircuit({
        .number = 25,
        .title = "Basic current sink",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .sheet =
            {
                .edits = {{"EdRk", "Rk"}, {"EdVa", "Va :  anode voltage (V)"}, {"EdVg", "Vg (V)"}},
                .captions = {"T1"},
                .resultLabels = {"LabelIa", "LabelVk"},
            },
        .columns = columnTable(
            {textColumn("model", "Tube"), {"Va", "Va (V)"}, {"Vg", "Vg (V)", 2}, {"Rk", "Rk (Ω)"}},
            tubeColumns("", 1),
            {{"PT1", "PT1 (mW)", 0, 1000}, {"PRk", "PRk (mW)", 0, 1000}, {"Ri", "Ri (kΩ)", 1, 0.001}}),
        .solve = solveC25,
    });
    return def;
}
