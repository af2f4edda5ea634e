// C26, the CCDA line amplifier: a realistic point, a missing cathode resistor and the traces.
#include "dc_coupled_checks.h"

TEST(CircuitC26, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(26,
                                                {{"EdVb", "300"},
                                                 {"EdRa", "47k"},
                                                 {"EdRk1", "680"},
                                                 {"EdRk2", "22k"},
                                                 {"EdRk3", "22k"},
                                                 {"LBtube", "ECC88 / 6DJ8"}},
                                                2, "", 0);
    // Rk1 carries both currents; T2's cathode sits Rk2 + Rk3 above it.
    const double Ia1 = r.tubes.at(0).Ia(), Ia2 = r.tubes.at(1).Ia();
    EXPECT_NEAR(gridNumber(r, 26, "Vk1 (V)"), 680 * (Ia1 + Ia2), 0.005);
    EXPECT_NEAR(gridNumber(r, 26, "Vk2 (V)"), 680 * (Ia1 + Ia2) + 44e3 * Ia2, 0.05);
}

TEST(CircuitC26, WithoutCathodeResistorFails) {
    expectFailure(26, {{"EdRk1", "0"}}, "", true, {"<br><css=error>Vgk positive</css>"});
}

TEST(CircuitC26, TraceCaptions) {
    expectTracesLeaveResults(26, {{"LBtube", "ECC88 / 6DJ8"}},
                             {"C26 - T1 ECC88 / 6DJ8 - ", "C26 - T2 ECC88 / 6DJ8 - "});
}
