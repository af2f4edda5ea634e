// C27: the Janus cascode shunt regulator. Ra runs from Vb to the output Vo, which feeds the load Io,
// the divider R1/R2 and the two stacked triodes: T2 (upper) with its grid on the divider tap, T1
// (lower) with the cathode resistor Rk.
#include "circuits/regulators/regulators_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

namespace {

using namespace regulators;

constexpr int kMaxPasses = 4000;
constexpr double kDamping = 10;
constexpr double kTolerance = 1e-6; // A

void solveC27(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double R1 = sheet.num("EdR1");
    const double R2 = sheet.num("EdR2");
    const double Rk = sheet.num("EdRk");
    const double Io = sheet.num("EdIo");
    const double Rdiv = R1 + R2;
    if (Rdiv == 0 || Rdiv + Ra == 0) {
        stopWithDialog(rs, kNullResistors);
        return;
    }
    Traces traces(rq, 2);
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // The output node: Ra carries the load, the tubes' current I and the divider's, and the
    // divider's current follows the output. Both are taken together (a node equation) rather
    // than one from the other, which swings apart whenever Ra exceeds R1 + R2.
    const double k = R2 / Rdiv;
    const auto outputFor = [&](double I) { return (Vb - (Io + I) * Ra) * Rdiv / (Rdiv + Ra); };

    // The shared current moves twice a pass, a tenth of the way to each tube's current in turn; it
    // ends when it no longer moves and both tubes pull it alike. Two targets a pass and a test on
    // both steps: not a single damped fixed point, so the loop stays inline.
    double I = Io / 2;
    const double start = I;
    double Vgk1 = -Rk * I, Vgk2 = -Rk * I;
    double Vo = outputFor(I), Vak1 = 0, Vak2 = 0, Ia1 = 0, Ia2 = 0;
    tracePoint(traces.at(0), 0, I);
    tracePoint(traces.at(1), 0, I);
    bool converged = false;
    int passes = 0;
    while (passes < kMaxPasses) {
        const double before = I;
        // Lower tube: its anode is the upper tube's cathode, below T2's grid by its bias.
        Vo = outputFor(I);
        Vak1 = k * Vo - Vgk2 - Rk * I;
        Vgk1 = -Rk * I;
        T1->CalculerNK(Vak1, Vgk1, Ia1);
        const double d1 = (Ia1 - I) / kDamping;
        I += d1;
        // Upper tube: the grid that passes I at what the output leaves above T1.
        Vo = outputFor(I);
        Vak2 = Vo - Vak1 - Rk * Ia1;
        Vgk2 = T2->whichVg(I, Vak2, 0);
        T2->CalculerNK(Vak2, Vgk2, Ia2);
        const double d2 = (Ia2 - I) / kDamping;
        I += d2;
        ++passes;
        if (!std::isfinite(I)) // a load far beyond any supply: the currents overflow
            break;
        tracePoint(traces.at(0), passes, Ia1);
        tracePoint(traces.at(1), passes, Ia2);
        if (std::fabs(I - before) < kTolerance && std::fabs(d1 - d2) < 5e-6) {
            converged = true;
            break;
        }
    }
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    T2->titleTrace(traces.at(1), passes, kTolerance, start);
    Vo = outputFor(I);
    const double Idiv = Vo / Rdiv;
    const double Itot = Io + I + Idiv;
    const double Vk = Rk * I;
    const double Va1 = Vk + Vak1;
    const double Vg2 = k * Vo;

    // Bars: the drop above the output, then Ra over the two tubes and their cathode resistor.
    TVoltageStacks output;
    output.Add("Drop", Vb - Vo, kStackRed);
    output.Add("Vo", Vo, kStackGreen);
    TVoltageStacks tubes;
    tubes.Add("", Ra * Itot, kStackRed);
    tubes.Add("T2", Vak2, kStackYellow);
    tubes.Add("T1", Vak1, kStackYellow);
    tubes.Add("Rk", Vk, kStackGreen);

    // Checks. The search stops on corrections a tenth of the current mismatch, so a settled tube
    // may still differ from the shared current by about 10 µA: each tube is checked against the
    // search's own resolution rather than the 10 µA of a direct solve.
    auto test = makeTube(rq, "LBtube", "test");
    constexpr double kSettled = 3e-5;
    const auto settled = [&](double vak, double vgk) {
        return vak > 0 && std::fabs(test->current(vgk, vak, 0) - I) < kSettled;
    };
    const bool op1 = settled(Vak1, Vgk1);
    const bool op2 = settled(Vak2, Vgk2);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(tubes));

    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
    addOwnVerdict(text.texte, op1, "Abnormal T1 operating conditions");
    addOwnVerdict(text.texte, op2, "Abnormal T2 operating conditions");
    addOwnVerdict(text.texte, vgkOk, "Vgk positive");
    addOwnVerdict(text.texte, converged, "Too many iterations");
    addOwnVerdict(text.texte, stacksOk, "Error on stack voltages");

