// C28: the totem-pole split-load phase splitter. T2 (self-biased by Rk2) sits above the output
// node Vo; below it the current divides into Ra1 to T1's anode and Rok to T1's cathode, and Rk1
// carries both to ground. A bisection on Vo balances T2's current against T1's plus Rok's.
#include "circuits/catalogue.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"

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

constexpr int kMaxOuterPasses = 999;
constexpr int kMaxInnerPasses = 1000;
constexpr double kInnerDamping = 20;
constexpr double kTolerance = 1e-6; // A

struct TotemPoint {
    double Vo = 0, I1 = 0, I2 = 0, Iok = 0;
    double Vak1 = 0, Vgk1 = 0;
};

// Damped fixed point of T1's current for a given output voltage; updates I1 and the point's Iok,
// Vak1 and Vgk1. Rok + Rk1 = 0 shorts the output node: a tiny resistance keeps the sums finite.
void solveLowerTube(TTube& T1, double Vo, double Ra1, double Rk1, double Rok, TotemPoint& p) {
    const double toCathode = std::max(Rok + Rk1, 1e-9);
    dampedFixedPoint(p.I1, kMaxInnerPasses, kInnerDamping, kTolerance, [&](double I1) {
        p.Iok = (Vo - Rk1 * I1) / toCathode;
        p.Vak1 = std::max(Vo - Ra1 * I1 - Rk1 * (I1 + p.Iok), 10.0);
        p.Vgk1 = std::min(-Rk1 * (I1 + p.Iok), 0.0) + 0.0; // + 0.0: a zero bias is 0, not -0
        double Ia = 0;
        T1.CalculerNK(p.Vak1, p.Vgk1, Ia);
        return Ia;
    });
}

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

    // Bisection on the output node: a higher Vo starves T2 and feeds T1 and Rok. A bracket that
    // closes without a balance counts as running out of passes.
    const SearchOutcome search = bisect(
        0, Vb, kMaxOuterPasses, kTolerance,
        [&](double Vo, int pass) {
            p.Vo = Vo;
            solveLowerTube(*T1, Vo, Ra1, Rk1, Rok, p);
            p.I2 = T2->basicBiasSuccApprox(Vb - Vo, Ra2, Rk2);
            tracePoint(traces.at(0), pass, p.I1);
            tracePoint(traces.at(1), pass, p.I2);
            return p.I2 - p.I1 - p.Iok;
        },
        traces.at(2));
    const int passes = search.stalled ? kMaxOuterPasses : search.passes;
    const double Vo = p.Vo, I1 = p.I1, I2 = p.I2, Iok = p.Iok;
    const double Vak1 = T1->Vak(), Vgk1 = T1->Vgk(), Ia1 = T1->Ia();
    const double Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Va2 = Vb - Ra2 * I2, Vk2 = Vo + Rk2 * I2, Va1 = Vo - Ra1 * I1, Vk1 = (I1 + Iok) * Rk1;
    for (int i = 0; i < 2; ++i)
        (i == 0 ? *T1 : *T2).titleTrace(traces.at(i), passes, kTolerance, i == 0 ? start1 : start2);
    if (TFormConvergence* node = traces.at(2))
        node->caption = strFormat("C%d - Vo=%.1fV - %d iter.", node->Tag, Vo, passes);

    // Two bars, both under T2: the branch through T1 and the branch through Rok.
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

    // Checks.
    auto test1 = makeTube(rq, "LBtube", "test1");
    auto test2 = makeTube(rq, "LBtube", "test2");
    const bool op1 = test1->checkOP(Vak1, Vgk1, Ia1, 0, 1);
    const bool op2 = test2->checkOP(Vak2, Vgk2, I2, 0, 1);
    const bool vgkOk = Vgk1 <= 0 && Vgk2 <= 0;
    const bool stackT1 = stackCheck(1, Vb, stackSum(throughT1));
    const bool stackRok = stackCheck(1, Vb, stackSum(throughRok));
    const bool iterationsOk = search.converged && passes < kMaxOuterPasses;

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

    // Logged-results row: the tubes' currents are the balanced branch currents.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Va2", Va2).set("Vk2", Vk2).set("Vo", Vo);
    row.set("Va1", Va1).set("Vk1", Vk1).set("Iok", Iok);
    row.set("Vak1", Vak1).set("Vgk1", Vgk1).set("Ia1", I1).set("Vak2", Vak2).set("Vgk2", Vgk2).set("Ia2", I2);
    row.set("Ra1", Ra1).set("Ra2", Ra2).set("Rk1", Rk1).set("Rk2", Rk2).set("Rok", Rok);
    row.set("Ptot", Vb * I2).set("PT1", Vak1 * I1).set("PT2", Vak2 * I2).set("PRa1", Ra1 * I1 * I1);
    row.set("PRa2", Ra2 * I2 * I2).set("PRk1", Rk1 * (I1 + Iok) * (I1 + Iok)).set("PRk2", Rk2 * I2 * I2);
    row.set("PRok", Rok * Iok * Iok);
    rs.gridRow = row.finish(rs.ok);

    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c28TotemPoleSplitter() {
    static const CircuitDef def = defineCircuit({
        .number = 28,
        .title = "Totem pole split load phase splitter after Lumacraft",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::CascodeLike, LibraryGroup::PhaseInverter},
        .sheet =
            {
                .edits = {{"EdVb", "EdVb"},
                          {"EdRa2", "Ra2"},
                          {"EdRa1", "Ra1"},
                          {"EdRk2", "Rk2"},
                          {"EdRok", "Rok"},
                          {"EdRk1", "Rk1"}},
                .captions = {"T1 and T2", "T1", "T2"},
                .resultLabels = {"LabelItot", "LabelVa2", "LabelVo", "LabelVk1", "LabelVa1", "LabelVk2",
                                 "LabelIa1", "LabelIok", "LabelIa2"},
            },
        .columns = columnTable({textColumn("model", "Tubes"),
                                {"Vb", "Vb (V)"},
                                {"Va2", "Va2", 1},
                                {"Vk2", "Vk2", 1},
                                {"Vo", "Vo (V)", 1},
                                {"Va1", "Va1", 1},
                                {"Vk1", "Vk1", 2},
                                {"Iok", "Iok", 3, 1000}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ra1", "Ra1 (Ω)"},
                                {"Ra2", "Ra2 (Ω)"},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Rok", "Rok"},
                                {"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa1", "PRa1 (mW)", 0, 1000},
                                {"PRa2", "PRa2 (mW)", 0, 1000},
                                {"PRk1", "PRk1 (mW)", 0, 1000},
                                {"PRk2", "PRk2 (mW)", 0, 1000},
                                {"PRok", "PRok (mW)", 0, 1000}}),
        .solve = solveC28,
    });
    return def;
}
