// C16: the two-triode serial regulator. The ballast T1 runs from Vb to the output; its grid is fed
// by R1 from Vb and pulled down by the error amplifier T2, whose cathode sits on the reference Vref
// (fed from Vo through R2) and whose grid sits on the divider R3/R4 across the output.
#include "circuits/regulators/regulators_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>

namespace {

using namespace regulators;

constexpr int kMaxPasses = 10000;
constexpr double kTolerance = 0.0001; // V on the ballast's grid

void solveC16(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1");
    const double R2 = sheet.num("EdR2");
    const double R3 = sheet.num("EdR3");
    const double R4 = sheet.num("EdR4");
    const double Vref = sheet.num("EdVref");
    const double Io = sheet.num("EdIo");
    // The reference current flows through R2 and the divider ratio is R4/(R3 + R4).
    if (R2 == 0 || R4 == 0) {
        stopWithDialog(rs, kNullResistors);
        return;
    }
    auto T1 = makeTube(rq, "LBtube1", "T1 Ballast");
    auto T2 = makeTube(rq, "LBtube2", "T2 Amplifier");

    // Can the ballast carry what the nominal output needs?
    const double Rdiv = R3 + R4;
    const double VoNominal = Rdiv * Vref / R4;
    const double Ineeded = (VoNominal - Vref) / R2 + Io + VoNominal / Rdiv;
    const double Imax = T1->getMaxCurrent(Vb - VoNominal);
    if (Ineeded > Imax) {
        stopWithDialog(rs, ballastMessage(Imax, Vb - VoNominal));
        return;
    }

    // Bisection on the output voltage between the reference and the nominal output: the ballast's
    // grid must sit where R1 and the amplifier's current put it. A higher output lifts that grid.
    Traces traces(rq, 3);
    const double k = R4 / Rdiv;
    double Vo = 0, I = 0, Vgk1 = 0, Vg1 = 0, Vak2 = 0, Vgk2 = 0, Ia2 = 0;
    const SearchOutcome search = bisect(
        Vref, Vref / k, kMaxPasses, kTolerance,
        [&](double v, int pass) {
            Vo = v;
            I = Vo / Rdiv + Io + (Vo - Vref) / R2;
            Vgk1 = T1->whichVg(I, Vb - Vo, 0);
            Vg1 = Vo + Vgk1;
            Vak2 = std::max(Vg1 - Vref, 0.0);
            Vgk2 = std::min(k * Vo - Vref, 0.0);
            T2->CalculerNK(Vak2, Vgk2, Ia2);
            tracePoint(traces.at(0), pass, I);
            tracePoint(traces.at(1), pass, Ia2);
            const double VgGiven = Vb - R1 * Ia2;
            return VgGiven - Vo - Vgk1;
        },
        traces.at(2), ClosedBracket::MiddleAtAnEnd);
    // A bracket that closed without a balance counts as running out of passes.
    const int passes = search.stalled ? kMaxPasses : search.passes;
    const bool converged = search.converged;
    // The ballast keeps the point the circuit asks of it: its current at the grid found.
    const double Vak1 = Vb - Vo;
    double Ia1 = 0;
    T1->CalculerNK(Vak1, Vgk1, Ia1);
    T2->CalculerNK(Vak2, Vgk2, Ia2);
    for (int t = 0; t < 2; ++t)
        if (TFormConvergence* w = traces.at(t)) {
            const TTube& T = t == 0 ? *T1 : *T2;
            w->caption = strFormat("C%d - %s %s - %d iter. Ia %.2fmA", w->Tag, T.Reference().c_str(),
                                   T.ModelName().c_str(), passes, 1000 * T.Ia());
        }
    if (TFormConvergence* w = traces.at(2))
        w->caption = strFormat("C%d - %d iter. Vo %.2fV", w->Tag, passes, Vo);

    const double Idiv = Vo / Rdiv;
    const double IR2 = (Vo - Vref) / R2;
    const double Iref = IR2 + Ia2;
    const double Vg1Given = Vb - R1 * Ia2;
    const double Vg2 = k * Vo;
    const double Itot = I + Ia2;

    // Bars: R1, the amplifier and the reference; the ballast's drop, R2 and the reference; the
    // drop above the output. The first is the one the loop leaves to chance.
    TVoltageStacks branch1;
    branch1.Add("", R1 * Ia2, kStackRed);
    branch1.Add("T2", Vak2, kStackYellow);
    branch1.Add("Vref", Vref, kStackGreen);
    TVoltageStacks branch2;
    branch2.Add("T1", Vak1, kStackYellow);
    branch2.Add("", IR2 * R2, kStackRed);
    branch2.Add("Vref", Vref, kStackGreen);
    TVoltageStacks output;
    output.Add("Drop", Vb - Vo, kStackYellow);
    output.Add("Vo", Vo, kStackGreen);

    // Checks: the ballast carries the current the output needs; the amplifier conducts with its
    // anode above the reference.
    auto test = makeTube(rq, "LBtube1", "test");
    const bool op1 = test->checkOP(Vak1, Vgk1, I, 0, 1);
    const bool op2 = Vg1 > Vref && Ia2 > 0;
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(2, Vb, stackSum(branch1));

    TTextResult text(iterationsHeading(rs.title, passes));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
    addOwnVerdict(text.texte, op2, "Abnormal T2 operating conditions");
    addOwnVerdict(text.texte, op1, "Abnormal T1 operating conditions");
    addOwnVerdict(text.texte, stacksOk, "Wrong stacked voltages branch 1");
    addOwnVerdict(text.texte, vgkOk, "Vgk(s) positive or null");
    addOwnVerdict(text.texte, converged, "Too many iterations");

    // DC report.
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia2, R1), resistorRecord("R2", IR2, R2),
                                        resistorRecord("R3", Idiv, R3), resistorRecord("R4", Idiv, R4)};
    text.Add("<br>" + dissipationTable(resistors));
    text.Add(strFormat("<br><br>VREF %.0fV %s %s", Vref, fmtCurrent("", 2, 1000 * Iref).c_str(),
                       fmtPowerMW("P", 0, 1000 * Vref * Iref).c_str()));
    text.Add(strFormat("<br>Vg1 %s", fmtVoltage("", 2, Vg1Given).c_str()));
    text.Add(strFormat("<br>Vg2 %s", fmtVoltage("", 2, Vg2).c_str()));
    text.Add(strFormat("<br><br>OUTPUT %s %s %s", fmtVoltage("", 2, Vo).c_str(),
                       fmtCurrent("", 2, 1000 * Io).c_str(), fmtPowerMW("", 0, 1000 * Vo * Io).c_str()));
    text.Add("<br>" + fmtCurrent("Max output current", 1, 1000 * Imax));
    rs.dcReport = text.texte;
    rs.acReport = kNoSmallSignal;

    // Schematic labels.
    rs.setLabel("LabelVg1", strFormat("%.2fV", Vg1Given));
    rs.setLabel("LabelVg2", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * Itot));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelIref", strFormat("%.2fmA", 1000 * Iref));
    rs.setLabel("LabelIdiv", strFormat("%.2fmA", 1000 * Idiv));
    rs.stacks = {branch1, branch2, output};

    // Logged-results row: both tubes at the points they were last solved at.
    GridRow row(rq);
    row.text("ballast model", T1->ModelName()).text("amplifier model", T2->ModelName());
    row.set("Vb", Vb).set("R1", R1).set("R2", R2).set("R3", R3).set("R4", R4).set("Vref", Vref).set("Vo", Vo);
    row.set("Io", Io).set("Vg1", Vg1Given).set("Vg2", Vg2).tube("1", *T1).tube("2", *T2);
    row.set("Ptot", Vb * Itot).set("PT1", Vak1 * Ia1).set("PT2", Vak2 * Ia2).set("PR1", R1 * Ia2 * Ia2);
    row.set("PR2", R2 * IR2 * IR2).set("PR3", R3 * Idiv * Idiv).set("PR4", R4 * Idiv * Idiv);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, 0, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb - Vref, R1, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c16TwoTriodeRegulator() {
    static const CircuitDef def = defineCircuit({
        .number = 16,
        .title = "Two-triode serial voltage regulator",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube1", kTriode}, {"LBtube2", kTriode}},
        .groups = {LibraryGroup::VoltageRegulator},
        .sheet =
            {
                .edits = {{"EdVb", "Vb : power supply (V)"},
                          {"EdR1", "R1"},
                          {"EdR2", "R2"},
                          {"EdVref", "Vref (V)"},
                          {"EdR3", "R3"},
                          {"EdR4", "R4"},
                          {"EdIo", "Io : output current (A)"}},
                .captions = {"T1 (ballast)", "T2 (error amplifier)"},
                .resultLabels = {"LabelVg1", "LabelVo", "LabelVg2", "LabelIt", "LabelIa2", "LabelIref",
                                 "LabelIdiv"},
            },
        .columns = columnTable({textColumn("ballast model", "T1"),
                                textColumn("amplifier model", "T2"),
                                {"Vb", "Vb (V)"},
                                {"R1", "R1 (Ω)"},
                                {"R2", "R2 (Ω)"},
                                {"R3", "R3 (Ω)"},
                                {"R4", "R4 (Ω)"},
                                {"Vref", "Vref (V)", 1},
                                {"Vo", "Vo (V)", 2},
                                {"Io", "Io (mA)", 2, 1000},
                                {"Vg1", "Vg1 (V)", 2},
                                {"Vg2", "Vg2 (V)", 2}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PR1", "PR1 (mW)", 0, 1000},
                                {"PR2", "PR2 (mW)", 0, 1000},
                                {"PR3", "PR3 (mW)", 0, 1000},
                                {"PR4", "PR4 (mW)", 0, 1000}}),
        .solve = solveC16,
    });
    return def;
}
