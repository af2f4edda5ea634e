// C30: the µ-follower. T1 (self-biased by Rk1) has T2 for its anode load: T2, self-biased by Rk2
// above Ra, its grid on the junction of Rk2 and Ra, carries T1's current. A bisection on T1's anode
// voltage balances the two tubes' currents.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "markup/formatters.h"
#include "model/bounded_search.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>

using namespace cascodes;

namespace {

constexpr int kMaxOuterPasses = 999;
constexpr int kMaxInnerPasses = 1000;
constexpr double kInnerDamping = 20;
constexpr double kTolerance = 1e-6; // A

// T1's current for its anode at V: a damped fixed point from the current I1 holds, its anode kept
// above 10 V and its grid at or below its cathode. Leaves T1's point in vak1 and vgk1.
void settleLowerTube(TTube& T1, double V, double Rk1, double& I1, double& vak1, double& vgk1) {
    dampedFixedPointOnResidual(I1, kMaxInnerPasses, kInnerDamping, kTolerance, [&](double I) {
        vak1 = V - Rk1 * I;
        if (vak1 < 10)
            vak1 = 10;
        vgk1 = -Rk1 * I;
        if (vgk1 > 0)
            vgk1 = 0;
        return triodeCurrent(T1, vgk1, vak1);
    });
}

void solveC30(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 3); // T1, T2, T1's anode
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Ra = sheet.num("EdRa"), Rk1 = sheet.num("EdRk1"), Rk2 = sheet.num("EdRk2");
    const double Rg2 = sheet.num("EdRg2");
    auto T1 = makeTube(rq, "LBtube", "T1");
    auto T2 = makeTube(rq, "LBtube", "T2");

    // Starting point.
    double V = 0.2 * Vb;
    const double seriesR = Rk1 + Rk2 + Ra;
    double I1 = seriesR > 0 ? 0.5 * Vb / seriesR : 1e-3;
    double I2 = I1;
    const double start = I1;
    tracePoint(traces.at(0), 0, I1);
    tracePoint(traces.at(1), 0, I2);
    tracePoint(traces.at(2), 0, V);

    // Bisection on T1's anode V: T1 below it, T2 with Rk2 and Ra above it must carry one current;
    // a higher V starves T2 and feeds T1.
    double vak1 = V, vgk1 = 0;
    const auto balance = [&](double anode, int pass) {
        V = anode;
        settleLowerTube(*T1, V, Rk1, I1, vak1, vgk1);
        I2 = T2->basicBiasSuccApprox(Vb - V, Ra, Rk2, nullptr);
        tracePoint(traces.at(0), pass, I1);
        tracePoint(traces.at(1), pass, I2);
        return I2 - I1;
    };
    SearchOutcome search = bisect(0, Vb, kMaxOuterPasses, kTolerance, balance, traces.at(2));
    // A bracket closed short of the balance keeps its voltage for the passes left, where T1's
    // damped current may still settle onto T2's.
    while (search.stalled && !search.converged && search.passes < kMaxOuterPasses) {
        ++search.passes;
        search.converged = std::fabs(balance(V, search.passes)) < kTolerance;
        tracePoint(traces.at(2), search.passes, V);
    }
    const int iterations = search.passes;
    const bool converged = search.converged;
    triodeCurrent(*T1, vgk1, vak1);
    const double vak2 = T2->Vak(), vgk2 = T2->Vgk();
    T1->titleTrace(traces.at(0), iterations, kTolerance, start);
    T2->titleTrace(traces.at(1), iterations, kTolerance, start);
    if (TFormConvergence* w = traces.at(2))
        w->caption = strFormat("C%d - Vo=>%.2fV", w->Tag, V);
    const double Va1 = V, Vk1 = Rk1 * I1, Vg2 = V + Ra * I2, Vk2 = V + (Ra + Rk2) * I2;

    // Voltage stack, supply side first.
    TVoltageStacks branch;
    branch.Add("T2", vak2, kStackYellow);
    branch.Add("Rk2", Rk2 * I2, kStackGreen);
    branch.Add("Ra", Ra * I2, kStackRed);
    branch.Add("T1", vak1, kStackYellow);
    branch.Add("Rk1", Vk1, kStackGreen);
    rs.stacks.push_back(branch);

