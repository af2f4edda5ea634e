// C3: the cathode follower with fixed grid bias. The grid sits at a fixed DC voltage, the anode on
// the supply and the cathode resistor Rk to ground; the cathode settles a bias above the grid.
#include "circuits/followers/followers_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

namespace {

void solveC3(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 1);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Vg = sheet.num("EdVg");
    const double Rk = sheet.num("EdRk");
    const double Ro = sheet.num("EdRo");
    if (Rk == 0) {
        rs.dcReport = followers::kNullResistor;
        rs.ok = false;
        return;
    }
    auto T1 = makeTube(rq, "LBtube", "T1");

    // Operating point: a bisection on the cathode voltage.
    const std::string message = T1->basicFollower(Vb, Vg, Rk, traces.at(0));
    if (!message.empty())
        rs.messages.push_back(message);
    followers::titleFollowerTrace(traces.at(0), *T1);
    const double Ia = T1->Ia(), Vak = T1->Vak(), Vgk = T1->Vgk();
    const double Vk = Rk * Ia;

    // Voltage stack, supply side first; the check adds up the bars drawn.
    TVoltageStacks stack;
    stack.Add("T1", Vak, kStackYellow);
    stack.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(stack);

    // Checks. A follower may sit at Vgk = 0; a point the bias solver gave up on is no point.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = message.empty() && test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool vgkOk = Vgk <= 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(stack));

    // DC report.
    TTextResult text(reportHeader(rs.title));
    rs.ok = addVerdictsOnce(text.texte, true, opOk, vgkOk, stacksOk, true);
    text.Add(supplyLine(Vb, Ia, "<br>  "));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia));
    text.Add("<br>" + fmtVoltage("Vg", 1, Vg));
    text.Add("<br>" + fmtVoltage("Vk", 2, Vk));
    text.Add("<br>" + T1->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Rk", Ia, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    const FollowerFigures follower = cathodeFollowerStage(*T1, Ro, Rk);
    text.Add(follower.text);
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vg", Vg).set("Rk", Rk).set("Vk", Vk).tube("", *T1);
    row.set("Ptot", Vb * Ia).set("PT1", Vak * Ia).set("PRk", Rk * Ia * Ia).set("Ro", Ro);
    row.set("Gain", follower.gain).set("Zo", follower.zout);
    rs.gridRow = row.finish(rs.ok);

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Rk, 1));
    rs.tubes.push_back(*T1);

    // Bandwidth chain: input RC, the follower, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{0, sheet.capacitance("EdCg"), sheet.num("EdRg"), 0, 0, 0, S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatFol, T1.get(), std::vector<int>{2}, std::vector<double>{Rk, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{sheet.num("EdRs"), sheet.capacitance("EdCs"), Ro, sheet.num("EdCo"), S},
        std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c03CathodeFollower() {
    static const CircuitDef def = defineCircuit({
        .number = 3,
        .title = "Cathode-follower, fixed bias",
        .tubeCount = 1,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::Buffer},
        .sheet =
            {
                .edits = {{"EdVb", "V"},
                          {"EdVg", "V"},
                          {"EdRk", "Rk"},
                          {"EdRo", "Ro"},
                          {"EdRg", "Rg"},
                          {"EdCs", "Cs"},
                          {"EdRs", "Rs"},
                          {"EdCo", "Co"},
                          {"EdCg", "Cg"}},
                .captions = {"T1"},
                .resultLabels = {"LabelVk", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "T1"),
                                {"Vb", "Vb (V)"},
                                {"Vg", "Vg (V)", 1},
                                {"Rk", "Rk (Ω)"},
                                {"Vk", "Vk (V)", 2}},
                               tubeColumns("", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PRk", "PRk (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"Gain", "Gain", 3},
                                {"Zo", "Zo (Ω)"}}),
        .bodeLegends = {"RC input", "T1", "RC output", "Overall gain"},
        .solve = solveC3,
    });
    return def;
}
