// C18, the single-triode shunt regulator: the shunt taking what the load leaves, the report and
// the tube's internal resistance, the dialogs that end a solve and the failed verdicts.
#include "regulator_designs.h"

#include "markup/formatters.h"

TEST(RegulatorC18, RealisticDesignSolvesCleanly) {
    expectSolvesCleanly(18, kC18, 350);
}

TEST(RegulatorC18, ShuntTakesWhatTheLoadLeaves) {
    struct Case {
        const char* name;
        const char* Io;
    } cases[] = {{"3 mA load", "3m"}, {"load disconnected", "0"}};
    for (const auto& c : cases) {
        const SolveResult r = solved(18, {{"LBtube", "ECC82 / 12AU7"},
                                          {"EdVb", "350"},
                                          {"EdR1", "22k"},
                                          {"EdR2", "100k"},
                                          {"EdR3", "100k"},
                                          {"EdVref", "100"},
                                          {"EdIo", c.Io}});
        const double Io = std::stod(c.Io == std::string("0") ? "0" : "3e-3");
        EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        const TTube& t = r.tubes.at(0);
        const double Vo = labelNumber(r, "LabelVo");
        EXPECT_NEAR(t.Ia(), (350 - Vo) / 22e3 - Vo / 200e3 - Io, 1e-5) << c.name;
        EXPECT_NEAR(t.Vak(), Vo - 100, 0.006) << c.name;
        EXPECT_NEAR(labelNumber(r, "LabelItot"), 1000 * (350 - Vo) / 22e3, 0.02) << c.name;
        EXPECT_EQ(labelOf(r, "LabelVg"), strFormat("%.2fV", Vo / 2)) << c.name;
        EXPECT_TRUE(contains(r.dcReport, "Max current that T1 can sink (at Vgk null) <css=i>")) << c.name;
        EXPECT_TRUE(contains(r.dcReport, "at Vo <css=vp>")) << c.name;
        EXPECT_TRUE(contains(r.acReport, "Internal resistance <css=r>" + scaleResistance(0, t.ρ())))
            << c.name;
    }
    // Without the load the tube sinks more and the output rises towards the nominal 200 V.
    const SolveResult loaded = solved(18, kC18);
    const SolveResult open = solved(18, {{"LBtube", "ECC82 / 12AU7"},
                                         {"EdVb", "350"},
                                         {"EdR1", "22k"},
                                         {"EdR2", "100k"},
                                         {"EdR3", "100k"},
                                         {"EdVref", "100"},
                                         {"EdIo", "0"}});
    EXPECT_GT(open.tubes.at(0).Ia(), loaded.tubes.at(0).Ia() + 2.5e-3);
    EXPECT_GT(labelNumber(open, "LabelVo"), labelNumber(loaded, "LabelVo"));
}

TEST(RegulatorC18, ImpossibleDesignsEndWithADialogAndNoReport) {
    const ImpossibleDesign cases[] = {
        {"drop across R1",
         18,
         {{"EdVb", "350"}, {"EdR1", "10k"}, {"EdIo", "31m"}},
         "R1 10000Ω is too high and/or output current 31mA is too high"},
        {"null R3", 18, {{"EdR3", "0"}}, "No resistor can be null!"},
        {"null R1 on a low supply", 18, {{"EdVb", "40"}, {"EdR1", "0"}}, "No resistor can be null!"},
        {"shunt too weak",
         18,
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdR1", "10k"},
          {"EdR2", "100k"},
          {"EdR3", "100k"},
          {"EdVref", "100"},
          {"EdIo", "5m"}},
         "T1 cannot sink 14.0mA at Vgk null, when load is disconnected"},
    };
    for (const auto& c : cases)
        expectDialogAndNoReport(c);
}

// The first-use sheet puts the nominal output above the supply: the shunt's anode falls below its
// cathode.
TEST(RegulatorC18, FirstOpeningWritesItsFailedLineOnce) {
    expectFailedLinesOnce(18, {}, {"Abnormal T1 operating conditions"});
}

TEST(RegulatorC18, ReferenceBeyondReachIsFiniteOrFlagged) {
    expectFiniteOrFlagged("reference beyond reach", 18, {{"EdVref", "999M"}, {"EdIo", "0"}});
}
