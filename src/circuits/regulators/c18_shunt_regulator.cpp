// C18: the single-triode shunt regulator. R1 feeds the output from Vb; T1 runs from the output down
// to the reference Vref at its cathode, its grid on the divider R2/R3 across the output; Io is the
// load current.
#include "circuits/regulators/regulators_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

using namespace regulators;

constexpr int kMaxPasses = 100000;
constexpr double kTolerance = 1e-5; // A

void solveC18(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1");
    const double R2 = sheet.num("EdR2");
    const double R3 = sheet.num("EdR3");
    const double Vref = sheet.num("EdVref");
    const double Io = sheet.num("EdIo");
    // Null resistors first: with R1 = 0 the drop check below would blame R1 for being too high.
    if (R1 == 0 || R2 == 0 || R3 == 0) {
        stopWithDialog(rs, kNullResistors);
        return;
    }
    if (Vb - R1 * Io < 50) {
        stopWithDialog(
            rs, strFormat("R1 %.0fΩ is too high and/or output current %.0fmA is too high", R1, 1000 * Io));
        return;
    }
    auto T1 = makeTube(rq, "LBtube", "T1");

    // With the load disconnected the shunt takes everything the divider leaves.
    const double Rdiv = R2 + R3;
    const double VoNominal = Rdiv * Vref / R3;
    const double Ishunt = (Vb - VoNominal) / R1 - VoNominal / Rdiv;
    if (Ishunt > T1->getMaxCurrent(VoNominal - Vref)) {
        stopWithDialog(
            rs, strFormat("T1 cannot sink %.1fmA at Vgk null, when load is disconnected", 1000 * Ishunt));
        return;
    }

    // Bisection on the output below its nominal value: the tube sinks what R1 brings beyond the
    // divider and the load; a higher output brings less and opens the tube more.
    Traces traces(rq, 1);
    double Vo = 0, Is = 0, Ia = 0, start = 0;
    const SearchOutcome search = bisect(
        0, VoNominal, kMaxPasses, kTolerance,
        [&](double v, int pass) {
            Vo = v;
            Is = (Vb - Vo) / R1 - Vo / Rdiv - Io;
            T1->CalculerNK(Vo - Vref, Vo * R3 / Rdiv - Vref, Ia);
            if (pass == 1)
                start = Ia;
            tracePoint(traces.at(0), pass, Ia);
            return Is - Ia;
        },
        nullptr, ClosedBracket::MiddleAtAnEnd);
    // A bracket that closed without a balance counts as running out of passes.
    const int passes = search.stalled ? kMaxPasses : search.passes;
    const bool converged = search.converged;
    T1->titleTrace(traces.at(0), passes, kTolerance, start);
    const double Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Idiv = Vo / Rdiv;
    const double Itot = Idiv + Ia + Io;
    const double Vg = Vo * R3 / Rdiv;

    // The one bar adds up to the supply by construction: it is not checked.
    TVoltageStacks stack;
    stack.Add("R1", Vb - Vo, kStackRed);
    stack.Add("T1", Vak, kStackYellow);
    stack.Add("Vref", Vref, kStackGreen);

    // Checks: the tube must sink the needed current with its anode above the reference.
    const bool opOk = Vak > 0 && nkCarries(T1->constants(), Vak, Vgk, Is, 0);
    const bool vgkOk = Vgk < 0;

    TTextResult text(iterationsHeading(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, true, converged);
    addOwnVerdict(text.texte, opOk, "Abnormal T1 operating conditions");
    addOwnVerdict(text.texte, vgkOk, "Vgk(s) positive or null");
    addOwnVerdict(text.texte, converged, "Too many iterations");

    // DC report.
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(strFormat("<br>VREF %.0fV %s %s", Vref, fmtCurrent("", 2, 1000 * Ia).c_str(),
                       fmtPowerMW("P", 0, 1000 * Vref * Ia).c_str()));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    std::vector<TResistor> resistors = {resistorRecord("R1", Itot, R1), resistorRecord("R2", Idiv, R2),
                                        resistorRecord("R3", Idiv, R3)};
    text.Add("<br><br>" + dissipationTable(resistors));
    text.Add(strFormat("<br><br>OUTPUT %s %s %s", fmtVoltage("", 2, Vo).c_str(),
                       fmtCurrent("", 2, 1000 * Io).c_str(), fmtPowerMW("", 0, 1000 * Vo * Io).c_str()));
    text.Add(strFormat("<br>%s %s",
                       fmtCurrent("Max current that T1 can sink (at Vgk null)", 1,
                                  1000 * nkTriodeCurrent(T1->constants(), Vo - Vref, 0))
                           .c_str(),
                       fmtVoltage("at Vo", 2, Vo).c_str()));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: the shunt's own resistance.
    T1->calculerParamètresIntrinsèques();
    text.Add("<b>Small signal analysis</b><br>");
    text.Add(tubeParameterBlock(*T1));
    text.Add("<br>" + fmtResistance("Internal resistance ", 0, T1->ρ()));
    rs.acReport = text.texte;

    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelVg", strFormat("%.2fV", Vg));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));
    rs.stacks = {stack};

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ib", Itot).set("R1", R1).set("R2", R2);
    row.set("R3", R3)
        .set("Vref", Vref)
        .set("Vo", Vo)
        .set("Io", Io)
        .set("Vak", Vak)
        .set("Vgk", Vgk)
        .set("Ia", Ia);
    row.set("Ptot", Vb * Itot).set("PT1", Vak * Ia).set("PR1", R1 * Itot * Itot).set("PR2", R2 * Idiv * Idiv);
    row.set("PR3", R3 * Idiv * Idiv).set("PVref", Vref * Ia).set("Pout", Vo * Io);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb - Vref, R1, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c18ShuntRegulator() {
    static const CircuitDef def = defineCircuit({
        .number = 18,
        .title = "Single triode shunt voltage regulator",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::VoltageRegulator},
        .sheet =
            {
                .edits = {{"EdVb", "EdVb"},
                          {"EdR1", "R1"},
                          {"EdR2", "R2"},
                          {"EdVref", "Vref (V)"},
                          {"EdR3", "R3"},
                          {"EdIo", "Io : output current (A)"}},
                .captions = {"T1"},
                .resultLabels = {"LabelVo", "LabelVg", "LabelIa", "LabelItot"},
            },
        .columns = columnTable({textColumn("model", "T1"),
                                {"Vb", "Vb (V)"},
                                {"Ib", "Ib (mA)", 2, 1000},
                                {"R1", "R1 (Ω)"},
                                {"R2", "R2 (Ω)"},
                                {"R3", "R3 (Ω)"},
                                {"Vref", "Vref (V)", 1},
                                {"Vo", "Vo (V)", 2},
                                {"Io", "Io (mA)", 2, 1000}},
                               tubeColumns("", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PR1", "PR1 (mW)", 0, 1000},
                                {"PR2", "PR2 (mW)", 0, 1000},
                                {"PR3", "PR3 (mW)", 0, 1000},
                                {"PVref", "PVref (mW)", 0, 1000},
                                {"Pout", "Pout (mW)", 0, 1000}}),
        .solve = solveC18,
    });
    return def;
}
