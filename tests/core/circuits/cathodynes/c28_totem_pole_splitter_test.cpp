// C28, the totem-pole split-load phase splitter: the balance of its branches, a cut-off lower tube,
// a huge Rok and its own verdict lines.
#include "approx.h"
#include "solve_fixture.h"

#include "solver/report_pieces.h"
#include "util/format.h"

#include <cmath>

TEST(CathodyneC28, TotemPoleBalances) {
    SolveRequest rq = firstOpening(28, {{"LBtube", "ECC83 / 12AX7"}});
    rq.traceConvergence = true;
    const SolveOutcome out = solveCommand(rq);
    ASSERT_TRUE(out.solved);
    const SolveResult& r = out.result;
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_FALSE(contains(r.dcReport, "<css=error>"));
    EXPECT_TRUE(r.acReport.empty());
    EXPECT_FALSE(r.bode.has_value());

    // T2's current divides into T1 and Rok; both tubes self-biased; both branches add up.
    ASSERT_EQ(r.tubes.size(), 2u);
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    EXPECT_EQ(t2.Reference(), "T2");
    EXPECT_LT(t1.Vgk(), 0);
    EXPECT_LT(t2.Vgk(), 0);
    EXPECT_LT(t1.Ia(), t2.Ia());
    const double Iok = t2.Ia() - t1.Ia();
    EXPECT_EQ(labelOf(r, "LabelIok"), strFormat("%.2fmA", 1000 * Iok));
    EXPECT_EQ(labelOf(r, "LabelItot"), labelOf(r, "LabelIa2"));
    EXPECT_EQ(labelOf(r, "LabelVo"), "107.54V");
    EXPECT_NEAR(t2.Vgk(), -1e3 * t2.Ia(), 1e-3);
    EXPECT_NEAR(t1.Vgk(), -1e3 * t2.Ia(), 1e-3); // Rk1 carries I1 + Iok
    ASSERT_EQ(r.stacks.size(), 2u);
    EXPECT_EQ(r.stacks[0].Items.size(), 6u);
    EXPECT_EQ(r.stacks[1].Items[3].nom, "Rok");
    for (const auto& s : r.stacks)
        EXPECT_NEAR(sumOf(s), 250, 1);

    for (const char* part :
         {"<br>Va2  <css=vp>197.99 V</css>", "<br>Vo  <css=vp>107.54 V</css>", "Rok<css=r>  500kΩ</css>"})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    ASSERT_EQ(r.gridRow.size(), 28u);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    EXPECT_EQ(r.gridRow[5], "107.5");
    EXPECT_EQ(r.gridRow[19], "500,000");

    ASSERT_EQ(r.traces.size(), 3u);
    EXPECT_EQ(r.traces[0].caption.rfind("C28 - T1 ECC83 / 12AX7 - 11 iter. Res ±1µA Ia ", 0), 0u);
    EXPECT_EQ(r.traces[1].caption.rfind("C28 - T2 ECC83 / 12AX7 - 11 iter.", 0), 0u);
    EXPECT_EQ(r.traces[2].caption, "C28 - Vo=107.5V - 11 iter.");
}

// A large Rk1 lifts T1's cathode until T1 cuts off: all of T2's current flows through Rok, and
// T1's current reads zero, never a negative figure.
TEST(CathodyneC28, CutOffLowerTubeCarriesNoNegativeCurrent) {
    const SolveResult r = solveCommand(firstOpening(28, {{"LBtube", "ECC82 / 12AU7"},
                                                         {"EdVb", "350"},
                                                         {"EdRa2", "22k"},
                                                         {"EdRa1", "22k"},
                                                         {"EdRk1", "22k"},
                                                         {"EdRok", "22k"}}))
                              .result;
    EXPECT_EQ(labelOf(r, "LabelIa1"), "0.00mA");
    EXPECT_EQ(labelOf(r, "LabelIok"), labelOf(r, "LabelIa2"));
    EXPECT_EQ(r.gridRow.at(11), "0.000");
    EXPECT_FALSE(contains(r.dcReport, "-0.0")) << r.dcReport;
}

TEST(CathodyneC28, HugeRokStacksTwoSelfBiasedStages) {
    const SolveOutcome out =
        solveCommand(firstOpening(28, {{"LBtube", "ECC82 / 12AU7"}, {"EdRok", "1000M"}}));
    const SolveResult& r = out.result;
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_EQ(labelOf(r, "LabelIok"), "0.00mA");
    EXPECT_REL(r.tubes.at(0).Ia(), r.tubes.at(1).Ia(), 0.01);
    // Identical halves: the output node sits at half the supply.
    EXPECT_EQ(labelOf(r, "LabelVo"), "125.00V");
}

TEST(CathodyneC28, VerdictLinesAreWrittenOnce) {
    struct Case {
        const char* name;
        std::initializer_list<std::pair<const char*, const char*>> values;
        std::vector<const char*> lines; // expected error lines, in order
    } cases[] = {
        // T1 is cut off and its anode voltage held at 10 V, so the branch through it cannot add
        // up; the branch through Rok, which carries all of T2's current, still does.
        {"cathode resistor too large for T1",
         {{"EdRk1", "100M"}},
         {"No convergence !", "Wrong stacked voltages", "Error on stack voltages through T1+Ra1+Rk1"}},
        // An unbiased T1 that cannot go below 10 V on its anode out-draws T2 at every Vo.
        {"no balance",
         {{"LBtube", "ECC88 / 6DJ8"},
          {"EdVb", "20"},
          {"EdRa1", "0"},
          {"EdRa2", "0"},
          {"EdRk1", "0"},
          {"EdRk2", "10k"},
          {"EdRok", "1M"}},
         {"No convergence !", "Wrong stacked voltages", "Too many iterations",
          "Error on stack voltages through T1+Ra1+Rk1"}},
    };
    for (const auto& c : cases) {
        const SolveOutcome out = solveCommand(firstOpening(28, c.values));
        const SolveResult& r = out.result;
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.gridRow.at(0), "ERROR") << c.name;
        std::string expected = reportHeader(circuitInfo(28).title);
        for (const char* line : c.lines)
            expected += std::string("<br><css=error>") + line + "</css>";
        EXPECT_EQ(r.dcReport.rfind(expected + "<br>Total power supply", 0), 0u) << c.name << "\n"
                                                                                << r.dcReport;
        EXPECT_EQ(occurrences(r.dcReport, "Too many iterations"),
                  std::string(c.name) == "no balance" ? 1u : 0u)
            << c.name;
    }
}
