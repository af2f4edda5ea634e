// Followers built on two stacked triodes: C33, the White cathode follower, and C35, a cathode
// follower loaded by a current-sink triode. Both solve the pair with pairBiasFixedGrid.
#include "circuits/followers/followers_internal.h"

#include "frequency/bode_options.h"
#include "model/pair_bias.h"
#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int kPairIterations = 1000;
constexpr std::uint32_t kStackBias = 0xFF0000FF; // the grid bias supply of C35

// "ρ~  gm~  µ~" of one tube in the White follower's block.
std::string whiteParameterLine(const TTube& T) {
    return strFormat("<br>  %s  %s  %s", fmtResistance("ρ~", 0, T.ρ()).c_str(),
                     fmtTransconductance("g<SUB>m</SUB>~", 1, T.gm()).c_str(),
                     fmtAmplification("µ~", 0, T.µ()).c_str());
}

} // namespace

WhiteFollowerFigures whiteFollowerStage(TTube& T1, TTube& T2, double Ra, double Rg, double Ro) {
    WhiteFollowerFigures f;
    T1.calculerParamètresIntrinsèques();
    T2.calculerParamètresIntrinsèques();
    const double mu1 = T1.µ(), ro1 = T1.ρ(), mu2 = T2.µ(), ro2 = T2.ρ();
    const double Rp = parallelR(Ra, Rg);
    const double R = Ro;

    // Thévenin model: T2's anode signal drives T1's grid through Ra ∥ Rg.
    const double M = Rp + (mu2 + 1) * R * (R + Rp * mu1) / (R + ro1) + ro2 + (mu2 + 1) * R;
    f.gain = ((R + Rp * mu1) / (R + ro1) + 1) * (R * mu2 / M);
    f.anodeGain = Rp == 0 ? 0.0 : -Rp * mu2 / M; // no "-0.00" when T2 has no anode resistor

    // Output impedance with the two tubes' parameters averaged.
    const double ro = (ro1 + ro2) / 2, gm = (T1.gm() + T2.gm()) / 2, mu = ro * gm;
    const double Rz = Rp == 0 ? 1 : Rp;
    f.zout = 1 / ((mu * (mu + 1) + 1) / (ro / Rz + 1) / ro + (mu + 1) / (ro + Rz));

    std::string& s = f.text;
    s = "<br><i>Voltage gain: Valvenix Thévenin model</i>";
    s += "<br><i>Output impedance: formula by Trevarro, published at "
         "http://www.trevarro.example/white-cathode-follower.html</i>";
    s += "<br>";
    s += strFormat("<br>%s %s", T1.Reference().c_str(), T1.ModelName().c_str()) + whiteParameterLine(T1);
    s += strFormat("<br>%s %s</p>", T2.Reference().c_str(), T2.ModelName().c_str()) + whiteParameterLine(T2);
    s += "<br><br>" + fmtResistance("AC load ", 0, Ro);
    const std::string gain = fmtAmplification("Voltage gain     ", 2, f.gain);
    s += "<br>" + gain + (f.gain > 0 ? dbTail("   ", 1, f.gain) : std::string());
    s += "<br>" + fmtAmplification("Voltage gain an anode T2    ", 2, f.anodeGain);
    s += strFormat("<br><br>%s (calculated with average µ and ρ of T1 T2)",
                   fmtResistance("Output impedance ", 0, f.zout).c_str());
    return f;
}

// C33: T2 (upper, grid at Vg2, anode resistor Ra) drives T1's grid from its anode; T1 (lower,
// cathode resistor Rk) sinks the output node at T2's cathode.
void solveC33(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Vg2 = sheet.num("EdVg2");
    const double Ra = sheet.num("EdRa");
    const double Rk = sheet.num("EdRk");
    const double Rg = sheet.num("EdRg");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    const int iterations =
        pairBiasFixedGrid(*T1, *T2, kPairIterations, Vb, Vg2, Ra, Rk, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Vk = Rk * Ia1, Vo = Vk + Vak1, Va = Vb - Ra * Ia2;

    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 < 0 && Vgk2 < 0;
    const bool stacksOk = stackCheck(1, Vb, Vk + Vak1 + Vak2 + Ra * Ia2);
    const bool iterationsOk = iterations < kPairIterations;

    // DC report.
    TTextResult text(reportHeader(rs.title) + strFormat("<br>%d iterations", iterations));
    rs.ok = addVerdictsOnce(text.texte, true, opOk, vgkOk, stacksOk, iterationsOk);
    text.Add(supplyLine(Vb, Ia2));
    text.Add("<br><br>" + fmtVoltage("Va2", 1, Va));
    text.Add("<br>" + fmtVoltage("Vo", 1, Vo));
    text.Add("<br>" + fmtVoltage("Vk1", 2, Vk));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia2, Ra), resistorRecord("Rk", Ia1, Rk)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report.
    text.Add("<b>Small signal estimations:</b><br>");
    const WhiteFollowerFigures white = whiteFollowerStage(*T1, *T2, Ra, Rg, Ro);
    text.Add(white.text);
    rs.acReport = text.texte;

    rs.setLabel("LabelVa", strFormat("%.1fV", Va));
    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelVak", strFormat("%.1fV", Vo));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia1));

    TVoltageStacks stack;
    stack.Add("Ra", Ra * Ia2, kStackRed);
    stack.Add("T2", Vak2, kStackYellow);
    stack.Add("T1", Vak1, kStackYellow);
    stack.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(stack);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Vg2, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(1, 1, Va, loc),
                  gridCell(1, 1, Vo, loc),
                  gridCell(2, 1, Vk, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * Ia2, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(3, 1, white.gain, loc),
                  gridCell(0, 1, white.zout, loc)};

    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);
    traces.moveTo(rs);
}

// C35: T2 follows its grid at Vg2 with its anode on the supply; T1, grid grounded and cathode
// resistor R1, is the current sink under T2's cathode.
void solveC35(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double R1 = sheet.num("EdR1");
    const double Ro = sheet.num("EdRo");
    const double Vg2 = sheet.num("EdVg2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    const int iterations =
        pairBiasFixedGrid(*T1, *T2, kPairIterations, Vb, Vg2, 0, R1, 0, traces.at(0), traces.at(1));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Vk1 = R1 * Ia1, Va1 = Vk1 + Vak1, Vk2 = Vb - Vak2;

    // The sink's current is set by R1 alone, so the stack is allowed 3 V of mismatch.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = test->checkOP(Vak1, Vgk1, Ia1, 0, 1) && test->checkOP(Vak2, Vgk2, Ia2, 0, 1);
    const bool vgkOk = Vgk1 <= 0 && Vgk2 <= 0;
    const bool stacksOk = stackCheck(3, Vb, Vak1 + Vak2 + Vk1);
    const bool iterationsOk = iterations < kPairIterations;

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

    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia2));

    // The grid bias supply, then the branch of the two tubes and R1.
    TVoltageStacks bias, branch;
    bias.Add("", Vb - Vg2, 0x00000000);
    bias.Add("Vg", Vg2, kStackBias);
    branch.Add("T2", Vak2, kStackYellow);
    branch.Add("T1", Vak1, kStackYellow);
    branch.Add("R1", Vk1, kStackGreen);
    rs.stacks.push_back(bias);
    rs.stacks.push_back(branch);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Vg2, loc),
                  gridCell(0, 1, R1, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(2, 1, Vk1, loc),
                  gridCell(1, 1, Vk2, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * Ia2, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(3, 1, follower.gain, loc),
                  gridCell(0, 1, follower.zout, loc)};

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
