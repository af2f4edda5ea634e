// C11, the balanced dual-triode mixer: an operating point that adds up, small-signal figures checked
// against the node equations, the report formats, the trace, failure paths and degenerate sheets.
#include "approx.h"
#include "mixers_checks.h"

#include "util/format.h"

#include <cmath>
#include <string>

namespace {

// Small-signal node equations of two triodes with joined anodes (load RL) and joined cathodes
// (resistor Rk, 0 when bypassed), grid 1 driven by 1 V and grid 2 quiet. Each triode carries
// i = (µ·vgk + vak)/ρ. Returns the anode voltage, i.e. the gain, by solving the 2×2 system in
// the cathode and anode voltages.
double balancedGainFromNodes(double rho, double mu, double RL, double Rk) {
    // Sum of the currents I = (µ·(1 − vk) − µ·vk + 2·(va − vk))/ρ, with vk = Rk·I and va = −RL·I.
    // Unknown I: ρ·I = µ − 2(µ + 1)·Rk·I − 2·RL·I.
    const double I = mu / (rho + 2 * (mu + 1) * Rk + 2 * RL);
    return -RL * I;
}

} // namespace

TEST(MixerC11, BalancedMixerAddsUpAndMatchesTheNodeEquations) {
    struct Case {
        const char* name;
        Values values;
        double Vb, Ra, Rk, Ro;
    } cases[] = {
        {"ECC83 defaults", {{"LBtube", "ECC83 / 12AX7"}}, 250, 100e3, 1e3, 500e3},
        {"ECC82 lower load",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "300"}, {"EdRa", "22k"}, {"EdRk", "470"}, {"EdRo", "100k"}},
         300,
         22e3,
         470,
         100e3},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(11, c.values);
        EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << c.name;
        ASSERT_EQ(r.tubes.size(), 2u) << c.name;
        const TTube& t = r.tubes[0];
        EXPECT_EQ(r.tubes[1].Reference(), "T2") << c.name;
        EXPECT_DOUBLE_EQ(r.tubes[1].Ia(), t.Ia()) << c.name;
        EXPECT_LT(t.Vgk(), 0) << c.name;
        const double Ia = t.Ia();
        // Each triode's bias comes from both currents through the shared Rk.
        EXPECT_NEAR(t.Vgk(), -2 * c.Rk * Ia, 1e-3) << c.name;
        ASSERT_EQ(r.stacks.size(), 1u) << c.name;
        EXPECT_NEAR(sumOf(r.stacks[0]), c.Vb, 1) << c.name;

        EXPECT_EQ(labelOf(r, "LabelVa"), strFormat("Va %.1fV", c.Vb - 2 * c.Ra * Ia)) << c.name;
        EXPECT_EQ(labelOf(r, "LabelVk"), strFormat("Vk %.2fV", 2 * c.Rk * Ia)) << c.name;
        EXPECT_EQ(labelOf(r, "LabelIa1"), strFormat("%.2fmA", 1000 * Ia)) << c.name;
        EXPECT_EQ(labelOf(r, "LabelIa2"), labelOf(r, "LabelIa1")) << c.name;
        EXPECT_EQ(labelOf(r, "LabelIt"), strFormat("%.2fmA", 2000 * Ia)) << c.name;

        ASSERT_EQ(r.gridRow.size(), circuitInfo(11).gridColumns.size() + 1) << c.name;
        EXPECT_EQ(r.gridRow[0], "12:34:56") << c.name;
        EXPECT_EQ(r.gridRow[1], t.ModelName()) << c.name;
        EXPECT_REL(gridNumber(r, 11, "Ia1 (mA)"), 1000 * Ia, 0.002) << c.name;
        EXPECT_EQ(gridNumber(r, 11, "Ia2 (mA)"), gridNumber(r, 11, "Ia1 (mA)")) << c.name;
        EXPECT_REL(gridNumber(r, 11, "PRa (mW)"), 1000 * c.Ra * 4 * Ia * Ia, 0.01) << c.name;

        // Gains against the node equations, with the parameters the report prints.
        TTube probe = t;
        const double rho = probe.getRo(), gm = probe.getGm(), mu = rho * gm;
        const double RL = parallel(c.Ra, c.Ro);
        const double abyp = gridNumber(r, 11, "Abyp"), aunbyp = gridNumber(r, 11, "Aunbyp");
        EXPECT_NEAR(abyp, balancedGainFromNodes(rho, mu, RL, 0), 0.051) << c.name;
        EXPECT_NEAR(aunbyp, balancedGainFromNodes(rho, mu, RL, c.Rk), 0.051) << c.name;
        EXPECT_LT(abyp, aunbyp) << c.name; // both negative; degeneration lowers the gain
        EXPECT_LT(aunbyp, 0) << c.name;
        // Driven alone, a triode works into RL with its twin's ρ beside its own: RL ∥ ρ/2.
        EXPECT_NEAR(gridNumber(r, 11, "Zobyp (Ω)"), parallel(RL, rho / 2), 1) << c.name;
        EXPECT_NEAR(gridNumber(r, 11, "Zounbyp (Ω)"), parallel(RL, rho / 2 + (mu + 1) * c.Rk), 1) << c.name;
        EXPECT_GT(gridNumber(r, 11, "Zounbyp (Ω)"), gridNumber(r, 11, "Zobyp (Ω)")) << c.name;

        ASSERT_EQ(r.loadLines.size(), 1u) << c.name;
        EXPECT_DOUBLE_EQ(r.loadLines[0].Imax, c.Vb / (2 * (c.Ra + c.Rk))) << c.name;
        ASSERT_TRUE(r.bode.has_value()) << c.name;
        EXPECT_EQ(r.bode->legends.size(), 4u) << c.name;
        for (double a : r.bode->overall)
            EXPECT_TRUE(std::isfinite(a)) << c.name;
    }
}

