// C33, the White cathode follower: a realistic point carrying one current through both tubes, the
// report with a null anode resistor, the stack bars and the grid row.
#include "followers_checks.h"

#include "util/format.h"

TEST(CircuitC33, RealisticOperatingPointAddsUp) {
    const SolveResult r = expectRealisticPoint(
        33, {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "120"}, {"EdRa", "1k"}, {"EdRk", "1k"}}, "Gain", 0.9,
        1.0);
    ASSERT_EQ(r.tubes.size(), 2u);
    EXPECT_REL(r.tubes[0].Ia(), r.tubes[1].Ia(), 0.01); // stacked tubes carry one current

    // The bar runs from the supply down: Ra, the upper tube T2, the lower tube T1, Rk.
    ASSERT_EQ(r.stacks.size(), 1u);
    const auto& items = r.stacks[0].Items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].nom, "Ra");
    EXPECT_EQ(items[1].nom, "T2");
    EXPECT_EQ(items[2].nom, "T1");
    EXPECT_EQ(items[3].nom, "Rk");

    // Va1 logs T2's anode, Va2 the output node on T1's anode.
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    EXPECT_NEAR(gridNumber(r, 33, "Va1 (V)"), 250 - 1e3 * t2.Ia(), 0.05);
    EXPECT_NEAR(gridNumber(r, 33, "Va2 (V)"), 1e3 * t1.Ia() + t1.Vak(), 0.05);
    EXPECT_NEAR(gridNumber(r, 33, "Vak1 (V)"), t1.Vak(), 0.05);
    EXPECT_NEAR(gridNumber(r, 33, "Vak2 (V)"), t2.Vak(), 0.05);
}

TEST(CircuitC33, ReportAndNullAnodeResistor) {
    SolveRequest rq =
        firstOpening(33, {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "120"}, {"EdRk", "1k"}, {"EdRa", "0"}});
    rq.traceConvergence = true;
    const SolveResult r = solveCommand(rq).result;
    EXPECT_EQ(r.dcReport.rfind("<b>White cathode follower</b><br><color=909090>Valvenix</color><br>", 0), 0u)
        << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, " iterations"));
    // No anode resistor: nothing to take at T2's anode, and the output impedance uses Rp = 1 Ω.
    EXPECT_TRUE(contains(r.acReport, "<br>Voltage gain an anode T2    <css=µ>0.00</css>")) << r.acReport;
    const double zout = gridNumber(r, 33, "Zout (Ω)");
    EXPECT_GT(zout, 0);
    EXPECT_LT(zout, 1000);
    EXPECT_TRUE(contains(r.acReport, " (calculated with average µ and ρ of T1 T2)"));
    EXPECT_TRUE(contains(r.acReport, "<br>T2 ECC82 / 12AU7</p><br>  ρ~<css=r>")) << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "g<SUB>m</SUB>~<css=gm>"));
    ASSERT_EQ(r.traces.size(), 2u);
    EXPECT_EQ(r.traces[0].caption.rfind("C33 - T1 ECC82 / 12AU7 - ", 0), 0u) << r.traces[0].caption;
    EXPECT_EQ(r.traces[1].caption.rfind("C33 - T2 ECC82 / 12AU7 - ", 0), 0u) << r.traces[1].caption;
    // Labels: T2's anode, the output node and T1's cathode.
    const TTube& t1 = r.tubes.at(0);
    EXPECT_EQ(labelOf(r, "LabelVa"), "250.0V");
    EXPECT_EQ(labelOf(r, "LabelVak"), strFormat("%.1fV", 1e3 * t1.Ia() + t1.Vak()));
    EXPECT_FALSE(r.bode.has_value());
}