    // Checks.
    auto test = makeTube(rq, "LBtube", "test");
    const bool op1 = test->checkOP(vak1, vgk1, I1, 0, 1);
    const bool op2 = test->checkOP(vak2, vgk2, I2, 0, 1);
    const bool vgkOk = vgk1 <= 0 && vgk2 <= 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(branch));

    // DC report: the shared verdict lines, then the circuit's own unless already written.
    TTextResult text(reportHeader(rs.title));
    rs.ok = verdicts(text.texte, true, op1 && op2, vgkOk, stacksOk, converged);
    const auto own = [&text](bool good, const char* message) {
        if (!good)
            addLineOnce(text.texte, errorLine(message));
    };
    own(op1, "Abnormal T1 operating conditions");
    own(op2, "Abnormal T2 operating conditions");
    own(vgkOk, "Vgk positive");
    own(converged, "Too many iterations");
    own(stacksOk, "Error on stack voltages");
    text.Add(supplyLine(Vb, I1));
    text.Add(pairOperatingPoints(*T1, *T2));
    text.Add(strFormat("<br>Vg2 %s", fmtVoltage("", 2, Vg2).c_str()));
    text.Add(strFormat("<br>Vk2 %s", fmtVoltage("", 2, Vk2).c_str()));
    text.Add(strFormat("<br>Va1 %s", fmtVoltage("", 2, Va1).c_str()));
    text.Add(strFormat("<br>Vk1 %s", fmtVoltage("", 2, Vk1).c_str()));
    std::vector<TResistor> resistors = {resistorRecord("Rk1", I1, Rk1), resistorRecord("Ra", I2, Ra),
                                        resistorRecord("Rk2", I2, Rk2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;
    text.Clear();

    // AC report from the one-sided derivatives at each tube's point.
    T1->calculerParamètresIntrinsèques();
    T2->calculerParamètresIntrinsèques();
    const double rho1 = T1->getRo(), gm1 = T1->getGm(), mu1 = T1->getMu();
    const double rho2 = T2->getRo(), gm2 = T2->getGm(), mu2 = T2->getMu();
    const double k = mu2 / (mu2 + 1);
    const double acLoad = (Ra + Rk2) / (1 - k);
    const double zin = Rg2 / (1 - k * ratioOrZero(Ra, Ra + Rk2));
    const double zout = ratioOrZero(1, gm1);
    text.Add("<b>Small signal estimations:</b><br>");
    text.Add(tubeParameters(*T1, rho1, gm1, mu1));
    text.Add(tubeParameters(*T2, rho2, gm2, mu2));
    text.Add("<br><br>" + fmtAmplification("Gain of T2 ~ ", 3, k));
    text.Add(strFormat("<br>AC load seen by T1 ~ %0.1fMΩ", acLoad / 1e6));
    text.Add(strFormat("<br>Input impedance of T1 ~ %0.1fMΩ", zin / 1e6));
    text.Add("<br>" + fmtAmplification("Gain on T1 anode ~ ", 1, mu1));
    text.Add("<br>" + fmtAmplification("Gain on T2 cathode ~ ", 1, mu1 * k));
    text.Add("<br>" + fmtResistance("Output impedance on T2 cathode ~ ", 0, zout));
    rs.acReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVk2", strFormat("%.2fV", Vk2));
    rs.setLabel("LabelVg2", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVk1", strFormat("%.2fV", Vk1));
    rs.setLabel("LabelIa", strFormat("%.2fmA", 1000 * I1));

    // Logged-results row: T1 at the settled current, T2 at its own solve.
    GridRow row(rq);
    row.text("model", T1->ModelName()).set("Vb", Vb).set("Vak1", vak1).set("Vgk1", vgk1).set("Ia1", I1);
    row.set("Vak2", vak2).set("Vgk2", vgk2).set("Ia2", I2).set("Va1", Va1).set("Vk1", Vk1);
    row.set("Vg2", Vg2).set("Vk2", Vk2).set("Rk1", Rk1).set("Ra", Ra).set("Rk2", Rk2);
    row.set("Ptot", Vb * I1).set("PT1", vak1 * I1).set("PT2", vak2 * I2).set("PRa", Ra * I2 * I2);
    row.set("mu1", mu1).set("mu2", mu2).set("GainT1", mu1).set("GainT2", k).set("Gain", mu1 * k);
    row.set("Zout", zout);
    rs.gridRow = row.finish(rs.ok);

    // Each tube's own line, from the supply to its maximum current.
    addPair(rs, *T1, *T2, Vb, 0);
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c30MuFollower() {
    static const CircuitDef def = defineCircuit({
        .number = 30,
        .title = "Mu-follower",
        .tubeCount = 2,
        .tubeSelectors = {{"LBtube", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::Buffer, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "Vb"},
                          {"EdRk2", "Rk2"},
                          {"EdRa", "Ra"},
                          {"EdRk1", "Rk1"},
                          {"EdRg2", "Rg2 for AC estimation"}},
                .captions = {"T2", "T1", "T1, T2"},
                .resultLabels = {"LabelVk2", "LabelVg2", "LabelVa1", "LabelVk1", "LabelIa"},
            },
        .columns = columnTable({textColumn("model", "Tube"), {"Vb", "Vb (V)"}}, tubeColumns("1", 1),
                               tubeColumns("2", 1),
                               {{"Va1", "Va1", 1},
                                {"Vk1", "Vk1", 3},
                                {"Vg2", "Vg2", 1},
                                {"Vk2", "Vk2", 1},
                                {"Rk1", "Rk1 (Ω)"},
                                {"Ra", "Ra (Ω)"},
                                {"Rk2", "Rk2 (Ω)"},
                                {"Ptot", "Ptot (mW)", 0, 1000},
                                {"PT1", "PT1 (mW)", 0, 1000},
                                {"PT2", "PT2 (mW)", 0, 1000},
                                {"PRa", "PRa (mW)", 0, 1000},
                                {"mu1", "µ1", 1},
                                {"mu2", "µ2", 1},
                                {"GainT1", "Gain T1", 1},
                                {"GainT2", "Gain T2", 3},
                                {"Gain", "Gain", 1},
                                {"Zout", "Zout (Ω)"}}),
        .solve = solveC30,
    });
    return def;
}