    // DC report. Yields: the share of the supply's power and current that reaches the load.
    const double powerYield = Vb * Itot != 0 ? 100 * Vo * Io / (Vb * Itot) : 0;
    const double currentYield = Itot != 0 ? 100 * Io / Itot : 0;
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>Yield:");
    text.Add(strFormat("<br> - output power Vo.Io %s (%.0f%%)", fmtPowerMW("", 0, 1000 * Vo * Io).c_str(),
                       powerYield));
    text.Add(strFormat("<br> - output current Io %s (%.0f%%)", fmtCurrent("", 2, 1000 * Io).c_str(),
                       currentYield));
    text.Add(strFormat("<br> - voltage drop %s", fmtVoltage("", 2, Vb - Vo).c_str()));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    text.Add(strFormat("<br><br>Vo %s", fmtVoltage("", 2, Vo).c_str()));
    text.Add(strFormat("<br>Io %s", fmtCurrent("", 2, 1000 * Io).c_str()));
    text.Add(strFormat("<br>Vg2 %s", fmtVoltage("", 2, Vg2).c_str()));
    text.Add(strFormat("<br>Va1 %s", fmtVoltage("", 2, Va1).c_str()));
    text.Add(strFormat("<br>Vk %s", fmtVoltage("", 2, Vk).c_str()));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Itot, Ra), resistorRecord("R1", Idiv, R1),
                                        resistorRecord("R2", Idiv, R2), resistorRecord("Rk", I, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    rs.acReport = kNoSmallSignal;

    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelVg2", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));
    rs.stacks = {output, tubes};

    // Logged-results row: each tube at the point it was last solved at.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Itot", Itot).set("Vo", Vo).set("Io", Io);
    row.set("V1", Va1).set("V2", Vg2).set("Vk", Vk);
    row.set("Vak1", Vak1)
        .set("Vgk1", Vgk1)
        .set("Ia1", Ia1)
        .set("Vak2", Vak2)
        .set("Vgk2", Vgk2)
        .set("Ia2", Ia2);
    row.set("Ra", Ra).set("R1", R1).set("R2", R2).set("Rk", Rk);
    row.set("Ptot", Vb * Itot).set("PT1", Vak1 * Ia1).set("PT2", Vak2 * Ia2).set("PRa", Ra * Itot * Itot);
    row.set("PRk", Rk * I * I).set("PR1", R1 * Idiv * Idiv).set("PR2", R2 * Idiv * Idiv);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Ra, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c27JanusShuntRegulator() {
    static const CircuitDef def = defineCircuit({
        .number = 27,
        .title = "Janus cascode shunt regulator after Lumacraft",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::CascodeLike, LibraryGroup::VoltageRegulator},
        .sheet =
            {
                .edits = {{"EdVb", "EdVb"},
                          {"EdRa", "Ra"},
                          {"EdR2", "R2"},
                          {"EdR1", "R1"},
                          {"EdRk", "Rk"},
                          {"EdIo", "Io : output current (A)"}},
                .captions = {"T1 and T2", "T2", "T1"},
                .resultLabels = {"LabelVo", "LabelVk", "LabelVg2", "LabelItot", "LabelIa2", "LabelVa1"},
            },
        .columns = columnTable({textColumn("model", "Tubes"),
                                {"Vb", "Vb (V)"},
                                {"Itot", "Itot", 2, 1000},
                                {"Vo", "Vo (V)", 2},
                                {"Io", "Io", 2, 1000},
                                {"V1", "V1 (V)", 2},
                                {"V2", "V2 (V)", 2},
                                {"Vk", "Vk (V)", 3}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ra", "Ra (Ω)"},
                                {"R1", "R1 (Ω)"},
                                {"R2", "R2 (Ω)"},
                                {"Rk", "Rk (Ω)"},
                                {"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa", "PRa (mW)", 0, 1000},
                                {"PRk", "PRk (mW)", 0, 1000},
                                {"PR1", "PR1 (mW)", 0, 1000},
                                {"PR2", "PR2 (mW)", 0, 1000}}),
        .solve = solveC27,
    });
    return def;
}
