// C21, the double cascode: a realistic design, the compound gain, a missing R1, zero capacitors and
// a shorted output.
#include "cascodes_srpp_checks.h"

TEST(CascodeC21, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly({21,
                                        {{"LBtube1", "ECC83 / 12AX7"},
                                         {"LBtube2", "ECC82 / 12AU7"},
                                         {"EdR1", "1k"},
                                         {"EdR2", "1k"},
                                         {"EdR3", "1k"},
                                         {"EdR4", "1k"}},
                                        4,
                                        4,
                                        1});
}

TEST(CascodeC21, CompoundGainIsTheProductOfTheStages) {
    const SolveResult r = solved(21, {{"LBtube1", "ECC83 / 12AX7"},
                                      {"LBtube2", "ECC82 / 12AU7"},
                                      {"EdR1", "1k"},
                                      {"EdR2", "1k"},
                                      {"EdR3", "1k"},
                                      {"EdR4", "1k"}});
    const double A1 = gridNumber(r, 21, "A1"), A2 = gridNumber(r, 21, "A2");
    EXPECT_LT(A1, -20); // half-µ: about −µ/2
    EXPECT_GT(A2, 0.8); // follower a little below 1
    EXPECT_LT(A2, 1);
    EXPECT_TRUE(contains(r.acReport, "Compound voltage gain (R1 BYpassed)   ")) << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "Compound voltage gain (R1 UNbypassed) <css=µ>-")) << r.acReport;
    // T4's grid is T1's anode: Vgk4 = Va1 − (T4's cathode).
    const double Va1 = 250 - r.tubes[1].Vak() - 1000 * r.tubes[1].Ia();
    EXPECT_EQ(labelOf(r, "LabelVa1"), strFormat("%.2fV", Va1));
    EXPECT_NEAR(Va1 - (250 - r.tubes[3].Vak()), r.tubes[3].Vgk(), 0.1);
    EXPECT_TRUE(contains(r.dcReport, "<br><b>FIRST STAGE T1 T2</b>"));
    EXPECT_TRUE(contains(r.dcReport, "<br><b>SECOND STAGE T3 T4</b>"));
    ASSERT_TRUE(r.bode.has_value());
}

TEST(CascodeC21, WithoutR1TheLowerGridSitsAtItsCathode) {
    expectFailureVerdict(21, {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdR1", "0"}},
                         "<br><css=error>Vgk(s) positive or null</css>");
}

TEST(CascodeC21, ZeroCapacitorsStayFinite) {
    expectFiniteSolve(21, {{"EdCg", "0"}, {"EdCa", "0"}, {"EdC1", "0"}, {"EdCo", "0"}});
}

TEST(CascodeC21, NullCompoundGainHasNoDecibelFigure) {
    expectNullGainWithoutDecibels(
        21, {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdRo", "0"}},
        "<br>Compound voltage gain (R1 BYpassed)   <css=µ>0.00</css><br>");
}