TEST(MixerC11, ReportFormats) {
    const SolveResult r = solved(11, {{"LBtube", "ECC83 / 12AX7"}});
    const std::string head = std::string("<b>") + circuitInfo(11).title +
                             "</b><br><color=909090>Valvenix</color><br>Total power supply";
    EXPECT_EQ(r.dcReport.rfind(head, 0), 0u) << r.dcReport;
    for (const char* part : {"<br><br>Ia1 <css=i>", "<br>Ia2 <css=i>", "<br>Va <css=vp>", "<br>Vk <css=vp>",
                             "*** Quiescent state <b>T1 ECC83 / 12AX7</b>", "<br>Ra<css=r>  100kΩ</css>"})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    for (const char* part : {"<b>Small signal estimations:</b><br><br><b>T1 ECC83 / 12AX7</b>",
                             "<br>Both tubes operate under identical DC conditions<br>  ρ~<css=r>",
                             "gm~<css=gm>", "<br>Effective load on T1 T2 anode (Ra||Ro) <css=r>83333Ω</css>",
                             "<br>  * with BYpassed Rk", "<br><br>  * with UNbypassed Rk",
                             "<br>    Output impedance <css=r>", "<br>    Gain <css=µ>-", "</css>  <css=db>"})
        EXPECT_TRUE(contains(r.acReport, part)) << part << "\n" << r.acReport;
    EXPECT_EQ(occurrences(r.acReport, "<css=db>"), 2);
}

TEST(MixerC11, TracingChangesNothingButAddsTheTrace) {
    expectTracingChangesNothing(11, 1, "C11 - T1 ECC83 / 12AX7 - ");
}

TEST(MixerC11, WithoutCathodeResistorFails) {
    expectFailureVerdicts("C11 without cathode resistor", 11, {{"LBtube", "ECC83 / 12AX7"}, {"EdRk", "0"}},
                          "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css><br>Total");
}

TEST(MixerC11, DegenerateSheetsStayFinite) {
    struct Case {
        const char* name;
        Values values;
    } cases[] = {
        {"zero resistors", {{"EdRa", "0"}, {"EdRk", "0"}, {"EdRo", "0"}}},
        {"zero capacitors", {{"EdCa", "0"}, {"EdCg", "0"}, {"EdCk", "0"}, {"EdCo", "0"}}},
        {"huge resistors", {{"EdRa", "999M"}, {"EdRk", "999M"}}},
    };
    for (const auto& c : cases)
        expectFiniteSolve(c.name, 11, c.values);
}
