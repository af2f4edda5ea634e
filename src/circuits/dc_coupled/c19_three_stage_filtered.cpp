// C19: three common-cathode stages on a filtered supply. T3 is the input stage on the far node, T2
// the middle one and T1 the output stage nearest the supply; each draws from the node after its
// filter resistor, so the node voltages and the stage currents are solved together.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"

namespace {

void solveC19(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 3);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rg1 = sheet.num("EdRg1");
    const double Rg2 = sheet.num("EdRg2");
    const double Ro = sheet.num("EdRo");
    dc_coupled::FilteredStages s = dc_coupled::readFilteredStages(rq, sheet, 3);

    // Operating points, bars, checks, DC report, labels and load lines.
    dc_coupled::solveFilteredStages(s, Vb, traces);
    dc_coupled::filteredDcResults(rq, rs, s, Vb, "T1 / T2 / T3");

    // AC report: each stage loaded by the grid resistor of the next, the output stage by Ro.
    TTextResult text("<b>Small signal estimations:</b><br>");
    text.Add("<br><i>Theoretical because the probability of oscillation is close to 1 unless a shielded and "
             "careful layout is used!</i><br>");
    text.Add(commonCathodeStage(*s.tubes[0], s.Ra[0], s.Rk[0], Ro).text);
    text.Add(commonCathodeStage(*s.tubes[1], s.Ra[1], s.Rk[1], Rg1).text);
    text.Add(commonCathodeStage(*s.tubes[2], s.Ra[2], s.Rk[2], Rg2).text);
    rs.acReport = text.texte;

    // Logged-results row.
    GridRow row(rq);
    row.text("model", s.tubes[0]->ModelName());
    dc_coupled::fillFilteredColumns(row, s, Vb);
    rs.gridRow = row.finish(rs.ok);

    for (auto& T : s.tubes)
        rs.tubes.push_back(*T);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c19ThreeStageFiltered() {
    static const CircuitDef def = defineCircuit({
        .number = 19,
        .title = "3-tube amplifier common-cathode, filtered power supply",
        .tubeCount = 3,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdRa1", "Ra1"},
                          {"EdRk1", "Rk1"},
                          {"EdRa2", "Ra2"},
                          {"EdRk2", "Rk2"},
                          {"EdRa3", "Ra3"},
                          {"EdRk3", "Rk3"},
                          {"EdR1", "R1"},
                          {"EdR2", "R2"},
                          {"EdR3", "R3"},
                          {"EdRg2", "Rg2"},
                          {"EdRg1", "Rg1"},
                          {"EdRo", "Ro"}},
                .captions = {"T1 T2 T3", "T1", "T2", "T3"},
                .resultLabels = {"LabelVk3", "LabelVk2", "LabelVk1", "LabelVa1", "LabelVa2", "LabelVa3",
                                 "LabelVb3", "LabelVb2", "LabelVb1", "LabelItot", "LabelI3", "LabelI2",
                                 "LabelI1"},
            },
        .columns = columnTable({textColumn("model", "T1")}, dc_coupled::filteredColumns(3)),
        .solve = solveC19,
    });
    return def;
}
