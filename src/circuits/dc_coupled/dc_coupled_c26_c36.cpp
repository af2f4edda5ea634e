// C26, the CCDA line amplifier (a gain stage DC-coupled to a cathode follower whose return shares
// the first stage's cathode resistor), and C36, the pentode common-cathode stage.
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
#include <tuple>

using namespace dc_coupled;

// C26: T1 common cathode (Ra, Rk1); T2 follows T1's anode, its cathode returning through Rk2 + Rk3
// to the top of Rk1, so Rk1 carries both currents. Both currents settle by a slow damped update.
void solveC26(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Rk3 = sheet.num("EdRk3");
    const double Rf = Rk2 + Rk3;
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Start: T1 as if Rk1 carried twice its current, T2 at T1's point.
    double I1 = T1->basicBiasSuccApprox(Vb, Ra, 2 * Rk1);
    double I2 = 0;
    T2->CalculerNK(T1->Vak(), T1->Vgk(), I2);
    const double start1 = I1, start2 = I2;
    tracePoint(traces.at(0), 0, I1);
    tracePoint(traces.at(1), 0, I2);
    constexpr int kMaxIterations = 999;
    int iterations = 0;
    bool converged = false;
    while (iterations < kMaxIterations) {
        ++iterations;
        double ia = 0;
        T1->CalculerNK(Vb - Ra * I1 - (I1 + I2) * Rk1, 0.0 - Rk1 * (I1 + I2), ia); // +0 without Rk1
        const double d1 = ia - I1;
        I1 += d1 / 200;
        const double Vk1 = (I1 + I2) * Rk1;
        T2->CalculerNK(Vb - I2 * Rf - Vk1, (Vb - Ra * I1) - Rf * I2 - Vk1, ia);
        const double d2 = ia - I2;
        I2 += d2 / 200;
        tracePoint(traces.at(0), iterations, I1);
        tracePoint(traces.at(1), iterations, I2);
        if (std::fabs(d1) < 1e-6 && std::fabs(d2) < 1e-6) {
            converged = true;
            break;
        }
    }
    T1->titleTrace(traces.at(0), iterations, 1e-6, start1);
    T2->titleTrace(traces.at(1), iterations, 1e-6, start2);
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double It = Ia1 + Ia2;
    const double Va1 = Vb - Ra * Ia1, Vk1 = Rk1 * It;
    const double Vk2 = Vk1 + Rf * Ia2, Vk12 = Vk1 + Rk3 * Ia2;

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(Vak1, Vgk1, Ia1, 0, 1);
    const bool op2 = test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk =
        stackCheck(1, Vb, Ra * Ia1 + Vak1 + Vk1) && stackCheck(1, Vb, Vak2 + Rf * Ia2 + Vk1);

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = addVerdictsOnce(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
    if (!op1)
        addLineOnce(text.texte, errorLine("Abnormal T1 operating conditions"));
    if (!op2)
        addLineOnce(text.texte, errorLine("Abnormal T2 operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk positive"));
    if (!converged)
        addLineOnce(text.texte, errorLine("Too many iterations"));
    if (!stacksOk)
        addLineOnce(text.texte, errorLine("Error on stack voltages"));
    text.Add(supplyLine(Vb, It));
    text.Add(strFormat("<br><br>Va1 %s", fmtVoltage("", 1, Va1).c_str()));
    text.Add(strFormat("<br>Vk1 %s", fmtVoltage("", 2, Vk1).c_str()));
    text.Add(strFormat("<br>Vk2 %s", fmtVoltage("", 2, Vk2).c_str()));
    text.Add(strFormat("<br>Vk12 %s", fmtVoltage("", 2, Vk12).c_str()));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia1, Ra), resistorRecord("Rk1", It, Rk1),
                                        resistorRecord("Rk2", Ia2, Rk2), resistorRecord("Rk3", Ia2, Rk3)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * It));
    rs.setLabel("LabelI1", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelI2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelVk12", strFormat("%.1fV", Vk12));

    TVoltageStacks stack1, stack2;
    stack1.Add("Ra", Ra * Ia1, kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Vk1, kStackGreen);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Rk2 * Ia2, kStackNavy);
    stack2.Add("Rk3", Rk3 * Ia2, kStackPurple);
    stack2.Add("Rk1", Vk1, kStackGreen);
    rs.stacks = {stack1, stack2};

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(2, 1, Vk1, loc),
                  gridCell(1, 1, Vk2, loc),
                  gridCell(1, 1, Vk12, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rk1, loc),
                  gridCell(0, 1, Rk2, loc),
                  gridCell(0, 1, Rk3, loc),
                  gridCell(0, 1000, Vb * It, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, Ra * Ia1 * Ia1, loc),
                  gridCell(0, 1000, Rk1 * It * It, loc),
                  gridCell(0, 1000, Rk2 * Ia2 * Ia2, loc),
                  gridCell(0, 1000, Rk3 * Ia2 * Ia2, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Rf + Rk1, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

// C36: a pentode with its screen held at Vek above the cathode; the cathode resistor carries the
// anode and screen currents. The anode current is found by narrowing a bracket in 10 µA steps.
void solveC36(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa") == 0 ? 1 : sheet.num("EdRa");
    const double Rk = sheet.num("EdRk") == 0 ? 1 : sheet.num("EdRk");
    const double Vek = sheet.num("EdVek");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point.
    const double startIa = T1->CalculerNKpentode(Vb, 0, Vek);
    const double startIe = T1->Ie();
    const double I0 = 0.5 * Vb / (Ra + Rk);
    double lo = 0.1 * I0, hi = 2 * I0;
    TFormConvergence* traceA = traces.at(0);
    TFormConvergence* traceS = traces.at(1);
    tracePoint(traceA, 0, startIa);
    tracePoint(traceS, 0, startIe);
    constexpr int kMaxIterations = 500;
    constexpr double kStep = 1e-5;
    // The bias the cathode resistor gives with the anode current I and the screen current at that
    // very bias: Vgk + Rk·(I + Ie(Vgk)) rises with Vgk, so one bisection finds it. (Taking the
    // screen current of the previous bias instead swings the bias back and forth for a tube whose
    // screen current is steep.)
    const auto cathodeBias = [&](double I) {
        double lo = -Rk * (I + T1->CalculerEcranPentode(0, Vek)), hi = 0;
        for (int n = 0; n < 200 && hi - lo > 1e-9; ++n) {
            const double mid = (lo + hi) * 0.5;
            if (mid + Rk * (I + T1->CalculerEcranPentode(mid, Vek)) > 0)
                hi = mid;
            else
                lo = mid;
        }
        return (lo + hi) * 0.5;
    };
    double Vgk = 0, Ia = 0, Ie = 0, I = 0;
    int iterations = 0;
    bool converged = false;
    while (iterations < kMaxIterations) {
        ++iterations;
        I = (lo + hi) * 0.5;
        Vgk = cathodeBias(I);
        double Vak = Vb - Ra * I + Vgk;
        if (Vak < 10) {
            Vak = 10;
            I = (Vb + Vgk - 10) / Ra;
        }
        Vak = std::min(Vak, Vb);
        Ia = T1->CalculerNKpentode(Vak, Vgk, Vek);
        Ie = T1->Ie();
        tracePoint(traceA, iterations, Ia);
        tracePoint(traceS, iterations, Ie);
        if (Ia - I > kStep)
            lo += kStep;
        else if (Ia - I < -kStep)
            hi -= kStep;
        else {
            converged = true;
            break;
        }
    }
    for (auto [trace, label, first, last] :
         {std::tuple{traceA, "Ia", startIa, Ia}, std::tuple{traceS, "Ie", startIe, Ie}})
        if (trace)
            trace->caption = strFormat("C%d - %s %s - %d iter. Res ±%.0fµA %s %.2f=>%.2fmA", trace->Tag,
                                       T1->Reference().c_str(), T1->ModelName().c_str(), iterations,
                                       kStep * 1e6, label, 1000 * first, 1000 * last);
    const double Vak = T1->Vak();
    const double Ik = Ia + Ie;
    // The anode sits Vak above the cathode (below the supply by Ra·Ia once the search has settled).
    const double Vk = Rk * Ik, Va = Vak + Vk, Vs = Vk + Vek;
    // The screen resistor that drops the supply to the screen voltage; none when no screen current.
    const double Rg2 = ratioOrZero(Vb - Vek + Vgk, Ie);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, Vek, 1);
    // The branch as the search last built it (the anode current agrees with I to 10 µA).
    const bool stacksOk = stackCheck(1, Vb, Ra * I + Vak - Vgk);

    // DC report.
    TTextResult text(strFormat("<b>%s</b><br>%d iterations", rs.title.c_str(), iterations));
    rs.ok = verdicts(text.texte, true, opOk, Vgk < 0, stacksOk, converged);
    text.Add(supplyLine(Vb, Ik));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia));
    text.Add("<br>" + fmtCurrent("Is", 2, 1000 * Ie));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vs", 1, Vs));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia, Ra), resistorRecord("Rg2", Ie, Rg2),
                                        resistorRecord("Rk", Ik, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: a pentode's gain is its transconductance times the load. The stage inverts like
    // every common-cathode stage of the system, so the gain is printed and logged as -gm·RL (the
    // magnitude and the decibels are those of gm·RL). The load line starts a line of its own (an
    // upper-case "<BR>" would vanish as an unknown tag and run it into the parameter line).
    T1->calculerParamètresIntrinsèques();
    const double RL = parallelR(Ra, Ro);
    const double gain = -T1->gm() * RL;
    const double zout = parallelR(Ra, T1->ρ());
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(strFormat("<br><b>%s %s</b>", T1->Reference().c_str(), T1->ModelName().c_str()));
    text.Add(tubeParameterLine(*T1, false));
    text.Add("<br>" + fmtResistance("AC load ", 0, RL));
    text.Add("<br>  * if BYpassed cathode resistor:");
    text.Add(strFormat("<br>    %s   <css=db>%sdB</css>", fmtAmplification("gain ", 1, gain).c_str(),
                       dbFigure(1, gain).c_str()));
    rs.acReport = text.texte;

    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVe", strFormat("%.1fV", Vs));
    rs.setLabel("LabelRe", strFormat("%.0fko", Rg2 / 1000));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelI", strFormat("%.2fmA", 1000 * Ia));

    TVoltageStacks anode, screen;
    anode.Add("Ra", Ra * I, kStackRed);
    anode.Add("T1", Vak, kStackYellow);
    anode.Add("Rk", -Vgk, kStackGreen);
    screen.Add("Rg2", Rg2 * Ie, kStackNavy);
    screen.Add("Vs", Vek, kStackYellow);
    screen.Add("Rk", -Vgk, kStackGreen);
    rs.stacks = {anode, screen};

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Vek, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rg2, loc),
                  gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk, loc),
                  gridCell(1, 1, T1->Vek(), loc),
                  gridCell(3, 1000, Ia, loc),
                  gridCell(3, 1000, Ie, loc),
                  gridCell(0, 1000, Vb * Ik, loc),
                  gridCell(0, 1000, Vak * Ia, loc),
                  gridCell(0, 1000, Vek * Ie, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, gain, loc),
                  gridCell(0, 1, zout, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.tubes.push_back(*T1);

    // Bandwidth chain: input RC, the stage, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), sheet.capacitance("EdCs"), sheet.num("EdRg"),
                                           sheet.num("EdCg"), sheet.num("EdRgs"), sheet.num("EdCgs"), S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{Ra, Rk, sheet.num("EdCk"), S}, std::vector<bool>{ignore, true});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, sheet.capacitance("EdCa"), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}
