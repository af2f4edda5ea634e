// Single-triode gain stages of the DC-coupled family: C13 (cathode fed by a constant current),
// C29 (local feedback from anode to grid) and C32 (common grid).
#include "circuits/dc_coupled/dc_coupled_solvers.h"

#include "frequency/bode_options.h"
#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

using namespace dc_coupled;

namespace {

// The operating point of a cathode-biased triode with its grid at 0 V, checked the usual way.
struct SelfBiasedPoint {
    double Ia = 0, Vak = 0, Vgk = 0;
    bool opOk = false, vgkOk = false, stacksOk = false;
};

SelfBiasedPoint solveSelfBiased(const SolveRequest& rq, TTube& T, double Vb, double Ra, double Rk,
                                TFormConvergence* trace) {
    SelfBiasedPoint p;
    T.basicBiasSuccApprox(Vb, Ra, Rk, trace);
    p.Ia = T.Ia(), p.Vak = T.Vak(), p.Vgk = T.Vgk();
    auto test = makeTube(rq, "LBtube", "test");
    p.opOk = test->checkOP(p.Vak, p.Vgk, p.Ia, 0, 1);
    p.vgkOk = p.Vgk < 0;
    p.stacksOk = stackCheck(1, Vb, Ra * p.Ia + p.Vak + Rk * p.Ia);
    return p;
}

// The DC report of such a stage: supply, currents and voltages, quiescent state, dissipations.
std::string selfBiasedDcReport(const SolveResult& rs, TTube& T, const SelfBiasedPoint& p, double Vb,
                               double Ra, double Rk, bool& ok) {
    TTextResult text(reportHeader(rs.title));
    ok = addVerdictsOnce(text.texte, true, p.opOk, p.vgkOk, p.stacksOk, true);
    text.Add(supplyLine(Vb, p.Ia));
    text.Add("<br><br>" + fmtCurrent("Ia", 1, 1000 * p.Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Vb - Ra * p.Ia));
    text.Add("<br>" + fmtVoltage("Vk", 3, Rk * p.Ia));
    text.Add("<br>" + T.displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", p.Ia, Ra), resistorRecord("Rk", p.Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    return text.texte;
}

void selfBiasedLabelsAndStack(SolveResult& rs, const SelfBiasedPoint& p, double Vb, double Ra, double Rk) {
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * p.Ia));
    rs.setLabel("LabelVa", strFormat("%.1fV", Vb - Ra * p.Ia));
    rs.setLabel("LabelVk", strFormat("%.2fV", Rk * p.Ia));
    TVoltageStacks stack;
    stack.Add("Ra", Ra * p.Ia, kStackRed);
    stack.Add("T1", p.Vak, kStackYellow);
    stack.Add("Rk", Rk * p.Ia, kStackGreen);
    rs.stacks.push_back(stack);
}

} // namespace

