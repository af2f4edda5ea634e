// C28: the totem-pole split-load phase splitter. T2 (self-biased by Rk2) sits above the output
// node Vo; below it the current divides into Ra1 to T1's anode and Rok to T1's cathode, and Rk1
// carries both to ground. A bisection on Vo balances T2's current against T1's plus Rok's.
#include "circuits/cathodynes/cathodynes_solvers.h"
#include "circuits/solver_common.h"

#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxOuterPasses = 999;
constexpr int kMaxInnerPasses = 1000;
constexpr double kTolerance = 1e-6; // A

struct TotemPoint {
    double Vo = 0, I1 = 0, I2 = 0, Iok = 0;
    double Vak1 = 0, Vgk1 = 0;
    int passes = 0; // outer passes run; kMaxOuterPasses when no balance was found
};

// Damped fixed point of T1's current for a given output voltage; updates I1 and the point's Iok,
// Vak1 and Vgk1. Rok + Rk1 = 0 shorts the output node: a tiny resistance keeps the sums finite.
void solveLowerTube(TTube& T1, double Vo, double Ra1, double Rk1, double Rok, TotemPoint& p) {
    const double toCathode = std::max(Rok + Rk1, 1e-9);
    for (int k = 0; k < kMaxInnerPasses; ++k) {
        p.Iok = (Vo - Rk1 * p.I1) / toCathode;
        p.Vak1 = std::max(Vo - Ra1 * p.I1 - Rk1 * (p.I1 + p.Iok), 10.0);
        p.Vgk1 = std::min(-Rk1 * (p.I1 + p.Iok), 0.0) + 0.0; // + 0.0: no "-0.000" cells
        double Ia = 0;
        T1.CalculerNK(p.Vak1, p.Vgk1, Ia);
        p.I1 += (Ia - p.I1) / 20;
        if (std::fabs(Ia - p.I1) < kTolerance)
            break;
    }
}

} // namespace

