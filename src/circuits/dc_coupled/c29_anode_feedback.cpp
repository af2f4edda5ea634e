// C29: a common-cathode stage with local feedback: its anode feeds back to its grid through Rf, the
// source reaching the grid through Rg.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "markup/formatters.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "util/format.h"

namespace {

void solveC29(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Rao = sheet.num("EdRao");
    const double Rg = sheet.num("EdRg");
    const double Rf = sheet.num("EdRf");
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point, bar, checks, DC report and labels: Rf carries no DC.
    const dc_coupled::SelfBiasedPoint p = dc_coupled::solveSelfBiased(rq, rs, *T1, Vb, Ra, Rk, traces.at(0));
    dc_coupled::selfBiasedReport(rs, *T1, p, Vb, Ra, Rk);

    // AC report: the open-loop stage, then the shunt feedback through Rf.
    TTextResult text("<b>Small signal estimations:</b><br>");
    text.Add("<br><br><b>WITHOUT feedback (Rf ∞):</b>");
    const CommonCathodeGains open = commonCathodeStage(*T1, Ra, Rk, Rao);
    text.Add(open.text);
    const double A0 = open.bypassed;
    const double rho = T1->getRo(), mu = T1->getMu();
    const double RL = parallelR(parallelR(Ra, rho), Rao);
    const double Rp = parallelR(Ra, Rao);
    const double Af = ratioOrZero(A0 * Rf + RL, RL + Rf + Rg - A0 * Rg);
    const double zin = ratioOrZero((Rf + rho + Rg + Rg * mu) * Rp + rho * (Rf + Rg), rho + Rp + mu * Rp);
    const double zout = ratioOrZero(rho * (Rf + Rg), Rf + Rg + rho * (mu + 1));
    text.Add("<br><br><b>WITH feedback through Rf, Rk bypassed:</b>");
    text.Add(strFormat("<br>  %s or %sdB</P>", fmtAmplification("Voltage gain  ", 2, Af).c_str(),
                       dbFigure(1, Af).c_str()));
    text.Add("<br>  " + fmtAmplification("Ratio Rf/Rg ", 2, ratioOrZero(Rf, Rg)));
    text.Add("<br>  " + fmtResistance("Input impedance  ", 0, zin));
    text.Add("<br>  " + fmtResistance("Output impedance ", 0, zout));
    rs.acReport = text.texte;

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Va", Vb - Ra * p.Ia).set("Vk", Rk * p.Ia);
    row.tube("1", *T1).set("Ra", Ra).set("Rao", Rao).set("Rk", Rk).set("Rg", Rg).set("Rf", Rf);
    row.set("Ptot", Vb * p.Ia).set("PT1", p.Vak * p.Ia).set("PRa", Ra * p.Ia * p.Ia);
    row.set("Ao", A0).set("Avf", Af).set("Zin", zin).set("Zout", zout);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk, 1));
    rs.tubes.push_back(*T1);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c29AnodeFeedback() {
    static const CircuitDef def = defineCircuit({
        .number = 29,
        .title = "Amplifier with local feedback anode to grid",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdRg", "Rg"},
                          {"EdRk", "Rk"},
                          {"EdRao", "Rao"},
                          {"EdRf", "Rf"},
                          {"EdRa", "Ra"},
                          {"EdVb", "Vb"}},
                .captions = {"T1"},
                .resultLabels = {"LabelIa", "LabelVa", "LabelVk"},
            },
        .columns =
            columnTable({textColumn("model", "Tube"), {"Vb", "Vb (V)"}, {"Va", "Va", 1}, {"Vk", "Vk", 3}},
                        tubeColumns("1", 1),
                        {{"Ra", "Ra (Ω)"},
                         {"Rao", "Rao (Ω)"},
                         {"Rk", "Rk (Ω)"},
                         {"Rg", "Rg (Ω)"},
                         {"Rf", "Rf (Ω)"},
                         {"Ptot", "Ptot (mW)", 0, 1000},
                         {"PT1", "PT1 (mW)", 0, 1000},
                         {"PRa", "PRa (mW)", 0, 1000},
                         {"Ao", "Ao", 1},
                         {"Avf", "Avf", 1},
                         {"Zin", "Zin (Ω)"},
                         {"Zout", "Zout (Ω)"}}),
        .solve = solveC29,
    });
    return def;
}
