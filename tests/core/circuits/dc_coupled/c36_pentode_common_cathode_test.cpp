// C36, the common-cathode pentode stage: a realistic point, the report, zero resistors, and the
// traces of the anode and screen currents, a screen voltage no resistor can give.
#include "dc_coupled_checks.h"

#include "spice/netlist.h"

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

// A screen voltage above what the supply gives (less the cathode's rise) would need a negative screen
// resistor: the solve fails on that line alone, the label and the netlist show no resistor figure.
TEST(CircuitC36, ScreenVoltageAboveTheSupplyFails) {
    const struct {
        const char* vek;
        bool ok;
        const char* label;
    } rows[] = {{"240", true, "11ko"}, {"245", false, "none"}};
    const char* line = "<css=error>Screen voltage above what the supply can give: Vs ";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.vek);
        const SolveRequest rq =
            firstOpening(36, {{"LBtube", "EF86"}, {"EdVek", row.vek}, {"EdRk", "2k"}, {"EdRa", "100k"}});
        const SolveOutcome out = solveCommand(rq);
        ASSERT_TRUE(out.solved);
        EXPECT_EQ(out.result.ok, row.ok);
        EXPECT_EQ(contains(out.result.dcReport, line), !row.ok) << out.result.dcReport;
        EXPECT_FALSE(contains(out.result.dcReport, "Too many iterations"));
        EXPECT_EQ(labelOf(out.result, "LabelRe"), row.label);
        if (!row.ok) {
            const SpiceExport netlist = spiceNetlist(rq, out);
            EXPECT_TRUE(netlist.written);
            EXPECT_FALSE(netlist.problem.empty());
            EXPECT_TRUE(contains(netlist.text, "RE vb s1 {max(")) << netlist.text;
        }
    }
}