void solveC28(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 3); // T1, T2, the output node
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Rok = sheet.num("EdRok");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Starting point.
    TotemPoint p;
    p.Vo = 0.2 * Vb;
    const double sumR = Rk1 + Ra1 + Rk2 + Ra2;
    p.I2 = sumR > 0 ? 0.5 * Vb / sumR : 0;
    p.Iok = Rok > 0 ? p.Vo / Rok : 0;
    // A tube carries no negative current: starting at or above zero, the damped updates towards
    // the tube's current never take I1 below zero, even with T1 cut off.
    p.I1 = std::max(p.I2 - p.Iok, 0.0);
    const double start1 = p.I1, start2 = p.I2;
    tracePoint(traces.at(0), 0, start1);
    tracePoint(traces.at(1), 0, start2);
    tracePoint(traces.at(2), 0, p.Vo);

    // Bisection on the output node: a higher Vo starves T2 and feeds T1 and Rok.
    double lo = 0, hi = Vb;
    bool balanced = false;
    while (p.passes < kMaxOuterPasses) {
        ++p.passes;
        p.Vo = (lo + hi) * 0.5;
        solveLowerTube(*T1, p.Vo, Ra1, Rk1, Rok, p);
        p.I2 = T2->basicBiasSuccApprox(Vb - p.Vo, Ra2, Rk2);
        tracePoint(traces.at(0), p.passes, p.I1);
        tracePoint(traces.at(1), p.passes, p.I2);
        tracePoint(traces.at(2), p.passes, p.Vo);
        const double excess = p.I2 - p.I1 - p.Iok;
        if (std::fabs(excess) < kTolerance) {
            balanced = true;
            break;
        }
        if (excess > 0)
            lo = p.Vo;
        else
            hi = p.Vo;
        // Once the bracket has closed every further pass repeats this one: no balance exists.
        if ((lo + hi) * 0.5 == p.Vo) {
            p.passes = kMaxOuterPasses;
            break;
        }
    }
    const double Vo = p.Vo, I1 = p.I1, I2 = p.I2, Iok = p.Iok;
    const double Vak1 = T1->Vak(), Vgk1 = T1->Vgk(), Ia1 = T1->Ia();
    const double Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Va2 = Vb - Ra2 * I2, Vk2 = Vo + Rk2 * I2, Va1 = Vo - Ra1 * I1, Vk1 = (I1 + Iok) * Rk1;
    for (int i = 0; i < 2; ++i)
        (i == 0 ? *T1 : *T2).titleTrace(traces.at(i), p.passes, kTolerance, i == 0 ? start1 : start2);
    if (TFormConvergence* node = traces.at(2))
        node->caption = strFormat("C%d - Vo=%.1fV - %d iter.", node->Tag, Vo, p.passes);

    // Checks.
    auto test1 = makeTube(rq, "LBtube", "test1");
    auto test2 = makeTube(rq, "LBtube", "test2");
    const bool op1 = test1->checkOP(Vak1, Vgk1, Ia1, 0, 1);
    const bool op2 = test2->checkOP(Vak2, Vgk2, I2, 0, 1);
    const bool vgkOk = Vgk1 <= 0 && Vgk2 <= 0;
    const double upper = Vak2 + (Rk2 + Ra2) * I2;
    const bool stackT1 = stackCheck(1, Vb, Vk1 + Ra1 * I1 + Vak1 + upper);
    const bool stackRok = stackCheck(1, Vb, Vk1 + Rok * Iok + upper);
    const bool iterationsOk = balanced && p.passes < kMaxOuterPasses;

    // DC report: the shared verdict lines, then the circuit's own unless already written.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stackT1 && stackRok, iterationsOk);
    const auto own = [&text](bool good, const char* message) {
        if (!good)
            addLineOnce(text.texte, errorLine(message));
    };
    own(stackT1, "Error on stack voltages through T1+Ra1+Rk1");
    own(stackRok, "Error on stack voltages through Rok+Rk1");
    own(op1, "Abnormal T1 operating conditions");
    own(op2, "Abnormal T2 operating conditions");
    own(vgkOk, "Vgk positive");
    own(iterationsOk, "Too many iterations");
    text.Add(supplyLine(Vb, I2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add("<br>" + T2->displayOP(1));
    text.Add("<br>Va2 " + fmtVoltage("", 2, Va2));
    text.Add("<br>Vk2 " + fmtVoltage("", 2, Vk2));
    text.Add("<br>Vo " + fmtVoltage("", 2, Vo));
    text.Add("<br>Va1 " + fmtVoltage("", 2, Va1));
    text.Add("<br>Vk1 " + fmtVoltage("", 2, Vk1));
    std::vector<TResistor> resistors = {resistorRecord("Ra2", I2, Ra2), resistorRecord("Rk2", I2, Rk2),
                                        resistorRecord("Ra1", I1, Ra1), resistorRecord("Rk1", I1 + Iok, Rk1),
                                        resistorRecord("Rok", Iok, Rok)};
    text.Add("<br><br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.2fV", Va2));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelIa1", strFormat("%.2fmA", 1000 * I1));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * I2));
    rs.setLabel("LabelIok", strFormat("%.2fmA", 1000 * Iok));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * I2));

    // Two bars: the branch through T1 and the branch through Rok, both under T2.
    TVoltageStacks throughT1, throughRok;
    for (TVoltageStacks* s : {&throughT1, &throughRok}) {
        s->Add("Ra2", Ra2 * I2, kStackRed);
        s->Add("T2", Vak2, kStackYellow);
        s->Add("Rk2", Rk2 * I2, kStackGreen);
    }
    throughT1.Add("Ra1", Ra1 * I1, kStackRed);
    throughT1.Add("T1", Vak1, kStackYellow);
    throughT1.Add("Rk1", Vk1, kStackNavy);
    throughRok.Add("Rok", Rok * Iok, kStackOlive);
    throughRok.Add("Rk1", Vk1, kStackNavy);
    rs.stacks.push_back(throughT1);
    rs.stacks.push_back(throughRok);

    // Logged-results row.
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Va2, loc),
                  gridCell(1, 1, Vk2, loc),
                  gridCell(1, 1, Vo, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(2, 1, Vk1, loc),
                  gridCell(3, 1000, Iok, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, I1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, I2, loc),
                  gridCell(0, 1, Ra1, loc),
                  gridCell(0, 1, Ra2, loc),
                  gridCell(0, 1, Rk1, loc),
                  gridCell(0, 1, Rk2, loc),
                  gridCell(0, 1, Rok, loc),
                  gridCell(0, 1000, Vb * I2, loc),
                  gridCell(0, 1000, Vak1 * I1, loc),
                  gridCell(0, 1000, Vak2 * I2, loc),
                  gridCell(0, 1000, Ra1 * I1 * I1, loc),
                  gridCell(0, 1000, Ra2 * I2 * I2, loc),
                  gridCell(0, 1000, Rk1 * (I1 + Iok) * (I1 + Iok), loc),
                  gridCell(0, 1000, Rk2 * I2 * I2, loc),
                  gridCell(0, 1000, Rok * Iok * Iok, loc)};

    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}
