// C5: the fixed-bias cathodyne. The grid sits at the fixed voltage Vg and Rk is the whole cathode
// load; the tube must be able to lift its cathode up to the grid.
#include "circuits/cathodynes/cathodynes_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

// The dialog of a tube whose zero-bias current cannot lift the cathode up to the grid voltage.
std::string cannotProvideMinimalCurrent(double Imin, double Vg, double Rk, double Imax0, double Vak0) {
    return strFormat(
               "The circuit cannot be operated normally:\n\nthe tube cannot provide the minimal current\n  "
               "%.0fmA (%.0fV onto %.0fΩ),\n\nbeing itself limited to\n  %.1fmA @ Vgk null and Vak=%.0fV",
               1000 * Imin, Vg, Rk, 1000 * Imax0, Vak0) +
           "\n\nSuggestions:\n- reduce the DC voltage on grid\n- increase the value of Rk2\n- use a tube "
           "able to "
           "deliver more current";
}

void solveC5(const SolveRequest& rq, SolveResult& rs) {
    const SheetValues sheet(rq);
    const double Rk = sheet.num("EdRk");
    if (Rk == 0) {
        rs.dcReport = "<css=error>Resistor(s) cannot be null !</css>";
        rs.ok = false;
        return;
    }
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Vg = sheet.num("EdVg");
    const double Rao = sheet.num("EdRao");
    const double Rko = sheet.num("EdRko");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // The cathode cannot sit below the grid: the tube must give Vg / Rk at zero bias.
    const double Imin = Vg / Rk;
    const double Imax0 = T1->getMaxCurrent(Vb - Vg);
    if (Imax0 < Imin) {
        rs.messages.push_back(cannotProvideMinimalCurrent(Imin, Vg, Rk, Imax0, Vb - Vg));
        rs.ok = false;
        return;
    }

    // Operating point. A search that ran out of passes is shown and the solve goes on with its last
    // point; a circuit the solver rejected before searching has no point at all (the tube would
    // still hold the zero-bias probe above), so that solve stops like the pre-check.
    Traces traces(rq, 1);
    const std::string diagnostic = T1->gridFixedBiasDephaseur(Vb, Vg, Ra, Rk, traces.at(0));
    if (!diagnostic.empty()) {
        rs.messages.push_back(diagnostic);
        if (diagnostic != "Too many iterations") {
            rs.ok = false;
            return;
        }
    }
    const double Ia = T1->Ia(), Vak = T1->Vak(), Vgk = T1->Vgk();
    if (TFormConvergence* trace = traces.at(0))
        trace->caption =
            strFormat("C%d - %s %s Res ±%.0fµA Ia %.2f=>%.2fmA", trace->Tag, T1->Reference().c_str(),
                      T1->ModelName().c_str(), 1e-6 * 1e6, 1000 * Imin, 1000 * Ia);
    const double Va = Vb - Ra * Ia, Vk = Rk * Ia;

    // Two bars, each adding up to the supply: the grid bias supply, then the tube branch.
    TVoltageStacks grid;
    grid.Add("", Vb - Vg, kStackGrey);
    grid.Add("Vg", Vg, kStackPurple);
    rs.stacks.push_back(grid);
    TVoltageStacks branch;
    branch.Add("Ra", Ra * Ia, kStackRed);
    branch.Add("T1", Vak, kStackYellow);
    branch.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(branch);

    // Checks, the load line included.
    bool loadLineOk = true;
    if (Ra + Rk > 0) {
        double Vakmin = 0, Iamax = 0;
        loadLineOk = nkLoadLineNullVgk(T1->constants(), Vb, Ra + Rk, Vakmin, Iamax) &&
                     T1->loadLineOK(Vb, Ra + Rk, Vakmin, Iamax);
    }
    const bool opOk = nkCarries(T1->constants(), Vak, Vgk, Ia, 0);
    const bool vgkOk = Vgk < 0 && Vg < Vk;
    const bool stacksOk = stackCheck(1, Vb, stackSum(branch));

    // DC report. Unlike C2 the report has no supply line: the current drawn is the Ia line itself.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, loadLineOk, opOk, vgkOk, stacksOk, true);
    text.Add("<br><br>" + fmtCurrent("Ia", 1, 1000 * Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vg", 1, Vg));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia, Ra), resistorRecord("Rk", Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // AC report.
    const CathodyneGains gains = cathodynes::smallSignal(*T1, Ra, Rao, Rk, Rko, rs.acReport);

    // Schematic labels.
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelVa", strFormat("%.2fV", Va));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vg", Vg).set("Ra", Ra).set("Va", Va);
    row.set("Rk", Rk).set("Vk", Vk);
    cathodynes::fillTail(row, *T1, Vb, Ra, Rk, Rao, Rko, gains);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(cathodynes::loadLine(*T1, Vb, Ra + Rk));
    rs.tubes.push_back(*T1);

    // Bandwidth chain: the grid resistor goes to the fixed bias, unbootstrapped, in the input two-port.
    cathodynes::runBode(rq, rs, sheet, *T1,
                        {0, sheet.capacitance("EdCg"), sheet.num("EdRg"), 1e-12, 0, 1e-12},
                        {Ra, Rk, 1e12, 0, 1e-12});
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c05FixedBiasCathodyne() {
    static const CircuitDef def = defineCircuit({
        .number = 5,
        .title = "Phase inverter, fixed bias cathodyne",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::PhaseInverter},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdVg", "V"},
                          {"EdRk", "Rk"},
                          {"EdRa", "Ra"},
                          {"EdRao", "Rao"},
                          {"EdRko", "Rko"},
                          {"EdCg", "Cg"},
                          {"EdCao", "Cao"},
                          {"EdCko", "Cko"},
                          {"EdRg", "Rg"},
                          {"EdCa", "Ca"},
                          {"EdCk", "Ck"}},
                .captions = {"T1", "T1"},
                .resultLabels = {"LabelVk", "LabelVa", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "T1"),
                                {"Vb", "Vb (V)"},
                                {"Vg", "Vg (V)", 1},
                                {"Ra", "Ra (Ω)"},
                                {"Va", "Va (V)", 1},
                                {"Rk", "Rk (Ω)"},
                                {"Vk", "Vk (V)", 2}},
                               cathodynes::tailColumns()),
        .bodeLegends = cathodynes::bodeLegends(),
        .feedback = false, // a phase splitter takes no global feedback
        .solve = solveC5,
    });
    return def;
}
