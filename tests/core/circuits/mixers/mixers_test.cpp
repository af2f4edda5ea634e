// The dual-triode mixers C11 (balanced) and C12 (asymmetrical): operating points that add up,
// small-signal figures checked against the node equations, report formats, supply limits, traces
// and failure paths.
#include "approx.h"
#include "solve_fixture.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

double parallel(double a, double b) {
    return a * b / (a + b);
}

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

TEST(CircuitC11, BalancedMixerAddsUpAndMatchesTheNodeEquations) {
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

TEST(CircuitC11, ReportFormats) {
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

TEST(CircuitC12, AsymmetricalMixerSettlesOnOneAnodeVoltage) {
    struct Case {
        const char* name;
        Values values;
        double Vb, Ra, Rk1, Rk2;
    } cases[] = {
        {"ECC83 equal cathodes", {{"LBtube", "ECC83 / 12AX7"}}, 250, 100e3, 1e3, 1e3},
        {"ECC82 unequal cathodes",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdRa", "22k"}, {"EdRk1", "680"}, {"EdRk2", "2k2"}},
         250,
         22e3,
         680,
         2200},
        {"supply above 500 V", {{"LBtube", "ECC83 / 12AX7"}, {"EdVb", "600"}}, 500, 100e3, 1e3, 1e3},
        {"supply below 50 V", {{"LBtube", "ECC83 / 12AX7"}, {"EdVb", "30"}}, 50, 100e3, 1e3, 1e3},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(12, c.values);
        EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        ASSERT_EQ(r.tubes.size(), 2u) << c.name;
        const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
        const double Ia1 = t1.Ia(), Ia2 = t2.Ia();
        EXPECT_LT(t1.Vgk(), 0) << c.name;
        EXPECT_LT(t2.Vgk(), 0) << c.name;
        EXPECT_NEAR(t1.Vgk(), -c.Rk1 * Ia1, 1e-3) << c.name;
        // Both branches hang from one anode node: Va = Vak + Vk in each, and Ra carries both currents.
        const double Va = t1.Vak() + c.Rk1 * Ia1;
        EXPECT_NEAR(t2.Vak() + c.Rk2 * Ia2, Va, 0.01) << c.name; // within the inner 1 µA
        EXPECT_LE(std::fabs(c.Vb - (Ia1 + Ia2) * c.Ra - Va), 0.25) << c.name;
        EXPECT_NEAR(std::stod(labelOf(r, "LabelVa")), Va, 0.011) << c.name;
        ASSERT_EQ(r.stacks.size(), 2u) << c.name;
        EXPECT_NEAR(sumOf(r.stacks[0]), c.Vb, 1) << c.name;
        EXPECT_NEAR(sumOf(r.stacks[1]), c.Vb, 1) << c.name;
        EXPECT_NEAR(gridNumber(r, 12, "Vb (V)"), c.Vb, 0) << c.name;
        EXPECT_TRUE(contains(r.dcReport, strFormat("Total power supply  <css=vp>%.0f V</css>", c.Vb)))
            << c.name << "\n"
            << r.dcReport;
        if (c.Rk1 == c.Rk2) {
            EXPECT_DOUBLE_EQ(Ia1, Ia2) << c.name;
        } else {
            EXPECT_GT(Ia1, Ia2) << c.name; // the smaller cathode resistor biases hotter
        }

        ASSERT_EQ(r.gridRow.size(), circuitInfo(12).gridColumns.size() + 1) << c.name;
        EXPECT_EQ(r.gridRow[0], "12:34:56") << c.name;
        // Each input works into RL ∥ ρ1 ∥ ρ2 with its own gm.
        TTube p1 = t1, p2 = t2;
        const double rho1 = p1.getRo(), gm1 = p1.getGm(), rho2 = p2.getRo(), gm2 = p2.getGm();
        const double zout = parallel(parallel(parallel(c.Ra, 500e3), rho1), rho2);
        EXPECT_NEAR(gridNumber(r, 12, "Zo (Ω)"), zout, 1) << c.name;
        EXPECT_NEAR(gridNumber(r, 12, "A1"), -gm1 * zout, 0.051) << c.name;
        EXPECT_NEAR(gridNumber(r, 12, "A2"), -gm2 * zout, 0.051) << c.name;
        ASSERT_EQ(r.loadLines.size(), 2u) << c.name;
        EXPECT_FALSE(r.bode.has_value()) << c.name;
    }
}

TEST(CircuitC12, ReportFormats) {
    const SolveResult r = solved(12, {{"LBtube", "ECC83 / 12AX7"}, {"EdRk2", "2k"}});
    const std::string head = std::string("<b>") + circuitInfo(12).title +
                             "</b><br><color=909090>Valvenix</color><br><i>Computing tolerance on Va  "
                             "<css=vp>0.25 V</css></i><br>Total power supply";
    EXPECT_EQ(r.dcReport.rfind(head, 0), 0u) << r.dcReport;
    for (const char* part :
         {"<br>Vk1 <css=vp>", "<br>Vk2 <css=vp>", "*** Quiescent state <b>T1 ECC83 / 12AX7</b>",
          "*** Quiescent state <b>T2 ECC83 / 12AX7</b>", "<br>Rk2<css=r>    2kΩ</css>"})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    for (const char* part :
         {"<b>Small signal estimations:</b><br><br>Rk1 and Rk2 are bypassed by "
          "capacitors.<br><br><b>T1 ECC83 / "
          "12AX7</b><br>  ρ~<css=r>",
          "<br><br><b>T2 ECC83 / 12AX7</b>", "g<SUB>m</SUB>~<css=gm>",
          "<br><br>Effective load on T1 T2 anode (Ra||Ro)<css=r>83333Ω</css>", "<br>Output impedance <css=r>",
          "<br><br>Voltage gain on T1 output <css=µ>-", "<br>Voltage gain on T2 output <css=µ>-"})
        EXPECT_TRUE(contains(r.acReport, part)) << part << "\n" << r.acReport;
    for (const char* label : {"LabelVk1", "LabelVk2"})
        EXPECT_EQ(labelOf(r, label).back(), 'V') << label;
    EXPECT_EQ(labelOf(r, "LabelIt"),
              strFormat("%.2fmA", 1000 * (r.tubes[0].Ia() + r.tubes[1].Ia()))); // the sum, not a rounded sum
}

TEST(Mixers, TracingChangesNothingButAddsTheTraces) {
    struct Case {
        int circuit;
        std::size_t traces;
        const char* captionStart;
    } cases[] = {
        {11, 1, "C11 - T1 ECC83 / 12AX7 - "},
        {12, 2, "C12 - T1 ECC83 / 12AX7 - "},
    };
    for (const auto& c : cases) {
        const SolveResult quiet = solved(c.circuit, {{"LBtube", "ECC83 / 12AX7"}});
        const SolveResult traced = solved(c.circuit, {{"LBtube", "ECC83 / 12AX7"}}, true);
        ASSERT_EQ(traced.traces.size(), c.traces) << c.circuit;
        EXPECT_EQ(traced.traces[0].caption.rfind(c.captionStart, 0), 0u) << traced.traces[0].caption;
        EXPECT_GT(traced.traces[0].count(), 1u) << c.circuit;
        EXPECT_EQ(traced.dcReport, quiet.dcReport) << c.circuit;
        EXPECT_EQ(traced.acReport, quiet.acReport) << c.circuit;
        EXPECT_EQ(traced.gridRow, quiet.gridRow) << c.circuit;
    }
    // C12's resolution is the 0.25 V tolerance seen through Ra = 100 kΩ.
    const SolveResult c12 = solved(12, {{"LBtube", "ECC83 / 12AX7"}}, true);
    EXPECT_TRUE(contains(c12.traces[1].caption, "C12 - T2 ECC83 / 12AX7 - ")) << c12.traces[1].caption;
    EXPECT_TRUE(contains(c12.traces[1].caption, " iter. Res ±2.5µA Ia ")) << c12.traces[1].caption;
}

TEST(Mixers, FailurePathsStillReport) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        const char* verdictLines;
    } cases[] = {
        {"C11 without cathode resistor",
         11,
         {{"LBtube", "ECC83 / 12AX7"}, {"EdRk", "0"}},
         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css><br>Total"},
        {"C12 without the first cathode resistor",
         12,
         {{"LBtube", "ECC83 / 12AX7"}, {"EdRk1", "0"}},
         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css><br><i>"},
        {"C12 without either cathode resistor",
         12,
         {{"LBtube", "ECC83 / 12AX7"}, {"EdRk1", "0"}, {"EdRk2", "0"}},
         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css><br><i>"},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.gridRow.at(0), "ERROR") << c.name;
        EXPECT_TRUE(contains(r.dcReport, c.verdictLines)) << c.name << "\n" << r.dcReport;
        EXPECT_EQ(occurrences(r.dcReport, "No convergence !"), 1) << c.name;
        EXPECT_EQ(occurrences(r.dcReport, "Vgk > 0"), 1) << c.name;
    }
}

TEST(Mixers, DegenerateSheetsStayFinite) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
    } cases[] = {
        {"C11 zero resistors", 11, {{"EdRa", "0"}, {"EdRk", "0"}, {"EdRo", "0"}}},
        {"C11 zero capacitors", 11, {{"EdCa", "0"}, {"EdCg", "0"}, {"EdCk", "0"}, {"EdCo", "0"}}},
        {"C11 huge resistors", 11, {{"EdRa", "999M"}, {"EdRk", "999M"}}},
        {"C12 zero anode resistor", 12, {{"EdRa", "0"}, {"EdRo", "0"}}},
        {"C12 huge resistors", 12, {{"EdRa", "999M"}, {"EdRk1", "999M"}, {"EdRk2", "1p"}}},
        {"C12 power triode", 12, {{"LBtube", "300B"}, {"EdRa", "1k"}, {"EdRk1", "800"}, {"EdRk2", "1k"}}},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        ASSERT_EQ(r.tubes.size(), 2u) << c.name;
        for (const TTube& t : r.tubes) {
            EXPECT_TRUE(std::isfinite(t.Ia())) << c.name;
            EXPECT_TRUE(std::isfinite(t.Vak())) << c.name;
        }
        for (const std::string& cell : r.gridRow) {
            EXPECT_FALSE(contains(cell, "nan")) << c.name << " " << cell;
            EXPECT_FALSE(contains(cell, "inf")) << c.name << " " << cell;
        }
        EXPECT_FALSE(contains(r.acReport, "inf")) << c.name << "\n" << r.acReport;
        EXPECT_FALSE(contains(r.acReport, "nan")) << c.name << "\n" << r.acReport;
        if (r.bode) {
            for (double a : r.bode->overall)
                EXPECT_TRUE(std::isfinite(a)) << c.name;
        }
    }
}
