// C32, the common-grid amplifier: a realistic point, the report and a missing cathode resistor.
#include "dc_coupled_checks.h"

namespace {

const Values kRealistic = {{"LBtube", "ECC88 / 6DJ8"}, {"EdRa", "47k"}, {"EdRk", "470"}};

} // namespace

TEST(CircuitC32, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(32, kRealistic, 1, "Gain", 1);
    // The input at the cathode is low: below the cathode resistor it parallels.
    EXPECT_LT(gridNumber(r, 32, "Zin (Ω)"), 470);
}

TEST(CircuitC32, ReportFormats) {
    expectReportParts(32, kRealistic, {"Ia <css=i>"},
                      {"<br>T1: ρ~<css=r>", "Input impedance (with Rk) <css=r>"}, {});
}

TEST(CircuitC32, WithoutCathodeResistorFails) {
    expectFailure(32, {{"EdRk", "0"}}, "", true,
                  {"<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>"});
}

// Without an anode resistor the stage has no gain: the gain line stops at its figure, with no empty
// decibel text after it.
TEST(CircuitC32, NullGainHasNoDecibels) {
    const SolveOutcome out = solveCommand(firstOpening(32, {{"EdRa", "0"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_TRUE(contains(out.result.acReport, "Voltage gain              <css=µ>0.0</css><br>"))
        << out.result.acReport;
    EXPECT_FALSE(contains(out.result.acReport, "dB")) << out.result.acReport;
}
