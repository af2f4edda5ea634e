// C7, the cathode-biased differential pair: one cathode voltage for unequal branches, the report
// and row formats, degenerate sheets and the traces.
#include "approx.h"
#include "differential_designs.h"

TEST(DifferentialC7, RealisticDesignIsPhysicallyConsistent) {
    expectPhysicallyConsistent(kC7Design);
}

TEST(DifferentialC7, PairGainsHaveOppositeSignsAndAddUp) {
    expectPairGainsOppositeAndAddingUp(kC7Design);
}

TEST(DifferentialC7, UnequalAnodeResistorsShareOneCathodeVoltage) {
    const SolveResult r = solved(7, kC7Design.values);
    ASSERT_EQ(r.tubes.size(), 2u);
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    // The larger anode resistor starves T2; both see the same cathode voltage Rk·(Ia1 + Ia2).
    EXPECT_GT(t1.Ia(), t2.Ia() * 1.02);
    const double Vk = 1000 * (t1.Ia() + t2.Ia());
    EXPECT_NEAR(-t1.Vgk(), Vk, 0.005);
    EXPECT_NEAR(-t2.Vgk(), Vk, 0.005);
    // The equivalent resistors Vk/Ia differ, their parallel value is Rk.
    const double Rk1 = Vk / t1.Ia(), Rk2 = Vk / t2.Ia();
    EXPECT_GT(Rk2, Rk1 * 1.02);
    EXPECT_REL(Rk1 * Rk2 / (Rk1 + Rk2), 1000, 0.002);
    EXPECT_EQ(r.dcReport.rfind("<br><color=909090>Valvenix</color>", 0), 0u) << r.dcReport;
    for (const char* part : {"Va1-Va2 <css=vp>", "<br>Rk <css=r>", "Vk <css=vp>"})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    EXPECT_EQ(r.gridRow[7], "0.0"); // "Vg1-Vg2 (V)": both grids on one bias
}

TEST(DifferentialC7, DegenerateSheetsStayFiniteAndTellTheUser) {
    struct Case {
        const char* name;
        Values values;
        bool message; // the bias solver's complaint after the loop is certain
    } cases[] = {
        {"shorted common resistor", {{"EdVg", "0"}, {"EdRk", "0"}}, false},
        {"zero coupling capacitors", {{"EdVg", "0"}, {"EdCg", "0"}, {"EdCa1", "0"}, {"EdCa2", "0"}}, false},
        {"grids at the supply", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(7, c.values);
        for (const TTube& t : r.tubes)
            EXPECT_TRUE(std::isfinite(t.Ia()) && std::isfinite(t.Vak()));
        ASSERT_TRUE(r.bode.has_value());
        for (const auto& curve : r.bode->curves)
            for (double g : curve)
                EXPECT_TRUE(std::isfinite(g));
        if (c.message) {
            EXPECT_EQ(r.messages[0], "Too many iterations");
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.gridRow[0], "ERROR");
        }
    }
}

TEST(DifferentialC7, TracesNameEveryTubeAndChangeNothing) {
    expectTracesNameEveryTube(kC7Design, 2, "Res ±2µA");
}
