// C23, the push-pull amplifier with DC feedback: the output balancing the feedback loop, the report
// formats, direct feedback, impossible sheets and the traces.
#include "differential_designs.h"

TEST(DifferentialC23, RealisticDesignIsPhysicallyConsistent) {
    expectPhysicallyConsistent(kC23Design);
}

TEST(DifferentialC23, OutputBalancesTheFeedbackLoop) {
    const SolveResult r = solved(23, kC23Design.values);
    ASSERT_EQ(r.tubes.size(), 4u);
    const double Vo = labelNumber(r, "LabelVo");
    // T4's grid is T2's anode: Va2 = Vo + Vgk4, and T4 carries T3's current plus the divider's.
    EXPECT_NEAR(labelNumber(r, "LabelVa2"), Vo + r.tubes[3].Vgk(), 0.01);
    EXPECT_NEAR(labelNumber(r, "LabelVg2"), Vo / 2, 0.01);
    EXPECT_NEAR(labelNumber(r, "LabelI4"), labelNumber(r, "LabelI3") + labelNumber(r, "LabelIf12"), 0.011);
    EXPECT_NEAR(r.tubes[3].Ia(), r.tubes[2].Ia() + Vo / 200e3, 2e-6);
    EXPECT_NEAR(75 - r.tubes[0].Vgk(), Vo / 2 - r.tubes[1].Vgk(), 0.01); // one cathode node
    EXPECT_TRUE(r.acReport.empty());
    EXPECT_EQ(r.dcReport.rfind("<b>" + circuitInfo(23).title + "</b><br><color=909090>Valvenix</color> ", 0),
              0u)
        << r.dcReport;
    for (const char* part : {"IRf <css=i>", "Vk12 <css=vp>", "<br>Rk12<css=r>", "*** Quiescent state <b>T4 "})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    EXPECT_EQ(r.gridRow[1], "ECC83 / 12AX7");
    EXPECT_EQ(r.gridRow[2], "ECC82 / 12AU7");
}

// With Rf1 = 0 the whole output returns to T2's grid (k = 1). T2's anode then has to sit below
// its own cathode to bias T4, so the loop finds no balance: it must end, bounded, on a verdict.
TEST(DifferentialC23, DirectFeedbackPutsTheOutputOnT2Grid) {
    const SolveResult r = solved(23, {{"LBtube1", "ECC83 / 12AX7"},
                                      {"LBtube2", "ECC82 / 12AU7"},
                                      {"EdVb", "300"},
                                      {"EdVg1", "150"},
                                      {"EdRa1", "150k"},
                                      {"EdRa2", "150k"},
                                      {"EdRk12", "75k"},
                                      {"EdRk3", "1k"},
                                      {"EdRf1", "0"},
                                      {"EdRf2", "100k"}});
    EXPECT_EQ(labelOf(r, "LabelVg2"), labelOf(r, "LabelVo"));
    const double Vo = labelNumber(r, "LabelVo");
    if (r.ok)
        EXPECT_NEAR(Vo, 150, 0.5);
    else
        EXPECT_TRUE(contains(r.dcReport, "<css=error>")) << r.dcReport;
    EXPECT_TRUE(std::isfinite(Vo));
}

TEST(DifferentialC23, ImpossibleSheetsEndWithVerdictsNotHangs) {
    struct Case {
        const char* name;
        Values values;
    } cases[] = {
        {"first-use sheet (grid at the supply)", {}},
        {"no divider at all", {{"EdRf1", "0"}, {"EdRf2", "0"}, {"EdVg1", "50"}}},
        {"no cathode resistors", {{"EdRk12", "0"}, {"EdRk3", "0"}, {"EdVg1", "50"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(23, c.values);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.gridRow[0], "ERROR");
        for (const TTube& t : r.tubes)
            EXPECT_TRUE(std::isfinite(t.Ia()) && std::isfinite(t.Vak()) && std::isfinite(t.Vgk()));
    }
}

TEST(DifferentialC23, TracesNameEveryTubeAndChangeNothing) {
    expectTracesNameEveryTube(kC23Design, 4, "Res ±1mV");
}