// C13: the cathode is fed by a constant current Ik and the grid held at Vg, so the cathode settles
// where the tube carries exactly Ik: a bisection on the cathode voltage.
void solveC13(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Vg = sheet.num("EdVg");
    const double Ik = sheet.num("EdIk");
    const double Ro = sheet.num("EdRo");

    const double Va = Vb - Ra * Ik;
    if (!(Va - Vg >= 50)) {
        rs.messages.push_back("The drop voltage Ra.Ik is certainly too large.");
        rs.ok = false;
        return;
    }
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: the cathode lies between the grid voltage and the grid voltage less the bias
    // that gives Ik with the whole supply across the tube.
    const double Vgk0 = T1->whichVg(Ik, Vb - Vg, 0);
    double lo = Vg, hi = Vg - Vgk0;
    constexpr int kMaxIterations = 1001;
    TFormConvergence* trace = traces.at(0);
    int iterations = 0;
    double Ia = 0, start = 0;
    bool converged = false;
    while (iterations < kMaxIterations) {
        const double Vk = (lo + hi) * 0.5;
        double Vak = Vb - Ra * Ik - Vk;
        if (Vak < 0)
            Vak = 10;
        T1->CalculerNK(Vak, Vg - Vk, Ia);
        if (iterations == 0)
            start = Ia;
        tracePoint(trace, iterations, Ia);
        ++iterations;
        if (std::fabs(Ia - Ik) < 1e-6) {
            converged = true;
            break;
        }
        if (Ia > Ik)
            lo = Vk;
        else
            hi = Vk;
    }
    T1->titleTrace(trace, iterations, 1e-6, start);
    const double Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Vk = Vg - Vgk;

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool stacksOk = stackCheck(1, Vb, Ra * Ik + Vak + Vk);

    // DC report.
    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", iterations));
    rs.ok = addVerdictsOnce(text.texte, true, opOk, Vgk < 0, stacksOk, converged);
    if (!converged) {
        addLineOnce(text.texte, errorLine("No convergence !"));
        rs.ok = false;
    }
    text.Add(supplyLine(Vb, Ik));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + fmtVoltage("Vg", 1, Vg));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ik, Ra)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: the cathode is held by the current source and bypassed.
    const double rho = T1->getRo(), gm = T1->getGm(), mu = T1->getMu();
    const double RL = parallelR(Ra, Ro);
    const double zout = parallelR(Ra, rho);
    const double gain = -mu * ratioOrZero(RL, rho + RL);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(strFormat("<br><b>%s %s</b>", T1->Reference().c_str(), T1->ModelName().c_str()));
    text.Add("<br>  " + parameterTriple(rho, gm, mu));
    text.Add("<br>Cathode is bypassed by a capacitor.");
    text.Add("<br>  " + fmtResistance("Effective load on T1 anode (Ra||Ro)", 0, RL));
    text.Add("<br>  " + fmtResistance("Output impedance ", 0, zout));
    text.Add(strFormat("<br>  %s  <css=db>%sdB</css>", fmtAmplification("Gain ", 1, gain).c_str(),
                       dbFigure(1, gain).c_str()));
    rs.acReport = text.texte;

    rs.setLabel("LabelVa", strFormat("%.2fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));

    // One column: the anode branch down to the cathode, then the current source under it.
    TVoltageStacks stack;
    stack.Add("Vb", Vb - Vk, kStackRed);
    stack.Add("Vkg", Vk, kStackGreen);
    rs.stacks.push_back(stack);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(1, 1, Va, loc),
                  gridCell(3, 1000, Ia, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(2, 1, Vk, loc),
                  gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk, loc),
                  gridCell(0, 1000, Vb * Ik, loc),
                  gridCell(0, 1000, Vak * Ia, loc),
                  gridCell(0, 1000, Ra * Ik * Ik, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, gain, loc),
                  gridCell(0, 1, zout, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra, 1));
    T1->calculerParamètresIntrinsèques();
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

// C29: a common-cathode stage whose anode feeds back to its grid through Rf, the source reaching
// the grid through Rg.
void solveC29(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Rao = sheet.num("EdRao");
    const double Rg = sheet.num("EdRg");
    const double Rf = sheet.num("EdRf");
    auto T1 = makeTube(rq, "LBtube", "T1");

    const SelfBiasedPoint p = solveSelfBiased(rq, *T1, Vb, Ra, Rk, traces.at(0));
    rs.dcReport = selfBiasedDcReport(rs, *T1, p, Vb, Ra, Rk, rs.ok);

    // AC report: the open-loop stage, then the shunt feedback through Rf.
    TTextResult text("<b>Small signal estimations:</b><br>");
    text.Add("<br><br><b>WITHOUT feedback (Rf ∞):</b>");
    const CommonCathodeGains open = commonCathodeStage(*T1, Ra, Rk, Rao);
    text.Add(open.text);
    const double A0 = open.bypassed;
    const double rho = T1->getRo(), mu = T1->getMu();
    const double RL = parallelR(parallelR(Ra, rho), Rao);
    const double Rp = parallelR(Ra, Rao);
    const double Af = ratioOrZero(A0 * Rf + RL, RL + Rf + Rg - A0 * Rg);
    const double zin = ratioOrZero((Rf + rho + Rg + Rg * mu) * Rp + rho * (Rf + Rg), rho + Rp + mu * Rp);
    const double zout = ratioOrZero(rho * (Rf + Rg), Rf + Rg + rho * (mu + 1));
    text.Add("<br><br><b>WITH feedback through Rf, Rk bypassed:</b>");
    text.Add(strFormat("<br>  %s or %sdB</P>", fmtAmplification("Voltage gain  ", 2, Af).c_str(),
                       dbFigure(1, Af).c_str()));
    text.Add("<br>  " + fmtAmplification("Ratio Rf/Rg ", 2, ratioOrZero(Rf, Rg)));
    text.Add("<br>  " + fmtResistance("Input impedance  ", 0, zin));
    text.Add("<br>  " + fmtResistance("Output impedance ", 0, zout));
    rs.acReport = text.texte;

    selfBiasedLabelsAndStack(rs, p, Vb, Ra, Rk);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Vb - Ra * p.Ia, loc),
                  gridCell(3, 1, Rk * p.Ia, loc),
                  gridCell(1, 1, p.Vak, loc),
                  gridCell(3, 1, p.Vgk, loc),
                  gridCell(3, 1000, p.Ia, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rao, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(0, 1, Rg, loc),
                  gridCell(0, 1, Rf, loc),
                  gridCell(0, 1000, Vb * p.Ia, loc),
                  gridCell(0, 1000, p.Vak * p.Ia, loc),
                  gridCell(0, 1000, Ra * p.Ia * p.Ia, loc),
                  gridCell(1, 1, A0, loc),
                  gridCell(1, 1, Af, loc),
                  gridCell(0, 1, zin, loc),
                  gridCell(0, 1, zout, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

// C32: grid grounded, the signal enters at the cathode; the output is taken at the anode.
void solveC32(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");

    const SelfBiasedPoint p = solveSelfBiased(rq, *T1, Vb, Ra, Rk, traces.at(0));
    rs.dcReport = selfBiasedDcReport(rs, *T1, p, Vb, Ra, Rk, rs.ok);

    // AC report: a non-inverting stage whose input impedance is low.
    T1->calculerParamètresIntrinsèques();
    const double rho = T1->ρ(), gm = T1->gm(), mu = rho * gm;
    const double RL = parallelR(Ra, Ro);
    const double gain = (mu + 1) * ratioOrZero(RL, rho + RL);
    const double zinTube = ratioOrZero(rho + RL, mu + 1);
    const double zin = parallelR(Rk, zinTube);
    const double zout = parallelR(Ra, rho);
    TTextResult text("<b>Small signal estimations:</b><br>");
    text.Add("<br>T1: " + parameterTriple(rho, gm, mu));
    text.Add(strFormat("<br><br>%s  <css=db>%sdB</css>",
                       fmtAmplification("Voltage gain              ", 1, gain).c_str(),
                       dbFigure(1, gain).c_str()));
    text.Add("<br>" + fmtResistance("Input impedance of T1     ", 0, zinTube));
    text.Add("<br>" + fmtResistance("Input impedance (with Rk) ", 0, zin));
    text.Add("<br>" + fmtResistance("Output impedance          ", 0, zout));
    rs.acReport = text.texte;

    selfBiasedLabelsAndStack(rs, p, Vb, Ra, Rk);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(1, 1, Vb - Ra * p.Ia, loc),
                  gridCell(3, 1, Rk * p.Ia, loc),
                  gridCell(1, 1, p.Vak, loc),
                  gridCell(3, 1, p.Vgk, loc),
                  gridCell(3, 1000, p.Ia, loc),
                  gridCell(0, 1000, Vb * p.Ia, loc),
                  gridCell(0, 1000, p.Vak * p.Ia, loc),
                  gridCell(0, 1000, Ra * p.Ia * p.Ia, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, gain, loc),
                  gridCell(0, 1, zin, loc),
                  gridCell(0, 1, zout, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.tubes.push_back(*T1);

    // Bandwidth chain: the common-grid stage, then the output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpTubeGriCom, T1.get(), std::vector<int>{1},
                       std::vector<double>{sheet.num("EdCk"), Rk, Ra, S}, std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, sheet.capacitance("EdCs"), Ro, sheet.capacitance("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}
