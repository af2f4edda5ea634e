// C11: the balanced dual-triode mixer. Both anodes share Ra, both cathodes Rk; each grid takes one
// input. Both triodes sit at one operating point, each seeing twice the shared resistors.
#include "circuits/mixers/mixers_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

// Small-signal figures of the balanced mixer for a signal on one grid, the other grid at signal
// ground. Both triodes share the anode load RL and, unbypassed, the cathode resistor Rk.
struct BalancedFigures {
    double gainBypassed = 0, zoutBypassed = 0;
    double gainUnbypassed = 0, zoutUnbypassed = 0;
};

BalancedFigures balancedFigures(double rho, double gm, double mu, double RL, double Rk) {
    BalancedFigures f;
    // Bypassed: the idle triode's ρ lies in parallel with the driven one's, so the anode sees
    // RL ∥ ρ/2 and the driven triode's gm works into it.
    f.zoutBypassed = ratioOrZero(RL * rho, 2 * RL + rho);
    f.gainBypassed = -gm * f.zoutBypassed;
    // Unbypassed: the sum I of both anode currents obeys ρ·I = µ·vg − 2(µ + 1)·Rk·I − 2·RL·I, since
    // each triode sees the cathode at Rk·I and the anode at −RL·I. Looking into the joined anodes
    // with both grids quiet, the pair is ρ/2 + (µ + 1)·Rk.
    const double rTubes = rho / 2 + (mu + 1) * Rk;
    f.zoutUnbypassed = ratioOrZero(RL * rTubes, RL + rTubes);
    f.gainUnbypassed = ratioOrZero(-mu * RL, 2 * (RL + Rk) + rho + 2 * mu * Rk);
    return f;
}

void solveC11(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point of one triode under 2·Ra and 2·Rk.
    T1->basicBiasSuccApprox(Vb, 2 * Ra, 2 * Rk, traces.at(0));
    const double Ia = T1->Ia(), Vak = T1->Vak(), Vgk = T1->Vgk();
    const double It = 2 * Ia, Va = Vb - Ra * It, Vk = Rk * It;

    // Voltage stack, supply side first: both currents cross Ra and Rk.
    const TVoltageStacks stack = mixers::branchBar(Ra * It, *T1, "Rk", Vk);
    rs.stacks.push_back(stack);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool vgkOk = Vgk < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(stack));

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, true);
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia));
    text.Add("<br>" + fmtCurrent("Ia2", 2, 1000 * Ia));
    text.Add("<br>" + fmtVoltage("Va", 1, Va));
    text.Add("<br>" + fmtVoltage("Vk", 3, Vk));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", It, Ra), resistorRecord("Rk", It, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    T1->calculerParamètresIntrinsèques();
    const double rho = T1->getRo(), gm = T1->getGm(), mu = rho * gm;
    const double RL = parallelR(Ra, Ro);
    const BalancedFigures f = balancedFigures(rho, gm, mu, RL, Rk);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add("<br>" + mixers::tubeHeading(*T1));
    text.Add("<br>Both tubes operate under identical DC conditions");
    text.Add("<br>  " + parameterTriple(rho, gm, mu));
    text.Add("<br>" + fmtResistance("Effective load on T1 T2 anode (Ra||Ro) ", 0, RL));
    text.Add("<br>  * with BYpassed Rk");
    text.Add("<br>    " + fmtResistance("Output impedance ", 0, f.zoutBypassed));
    text.Add(mixers::gainLine("<br>    ", "Gain ", f.gainBypassed));
    text.Add("<br><br>  * with UNbypassed Rk");
    text.Add("<br>    " + fmtResistance("Output impedance ", 0, f.zoutUnbypassed));
    text.Add(mixers::gainLine("<br>    ", "Gain ", f.gainUnbypassed));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa", strFormat("Va %.1fV", Va));
    rs.setLabel("LabelVk", strFormat("Vk %.2fV", Vk));
    rs.setLabel("LabelIa1", strFormat("%.2fmA", 1000 * Ia));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * It));

    // Logged-results row: T2 is T1's twin at the same point.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra", Ra).set("Rk", Rk).set("Va", Va).set("Vk", Vk);
    mixers::fillTubesAndPowers(row, *T1, *T1, Vb, Ra);
    row.set("Ro", Ro).set("Abyp", f.gainBypassed).set("Zobyp", f.zoutBypassed);
    row.set("Aunbyp", f.gainUnbypassed).set("Zounbyp", f.zoutUnbypassed);
    rs.gridRow = row.finish(rs.ok);

    // Load line of one triode under the doubled resistors; T2 is T1's twin at the same point.
    rs.loadLines.push_back(loadLineOf(*T1, Vb, 2 * (Ra + Rk), 1));
    auto T2 = makeTube(rq, "LBtube", "T2");
    T1->CopyOperatingMode(*T2);
    T2->calculerParamètresIntrinsèques();
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input RC, the mixer stage, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(
        tqpInputGrid, nullptr, std::vector<int>{1},
        std::vector<double>{0, sheet.capacitance("EdCg"), sheet.num("EdRg"), 1e-12, 0, 1e-12, S},
        std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeMixer, T1.get(), std::vector<int>{2},
                       std::vector<double>{Ra, Rk, sheet.num("EdCk"), S}, std::vector<bool>{ignore, true});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, sheet.capacitance("EdCa"), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c11BalancedMixer() {
    static const CircuitDef def = defineCircuit({
        .number = 11,
        .title = "Dual triode mixer, balanced",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::Mixer},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa", "Ra"},
                          {"EdRk", "Rk"},
                          {"EdRo", "Ro"},
                          {"EdCg", "Cg"},
                          {"EdCo", "Co"},
                          {"EdCk", "Ck"},
                          {"EdRg", "Rg"},
                          {"EdCa", "Ca"}},
                .captions = {"T2", "T1"},
                .resultLabels = {"LabelVa", "LabelVk", "LabelIt", "LabelIa1", "LabelIa2"},
            },
        .columns = columnTable({textColumn("model", "T1 & T2"),
                                {"Vb", "Vb (V)"},
                                {"Ra", "Ra (Ω)"},
                                {"Rk", "Rk (Ω)"},
                                {"Va", "Va (V)", 1},
                                {"Vk", "Vk (V)", 3}},
                               mixers::tubesAndPowerColumns(),
                               {{"Ro", "Ro (Ω)"},
                                {"Abyp", "Abyp", 1},
                                {"Zobyp", "Zobyp (Ω)"},
                                {"Aunbyp", "Aunbyp", 1},
                                {"Zounbyp", "Zounbyp (Ω)"}}),
        .bodeLegends = {"RC input", "T1", "RC output", "Overall gain"},
        .solve = solveC11,
    });
    return def;
}
