// Cathode followers: C3 (fixed bias) and C4 (common-cathode stage DC-coupled to a follower), the
// family's shared helpers. C33 and C35 live in followers_stacked.cpp.
#include "circuits/followers/followers_internal.h"

#include "frequency/bode_options.h"
#include "solver/dissipation.h"
#include "solver/formatters.h"
#include "solver/grid_cells.h"
#include "solver/sheet_validation.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace followers {

void titleFollowerTrace(TFormConvergence* trace, const TTube& T) {
    if (!trace)
        return;
    trace->caption = strFormat("C%d - %s %s - Res ±%.0fµA Ia %.2fmA", trace->Tag, T.Reference().c_str(),
                               T.ModelName().c_str(), 1e-6 * 1e6, 1000 * T.Ia());
}

} // namespace followers

// C3: grid at a fixed DC voltage, anode on the supply, cathode resistor Rk to ground.
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

    // Checks. A follower may sit at Vgk = 0; a point the bias solver gave up on is no point.
    auto test = makeTube(rq, "LBtube", "test");
    const bool opOk = message.empty() && test->checkOP(Vak, Vgk, Ia, 0, 1);
    const bool vgkOk = Vgk <= 0;
    const bool stacksOk = stackCheck(1, Vb, Vk + Vak);

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

    rs.setLabel("LabelVk", strFormat("%.2fV", Vk));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * Ia));

    TVoltageStacks stack;
    stack.Add("T1", Vak, kStackYellow);
    stack.Add("Rk", Vk, kStackGreen);
    rs.stacks.push_back(stack);

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(1, 1, Vg, loc),
                  gridCell(0, 1, Rk, loc),
                  gridCell(2, 1, Vk, loc),
                  gridCell(1, 1, Vak, loc),
                  gridCell(3, 1, Vgk, loc),
                  gridCell(3, 1000, Ia, loc),
                  gridCell(0, 1000, Vb * Ia, loc),
                  gridCell(0, 1000, Vak * Ia, loc),
                  gridCell(0, 1000, Rk * Ia * Ia, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(3, 1, follower.gain, loc),
                  gridCell(0, 1, follower.zout, loc)};

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

namespace {

// "<br><br>label gain or x.xdB" of a two-stage product; a null gain has no dB figure.
std::string totalGainLine(const char* label, double gain) {
    const std::string dB = dbFigure(1, gain);
    return "<br><br>" + fmtAmplification(label, 1, gain) + (dB.empty() ? "" : " or " + dB + "dB");
}

} // namespace

