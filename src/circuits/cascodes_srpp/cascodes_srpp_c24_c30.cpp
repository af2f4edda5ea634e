// C24, the SRPP headphone amplifier (three triodes around one output node), and C30, the
// µ-follower: each balances its tubes with a loop of its own.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

using namespace cascodes;

namespace {
double triode(TTube& T, double Vgk, double Vak) {
    double ia;
    T.CalculerNK(Vak, Vgk, ia, 1);
    return ia;
}

constexpr double kTolerance = 1e-6; // A
} // namespace

void solveC24(const SolveRequest& rq, SolveResult& rs) {
    constexpr int kMaxIterations = 999;
    Traces traces(rq, 4);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2");
    const double Rk1 = sheet.num("EdRk1"), Rk2 = sheet.num("EdRk2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");
    auto T3 = makeTube(rq, "LBtube", "T3");

    // Start: T1 alone across the supply, T2 and T3 at half the supply with T1's bias.
    double Vo = Vb / 2;
    T1->basicBiasSuccApprox(Vb, R1 + R2, Rk1, nullptr);
    double I1 = T1->Ia(), vak1 = T1->Vak(), vgk1 = T1->Vgk();
    double I2 = triode(*T2, vgk1, Vo), vak2 = Vo, vgk2 = vgk1;
    double I3 = triode(*T3, vgk2, Vo), vak3 = Vo, vgk3 = vgk2;
    const double start1 = I1, start2 = I2, start3 = I3;
    for (int t = 0; t < 3; ++t)
        tracePoint(traces.at(t), 0, t == 0 ? I1 : t == 1 ? I2 : I3);
    tracePoint(traces.at(3), 0, Vo);

    // The output node as the average of its four estimates: from T3, from R2, from T2's branch
    // and from T1's branch.
    // A node of this passive network stays between ground and the supply; holding the estimate there
    // keeps a diverging first guess from running away to infinity.
    const auto node = [&] {
        const double v =
            0.25 * ((Vb - vak3) + (Vb - (I1 + I2 - I3) * R2) + (vak2 + Rk2 * I2) + (vak1 + (Rk1 + R1) * I1));
        return std::isfinite(v) ? std::clamp(v, 0.0, Vb) : Vb / 2;
    };
    int iterations = 0;
    bool converged = false;
    while (iterations < kMaxIterations && !converged) {
        ++iterations;
        Vo = node();
        vak1 = Vo - (R1 + Rk1) * I1;
        if (vak1 < 30)
            vak1 = 30;
        vgk1 = -Rk1 * I1;
        const double new1 = triode(*T1, vgk1, vak1);
        const double d1 = new1 - I1;
        I1 += d1 / 20;

        Vo = node();
        vak2 = Vo - Rk2 * I2;
        vgk2 = Rk1 * I1 - Rk2 * I2;
        const double new2 = triode(*T2, vgk2, vak2);
        const double d2 = new2 - I2;
        I2 += d2 / 20;

        Vo = node();
        vak3 = Vb - Vo;
        vgk3 = -R1 * I1;
        const double new3 = Vb - Vo > 0.01 ? triode(*T3, vgk3, vak3) : 0;
        const double d3 = new3 - I3;
        I3 += d3 / 20;

        tracePoint(traces.at(0), iterations, new1);
        tracePoint(traces.at(1), iterations, new2);
        tracePoint(traces.at(2), iterations, new3);
        tracePoint(traces.at(3), iterations, Vo);
        converged = std::fabs(d1) < kTolerance && std::fabs(d2) < kTolerance && std::fabs(d3) < kTolerance;
    }
    // The tubes keep their solved points; the settled currents I1, I2, I3 are reported. A cut-off
    // T3 carries nothing.
    triode(*T1, vgk1, vak1);
    triode(*T2, vgk2, vak2);
    if (Vb - Vo > 0.01) {
        triode(*T3, vgk3, vak3);
    } else {
        vak3 = 0;
        I3 = 0;
        triode(*T3, vgk3, vak3);
    }
    T1->titleTrace(traces.at(0), iterations, kTolerance, start1);
    T2->titleTrace(traces.at(1), iterations, kTolerance, start2);
    T3->titleTrace(traces.at(2), iterations, kTolerance, start3);
    if (TFormConvergence* w = traces.at(3))
        w->caption = strFormat("C%d - %d iter. Vo %.2fV", w->Tag, iterations, Vo);
    const double I9 = I1 + I2 - I3; // through R2
    const double Itot = I1 + I2;
    const double Vk1 = Rk1 * I1, Vk2 = Rk2 * I2, Va1 = Vk1 + vak1;

    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(vak1, vgk1, I1, 0, 1);
    const bool op2 = test->checkOP(vak2, vgk2, I2, 0, 1);
    const bool op3 = test->checkOP(vak3, vgk3, I3, 0, 1) || I3 == 0;
    const bool vgkOk = vgk1 <= 0 && vgk2 <= 0 && vgk3 <= 0;
    const bool stacksOk =
        stackCheck(1, Vb, R2 * I9 + R1 * I1 + vak1 + Vk1) && stackCheck(1, Vb, R2 * I9 + vak2 + Vk2);

    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op1 && op2 && op3, vgkOk, stacksOk, converged);
    if (!op1)
        addLineOnce(text.texte, errorLine("Abnormal T1 operating conditions"));
    if (!op2)
        addLineOnce(text.texte, errorLine("Abnormal T2 operating conditions"));
    if (!op3)
        addLineOnce(text.texte, errorLine("Abnormal T3 operating conditions"));
    if (!vgkOk)
        addLineOnce(text.texte, errorLine("Vgk(s) positive"));
    if (!converged)
        addLineOnce(text.texte, errorLine("Too many iterations"));
    if (!stacksOk)
        addLineOnce(text.texte, errorLine("Error on stack voltages"));
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    text.Add(T3->displayOP(1));
    text.Add(strFormat("<br><br>Vo %s", fmtVoltage("", 2, Vo).c_str()));
    text.Add(strFormat("<br>Va1 %s", fmtVoltage("", 2, Va1).c_str()));
    text.Add(strFormat("<br>Vk1 %s", fmtVoltage("", 2, Vk1).c_str()));
    text.Add(strFormat("<br>Vk2 %s", fmtVoltage("", 2, Vk2).c_str()));
    std::vector<TResistor> resistors = {resistorRecord("R1", I1, R1), resistorRecord("R2", I9, R2),
                                        resistorRecord("Rk1", I1, Rk1), resistorRecord("Rk2", I2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelI1", strFormat("%.2fmA", 1000 * I1));
    rs.setLabel("LabelI2", strFormat("%.2fmA", 1000 * I2));
    rs.setLabel("LabelI3", strFormat("%.2fmA", 1000 * I3));
    rs.setLabel("LabelI9", strFormat("%.2fmA", 1000 * I9));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));

    // Two branches below the output node, each under the drop of R2 (and T3 beside it).
    TVoltageStacks branch1;
    branch1.Add("R2", R2 * I9, kStackRed);
    branch1.Add("R1", R1 * I1, kStackRed);
    branch1.Add("T1", vak1, kStackYellow);
    branch1.Add("Rk1", Vk1, kStackGreen);
    rs.stacks.push_back(branch1);
    TVoltageStacks branch2;
    branch2.Add("R2", R2 * I9, kStackRed);
    branch2.Add("T2", vak2, kStackYellow);
    branch2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks.push_back(branch2);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),   T1->ModelName(),          gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Vo, loc), gridCell(1, 1, Va1, loc), gridCell(3, 1, Vk1, loc),
                  gridCell(3, 1, Vk2, loc)};
    const double currents[3] = {I1, I2, I3};
    const double vaks[3] = {vak1, vak2, vak3}, vgks[3] = {vgk1, vgk2, vgk3};
    for (int t = 0; t < 3; ++t) {
        rs.gridRow.push_back(gridCell(1, 1, vaks[t], loc));
        rs.gridRow.push_back(gridCell(3, 1, vgks[t], loc));
        rs.gridRow.push_back(gridCell(3, 1000, currents[t], loc));
    }
    for (const double R : {Rk1, Rk2, R1, R2})
        rs.gridRow.push_back(gridCell(0, 1, R, loc));
    rs.gridRow.push_back(gridCell(0, 1000, Vb * Itot, loc));
    for (int t = 0; t < 3; ++t)
        rs.gridRow.push_back(gridCell(0, 1000, vaks[t] * currents[t], loc));
    rs.gridRow.push_back(gridCell(0, 1000, R1 * I1 * I1, loc));
    rs.gridRow.push_back(gridCell(0, 1000, R2 * I9 * I9, loc));
    rs.gridRow.push_back(gridCell(0, 1000, Rk1 * I1 * I1, loc));
    rs.gridRow.push_back(gridCell(0, 1000, Rk2 * I2 * I2, loc));

    rs.loadLines.push_back(loadLineOf(*T1, Vb, R2 + R1 + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, R2 + Rk2, 2));
    rs.loadLines.push_back(loadLineOf(*T3, Vb, 0, 3));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    rs.tubes.push_back(*T3);
    traces.moveTo(rs);
}

