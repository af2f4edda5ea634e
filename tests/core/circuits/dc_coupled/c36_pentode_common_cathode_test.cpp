// C36, the common-cathode pentode stage: a realistic point, the report, zero resistors, and the
// traces of the anode and screen currents.
#include "dc_coupled_checks.h"

namespace {

const Values kRealistic = {{"LBtube", "EF86"}, {"EdVek", "100"}, {"EdRk", "2k"}, {"EdRa", "220k"}};

} // namespace

TEST(CircuitC36, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(36, kRealistic, 1, "Av", -1);
    // The screen sits Vek above the cathode; Rk carries the anode and screen currents.
    const TTube& t = r.tubes.at(0);
    EXPECT_EQ(gridNumber(r, 36, "Is (mA)"), std::stod(strFormat("%.3f", 1000 * t.Ie())));
    EXPECT_NEAR(-t.Vgk(), 2e3 * (t.Ia() + t.Ie()), 0.01);
}

TEST(CircuitC36, ReportFormats) {
    expectReportParts(
        36, kRealistic,
        {"Cathode-common pentode amplifier</b><br>", " iterations", "Is <css=i>", "Vs <css=vp>"},
        {"</css><br>AC load <css=r>", "<br>  * if BYpassed cathode resistor:<br>    gain <css=µ>-"}, {});
}

// Zero resistors read as 1 Ω: the current lies far outside the starting bracket.
TEST(CircuitC36, ZeroResistorsRunOutOfPasses) {
    const SolveOutcome out =
        solveCommand(firstOpening(36, {{"EdRa", "0"}, {"EdRk", "0"}, {"LBtube", "EF86"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_TRUE(contains(out.result.dcReport, "<br>500 iterations")) << out.result.dcReport;
    EXPECT_TRUE(contains(out.result.dcReport, "<css=error>Too many iterations</css>"));
    EXPECT_FALSE(out.result.ok);
    EXPECT_EQ(out.result.gridRow[0], "ERROR");
}

TEST(CircuitC36, TraceCaptions) {
    const SolveResult r = expectTracesLeaveResults(36, kRealistic, {"C36 - T1 EF86 - ", "C36 - T1 EF86 - "});
    ASSERT_EQ(r.traces.size(), 2u);
    EXPECT_TRUE(contains(r.traces[0].caption, " iter. Res ±10µA Ia ")) << r.traces[0].caption;
    EXPECT_TRUE(contains(r.traces[1].caption, " iter. Res ±10µA Ie ")) << r.traces[1].caption;
}
