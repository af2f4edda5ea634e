// C12: the asymmetrical dual-triode mixer. The anodes share Ra, each cathode has its own resistor,
// so the common anode voltage is searched until both tubes' currents fit the drop across Ra.
#include "circuits/mixers/mixers_internal.h"

#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
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
// Va rises, so the bracket always holds the answer; a bracket too narrow to move ends the search.
AnodeSearch searchAnodeVoltage(TTube& T1, TTube& T2, double Vb, double Ra, double Rk1, double Rk2,
                               TFormConvergence* trace1, TFormConvergence* trace2) {
    AnodeSearch s;
    double lo = 0, hi = Vb;
    while (s.iterations < kMaxIterations) {
        const double Va = (lo + hi) / 2;
        const bool stuck = Va <= lo || Va >= hi;
        s.Va = Va;
        const double I1 = T1.basicBiasSuccApprox(Va, 0, Rk1, nullptr);
        const double I2 = T2.basicBiasSuccApprox(Va, 0, Rk2, nullptr);
        if (s.iterations == 0) {
            s.start1 = I1;
            s.start2 = I2;
        }
        ++s.iterations;
        tracePoint(trace1, s.iterations, I1);
        tracePoint(trace2, s.iterations, I2);
        const double t = Vb - (I1 + I2) * Ra - Va;
        if (t < -kTolerance)
            hi = Va;
        else if (t > kTolerance)
            lo = Va;
        else {
            s.converged = true;
            break;
        }
        if (stuck || !std::isfinite(t))
            break;
    }
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

} // namespace

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

    // Checks, tube by tube, each with the stack of its own branch.
    auto test = makeTube(rq, "LBtube", "test");
    TTextResult text(reportHeader(rs.title));
    const bool ok1 = addVerdictsOnce(text.texte, true, test->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 < 0,
                                     stackCheck(1, Vb, Ra * It + Vak1 + Vk1), s.converged);
    const bool ok2 = addVerdictsOnce(text.texte, true, test->checkOP(Vak2, Vgk2, Ia2, 0, 1), Vgk2 < 0,
                                     stackCheck(1, Vb, Ra * It + Vak2 + Vk2), s.converged);
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
        text.Add(strFormat("<br><br><b>%s %s</b>", t.T.Reference().c_str(), t.T.ModelName().c_str()));
        text.Add(mixers::parameterLine("g<SUB>m</SUB>~", t.rho, t.gm, t.mu));
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

    // One stack per branch, both under the shared Ra.
    TVoltageStacks branch1;
    branch1.Add("Ra", Ra * It, kStackRed);
    branch1.Add("T1", Vak1, kStackYellow);
    branch1.Add("Rk1", Vk1, kStackGreen);
    rs.stacks.push_back(branch1);
    TVoltageStacks branch2;
    branch2.Add("Ra", Ra * It, kStackRed);
    branch2.Add("T2", Vak2, kStackYellow);
    branch2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks.push_back(branch2);

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),     T1->ModelName(),           gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra, loc),   gridCell(1, 1, Va, loc),   gridCell(0, 1, Rk1, loc),
                  gridCell(3, 1, Vk1, loc),  gridCell(0, 1, Rk2, loc),  gridCell(3, 1, Vk2, loc),
                  gridCell(1, 1, Vak1, loc), gridCell(3, 1, Vgk1, loc), gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc), gridCell(3, 1, Vgk2, loc), gridCell(3, 1000, Ia2, loc)};
    for (const double mW : {Vb * It, Vak1 * Ia1, Vak2 * Ia2, Ra * It * It})
        rs.gridRow.push_back(gridCell(0, 1000, mW, loc));
    rs.gridRow.push_back(gridCell(0, 1, Ro, loc));
    rs.gridRow.push_back(gridCell(1, 1, A1, loc));
    rs.gridRow.push_back(gridCell(1, 1, A2, loc));
    rs.gridRow.push_back(gridCell(0, 1, zout, loc));

    rs.loadLines.push_back(loadLine(*T1, Vb, Ra, Rk1, Ia2, 1));
    rs.loadLines.push_back(loadLine(*T2, Vb, Ra, Rk2, Ia1, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}
