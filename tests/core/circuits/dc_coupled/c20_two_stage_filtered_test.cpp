// C20, two stages on a filtered supply: a realistic point and a filter far too large.
#include "dc_coupled_checks.h"

TEST(CircuitC20, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(20, {{"LBtube", "ECC83 / 12AX7"}}, 2, "A1b", -1);
    // The second node sits below the first by the drop across R2.
    const double drop = gridNumber(r, 20, "R2 (Ω)") * gridNumber(r, 20, "IR2 (mA)") / 1000;
    EXPECT_NEAR(gridNumber(r, 20, "V1 (V)") - gridNumber(r, 20, "V2 (V)"), drop, 0.1);
}

// A filter resistor far too large for the stages behind it still settles on one point.
TEST(CircuitC20, FilterFarTooLargeStillSettles) {
    const SolveOutcome out = solveCommand(firstOpening(20, {{"EdR1", "1M"}, {"EdR2", "1M"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_FALSE(contains(out.result.dcReport, "Too many iterations")) << out.result.dcReport;
    const double V2 = std::stod(labelOf(out.result, "LabelVb2"));
    EXPECT_GT(V2, 0);
    EXPECT_LT(V2, 250);
}
