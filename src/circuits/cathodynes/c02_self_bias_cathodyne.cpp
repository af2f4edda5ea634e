// C2: the self-biased cathodyne. The grid returns through Rg to the junction of the bias resistor
// Rgk and the cathode load Rk, so Rgk alone sets the bias while Ra and Rk carry the same current and
// the anode and cathode outputs swing in opposite phase.
#include "circuits/cathodynes/cathodynes_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

namespace {

void solveC2(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rgk = sheet.num("EdRgk");
    const double Rg = sheet.num("EdRg");
    const double Rk = sheet.num("EdRk");
    const double Rao = sheet.num("EdRao");
    const double Rko = sheet.num("EdRko");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: Rgk is the bias resistor, Ra + Rk the rest of the series load.
    T1->basicBiasSuccApprox(Vb, Ra + Rk, Rgk, traces.at(0));
    const double Ia = T1->Ia(), Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Va = Vb - Ra * Ia, Vk = (Rgk + Rk) * Ia, Vg = Rk * Ia;

    // Voltage stack, supply side first; the check adds up the bars drawn.
    TVoltageStacks stack;
    stack.Add("Ra", Ra * Ia, kStackRed);
    stack.Add("T1", Vak, kStackYellow);
    stack.Add("Rgk", Rgk * Ia, kStackGreen);
    stack.Add("Rk", Rk * Ia, kStackNavy);
    rs.stacks.push_back(stack);

    // Checks.
    const bool opOk = nkCarries(T1->constants(), Vak, Vgk, Ia, 0);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(stack));

    // DC report: the three node voltages as plain figures, then with their text classes.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, true);
    text.Add(supplyLine(Vb, Ia));
    text.Add("<br><br>" + fmtCurrent("Ia", 1, 1000 * Ia));
    text.Add(strFormat("<br>Va %0.2fV", Va));
    text.Add(strFormat("<br>Vk %0.2fV", Vk));
    text.Add(strFormat("<br>Vg %0.2fV", Vg));
    text.Add("<br>" + fmtVoltage("Va", 2, Va));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + fmtVoltage("Vg", 2, Vg));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia, Ra), resistorRecord("Rgk", Ia, Rgk),
                                        resistorRecord("Rk", Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // AC report: Rgk is bypassed, so the cathode output sees Rk; the cathode bootstraps Rg. The
    // cathode gain stays below 1 for any positive load; should it not, Rg is shown unbootstrapped.
    const CathodyneGains gains = cathodynes::smallSignal(*T1, Ra, Rao, Rk, Rko, rs.acReport);
    const double lift = 1 - gains.cathode;
    const double Zin = lift > 0 && std::isfinite(lift) ? Rg / lift : Rg;
    rs.acReport += strFormat("<br><br>Input impedance (Rgk BYpassed) <css=r>%.0f kΩ</css>", Zin / 1000);

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelVg", strFormat("%.2fV", Vg));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra", Ra).set("Rgk", Rgk).set("Rk", Rk);
    row.set("Va", Va).set("Vk", Vk).set("Vg", Vg);
    cathodynes::fillTail(row, *T1, Vb, Ra, Rk, Rao, Rko, gains);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(cathodynes::loadLine(*T1, Vb, Ra + Rgk + Rk));
    rs.tubes.push_back(*T1);

    // Bandwidth chain: the grid resistor is bootstrapped, so it sits in the cathodyne two-port and
    // the input two-port sees an open grid.
    cathodynes::runBode(rq, rs, sheet, *T1, {0, sheet.capacitance("EdCg"), 1e12, 1e-12, 0, 1e-12},
                        {Ra, Rk, Rg, Rgk, sheet.num("EdCgk")});
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c02SelfBiasCathodyne() {
    static const CircuitDef def = defineCircuit({
        .number = 2,
        .title = "Phase inverter, self bias cathodyne",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::Buffer, LibraryGroup::PhaseInverter},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa", "Ra"},
                          {"EdRgk", "Rgk"},
                          {"EdRk", "Rk"},
                          {"EdRko", "Rko"},
                          {"EdRao", "Rao"},
                          {"EdRg", "Rg"},
                          {"EdCko", "Cko"},
                          {"EdCa", "Ca"},
                          {"EdCgk", "Cgk"},
                          {"EdCk", "Ck"},
                          {"EdCg", "Cg"},
                          {"EdCao", "Cao"}},
                .captions = {"T1"},
                .resultLabels = {"LabelVa", "LabelVk", "LabelVg", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "T1"),
                                {"Vb", "Vb (V)"},
                                {"Ra", "Ra (Ω)"},
                                {"Rgk", "Rgk (Ω)"},
                                {"Rk", "Rk (Ω)"},
                                {"Va", "Va (V)", 1},
                                {"Vk", "Vk (V)", 3},
                                {"Vg", "Vg (V)", 3}},
                               cathodynes::tailColumns()),
        .bodeLegends = cathodynes::bodeLegends(),
        .feedback = false, // a phase splitter takes no global feedback
        .solve = solveC2,
    });
    return def;
}