// C4: T1 common-cathode stage (Ra, Rk1); T2's grid tied to T1's anode, cathode resistor Rk2.
void solveC4(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Ra = sheet.num("EdRa");
    const double Ro = sheet.num("EdRo");
    // The follower's cathode current is its cathode voltage over Rk2: a short there has no bias.
    if (Rk2 == 0) {
        rs.dcReport = followers::kNullResistor;
        rs.ok = false;
        return;
    }
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube2", "T2");

    // Operating points: the amplifier first, then the follower on its anode voltage.
    T1->basicBiasSuccApprox(Vb, Ra, Rk1, traces.at(0));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Vg2 = Vb - Ra * Ia1;
    const std::string message = T2->basicFollower(Vb, Vg2, Rk2, traces.at(1));
    if (!message.empty())
        rs.messages.push_back(message);
    followers::titleFollowerTrace(traces.at(1), *T2);
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double It = Ia1 + Ia2;

    // Checks, tube by tube.
    auto test1 = makeTube(rq, "LBtube1", "test1");
    auto test2 = makeTube(rq, "LBtube2", "test2");
    TTextResult text(reportHeader(rs.title));
    const bool ok1 = addVerdictsOnce(text.texte, true, test1->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 <= 0,
                                     stackCheck(1, Vb, (Ra + Rk1) * Ia1 + Vak1), true);
    const bool ok2 =
        addVerdictsOnce(text.texte, true, message.empty() && test2->checkOP(Vak2, Vgk2, Ia2, 0, 1), Vgk2 <= 0,
                        stackCheck(1, Vb, Rk2 * Ia2 + Vak2), true);
    rs.ok = ok1 && ok2;
    if (Rk2 * Ia2 < Vg2)
        text.Add("<br><br><css=error>Warning: the tube T2 cannot deliver the current<br>which is imposed by "
                 "its (high) grid voltage and (low) cathode resistor.</css>");

    // DC report.
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtVoltage("Va1", 1, Vg2));
    text.Add("<br>" + fmtVoltage("Vk1", 3, Rk1 * Ia1));
    text.Add("<br><br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add("<br>" + fmtVoltage("Vk2", 2, Rk2 * Ia2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra", Ia1, Ra), resistorRecord("Rk1", Ia1, Rk1),
                                        resistorRecord("Rk2", Ia2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: T1 loaded by Ra and the follower's grid, then the follower on Ro.
    text.Add("<b>Small signal estimations:</b><br>");
    const CommonCathodeGains a1 = commonCathodeStage(*T1, Ra, Rk1, 1e8);
    text.Add(a1.text);
    const FollowerFigures a2 = cathodeFollowerStage(*T2, Ro, Rk2);
    text.Add(a2.text);
    text.Add(totalGainLine("Total gain (Rk1 BYpassed)   ", a1.bypassed * a2.gain));
    text.Add(totalGainLine("Total gain (Rk1 UNbypassed) ", a1.unbypassed * a2.gain));
    rs.acReport = text.texte;

    rs.setLabel("LabelVk1", strFormat("%.2fV", Rk1 * Ia1));
    rs.setLabel("LabelVk2", strFormat("%.2fV", Rk2 * Ia2));
    rs.setLabel("LabelVg", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelIa1", strFormat("%.2fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.2fmA", 1000 * Ia2));
    rs.setLabel("LabelIt", strFormat("%.2fmA", 1000 * It));

    TVoltageStacks stack1, stack2;
    stack1.Add("Ra", Ra * Ia1, kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Rk1 * Ia1, kStackGreen);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Rk2 * Ia2, kStackGreen);
    rs.stacks.push_back(stack1);
    rs.stacks.push_back(stack2);

    // The A1 column follows the sheet's choice of a connected cathode capacitor.
    const bool ckConnected = sheet.checked("CheckBoxConnected");
    const double A1 = ckConnected ? a1.bypassed : a1.unbypassed;
    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  T2->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra, loc),
                  gridCell(0, 1, Rk1, loc),
                  gridCell(0, 1, Rk2, loc),
                  gridCell(1, 1, Vg2, loc),
                  gridCell(3, 1, Rk1 * Ia1, loc),
                  gridCell(2, 1, Rk2 * Ia2, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * It, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Ra * Ia1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, Rk2 * Ia2 * Ia2, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, A1, loc),
                  gridCell(3, 1, a2.gain, loc),
                  gridCell(1, 1, A1 * a2.gain, loc),
                  gridCell(0, 1, a2.zout, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Rk2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input RC, common cathode, follower, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), sheet.capacitance("EdCs"), sheet.num("EdRg"),
                                           sheet.num("EdCg"), sheet.num("EdRgs"), sheet.num("EdCgs"), S},
                       std::vector<bool>{ignore, sheet.checked("CheckBoxShunted")});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{Ra, Rk1, sheet.num("EdCk"), S},
                       std::vector<bool>{ignore, ckConnected});
    quads.emplace_back(tqpTubeCatFol, T2.get(), std::vector<int>{3}, std::vector<double>{Rk2, S},
                       std::vector<bool>{ignore});
    quads.emplace_back(
        tqpOutputLoad, nullptr, std::vector<int>{},
        std::vector<double>{sheet.num("EdRko"), sheet.capacitance("EdCko"), Ro, sheet.num("EdCo"), S},
        std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}
