// C37, the single-ended triode stage: report, labels, stack, grid row, convergence caption, and the
// edge and failure cases of its sheet.
#include "approx.h"
#include "power_test_support.h"

using namespace power_test;

TEST(C37SingleEndedTriode, RealisticDesignSolvesConsistently) {
    expectRealisticDesign({37,
                           {{"LBtube", "300B"},
                            {"EdVb", "400"},
                            {"EdVg", "0"},
                            {"EdRk", "800"},
                            {"EdRa", "3k"},
                            {"EdRp", "100"}},
                           400,
                           4,
                           12});
}

TEST(C37SingleEndedTriode, ReportLabelsStackAndGridRow) {
    const SolveResult r = solved(37, {{"LBtube", "300B"},
                                      {"EdVb", "400"},
                                      {"EdVg", "0"},
                                      {"EdRk", "800"},
                                      {"EdRa", "3k"},
                                      {"EdRp", "100"},
                                      {"LBparallel", "2"},
                                      {"LBYt", "90"}});
    const TTube& t = r.tubes.at(0);
    const double Ia = 2 * t.Ia(); // the tube holds one of the two
    EXPECT_EQ(r.dcReport.rfind("<b>Single-ended triode power amplifier</b><br>", 0), 0u);
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>Total power supply "));
    EXPECT_TRUE(contains(r.dcReport, "<br>Total power supply " + fmtVoltage("", 0, 400) + "  " +
                                         fmtCurrent("", 0, 1000 * Ia) + "  " + fmtPowerW("", 1, 400 * Ia)));
    EXPECT_TRUE(contains(r.dcReport, "<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / 2)));
    EXPECT_TRUE(contains(r.dcReport, "<br>" + fmtCurrent("Ia total   ", 1, 1000 * Ia)));
    EXPECT_TRUE(contains(r.dcReport, "<br>" + fmtVoltage("Vk", 2, 800 * Ia)));
    EXPECT_TRUE(contains(r.dcReport, "Quiescent state <b>T1 300B</b>"));
    EXPECT_FALSE(contains(r.dcReport, "tubes in parallel per branch")); // one tube's share

    EXPECT_EQ(labelOf(r, "LabelVa"), strFormat("%.1fV", 400 - 100 * Ia));
    EXPECT_EQ(labelOf(r, "LabelVk"), strFormat("%.1fV", 800 * Ia));
    EXPECT_EQ(labelOf(r, "LabelIa"), strFormat("%.1fmA", 1000 * Ia));

    const TItems& items = r.stacks.at(0).Items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].nom, "Rp");
    EXPECT_EQ(items[1].nom, "T1");
    EXPECT_EQ(items[1].color, 0xFFFF7F00u);
    EXPECT_EQ(items[2].nom, "Rk");

    ASSERT_EQ(r.gridRow.size(), circuitInfo(37).gridColumns.size() + 1);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    EXPECT_EQ(r.gridRow[1], "2x 300B");
    EXPECT_EQ(r.gridRow[7], "90%");
    const TRecCycle& last = r.power->cycles.back();
    EXPECT_EQ(r.gridRow[12], strFormat("%.1f", last.swing));
    EXPECT_EQ(r.gridRow[13], strFormat("%.1f", last.Psec));
    EXPECT_EQ(r.gridRow[15], strFormat("%.2f", last.Y));
    EXPECT_EQ(r.power->n, 2);
    EXPECT_NEAR(r.power->Yt, 0.9, 1e-12);
    EXPECT_NEAR(last.Psec, 0.9 * last.Ppri, 1e-12);
    EXPECT_NEAR(r.power->Rdc, 900, 1e-9);
    EXPECT_NEAR(r.power->load, 3000, 1e-9);
}

// Without Rp and Rk the anode sits at the supply and the grid at its bias.
TEST(C37SingleEndedTriode, NoResistanceInTheAnodeOrCathode) {
    const SolveResult plain = solved(37, {{"LBtube", "2A3"},
                                          {"EdVb", "250"},
                                          {"EdVg", "-45"},
                                          {"EdRk", "0"},
                                          {"EdRa", "2500"},
                                          {"EdRp", "0"}});
    EXPECT_DOUBLE_EQ(plain.tubes.at(0).Vak(), 250);
    EXPECT_DOUBLE_EQ(plain.tubes.at(0).Vgk(), -45);
    EXPECT_EQ(plain.power->cycles.size(), 45u);
}

// A grid row marked ERROR on a failed verdict (grid at 0 V, no cathode resistor), without figures
// of an analysis that has no cycle.
TEST(C37SingleEndedTriode, FailedVerdictMarksTheGridRow) {
    const SolveResult zero = solved(
        37,
        {{"LBtube", "2A3"}, {"EdVb", "250"}, {"EdVg", "0"}, {"EdRk", "0"}, {"EdRa", "2500"}, {"EdRp", "0"}});
    EXPECT_EQ(zero.gridRow.at(0), "ERROR");
    EXPECT_TRUE(zero.power->cycles.empty());
    EXPECT_EQ(zero.gridRow.at(13), ""); // no cycle to report
}

TEST(C37SingleEndedTriode, ConvergenceCaption) {
    SolveRequest rq = firstOpening(37, {{"LBtube", "300B"},
                                        {"EdVb", "400"},
                                        {"EdVg", "0"},
                                        {"EdRk", "800"},
                                        {"EdRa", "3k"},
                                        {"EdRp", "100"}});
    rq.traceConvergence = true;
    const SolveOutcome se = solveCommand(rq);
    ASSERT_EQ(se.result.traces.size(), 1u);
    EXPECT_EQ(se.result.traces[0].caption.rfind("C37 - T1 300B - ", 0), 0u) << se.result.traces[0].caption;
    EXPECT_TRUE(contains(se.result.traces[0].caption, " iter. Res ±100µA Ia "));
    EXPECT_GT(se.result.traces[0].count(), 2u);
}

TEST(C37SingleEndedTriode, DegenerateSheetsReturn) {
    {
        SCOPED_TRACE("no load");
        expectDegenerateSheetReturns(
            37, {{"LBtube", "300B"}, {"EdVg", "-50"}, {"EdRa", "0"}, {"EdRp", "0"}, {"EdRk", "0"}});
    }
    {
        SCOPED_TRACE("huge bias");
        expectDegenerateSheetReturns(37,
                                     {{"LBtube", "300B"}, {"EdVg", "-999M"}, {"EdRk", "1"}, {"EdRa", "3k"}});
    }
}
