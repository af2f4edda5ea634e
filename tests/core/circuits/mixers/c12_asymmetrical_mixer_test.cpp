// C12, the asymmetrical dual-triode mixer: one anode voltage both branches settle on, supply limits,
// small-signal figures, the report formats, the traces, failure paths and degenerate sheets.
#include "approx.h"
#include "mixers_checks.h"

#include "util/format.h"

#include <cmath>
#include <string>

TEST(MixerC12, AsymmetricalMixerSettlesOnOneAnodeVoltage) {
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

TEST(MixerC12, ReportFormats) {
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

TEST(MixerC12, TracingChangesNothingButAddsTheTraces) {
    expectTracingChangesNothing(12, 2, "C12 - T1 ECC83 / 12AX7 - ");
    // The resolution is the 0.25 V tolerance seen through Ra = 100 kΩ.
    const SolveResult c12 = solved(12, {{"LBtube", "ECC83 / 12AX7"}}, true);
    EXPECT_TRUE(contains(c12.traces[1].caption, "C12 - T2 ECC83 / 12AX7 - ")) << c12.traces[1].caption;
    EXPECT_TRUE(contains(c12.traces[1].caption, " iter. Res ±2.5µA Ia ")) << c12.traces[1].caption;
}

TEST(MixerC12, FailurePathsStillReport) {
    struct Case {
        const char* name;
        Values values;
    } cases[] = {
        {"without the first cathode resistor", {{"LBtube", "ECC83 / 12AX7"}, {"EdRk1", "0"}}},
        {"without either cathode resistor", {{"LBtube", "ECC83 / 12AX7"}, {"EdRk1", "0"}, {"EdRk2", "0"}}},
    };
    for (const auto& c : cases)
        expectFailureVerdicts(c.name, 12, c.values,
                              "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css><br><i>");
}

// 10 MΩ on the joined anodes and 1000 MΩ under T2: near the balance the tubes' currents move the
// mismatch by more than the tolerance between neighbouring voltages, so the bracket closes short of
// it. The search then stops, unconverged, long before its bound of 1001 passes.
TEST(MixerC12, BracketClosedShortOfTheBalanceGivesUp) {
    const SolveResult r = solved(12,
                                 {{"LBtube", "ECC99"},
                                  {"EdVb", "150"},
                                  {"EdRa", "10M"},
                                  {"EdRk1", "220k"},
                                  {"EdRk2", "1000M"},
                                  {"EdRo", "1k5"}},
                                 true);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(occurrences(r.dcReport, "Too many iterations"), 1) << r.dcReport;
    ASSERT_EQ(r.traces.size(), 2u);
    const std::string& caption = r.traces[0].caption;
    const auto dash = caption.find(" - ", caption.find(" - ") + 3);
    ASSERT_NE(dash, std::string::npos) << caption;
    const int passes = std::stoi(caption.substr(dash + 3));
    EXPECT_GT(passes, 40) << caption; // the bracket halved down to neighbouring voltages
    EXPECT_LT(passes, 100) << caption;
    EXPECT_EQ(r.traces[0].count(), static_cast<std::size_t>(passes)) << caption;
}

TEST(MixerC12, DegenerateSheetsStayFinite) {
    struct Case {
        const char* name;
        Values values;
    } cases[] = {
        {"zero anode resistor", {{"EdRa", "0"}, {"EdRo", "0"}}},
        {"huge resistors", {{"EdRa", "999M"}, {"EdRk1", "999M"}, {"EdRk2", "1p"}}},
        {"power triode", {{"LBtube", "300B"}, {"EdRa", "1k"}, {"EdRk1", "800"}, {"EdRk2", "1k"}}},
    };
    for (const auto& c : cases)
        expectFiniteSolve(c.name, 12, c.values);
}
