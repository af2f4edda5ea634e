// C12: the asymmetrical dual-triode mixer. The anodes share Ra, each cathode has its own resistor,
// so the common anode voltage is searched until both tubes' currents fit the drop across Ra.
#include "circuits/mixers/mixers_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSupplyMin = 50, kSupplyMax = 500;
constexpr double kTolerance = 0.25; // V, on the anode voltage
constexpr int kMaxIterations = 1001;

struct AnodeSearch {
    double Va = 0;
    int iterations = 0;
    bool converged = false;
    double start1 = 0, start2 = 0; // the currents of the first pass
};

// Bisection on the joined anodes' voltage Va in [0, Vb]: each triode self-biases under Va, and
// the supply less the drop of both currents across Ra must come back to Va. The mismatch falls as
// Va rises, so the bracket always holds the answer. A mismatch within the tolerance, its edge
// included, settles the search, and so does one that is not a number; an infinite one ends it
// unsettled. When the bracket closes short of the answer, its last middle is evaluated once more,
// the tubes left at that evaluation, unless that middle already lay on an end of the bracket.
AnodeSearch searchAnodeVoltage(TTube& T1, TTube& T2, double Vb, double Ra, double Rk1, double Rk2,
                               TFormConvergence* trace1, TFormConvergence* trace2) {
    AnodeSearch s;
    double lo = 0, hi = Vb; // the bracket as the bisection moves it
    bool onEnd = false;     // the last middle sat on an end of the bracket
    bool diverged = false;  // the mismatch ran to infinity
    const auto mismatch = [&](double Va, int pass) {
        onEnd = Va <= lo || Va >= hi;
        s.Va = Va;
        const double I1 = T1.basicBiasSuccApprox(Va, 0, Rk1, nullptr);
        const double I2 = T2.basicBiasSuccApprox(Va, 0, Rk2, nullptr);
        if (pass == 1) {
            s.start1 = I1;
            s.start2 = I2;
        }
        tracePoint(trace1, pass, I1);
        tracePoint(trace2, pass, I2);
        const double t = Vb - (I1 + I2) * Ra - Va;
        diverged = std::isinf(t);
        if (diverged || !(t < -kTolerance || t > kTolerance))
            return 0.0; // ends the bisection
        (t > 0 ? lo : hi) = Va;
        return t;
    };
    SearchOutcome out = bisect(0, Vb, kMaxIterations, kTolerance, mismatch);
    if (out.stalled && !onEnd && out.passes < kMaxIterations) {
        ++out.passes;
        out.converged = mismatch(s.Va, out.passes) == 0;
    }
    s.iterations = out.passes;
    s.converged = out.converged && !diverged;
    return s;
}

// "C12 - ref model - n iter. Res ±xµA Ia a=>bmA": the resolution is the tolerance on Va seen as a
// current through Ra.
void titleTrace(TFormConvergence* trace, const TTube& T, int iterations, double Ra, double start) {
    if (!trace)
        return;
    trace->caption = strFormat("C%d - %s %s - %d iter. Res ±%.1fµA Ia %.2f=>%.2fmA", trace->Tag,
                               T.Reference().c_str(), T.ModelName().c_str(), iterations,
                               1e6 * ratioOrZero(kTolerance, Ra), 1000 * start, 1000 * T.Ia());
}

// The DC load line of one triode: the other tube's current drops a fixed voltage across Ra, so the
// line starts at what is left of the supply and passes through the operating point.
LoadLineData loadLine(const TTube& T, double Vb, double Ra, double Rk, double otherCurrent, int image) {
    return loadLineOf(T, std::max(Vb - Ra * otherCurrent, 0.0), Ra + Rk, image);
}

