// Two-stage direct-coupled amplifiers: C9 (T1's anode drives T2's grid directly) and C14 (through a
// resistive level shifter).
#include "circuits/dc_coupled/dc_coupled_solvers.h"

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

using namespace dc_coupled;

namespace {

// "<br><br>label x <css=db>y dB</css>"-style total gain; a null gain has no dB figure.
std::string totalGainLine(const char* label, double gain) {
    const std::string db = dbFigure(1, gain);
    if (db.empty())
        return strFormat("%s%s", label, fmtAmplification("", 1, gain).c_str());
    return strFormat("%s%s <css=db>%sdB</css>", label, fmtAmplification("", 1, gain).c_str(), db.c_str());
}

// "<br>label gain  <css=db>x dB</css>" of one stage gain.
std::string gainLine(const char* prefix, const std::string& label, double gain) {
    const std::string db = dbFigure(1, gain);
    std::string line = prefix + fmtAmplification(label, 1, gain);
    if (!db.empty())
        line += "  <css=db>" + db + "dB</css>";
    return line;
}

} // namespace

// C9: T1 self-biased by Rk1; its anode voltage is T2's grid voltage, T2's cathode resistor Rk2
// lifting the cathode above it.
void solveC9(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Ro = sheet.num("EdRo");
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube2", "T2");

    // Operating points: the first stage, then the second on its anode voltage.
    T1->basicBiasSuccApprox(Vb, Ra1, Rk1, traces.at(0));
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Va1 = Vb - Ra1 * Ia1;
    const bool regular2 = solveFixedGridStage(*T2, Vb, Va1, Ra2, Rk2, traces.at(1), rs);
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Va2 = Vb - Ra2 * Ia2, Vk1 = Rk1 * Ia1, Vk2 = Rk2 * Ia2;
    const double It = Ia1 + Ia2;

    // Checks, tube by tube.
    auto test1 = makeTube(rq, "LBtube1", "Test1");
    auto test2 = makeTube(rq, "LBtube2", "Test2");
    TTextResult text(reportHeader(rs.title));
    const bool ok1 = addVerdictsOnce(text.texte, true, test1->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 < 0,
                                     stackCheck(1, Vb, (Ra1 + Rk1) * Ia1 + Vak1), true);
    const bool ok2 = addVerdictsOnce(text.texte, true, regular2 && test2->checkOP(Vak2, Vgk2, Ia2, 0, 1),
                                     Vgk2 < 0, stackCheck(1, Vb, (Ra2 + Rk2) * Ia2 + Vak2), true);
    rs.ok = ok1 && ok2;
    if (Vk2 < Va1)
        text.Add("<br>Tube T2 cannot deliver current in these conditions");

    // DC report.
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtVoltage("Va1", 1, Va1));
    text.Add("<br>" + fmtVoltage("Vk1", 3, Vk1));
    text.Add("<br><br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add("<br>" + fmtVoltage("Va2", 1, Va2));
    text.Add("<br>" + fmtVoltage("Vk2", 2, Vk2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra1", Ia1, Ra1), resistorRecord("Rk1", Ia1, Rk1),
                                        resistorRecord("Ra2", Ia2, Ra2), resistorRecord("Rk2", Ia2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: T1 sees only Ra1 (T2's grid draws nothing), T2 drives Ro.
    text.Add("<b>Small signal estimations:</b><br>");
    const CommonCathodeGains a1 = commonCathodeStage(*T1, Ra1, Rk1, 1e8);
    text.Add(a1.text);
    const CommonCathodeGains a2 = commonCathodeStage(*T2, Ra2, Rk2, Ro);
    text.Add(a2.text);
    text.Add("<br><br>" +
             totalGainLine("Total gain, BYpassed cathode resistors   ", a1.bypassed * a2.bypassed));
    text.Add("<br>" +
             totalGainLine("Total gain, UNbypassed cathode resistors ", a1.unbypassed * a2.unbypassed));
    rs.acReport = text.texte;

    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelVk1", strFormat("%.1fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelIa1", strFormat("%.1fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.1fmA", 1000 * Ia2));
    rs.setLabel("LabelIt", strFormat("%.1fmA", 1000 * It));

    TVoltageStacks stack1, stack2;
    stack1.Add("Ra1", Ra1 * Ia1, kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Vk1, kStackGreen);
    stack2.Add("Ra2", Ra2 * Ia2, kStackRed);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks = {stack1, stack2};

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  T2->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra1, loc),
                  gridCell(0, 1, Ra2, loc),
                  gridCell(0, 1, Rk1, loc),
                  gridCell(0, 1, Rk2, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(1, 1, Va2, loc),
                  gridCell(3, 1, Vk1, loc),
                  gridCell(2, 1, Vk2, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * It, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Ra1 * Ia1 * Ia1, loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, Ra2 * Ia2 * Ia2, loc),
                  gridCell(0, 1000, Rk2 * Ia2 * Ia2, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, a1.bypassed, loc),
                  gridCell(1, 1, a1.unbypassed, loc),
                  gridCell(1, 1, a2.bypassed, loc),
                  gridCell(1, 1, a2.unbypassed, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra1 + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Ra2 + Rk2, 2));
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input RC, the two stages, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{sheet.num("EdRs"), sheet.capacitance("EdCs"), sheet.num("EdRg"),
                                           sheet.num("EdCg"), sheet.num("EdRgs"), sheet.num("EdCgs"), S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{Ra1, Rk1, sheet.num("EdCk1"), S}, std::vector<bool>{ignore, true});
    quads.emplace_back(tqpTubeCatCom, T2.get(), std::vector<int>{3},
                       std::vector<double>{Ra2, Rk2, sheet.num("EdCk2"), S}, std::vector<bool>{ignore, true});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, sheet.capacitance("EdCa"), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}

// C14: T1's anode feeds the divider Rag (top) / Rg2 (bottom) whose tap is T2's grid, so the divider
// current loads T1's anode; T2 then works with its grid at a fixed DC voltage.
void solveC14(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 2);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    const double Rag = sheet.num("EdRag");
    const double Rg2 = sheet.num("EdRg2");
    const double Rk1 = sheet.num("EdRk1");
    const double Rk2 = sheet.num("EdRk2");
    const double Ro = sheet.num("EdRo");
    const double Rd = Rag + Rg2;
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube2", "T2");

    // T1: damped fixed point on its current, the anode held by Ra1 and the divider.
    double Vakmin = 0, Imax = 0;
    T1->LoadLineNullVgk(Vb, Ra1 + Rk1, Vakmin, Imax);
    const double divide = ratioOrZero(Rd, Ra1 + Rd);
    double I1 = Imax / 2;
    const double start = I1;
    TFormConvergence* trace1 = traces.at(0);
    tracePoint(trace1, 0, I1);
    constexpr int kMaxIterations = 999;
    int iterations = 0;
    bool converged = false;
    while (iterations < kMaxIterations) {
        ++iterations;
        I1 = std::min(I1, Imax);
        const double Va = (Vb - Ra1 * I1) * divide;
        double Ia = 0;
        T1->CalculerNK(std::max(Va - Rk1 * I1, 0.0), 0.0 - Rk1 * I1, Ia); // +0, not -0, without Rk1
        Ia = std::min(Ia, Imax);
        tracePoint(trace1, iterations, Ia);
        if (std::fabs(Ia - I1) < 1e-6) {
            converged = true;
            break;
        }
        I1 += (Ia - I1) / 10;
    }
    T1->titleTrace(trace1, iterations, 1e-6, start);
    const double Ia1 = T1->Ia(), Vak1 = T1->Vak(), Vgk1 = T1->Vgk();
    const double Va1 = (Vb - Ra1 * Ia1) * divide;
    const double Ishift = ratioOrZero(Va1, Rd);
    const double Vg2 = Ishift * Rg2;

    // T2 with its grid at the divider's tap.
    const bool regular2 = solveFixedGridStage(*T2, Vb, Vg2, Ra2, Rk2, traces.at(1), rs);
    const double Ia2 = T2->Ia(), Vak2 = T2->Vak(), Vgk2 = T2->Vgk();
    const double Va2 = Vb - Ra2 * Ia2, Vk1 = Rk1 * Ia1, Vk2 = Rk2 * Ia2;
    const double It = Ia1 + Ishift + Ia2;

    // Checks, tube by tube, and the branch of the divider.
    auto test1 = makeTube(rq, "LBtube1", "Test1");
    auto test2 = makeTube(rq, "LBtube2", "Test2");
    TTextResult text(reportHeader(rs.title));
    // Here a grid at the cathode's potential (Vgk = 0) passes: only a positive grid is refused.
    const bool ok1 = addVerdictsOnce(text.texte, true, test1->checkOP(Vak1, Vgk1, Ia1, 0, 1), Vgk1 <= 0,
                                     stackCheck(1, Vb, Ra1 * (Ia1 + Ishift) + Vak1 + Vk1), converged);
    const bool ok2 = addVerdictsOnce(text.texte, true, regular2 && test2->checkOP(Vak2, Vgk2, Ia2, 0, 1),
                                     Vgk2 <= 0, stackCheck(1, Vb, (Ra2 + Rk2) * Ia2 + Vak2), true);
    rs.ok = ok1 && ok2;
    if (Vg2 > Vk2) {
        text.Add(
            errorLine("Error: tube T2 cannot deliver required current because of Vg2 too high and/or Rk2 "
                      "too low"));
        rs.ok = false;
    }

    // DC report.
    text.Add(supplyLine(Vb, It));
    text.Add("<br><br>" + fmtCurrent("Ia1", 2, 1000 * Ia1));
    text.Add("<br>" + fmtCurrent("Ia2", 2, 1000 * Ia2));
    text.Add("<br>" + fmtCurrent("Ishifter", 3, 1000 * Ishift));
    text.Add("<br><br>" + fmtVoltage("Va1", 1, Va1));
    text.Add("<br>" + fmtVoltage("Vk1", 3, Vk1));
    text.Add("<br>" + fmtVoltage("Va2", 1, Va2));
    text.Add("<br>" + fmtVoltage("Vk2", 2, Vk2));
    text.Add("<br>" + fmtVoltage("Vg2", 2, Vg2));
    text.Add("<br>" + T1->displayOP(1));
    text.Add(T2->displayOP(1));
    std::vector<TResistor> resistors = {
        resistorRecord("Ra1", Ia1 + Ishift, Ra1), resistorRecord("Ra2", Ia2, Ra2),
        resistorRecord("Rk1", Ia1, Rk1),          resistorRecord("Rk2", Ia2, Rk2),
        resistorRecord("Rag", Ishift, Rag),       resistorRecord("Rg2", Ishift, Rg2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report: the speed-up capacitor passes the whole of T1's anode swing to T2's grid, so T1
    // sees Ra1 ∥ Rg2.
    struct Stage {
        double gainB, gainU, zoutB, zoutU;
    };
    const auto stage = [&](TTube& T, const char* n, double RL, double Rk, const std::string& loadLabel) {
        const double rho = T.getRo(), gm = T.getGm(), mu = rho * gm;
        const double degenerated = rho + (mu + 1) * Rk;
        Stage s{-mu * ratioOrZero(RL, rho + RL), -mu * ratioOrZero(RL, RL + degenerated), parallelR(RL, rho),
                ratioOrZero(RL * degenerated, RL + degenerated)};
        text.Add(strFormat("<br><br><b>%s %s</b>", T.Reference().c_str(), T.ModelName().c_str()));
        text.Add("<br>  " + parameterTriple(rho, gm, mu, "g<SUB>m</SUB>~"));
        text.Add("<br>" + fmtResistance(loadLabel, 0, RL));
        text.Add("<br>" + fmtResistance(strFormat("Output impedance (Rk%s BYp) ", n), 0, s.zoutB));
        text.Add("<br>" + fmtResistance(strFormat("Output impedance (Rk%s UNb) ", n), 0, s.zoutU));
        text.Add(gainLine("<br>", strFormat("Voltage gain of T%s (BYp)   ", n), s.gainB));
        text.Add(gainLine("<br>", strFormat("Voltage gain of T%s (UNb)   ", n), s.gainU));
        return s;
    };
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add("<br>Rk1 and Rk2 bypassed (BYp) or unbypassed (UNb) by capacitors.");
    const Stage s1 = stage(*T1, "1", parallelR(Ra1, Rg2), Rk1, "Effective load on T1 (Ra1||Rg2) ");
    const Stage s2 = stage(*T2, "2", parallelR(Ra2, Ro), Rk2, "Effective load on T2 (Ra2||Ro) ");
    text.Add("<br><br>Global voltage gain of T1 and T2:");
    text.Add(gainLine("<br>  ", "Rk1 Rk2 BYp ", s1.gainB * s2.gainB));
    text.Add(gainLine("<br>  ", "Rk1 Rk2 UNb ", s1.gainU * s2.gainU));
    rs.acReport = text.texte;

    rs.setLabel("LabelVa1", strFormat("%.1fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.1fV", Va2));
    rs.setLabel("LabelVk1", strFormat("%.1fV", Vk1));
    rs.setLabel("LabelVk2", strFormat("%.1fV", Vk2));
    rs.setLabel("LabelVg2", strFormat("%.1fV", Vg2));
    rs.setLabel("LabelIa1", strFormat("%.1fmA", 1000 * Ia1));
    rs.setLabel("LabelIa2", strFormat("%.1fmA", 1000 * Ia2));
    rs.setLabel("LabelIg", strFormat("%.1fmA", 1000 * Ishift));
    rs.setLabel("LabelIt", strFormat("%.1fmA", 1000 * It));

    // Three branches: T1, the divider under Ra1, T2.
    TVoltageStacks stack1, stackDivider, stack2;
    stack1.Add("Ra1", Ra1 * (Ia1 + Ishift), kStackRed);
    stack1.Add("T1", Vak1, kStackYellow);
    stack1.Add("Rk1", Vk1, kStackGreen);
    stackDivider.Add("Ra1", Ra1 * (Ia1 + Ishift), kStackRed);
    stackDivider.Add("Rag", Rag * Ishift, kStackNavy);
    stackDivider.Add("Rg2", Vg2, kStackPurple);
    stack2.Add("Ra2", Ra2 * Ia2, kStackRed);
    stack2.Add("T2", Vak2, kStackYellow);
    stack2.Add("Rk2", Vk2, kStackGreen);
    rs.stacks = {stack1, stackDivider, stack2};

    const NumberLocale& loc = rq.locale;
    rs.gridRow = {gridStatus(rq, rs.ok),
                  T1->ModelName(),
                  T2->ModelName(),
                  gridCell(0, 1, Vb, loc),
                  gridCell(0, 1, Ra1, loc),
                  gridCell(0, 1, Ra2, loc),
                  gridCell(0, 1, Rk1, loc),
                  gridCell(0, 1, Rk2, loc),
                  gridCell(0, 1, Rag, loc),
                  gridCell(0, 1, Rg2, loc),
                  gridCell(3, 1000, Ishift, loc),
                  gridCell(1, 1, Va1, loc),
                  gridCell(1, 1, Va2, loc),
                  gridCell(2, 1, Vg2, loc),
                  gridCell(3, 1, Vk1, loc),
                  gridCell(2, 1, Vk2, loc),
                  gridCell(1, 1, Vak1, loc),
                  gridCell(3, 1, Vgk1, loc),
                  gridCell(3, 1000, Ia1, loc),
                  gridCell(1, 1, Vak2, loc),
                  gridCell(3, 1, Vgk2, loc),
                  gridCell(3, 1000, Ia2, loc),
                  gridCell(0, 1000, Vb * It, loc),
                  gridCell(0, 1000, Vak1 * Ia1, loc),
                  gridCell(0, 1000, Ra1 * (Ia1 + Ishift) * (Ia1 + Ishift), loc),
                  gridCell(0, 1000, Vak2 * Ia2, loc),
                  gridCell(0, 1000, Ra2 * Ia2 * Ia2, loc),
                  gridCell(0, 1000, Rk2 * Ia2 * Ia2, loc),
                  gridCell(0, 1000, Rag * Ishift * Ishift, loc),
                  gridCell(0, 1000, Rg2 * Ishift * Ishift, loc),
                  gridCell(0, 1, Ro, loc),
                  gridCell(1, 1, s1.gainB, loc),
                  gridCell(1, 1, s1.gainU, loc),
                  gridCell(1, 1, s2.gainB, loc),
                  gridCell(1, 1, s2.gainU, loc),
                  gridCell(0, 1, s2.zoutB, loc),
                  gridCell(0, 1, s2.zoutU, loc)};

    rs.loadLines.push_back(loadLineOf(*T1, Vb, Ra1 + Rk1, 1));
    rs.loadLines.push_back(loadLineOf(*T2, Vb, Ra2 + Rk2, 2));
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    rs.tubes.push_back(*T1);
    rs.tubes.push_back(*T2);

    // Bandwidth chain: input RC, T1, the level shifter, T2, output RC.
    const double S = strayUnitOf(rq.bode.straycaps);
    const bool ignore = rq.bode.ignoreMiller;
    std::vector<TQuadripole> quads;
    quads.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{0, sheet.capacitance("EdCs"), sheet.num("EdRg1"), 0,
                                           sheet.num("EdRgs1"), sheet.num("EdCgs1"), S},
                       std::vector<bool>{ignore, false});
    quads.emplace_back(tqpTubeCatCom, T1.get(), std::vector<int>{2},
                       std::vector<double>{Ra1, Rk1, sheet.num("EdCk1"), S}, std::vector<bool>{ignore, true});
    quads.emplace_back(
        tqpLevelShifter, nullptr, std::vector<int>{3},
        std::vector<double>{Rag, sheet.num("EdC1"), Rg2, sheet.num("EdRgs2"), sheet.num("EdCgs2"), S},
        std::vector<bool>{ignore});
    quads.emplace_back(tqpTubeCatCom, T2.get(), std::vector<int>{4},
                       std::vector<double>{Ra2, Rk2, sheet.num("EdCk2"), S}, std::vector<bool>{ignore, true});
    quads.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, sheet.capacitance("EdCa"), Ro, sheet.num("EdCo"), S},
                       std::vector<bool>{ignore});
    runBode(rq, rs, quads);
    traces.moveTo(rs);
}
