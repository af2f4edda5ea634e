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
