// C2, the self-biased cathodyne: the operating point checked for physical consistency, the report
// formats, a zero bias resistor and the trace.
#include "approx.h"
#include "solve_fixture.h"

#include "solver/report_pieces.h"
#include "util/format.h"

#include <cmath>

namespace {

// A 12AU7 split-load stage with Ra = Rk and light loads on both outputs.
SolveRequest c2Case() {
    return firstOpening(2, {{"LBtube", "ECC82 / 12AU7"},
                            {"EdVb", "300"},
                            {"EdRa", "22k"},
                            {"EdRgk", "1k"},
                            {"EdRk", "22k"},
                            {"EdRao", "470k"},
                            {"EdRko", "470k"},
                            {"EdCg", "100n"},
                            {"EdCa", "100n"},
                            {"EdCk", "100n"},
                            {"EdCao", "100p"},
                            {"EdCko", "100p"}});
}

} // namespace

TEST(CathodyneC2, SelfBiasedSplitLoad) {
    const SolveOutcome out = solveCommand(c2Case());
    ASSERT_TRUE(out.solved);
    const SolveResult& r = out.result;
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_TRUE(r.messages.empty());

    // Rgk alone biases the grid; the whole series chain adds up to the supply.
    ASSERT_EQ(r.tubes.size(), 1u);
    const TTube& t = r.tubes[0];
    const double Ia = t.Ia();
    EXPECT_NEAR(Ia * 1000, 4.03, 0.01);
    EXPECT_NEAR(t.Vgk(), -1000 * Ia, 0.01);
    EXPECT_NEAR((22e3 + 1e3 + 22e3) * Ia + t.Vak(), 300, 1);
    ASSERT_EQ(r.stacks.size(), 1u);
    ASSERT_EQ(r.stacks[0].Items.size(), 4u);
    EXPECT_EQ(r.stacks[0].Items[2].nom, "Rgk");
    EXPECT_NEAR(sumOf(r.stacks[0]), 300, 1);

    EXPECT_EQ(labelOf(r, "LabelVa"), strFormat("%.1fV", 300 - 22e3 * Ia));
    EXPECT_EQ(labelOf(r, "LabelVk"), strFormat("%.2fV", 23e3 * Ia));
    EXPECT_EQ(labelOf(r, "LabelVg"), strFormat("%.2fV", 22e3 * Ia));
    EXPECT_EQ(labelOf(r, "LabelIa"), "4.03mA");

    EXPECT_EQ(r.dcReport.rfind(reportHeader(circuitInfo(2).title) + "<br>Total power supply", 0), 0u)
        << r.dcReport;
    for (const char* part :
         {"<br>Va 211.38V<br>Vk 92.65V<br>Vg 88.62V<br>Va <css=vp>", "Rgk<css=r>   1kΩ</css>"})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;

    // Equal resistors, light loads: opposite gains a little below 1, and the cathode following the
    // grid lifts the 1 MΩ grid resistor to Rg / (1 - Ak).
    ASSERT_EQ(r.gridRow.size(), 20u);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    EXPECT_EQ(r.gridRow[1], "ECC82 / 12AU7");
    EXPECT_EQ(r.gridRow[18], "-0.88");
    EXPECT_EQ(r.gridRow[19], "0.88");
    EXPECT_TRUE(contains(r.acReport, "Input impedance (Rgk BYpassed) <css=r>8425 kΩ</css>")) << r.acReport;

    ASSERT_EQ(r.loadLines.size(), 1u);
    EXPECT_DOUBLE_EQ(r.loadLines[0].Imax, 300 / 45e3);
    ASSERT_TRUE(r.bode.has_value());
    EXPECT_EQ(r.bode->legends.size(), 5u);
    for (double a : r.bode->overall)
        EXPECT_TRUE(std::isfinite(a));
    EXPECT_GT(r.bode->fH, r.bode->fL);
}

TEST(CathodyneC2, ZeroBiasResistorFailsTheBiasVerdict) {
    const SolveOutcome out = solveCommand(firstOpening(2, {{"LBtube", "ECC82 / 12AU7"}, {"EdRgk", "0"}}));
    ASSERT_TRUE(out.solved);
    const SolveResult& r = out.result;
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.dcReport.rfind(reportHeader(circuitInfo(2).title) +
                                   "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>"
                                   "<br>Total power supply",
                               0),
              0u)
        << r.dcReport;
    EXPECT_EQ(r.gridRow[0], "ERROR");
    EXPECT_EQ(r.gridRow[10], "0.000");
}

TEST(CathodyneC2, TraceNamesTheTube) {
    SolveRequest rq = c2Case();
    rq.traceConvergence = true;
    const SolveOutcome out = solveCommand(rq);
    ASSERT_EQ(out.result.traces.size(), 1u);
    EXPECT_EQ(out.result.traces[0].caption.rfind("C2 - T1 ECC82 / 12AU7 - ", 0), 0u)
        << out.result.traces[0].caption;
    EXPECT_EQ(out.result.gridRow, solveCommand(c2Case()).result.gridRow);
}
