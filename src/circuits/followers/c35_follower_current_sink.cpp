// C35: a cathode follower loaded by a current sink. T2 follows its grid at Vg2 with its anode on the
// supply; T1, grid grounded and cathode resistor R1, is the sink under T2's cathode.
#include "circuits/followers/followers_common.h"

#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "model/pair_bias.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kStackBias = 0xFF0000FF; // the grid bias supply

void solveC35(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1");
    const double Ro = sheet.num("EdRo");
    const double Vg2 = sheet.num("EdVg2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Operating point of the pair.
    const int iterations = pairBiasFixedGrid(*T1, *T2, followers::kPairIterations, Vb, Vg2, 0, R1, 0,
                                             traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Vk1 = R1 * Ia1, Va1 = Vk1 + Vak1, Vk2 = Vb - Vak2;

    // The grid bias supply, then the branch of the two tubes and R1; the check adds up the branch.
    TVoltageStacks bias, branch;
    bias.Add("", Vb - Vg2, 0x00000000);
    bias.Add("Vg", Vg2, kStackBias);
    branch.Add("T2", Vak2, kStackYellow);
    branch.Add("T1", Vak1, kStackYellow);
    branch.Add("R1", Vk1, kStackGreen);
    rs.stacks = {bias, branch};

    // Checks. The sink's current is set by R1 alone, so the stack is allowed 3 V of mismatch.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    // The pair solver holds T2's grid at its cathode when Vg2 lies above it: the bias as drawn,
    // Vg2 - Vk2, must not be positive either (a 250 V grid over a 220 V cathode is no follower).
    const bool vgkOk = Vgk1 <= 0 && Vgk2 <= 0 && Vg2 <= Vk2;
    const bool stacksOk = stackCheck(3, Vb, stackSum(branch));
    const bool iterationsOk = iterations < followers::kPairIterations;

    // DC report.
    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", iterations));
    rs.ok = addVerdictsOnce(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, Ia2));
    text.Add("<br><br>" + fmtVoltage("Vg2", 1, Vg2));
    text.Add("<br>" + fmtVoltage("Vk2", 1, Vk2));
    text.Add("<br>" + fmtVoltage("Va1", 1, Va1));
    text.Add("<br>" + fmtVoltage("Vk1", 2, Vk1));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("R1", Ia1, R1)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    const FollowerFigures follower = followerWithSinkStage(*T1, *T2, Ro, 0, R1);
    text.Add(follower.text);
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia2));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vg", Vg2).set("Rk1", R1).set("Va1", Va1);
    row.set("Vk1", Vk1).set("Vk2", Vk2).tube("1", *T1).tube("2", *T2);
    row.set("Ptot", Vb * Ia2).set("PT1", Vak1 * Ia1).set("PT2", Vak2 * Ia2).set("Ro", Ro);
    row.set("Av", follower.gain).set("Zo", follower.zout);
    rs.gridRow = row.finish(rs.ok);

    // Bandwidth chain: input RC, the follower T2 loaded by the sink T1, output RC. A zero
    // coupling capacitor reads as 2 pF here.
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    const auto coupling = [&sheet](const char* name) {
        const double c = sheet.num(name);
        return c == 0 ? 2e-12 : c;
    };
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{0, coupling("EdCg"), sheet.num("EdRg"), 0, 0, 0, S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatFol, T2.get(), std::vector<int>{2}, std::vector<double>{1e12, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(tqpTubePullUpDn, T1.get(), std::vector<int>{3}, std::vector<double>{R1, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{sheet.num("EdRso"), coupling("EdCso"), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c35FollowerCurrentSink() {
    static const CircuitDef def = defineCircuit({
        .number = 35,
        .title = "Cathode-follower with current sink",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::Buffer, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdR1", "R1"},
                          {"EdRo", "Ro"},
                          {"EdRso", "Rso"},
                          {"EdVb", "V"},
                          {"EdVg2", "V"},
                          {"EdCo", "Co"},
                          {"EdCso", "Cso"},
                          {"EdRg", "Rg"},
                          {"EdCg", "Cg"}},
                .captions = {"T1 and T2", "T2", "T1"},
                .resultLabels = {"LabelIa", "LabelVa1", "LabelVk1", "LabelVk2"},
            },
        .columns = columnTable({textColumn("model", "T1 T2"),
                                {"Vb", "Vb (V)"},
                                {"Vg", "Vg (V)", 1},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Va1", "Va1 (V)", 1},
                                {"Vk1", "Vk1 (V)", 2},
                                {"Vk2", "Vk2 (V)", 1}},
                               tubeColumns("1", 1), tubeColumns("2", 1),
                               {{"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"Ro", "Ro (Ω)"},
                                {"Av", "Av", 3},
                                {"Zo", "Zo (Ω)"}}),
        .bodeLegends = {"RC input", "T2", "T1", "RC output", "Overall gain"},
        .solve = solveC35,
    });
    return def;
}