void solveC12(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = std::clamp(clampSupply(sheet.num("EdVb")), kSupplyMin, kSupplyMax);
    const double Ra = sheet.num("EdRa");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Operating points: the search leaves each tube at its point under the final Va.
    const AnodeSearch s = searchAnodeVoltage(*T1, *T2, Vb, Ra, Rk1, Rk2, traces.at(0), traces.at(1));
    titleTrace(traces.at(0), *T1, s.iterations, Ra, s.start1);
    titleTrace(traces.at(1), *T2, s.iterations, Ra, s.start2);
    const double Va = s.Va;
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double It = Ia1 + Ia2, Vk1 = Rk1 * Ia1, Vk2 = Rk2 * Ia2;

    // One bar per branch, both under the shared Ra.
    const TVoltageStacks branch1 = mixers::branchBar(Ra * It, *T1, "Rk1", Vk1);
    const TVoltageStacks branch2 = mixers::branchBar(Ra * It, *T2, "Rk2", Vk2);
    rs.stacks.push_back(branch1);
    rs.stacks.push_back(branch2);

    // Checks, tube by tube, each with the bar of its own branch.
    auto test = makeTube(rq, "LBtube", "test");
    TTextResult text(reportHeader(rs.title));
    const bool ok1 = addVerdictsOnce(text.texte, true, test->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 < 0,
                                     stackCheck(1, Vb, stackSum(branch1)), s.converged);
    const bool ok2 = addVerdictsOnce(text.texte, true, test->checkOP(Vak2, Vgk2, Ia2, 0, 1), Vgk2 < 0,
                                     stackCheck(1, Vb, stackSum(branch2)), s.converged);
    rs.ok = ok1 && ok2;
    text.Add(strFormat("<br><i>%s</i>", fmtVoltage("Computing tolerance on Va ", 2, kTolerance).c_str()));

    // DC report.
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add("<br>" + fmtVoltage("Va", 2, Va));
    text.Add("<br>" + fmtVoltage("Vk1", 3, Vk1));
    text.Add("<br>" + fmtVoltage("Vk2", 3, Vk2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", It, Ra), resistorRecord("Rk1", Ia1, Rk1),
                                        resistorRecord("Rk2", Ia2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: both cathodes bypassed; each triode's ρ loads the joined anodes with RL.
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    const double rho1 = T1->getRo(), gm1 = T1->getGm(), mu1 = rho1 * gm1;
    const double rho2 = T2->getRo(), gm2 = T2->getGm(), mu2 = rho2 * gm2;
    const double RL = parallelR(Ra, Ro);
    const double D = rho1 * rho2 + (rho1 + rho2) * RL;
    const double zout = ratioOrZero(RL * rho1 * rho2, D);
    const double A1 = ratioOrZero(-mu1 * RL * rho2, D);
    const double A2 = ratioOrZero(-mu2 * RL * rho1, D);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add("<br>Rk1 and Rk2 are bypassed by capacitors.");
    const struct {
        const TTube& T;
        double rho, gm, mu;
    } tubes[] = {{*T1, rho1, gm1, mu1}, {*T2, rho2, gm2, mu2}};
    for (const auto& t : tubes) {
        text.Add("<br><br>" + mixers::tubeHeading(t.T));
        text.Add("<br>  " + parameterTriple(t.rho, t.gm, t.mu, "g<SUB>m</SUB>~"));
    }
    // Unlike C11's report, this label runs straight into its value.
    text.Add("<br><br>" + fmtResistance("Effective load on T1 T2 anode (Ra||Ro)", 0, RL));
    text.Add("<br>" + fmtResistance("Output impedance ", 0, zout));
    text.Add(mixers::gainLine("<br><br>", "Voltage gain on T1 output ", A1));
    text.Add(mixers::gainLine("<br>", "Voltage gain on T2 output ", A2));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.2fV", Va));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelIa1", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * It));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra", Ra).set("Va", Va).set("Rk1", Rk1);
    row.set("Vk1", Vk1).set("Rk2", Rk2).set("Vk2", Vk2);
    mixers::fillTubesAndPowers(row, *T1, *T2, Vb, Ra);
    row.set("Ro", Ro).set("A1", A1).set("A2", A2).set("Zo", zout);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLine(*T1, Vb, Ra, Rk1, Ia2, 1));
    rs.loadLines.push_back(loadLine(*T2, Vb, Ra, Rk2, Ia1, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c12AsymmetricalMixer() {
    static const CircuitDef def = defineCircuit({
        .number = 12,
        .title = "Dual triode mixer, asymmetrical",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::Mixer},
        .sheet =
            {
                .edits =
                    {{"EdVb", "EdVb"}, {"EdRa", "Ra"}, {"EdRk1", "Rk1"}, {"EdRk2", "Rk2"}, {"EdRo", "Ro"}},
                .captions = {"T1", "T2"},
                .resultLabels = {"LabelVa", "LabelVk2", "LabelVk1", "LabelIt", "LabelIa1", "LabelIa2"},
            },
        .columns = columnTable({textColumn("model", "T1 & T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra", "Ra (Ω)"},
                                {"Va", "Va (V)", 1},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Vk1", "Vk1 (V)", 3},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Vk2", "Vk2 (V)", 3}},
                               mixers::tubesAndPowerColumns(),
                               {{"Ro", "Ro"}, {"A1", "A1", 1}, {"A2", "A2", 1}, {"Zo", "Zo (Ω)"}}),
        .solve = solveC12,
    });
    return def;
}
