// C17: the single-triode serial regulator. The ballast's anode is on Vb, its grid on the reference
// Vref (fed from Vb through R), and its cathode is the output carrying Io.
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

constexpr int kMaxPasses = 1000;
constexpr double kTolerance = 1e-6; // A

void solveC17(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R = sheet.num("EdR");
    const double Vref = sheet.num("EdVref");
    const double Io = sheet.num("EdIo");
    if (R == 0) {
        stopWithDialog(rs, "Resistor \"R\" cannot be null!");
        return;
    }
    if (Vb < Vref + 50) {
        stopWithDialog(rs, "Vb and Vref are too close!");
        return;
    }
    auto T1 = makeTube(rq, "LBtube", "T1");
    const double Imax = T1->getMaxCurrent(Vb - Vref);
    if (Imax < Io) {
        stopWithDialog(rs, ballastMessage(Imax, Vb - Vref));
        return;
    }

    // Bisection on the output between the reference and the supply: the ballast must carry exactly
    // the load current, and a higher output (a deeper grid bias) lets it carry less.
    Traces traces(rq, 1);
    double Vo = 0, Ia = 0;
    const SearchOutcome search = bisect(
        Vref, Vb, kMaxPasses, kTolerance,
        [&](double v, int pass) {
            Vo = v;
            T1->CalculerNK(Vb - Vo, Vref - Vo, Ia);
            tracePoint(traces.at(0), pass, Ia);
            return Ia - Io;
        },
        nullptr, ClosedBracket::MiddleAtAnEnd);
    // A bracket that closed without a balance counts as running out of passes.
    const int passes = search.stalled ? kMaxPasses : search.passes;
    const bool converged = search.converged;
    T1->titleTrace(traces.at(0), passes, kTolerance, Io);
    const double Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Iref = (Vb - Vref) / R; // the grid draws nothing from the reference
    const double Itot = Ia + Iref;

    // Bars: the reference's feed, the ballast above the load. Both add up to the supply by
    // construction, so neither is checked.
    TVoltageStacks reference;
    reference.Add("", Vb - Vref, kStackRed);
    reference.Add("Vref", Vref, kStackGreen);
    TVoltageStacks output;
    output.Add("T1", Vak, kStackYellow);
    output.Add("Load", Vo, kStackGreen);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Io, 0, 1);
    const bool vgkOk = Vgk < 0;

    TTextResult text(iterationsHeading(rs.title, passes));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, true, converged);
    addOwnVerdict(text.texte, opOk, "Abnormal T1 operating conditions");
    addOwnVerdict(text.texte, vgkOk, "Vgk(s) positive or null");
    addOwnVerdict(text.texte, converged, "Too many iterations");

    // DC report.
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("R", Iref, R)};
    text.Add("<br>" + dissipationTable(resistors));
    text.Add(strFormat("<br>VREF %.0fV %s %s", Vref, fmtCurrent("", 2, 1000 * Iref).c_str(),
                       fmtPowerMW("P", 0, 1000 * Vref * Iref).c_str()));
    text.Add(strFormat("<br><br>OUTPUT %s %s %s", fmtVoltage("", 2, Vo).c_str(),
                       fmtCurrent("", 2, 1000 * Io).c_str(), fmtPowerMW("", 0, 1000 * Vo * Io).c_str()));
    text.Add("<br>" + fmtCurrent("Max output current", 1, 1000 * Imax));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: the output is the ballast's cathode with its grid held, a follower's output
    // impedance.
    T1->calculerParamètresIntrinsèques();
    text.Add("<b>Small signal analysis</b><br>");
    text.Add(tubeParameterBlock(*T1));
    const double conductance = T1->gm() + (T1->ρ() > 0 ? 1 / T1->ρ() : 0);
    const double Zout = conductance > 0 ? 1 / conductance : 0;
    text.Add("<br>" + fmtResistance("Output impedance ", 0, Zout));
    rs.acReport = text.texte;

    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.stacks = {reference, output};

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName())
        .set("Vb", Vb)
        .set("R", R)
        .set("Vref", Vref)
        .set("Vo", Vo)
        .set("Io", Io);
    row.set("Vak", Vak).set("Vgk", Vgk).set("Ia", Ia);
    row.set("Ptot", Vb * Itot).set("PT1", Vak * Ia).set("PR", R * Iref * Iref).set("PVref", Vref * Iref);
    row.set("Pout", Vo * Io);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, 0, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c17SeriesRegulator() {
    static const CircuitDef def = defineCircuit({
        .number = 17,
        .title = "Single triode serial voltage regulator",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::VoltageRegulator},
        .sheet =
            {
                .edits = {{"EdVb", "EdVb"},
                          {"EdR", "R"},
                          {"EdVref", "Vref (V)"},
                          {"EdIo", "Io : output current (A)"}},
                .captions = {"T1"},
                .resultLabels = {"LabelVo"},
            },
        .columns = columnTable({textColumn("model", "T1"),
                                {"Vb", "Vb (V)"},
                                {"R", "R (Ω)"},
                                {"Vref", "Vref (V)", 1},
                                {"Vo", "Vo (V)", 2},
                                {"Io", "Io (mA)", 2, 1000}},
                               tubeColumns("", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PR", "PR (mW)", 0, 1000},
                                {"PVref", "PVref (mW)", 0, 1000},
                                {"Pout", "Pout (mW)", 0, 1000}}),
        .solve = solveC17,
    });
    return def;
}