void solveC30(const SolveRequest& rq, SolveResult& rs) {
    constexpr int kMaxOuter = 999, kMaxInner = 1000;
    Traces traces(rq, 3);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa"), Rk1 = sheet.num("EdRk1"), Rk2 = sheet.num("EdRk2");
    const double Rg2 = sheet.num("EdRg2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Bisection on T1's anode V: T1 below it, T2 with Rk2 and Ra above it must carry one current.
    double V = 0.2 * Vb;
    const double seriesR = Rk1 + Rk2 + Ra;
    double I1 = seriesR > 0 ? 0.5 * Vb / seriesR : 1e-3;
    double I2 = I1;
    const double start = I1;
    double lo = 0, hi = Vb;
    tracePoint(traces.at(0), 0, I1);
    tracePoint(traces.at(1), 0, I2);
    tracePoint(traces.at(2), 0, V);
    double vak1 = V, vgk1 = 0;
    int iterations = 0;
    bool converged = false;
    while (iterations < kMaxOuter && !converged) {
        ++iterations;
        V = (lo + hi) / 2;
        for (int inner = 0; inner < kMaxInner; ++inner) {
            vak1 = V - Rk1 * I1;
            if (vak1 < 10)
                vak1 = 10;
            vgk1 = -Rk1 * I1;
            if (vgk1 > 0)
                vgk1 = 0;
            const double Ia = triode(*T1, vgk1, vak1);
            const double d = Ia - I1;
            I1 += d / 20;
            if (std::fabs(d) < kTolerance)
                break;
        }
        I2 = T2->basicBiasSuccApprox(Vb - V, Ra, Rk2, nullptr);
        tracePoint(traces.at(0), iterations, I1);
        tracePoint(traces.at(1), iterations, I2);
        tracePoint(traces.at(2), iterations, V);
        converged = std::fabs(I2 - I1) < kTolerance;
        if (!converged) {
            if (I2 > I1)
                lo = V;
            else
                hi = V;
        }
    }
    triode(*T1, vgk1, vak1);
    const double vak2 = T2->Vak(), vgk2 = T2->Vgk();
    T1->titleTrace(traces.at(0), iterations, kTolerance, start);
    T2->titleTrace(traces.at(1), iterations, kTolerance, start);
    if (TFormConvergence* w = traces.at(2))
        w->caption = strFormat("C%d - Vo=>%.2fV", w->Tag, V);
    const double Va1 = V, Vk1 = Rk1 * I1, Vg2 = V + Ra * I2, Vk2 = V + (Ra + Rk2) * I2;

    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(vak1, vgk1, I1, 0, 1);
    const bool op2 = test->checkOP(vak2, vgk2, I2, 0, 1);
    const bool vgkOk = vgk1 <= 0 && vgk2 <= 0;
    const bool stacksOk = stackCheck(1, Vb, Vk1 + vak1 + (Ra + Rk2) * I2 + vak2);

    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
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
    text.Add(supplyLine(Vb, I1));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    text.Add(strFormat("<br>Vg2 %s", fmtVoltage("", 2, Vg2).c_str()));
    text.Add(strFormat("<br>Vk2 %s", fmtVoltage("", 2, Vk2).c_str()));
    text.Add(strFormat("<br>Va1 %s", fmtVoltage("", 2, Va1).c_str()));
    text.Add(strFormat("<br>Vk1 %s", fmtVoltage("", 2, Vk1).c_str()));
    std::vector<TResistor> resistors = {resistorRecord("Rk1", I1, Rk1), resistorRecord("Ra", I2, Ra),
                                        resistorRecord("Rk2", I2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report from the one-sided derivatives at each tube's point.
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    const double rho1 = T1->getRo(), gm1 = T1->getGm(), mu1 = T1->getMu();
    const double rho2 = T2->getRo(), gm2 = T2->getGm(), mu2 = T2->getMu();
    const double k = mu2 / (mu2 + 1);
    const double acLoad = (Ra + Rk2) / (1 - k);
    const double zin = Rg2 / (1 - k * ratioOrZero(Ra, Ra + Rk2));
    const double zout = ratioOrZero(1, gm1);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(tubeParameters(*T1, rho1, gm1, mu1));
    text.Add(tubeParameters(*T2, rho2, gm2, mu2));
    text.Add("<br><br>" + fmtAmplification("Gain of T2 ~ ", 3, k));
    text.Add(strFormat("<br>AC load seen by T1 ~ %0.1fMΩ", acLoad / 1e6));
    text.Add(strFormat("<br>Input impedance of T1 ~ %0.1fMΩ", zin / 1e6));
    text.Add("<br>" + fmtAmplification("Gain on T1 anode ~ ", 1, mu1));
    text.Add("<br>" + fmtAmplification("Gain on T2 cathode ~ ", 1, mu1 * k));
    text.Add("<br>" + fmtResistance("Output impedance on T2 cathode ~ ", 0, zout));
    rs.acReport = text.texte;

    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelVg2", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * I1));

    TVoltageStacks branch;
    branch.Add("T2", vak2, kStackYellow);
    branch.Add("Rk2", Rk2 * I2, kStackGreen);
    branch.Add("Ra", Ra * I2, kStackRed);
    branch.Add("T1", vak1, kStackYellow);
    branch.Add("Rk1", Vk1, kStackGreen);
    rs.stacks.push_back(branch);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, vak1, loc),
                  gridCell(3, 1, vgk1, loc),
                  gridCell(3, 1000, I1, loc),
                  gridCell(1, 1, vak2, loc),
                  gridCell(3, 1, vgk2, loc),
                  gridCell(3, 1000, I2, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(3, 1, Vk1, loc),
                  gridCell(1, 1, Vg2, loc),
                  gridCell(1, 1, Vk2, loc),
                  gridCell(0, 1, Rk1, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rk2, loc),
                  gridCell(0, 1000, Vb * I1, loc),
                  gridCell(0, 1000, vak1 * I1, loc),
                  gridCell(0, 1000, vak2 * I2, loc),
                  gridCell(0, 1000, Ra * I2 * I2, loc),
                  gridCell(1, 1, mu1, loc),
                  gridCell(1, 1, mu2, loc),
                  gridCell(1, 1, mu1, loc),
                  gridCell(3, 1, k, loc),
                  gridCell(1, 1, mu1 * k, loc),
                  gridCell(0, 1, zout, loc)};

    // Each tube's own line, from the supply to its maximum current.
    rs.loadLines.push_back(loadLineOf(*T1, Vb, 0, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, 0, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}
