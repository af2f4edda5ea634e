// C9, two common-cathode stages with direct coupling: a realistic point, the report, a second stage
// that cannot lift its cathode above its grid, and where such a stage is shown.
#include "dc_coupled_checks.h"

namespace {

const Values kRealistic = {
    {"EdVb", "400"}, {"EdRk2", "120k"}, {"EdRa2", "39k"}, {"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}};

} // namespace

TEST(CircuitC9, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(9, kRealistic, 2, "A2u", -1);
    // T2's grid is T1's anode, and its cathode sits above it.
    const double Va1 = gridNumber(r, 9, "Va1 (V)");
    EXPECT_NEAR(Va1, 400 - gridNumber(r, 9, "Ra1 (Ω)") * r.tubes.at(0).Ia(), 0.05);
    EXPECT_GT(gridNumber(r, 9, "Vk2 (V)"), Va1);
}

TEST(CircuitC9, ReportFormats) {
    expectReportParts(9, kRealistic, {"Va1 <css=vp>183.3 V</css>", "*** Quiescent state <b>T2 12AY7</b>"},
                      {"<br><br>Total gain, BYpassed cathode resistors   <css=µ>",
                       "<br>Total gain, UNbypassed cathode resistors <css=µ>"},
                      {{"LabelVa1", "183.3V"}, {"LabelIa1", "2.2mA"}});
}

TEST(CircuitC9, SecondStageThatCannotLiftItsCathodeFails) {
    expectFailure(9, {}, "The circuit cannot be operated normally because of tube T2", true,
                  {"<css=error>Vgk > 0</css>", "<br>Tube T2 cannot deliver current in these conditions"});
}

// A second stage the split-load solver rejects is shown at zero bias on its load line, not at a
// point left over from the solver's probe.
TEST(CircuitC9, RejectedSecondStageSitsAtItsGridCurrentLimit) {
    const SolveOutcome out = solveCommand(firstOpening(9, {{"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}}));
    ASSERT_EQ(out.result.tubes.size(), 2u);
    const TTube& T2 = out.result.tubes[1];
    EXPECT_EQ(T2.Vgk(), 0);
    EXPECT_FALSE(std::signbit(T2.Vgk()));
    EXPECT_NEAR(T2.Vak() + 101e3 * T2.Ia(), 250, 0.5);
}
