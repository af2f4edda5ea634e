// C20: two common-cathode stages on a filtered supply. T2 is the input stage on the far node and T1
// the output stage nearest the supply; each draws from the node after its filter resistor, so the
// node voltages and the stage currents are solved together.
#include "circuits/dc_coupled/dc_coupled_common.h"

#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"

namespace {

void solveC20(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rg1 = sheet.num("EdRg1");
    const double Rg2 = sheet.num("EdRg2");
    const double Ro = sheet.num("EdRo");
    dc_coupled::FilteredStages s = dc_coupled::readFilteredStages(rq, sheet, 2);
    TTube& T1 = *s.tubes[0];
    TTube& T2 = *s.tubes[1];

    // Operating points, bars, checks, DC report, labels and load lines.
    dc_coupled::solveFilteredStages(s, Vb, traces);
    dc_coupled::filteredDcResults(rq, rs, s, Vb, "T1 / T2");

    // AC report: T2 loaded by T1's grid resistor, T1 by Ro.
    TTextResult text("<b>Small signal estimations:</b><br>");
    const CommonCathodeGains a1 = commonCathodeStage(T1, s.Ra[0], s.Rk[0], Ro);
    text.Add(a1.text);
    const CommonCathodeGains a2 = commonCathodeStage(T2, s.Ra[1], s.Rk[1], Rg1);
    text.Add(a2.text);
    rs.acReport = text.texte;

    // Logged-results row: its one grid-resistor column is T2's, at the input.
    GridRow row(rq);
    row.text("model", T1.ModelName());
    dc_coupled::fillFilteredColumns(row, s, Vb);
    row.set("Rg2", Rg2).set("Ro", Ro);
    row.set("A1b", a1.bypassed).set("A1u", a1.unbypassed).set("A2b", a2.bypassed).set("A2u", a2.unbypassed);
    rs.gridRow = row.finish(rs.ok);
    rs.tubes.push_back(T1);
    rs.tubes.push_back(T2);

    // Bandwidth chain in signal order: input RC, T2, the RC from T2 to T1, T1, output RC.
    dc_coupled::Chain(rq)
        .input(sheet.num("EdRs"), sheet.capacitance("EdCs"), Rg2, sheet.num("EdCg2"), sheet.num("EdRgs2"),
               sheet.num("EdCgs2"))
        .commonCathode(T2, 2, s.Ra[1], s.Rk[1], sheet.num("EdCk2"))
        .add(tqpInterStage, nullptr, {3},
             {sheet.capacitance("EdCa2"), Rg1, sheet.num("EdRgs1"), sheet.num("EdCgs1")})
        .commonCathode(T1, 4, s.Ra[0], s.Rk[0], sheet.num("EdCk1"))
        .output(sheet.capacitance("EdCa1"), Ro, sheet.num("EdCo"))
        .run(rs);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c20TwoStageFiltered() {
    static const CircuitDef def = defineCircuit({
        .number = 20,
        .title = "2-tube amplifier common-cathode, filtered power supply",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage},
        .sheet =
            {
                .edits = {{"EdVb", "V"},      {"EdRa1", "Ra1"},   {"EdRk1", "Rk1"},   {"EdRa2", "Ra2"},
                          {"EdRk2", "Rk2"},   {"EdR1", "R1"},     {"EdR2", "R2"},     {"EdRg1", "Rg1"},
                          {"EdRo", "Ro"},     {"EdRs", "Rs"},     {"EdCa1", "Ca1"},   {"EdCa2", "Ca2"},
                          {"EdRgs1", "Rgs1"}, {"EdCk1", "Ck1"},   {"EdCk2", "Ck2"},   {"EdRg2", "Rg2"},
                          {"EdCg2", "Cg"},    {"EdCgs2", "Cgs2"}, {"EdRgs2", "Rgs2"}, {"EdCs", "Cs"},
                          {"EdCo", "Co"},     {"EdCgs1", "Cgs1"}},
                .captions = {"T1 T2", "T2", "T1"},
                .resultLabels = {"LabelItot", "LabelVa1", "LabelVa2", "LabelI1", "LabelI2", "LabelVk1",
                                 "LabelVk2", "LabelVb1", "LabelVb2"},
            },
        .columns = columnTable({textColumn("model", "T1")}, dc_coupled::filteredColumns(2),
                               {{"Rg2", "Rg2 (Ω)"},
                                {"Ro", "Ro (Ω)"},
                                {"A1b", "A1b", 1},
                                {"A1u", "A1u", 1},
                                {"A2b", "A2b", 1},
                                {"A2u", "A2u", 1}}),
        .bodeLegends = {"RC input", "T2", "RC T2->T1", "T1", "RC output", "Overall gain"},
        .solve = solveC20,
    });
    return def;
}
