// C31: the cascode SRPP+. T2 sits on T1's anode, self-biased by its cathode resistance split in R1
// and R2; the output is taken between them.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "markup/formatters.h"
#include "model/pair_bias.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

using namespace cascodes;

namespace {

constexpr int kMaxIterations = 1000;

// "<br>Tn: ρ~   gm~  => µ~" from the one-sided derivatives at the solved point.
std::string srppPlusTubeLine(TTube& T, double rho, double gm) {
    return "<br>" + T.Reference() + ": " + parameterTriple(rho, gm, rho * gm, "g<SUB>m</SUB>~");
}

// "<br>label gain xdB"; a null gain (Ro = R2 = 0 shorts the output) has no decibel figure.
std::string gainWithDb(const char* label, double gain) {
    return "<br>" + fmtAmplification(label, 1, gain + 0.0) + dbTail(" ", 1, gain);
}

void solveC31(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rk = sheet.num("EdRk"), R1 = sheet.num("EdR1"), R2 = sheet.num("EdR2"),
                 Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // T2 biased by R1 + R2; the output is taken between them.
    const int iterations =
        pairBiasSelfBiased(*T1, *T2, kMaxIterations, Vb, Rk, R1 + R2, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Ia2 = T2->Ia();
    const double Vk1 = Rk * Ia1;
    const double Va1 = Vk1 + T1->Vak();
    const double Vm = Va1 + R2 * Ia2;
    const double Vk2 = Va1 + (R1 + R2) * Ia2;

    // Voltage stack, supply side first.
    TVoltageStacks branch;
    branch.Add("T2", T2->Vak(), kStackYellow);
    branch.Add("R1", R1 * Ia2, kStackRed);
    branch.Add("R2", R2 * Ia2, kStackRed);
    branch.Add("T1", T1->Vak(), kStackYellow);
    branch.Add("Rk", Rk * Ia1, kStackGreen);
    rs.stacks.push_back(branch);

    // DC report, the checks first.
    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", iterations));
    rs.ok = pairVerdicts(text.texte, rq, *T1, *T2, Vb, branch, 2, iterations < kMaxIterations);
    text.Add(supplyLine(Vb, Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia", 2, 1000 * Ia1));
    text.Add(voltageLine("Vk1", Vk1));
    text.Add(voltageLine("Va1", Va1));
    text.Add(voltageLine("Vo", Vm));
    text.Add(voltageLine("Vk2", Vk2));
    text.Add(pairOperatingPoints(*T1, *T2));
    std::vector<TResistor> resistors = {resistorRecord("Rk", Ia1, Rk), resistorRecord("R1", Ia2, R1),
                                        resistorRecord("R2", Ia2, R2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: averaged ρ and µ of the two tubes.
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    const double rho1 = T1->getRo(), gm1 = T1->getGm(), rho2 = T2->getRo(), gm2 = T2->getGm();
    const double rho = (rho1 + rho2) / 2, mu = (rho1 * gm1 + rho2 * gm2) / 2;
    const double gainBypassed = mu * (2 * Ro + R2) / (2 * Ro + R2 + rho);
    const double gainUnbypassed = mu * (2 * Ro + R2) / (2 * Ro + R2 + rho + (mu + 1) * Rk);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(srppPlusTubeLine(*T1, rho1, gm1));
    text.Add(srppPlusTubeLine(*T2, rho2, gm2));
    text.Add(strFormat("<br>Average for calculating: %s   %s", fmtResistance("ρ~", 0, rho).c_str(),
                       fmtAmplification("µ~", 1, mu).c_str()));
    text.Add("<br>" + gainWithDb("Gain, Rk bypassed   ", gainBypassed));
    text.Add(gainWithDb("Gain, Rk UNbypassed ", gainUnbypassed));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vm));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));

    // Logged-results row.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).tube("1", *T1).tube("2", *T2);
    row.set("Va1", Va1)
        .set("Vk1", Vk1)
        .set("Vm", Vm)
        .set("Vk2", Vk2)
        .set("Rk", Rk)
        .set("R1", R1)
        .set("R2", R2);
    fillPairPowers(row, Vb, Ia1, *T1, *T2);
    row.set("Ro", Ro).set("mu", mu).set("Abyp", gainBypassed).set("Aunbyp", gainUnbypassed);
    rs.gridRow = row.finish(rs.ok);

    addPair(rs, *T1, *T2, Vb, Rk + R1 + R2);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c31CascodeSrppPlus() {
    static const CircuitDef def = defineCircuit({
        .number = 31,
        .title = "Cascode SRPP+",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::Buffer, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "Vb"}, {"EdR1", "R1"}, {"EdR2", "R2"}, {"EdRk", "Rk"}, {"EdRo", "Ro"}},
                .captions = {"T1, T2", "T2", "T1"},
                .resultLabels = {"LabelIa", "LabelVk2", "LabelVo", "LabelVa1", "LabelVk1"},
            },
        .columns = columnTable(
            {textColumn("model", "Tube"), {"Vb", "Vb (V)"}}, tubeColumns("1", 1), tubeColumns("2", 1),
            {{"Va1", "Va1", 1},
             {"Vk1", "Vk1", 3},
             {"Vm", "Vm", 1},
             {"Vk2", "Vk2", 1},
             {"Rk", "Rk1 (Ω)"},
             {"R1", "R1 (Ω)"},
             {"R2", "R2 (Ω)"}},
            pairPowerColumns(),
            {{"Ro", "Ro (Ω)"}, {"mu", "µ", 1}, {"Abyp", "Gain byp", 1}, {"Aunbyp", "Gain unbyp", 1}}),
        .solve = solveC31,
    });
    return def;
}
