// C32: the common-grid amplifier. The grid is grounded, the signal enters at the cathode and the
// output is taken at the anode: a non-inverting stage with a low input impedance.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "markup/formatters.h"
#include "solver/distortion.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "util/format.h"

namespace {

void solveC32(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point, bar, checks, DC report and labels.
    const dc_coupled::SelfBiasedPoint p = dc_coupled::solveSelfBiased(rq, rs, *T1, Vb, Ra, Rk, traces.at(0));
    dc_coupled::selfBiasedReport(rs, *T1, p, Vb, Ra, Rk);

    // AC report.
    T1->calculerParamètresIntrinsèques();
    const double rho = T1->ρ(), gm = T1->gm(), mu = rho * gm;
    const double RL = parallelR(Ra, Ro);
    const double gain = (mu + 1) * ratioOrZero(RL, rho + RL);
    const double zinTube = ratioOrZero(rho + RL, mu + 1);
    const double zin = parallelR(Rk, zinTube);
    const double zout = parallelR(Ra, rho);
    TTextResult text("<b>Small signal estimations:</b><br>");
    text.Add("<br>T1: " + parameterTriple(rho, gm, mu));
    text.Add("<br><br>" + fmtAmplification("Voltage gain              ", 1, gain) + dbTail("  ", 1, gain));
    text.Add("<br>" + fmtResistance("Input impedance of T1     ", 0, zinTube));
    text.Add("<br>" + fmtResistance("Input impedance (with Rk) ", 0, zin));
    text.Add("<br>" + fmtResistance("Output impedance          ", 0, zout));
    const GainStageDrive drive{.Vgk0 = p.Vgk, .Vak0 = p.Vak, .Ia0 = p.Ia, .load = RL, .cathodeInput = true};
    rs.distortion = gainStageDistortion(*T1, drive, rq.thdLevel);
    text.Add("<br>" + distortionLine(*rs.distortion));
    rs.acReport = text.texte;

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Ra", Ra).set("Rk", Rk);
    row.set("Va", Vb - Ra * p.Ia).set("Vk", Rk * p.Ia).tube("", *T1);
    row.set("Ptot", Vb * p.Ia).set("PT1", p.Vak * p.Ia).set("PRa", Ra * p.Ia * p.Ia).set("Ro", Ro);
    row.set("Gain", gain).set("Zin", zin).set("Zout", zout);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.tubes.push_back(*T1);

    // Bandwidth chain: the common-grid stage, then the output RC.
    dc_coupled::Chain(rq)
        .add(tqpTubeGriCom, T1.get(), {1}, {sheet.num("EdCk"), Rk, Ra})
        .output(sheet.capacitance("EdCs"), Ro, sheet.capacitance("EdCo"))
        .run(rs);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c32CommonGrid() {
    static const CircuitDef def = defineCircuit({
        .number = 32,
        .title = "Common-grid amplifier",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRk", "Rk"},
                          {"EdRa", "Ra"},
                          {"EdRo", "Ro"},
                          {"EdCs", "Cs"},
                          {"EdCo", "Co"},
                          {"EdCk", "Ck"}},
                .captions = {"T1"},
                .resultLabels = {"LabelIa", "LabelVa", "LabelVk"},
            },
        .columns = columnTable({textColumn("model", "T1"),
                                {"Vb", "Vb (V)"},
                                {"Ra", "Ra (Ω)"},
                                {"Rk", "Rk (Ω)"},
                                {"Va", "Va (V)", 1},
                                {"Vk", "Vk (V)", 3}},
                               tubeColumns("", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PRa", "PRa (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"Gain", "Gain", 1},
                                {"Zin", "Zin (Ω)"},
                                {"Zout", "Zout (Ω)"}}),
        .bodeLegends = {"T1 gain", "RC output", "Overall gain"},
        .solve = solveC32,
    });
    return def;
}
