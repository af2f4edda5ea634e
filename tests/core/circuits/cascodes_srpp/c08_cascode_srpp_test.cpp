// C8, the cascode SRPP: a realistic design, a shorted anode resistor and zero resistors.
#include "cascodes_srpp_checks.h"

TEST(CascodeC8, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly({8, {{"LBtube", "ECC82 / 12AU7"}, {"EdRa", "10k"}}, 2, 2, 2});
}

TEST(CascodeC8, ShortRaEqualsZeroRa) {
    const SolveResult shorted = solved(8, {{"LBtube", "ECC82 / 12AU7"}, {"CheckBoxRa", "1"}});
    const SolveResult zero = solved(8, {{"LBtube", "ECC82 / 12AU7"}, {"EdRa", "0"}});
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_DOUBLE_EQ(shorted.tubes[i].Ia(), zero.tubes[i].Ia());
        EXPECT_DOUBLE_EQ(shorted.tubes[i].Vak(), zero.tubes[i].Vak());
    }
    EXPECT_EQ(labelOf(shorted, "LabelVa2"), "250.0V");
    EXPECT_TRUE(contains(shorted.dcReport, "iterations<br>")) << shorted.dcReport;
    EXPECT_TRUE(contains(shorted.acReport, "<br><i>Reference: The Optimized SRPP Amp (Part 2)"))
        << shorted.acReport;
    // Labels: T2's grid on T1's anode, T2's cathode above it by Rk2·I.
    const double Vg2 = 1000 * shorted.tubes[0].Ia() + shorted.tubes[0].Vak();
    EXPECT_EQ(labelOf(shorted, "LabelVg2"), strFormat("%.1fV", Vg2));
    EXPECT_EQ(labelOf(shorted, "LabelVk2"), strFormat("%.1fV", Vg2 + 1000 * shorted.tubes[1].Ia()));
}

TEST(CascodeC8, ZeroResistorsStayFinite) {
    expectFiniteSolve(8, {{"EdRk1", "0"}, {"EdRk2", "0"}, {"EdRa", "0"}});
}
