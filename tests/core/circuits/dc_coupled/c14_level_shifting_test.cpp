// C14, two common-cathode stages with a level shifter: a realistic point, the report, the edge
// cases of a missing divider or cathode resistor, a divider tap too high, and the traces.
#include "dc_coupled_checks.h"

namespace {

const Values kRealistic = {{"EdVb", "300"},  {"EdRg2", "220k"},    {"EdRag", "470k"},   {"EdRk2", "22k"},
                           {"EdRa2", "47k"}, {"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}};

} // namespace

TEST(CircuitC14, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(14, kRealistic, 2, "A1byp", -1);
    // The divider's tap is T2's grid, and the divider's current is T1's anode over Rag + Rg2.
    const double Va1 = gridNumber(r, 14, "Va1 (V)");
    EXPECT_NEAR(gridNumber(r, 14, "Vg2 (V)"), Va1 * 220 / 690, 0.05);
    EXPECT_NEAR(gridNumber(r, 14, "Ig (mA)"), Va1 / 690, 0.0005);
}

TEST(CircuitC14, ReportFormats) {
    expectReportParts(14, kRealistic, {"Ishifter <css=i>0.192 mA</css>", "Vg2 <css=vp>42.32 V</css>"},
                      {"<br>Rk1 and Rk2 bypassed (BYp) or unbypassed (UNb) by capacitors.", "g<SUB>m</SUB>~",
                       "Effective load on T1 (Ra1||Rg2) <css=r>", "Voltage gain of T2 (UNb)   <css=µ>",
                       "<br><br>Global voltage gain of T1 and T2:<br>  Rk1 Rk2 BYp <css=µ>"},
                      {{"LabelVg2", "42.3V"}, {"LabelIg", "0.2mA"}});
}

TEST(CircuitC14, EdgeCases) {
    // Without a bottom resistor: T2's grid sits at 0 V and T2 biases itself through Rk2.
    SolveOutcome out = solveCommand(firstOpening(14, {{"EdRg2", "0"}, {"LBtube2", "ECC83 / 12AX7"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_EQ(labelOf(out.result, "LabelVg2"), "0.0V");
    ASSERT_EQ(out.result.tubes.size(), 2u);
    EXPECT_LT(out.result.tubes[1].Vgk(), 0);
    EXPECT_TRUE(out.messages.empty());

    // Without Rk1: T1's grid sits at its cathode's potential, which this circuit accepts (only a
    // positive grid is refused), and the bias prints as a plain zero.
    out = solveCommand(firstOpening(14, {{"EdVb", "350"},
                                         {"EdRa1", "220k"},
                                         {"EdRk1", "0"},
                                         {"EdRag", "1M"},
                                         {"EdRg2", "470k"},
                                         {"EdRk2", "8.2k"},
                                         {"EdRa2", "33k"},
                                         {"LBtube1", "ECC83 / 12AX7"},
                                         {"LBtube2", "ECC82 / 12AU7"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_TRUE(out.result.ok) << out.result.dcReport;
    EXPECT_FALSE(contains(out.result.dcReport, "<css=error>")) << out.result.dcReport;
    EXPECT_TRUE(contains(out.result.dcReport, "Vgk <css=vp>0.000 V</css>")) << out.result.dcReport;
}

TEST(CircuitC14, DividerTapTooHighFails) {
    expectFailure(
        14, {}, "The circuit cannot be operated normally because of tube T2", true,
        {"<br><css=error>Error: tube T2 cannot deliver required current because of Vg2 too high and/or "
         "Rk2 too low</css>"});
}

// T1's search tests each pass before moving: the trace holds the tube's current at every pass after
// the starting point, and the caption counts them.
TEST(CircuitC14, TraceCaptions) {
    const SolveResult r =
        expectTracesLeaveResults(14, kRealistic, {"C14 - T1 12AY7 - ", "C14 - T2 12AY7 - "});
    ASSERT_EQ(r.traces.size(), 2u);
    const TFormConvergence& t1 = r.traces[0];
    const std::size_t passes = t1.count() - 1;
    EXPECT_TRUE(contains(t1.caption, strFormat("- %d iter. Res ±1µA", static_cast<int>(passes))))
        << t1.caption;
    // The last pass met its tolerance: the tube's current there is the one reported.
    EXPECT_NEAR(t1.Points.back(), r.tubes.at(0).Ia(), 1e-12);
}
