// Differential stages C7, C10, C15 and C23: operating points of realistic designs, report and
// label formats, the edge cases of each balance loop and the failure paths.
#include "approx.h"
#include "solve_fixture.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The number at the head of a label such as "151.05V" or "0.54mA".
// Realistic designs of the four circuits: an ECC83 pair, and for C23 an ECC82 output pair.
struct Design {
    const char* name;
    int circuit;
    Values values;
    double Vb;
};

const Design kDesigns[] = {
    {"C7 cathode-biased pair, unequal anode resistors",
     7,
     {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdRa1", "100k"}, {"EdRa2", "120k"}, {"EdRk", "1k"}},
     250},
    {"C10 pair on a 1 mA source",
     10,
     {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdIcs", "1m"}, {"EdRk", "100k"}},
     250},
    {"C15 long-tailed pair, 47k tail",
     15,
     {{"LBtube", "ECC83 / 12AX7"}, {"EdRkg", "1k"}, {"EdRk", "47k"}},
     250},
    {"C23 push-pull with DC feedback",
     23,
     {{"LBtube1", "ECC83 / 12AX7"},
      {"LBtube2", "ECC82 / 12AU7"},
      {"EdVb", "300"},
      {"EdVg1", "75"},
      {"EdRa1", "150k"},
      {"EdRa2", "150k"},
      {"EdRk12", "39k"},
      {"EdRk3", "1k"},
      {"EdRf1", "100k"},
      {"EdRf2", "100k"}},
     300},
};

} // namespace

TEST(DifferentialStages, RealisticDesignsArePhysicallyConsistent) {
    for (const Design& d : kDesigns) {
        SCOPED_TRACE(d.name);
        const SolveResult r = solved(d.circuit, d.values);
        EXPECT_TRUE(r.ok) << r.dcReport;
        EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << r.dcReport;
        EXPECT_TRUE(r.messages.empty());

        // Every stack adds up to the supply; every tube is biased below its cathode.
        ASSERT_FALSE(r.stacks.empty());
        for (const auto& stack : r.stacks) {
            double sum = 0;
            for (const auto& item : stack.Items)
                sum += item.valeur;
            EXPECT_NEAR(sum, d.Vb, 1);
        }
        ASSERT_EQ(r.tubes.size(), static_cast<std::size_t>(d.circuit == 23 ? 4 : 2));
        for (const TTube& t : r.tubes) {
            EXPECT_LT(t.Vgk(), 0) << t.Reference();
            EXPECT_GT(t.Ia(), 0) << t.Reference();
            EXPECT_GT(t.Vak(), 0) << t.Reference();
        }

        const CircuitInfo& info = circuitInfo(d.circuit);
        EXPECT_EQ(r.gridRow.size(), info.gridColumns.size() + 1);
        EXPECT_EQ(r.gridRow[0], "12:34:56");
        EXPECT_EQ(r.bode.has_value(), info.bodeTab);
        EXPECT_EQ(r.loadLines.size(), r.tubes.size());
        for (const auto& ll : r.loadLines) {
            EXPECT_TRUE(std::isfinite(ll.Imax) && ll.Imax > 0);
            // The operating point lies on the drawn load line.
            if (ll.drawLoadLine) {
                EXPECT_NEAR(ll.tube.Ia(), ll.Imax * (1 - ll.tube.Vak() / ll.Vmax), 2e-6)
                    << ll.tube.Reference();
            }
        }
    }
}

TEST(DifferentialStages, PairGainsHaveOppositeSignsAndAddUp) {
    for (const Design& d : kDesigns) {
        if (d.circuit == 23)
            continue;
        SCOPED_TRACE(d.name);
        const SolveResult r = solved(d.circuit, d.values);
        // The three gains close the grid row: inverting, non-inverting, differential (C7 lists
        // the non-inverting one first).
        const std::size_t n = r.gridRow.size();
        const double a1 = std::stod(r.gridRow[n - (d.circuit == 7 ? 2 : 3)]);
        const double a2 = std::stod(r.gridRow[n - (d.circuit == 7 ? 3 : 2)]);
        const double diff = std::stod(r.gridRow[n - 1]);
        EXPECT_LT(a1, -10);
        EXPECT_GT(a2, 5);
        EXPECT_NEAR(diff, std::fabs(a1) + a2, 0.11);
        for (const char* part :
             {"<b>Small signal estimations:</b><br>", "Gain on inverting output T1     <css=µ>",
              "Gain on non-inverting output T2  <css=µ>", "Differential gain                <css=µ>",
              "  <css=db>"})
            EXPECT_TRUE(contains(r.acReport, part)) << part << "\n" << r.acReport;
        // The chain: input RC, the pair's two outputs, one RC per anode; no feedback choice.
        ASSERT_TRUE(r.bode.has_value());
        EXPECT_EQ(r.bode->curves.size(), 5u);
        EXPECT_FALSE(r.bode->overallDrawn);
        EXPECT_TRUE(std::any_of(r.bode->table.begin(), r.bode->table.end(),
                                [](const TDataQP& row) { return row.titre == "T2"; }));
        const bool both = d.circuit == 7;
        EXPECT_EQ(contains(r.acReport, "<br><br>Both tubes ρ~<css=r>"), both) << r.acReport;
        EXPECT_EQ(contains(r.acReport, "<br><br><b>T1</b>: ρ~<css=r>"), !both) << r.acReport;
        EXPECT_EQ(contains(r.acReport, "<br><br><b>T2</b>: ρ~<css=r>"), !both) << r.acReport;
    }
}

TEST(CircuitC10, MatchedPairSplitsTheSourceCurrentEvenly) {
    const SolveResult r = solved(10, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdIcs", "2m"}});
    ASSERT_EQ(r.tubes.size(), 2u);
    EXPECT_NEAR(r.tubes[0].Ia(), 1e-3, 1e-6);
    EXPECT_NEAR(r.tubes[1].Ia(), 1e-3, 1e-6);
    EXPECT_EQ(r.dcReport.rfind("<br><color=909090>Valvenix</color> ", 0), 0u) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>"));
    for (const char* part :
         {"Total power supply  <css=vp>250 V</css>   <css=i>2.0 mA</css>   <css=mw>500 mW</css>",
          "ΔVa <css=vp>0.00 V</css>", "Vg <css=vp>0.00 V</css>", "*** Quiescent state <b>T1 ",
          "*** Quiescent state <b>T2 "})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    EXPECT_EQ(labelOf(r, "LabelIa1"), "1.0mA");
    EXPECT_EQ(labelOf(r, "LabelIt"), "2.0mA");
    EXPECT_EQ(labelOf(r, "LabelVa1"), labelOf(r, "LabelVa2"));
    EXPECT_EQ(r.gridRow[10], "2.000"); // "Ic (mA)"
}

TEST(CircuitC10, ZeroSourceCurrentRunsOnATrickle) {
    const SolveResult r = solved(10, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdIcs", "0"}});
    EXPECT_TRUE(contains(r.dcReport, "Total power supply  <css=vp>250 V</css>   <css=i>0.1 mA</css>"))
        << r.dcReport;
    EXPECT_NEAR(r.tubes[0].Ia() + r.tubes[1].Ia(), 1e-4, 2e-6);
}

TEST(CircuitC7, UnequalAnodeResistorsShareOneCathodeVoltage) {
    const SolveResult r = solved(7, kDesigns[0].values);
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

TEST(CircuitC7, DegenerateSheetsStayFiniteAndTellTheUser) {
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

TEST(CircuitC15, GridReturnSitsOnTheTail) {
    const SolveResult r = solved(15, kDesigns[2].values);
    const double It = r.tubes[0].Ia() + r.tubes[1].Ia();
    EXPECT_NEAR(labelNumber(r, "LabelVg"), 47e3 * It, 0.15);
    EXPECT_NEAR(labelNumber(r, "LabelVk"), 48e3 * It, 0.15);
    EXPECT_NEAR(r.tubes[0].Vgk(), -1e3 * It, 3e-3);
    EXPECT_EQ(
        r.dcReport.rfind("<p><b>" + circuitInfo(15).title + "</b></p><br><color=909090>Valvenix</color> ", 0),
        0u)
        << r.dcReport;
    for (const char* part : {"<br>Rkg<css=r>", "<br>Rk <css=r>", "ΔVa <css=vp>0.00 V</css>"})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
}

TEST(CircuitC15, NoBiasResistorLeavesTheGridsAtTheCathodes) {
    const SolveResult r = solved(15, {{"LBtube", "ECC83 / 12AX7"}, {"EdRkg", "0"}, {"EdRk", "47k"}});
    EXPECT_EQ(r.tubes[0].Vgk(), 0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.gridRow[0], "ERROR");
    EXPECT_TRUE(contains(r.dcReport, "<br><css=error>Vgk > 0</css>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br><css=error>Vgk(s) positive or null</css>")) << r.dcReport;
    EXPECT_LE(occurrences(r.dcReport, "Too many iterations"), 1u);
}

TEST(CircuitC23, OutputBalancesTheFeedbackLoop) {
    const SolveResult r = solved(23, kDesigns[3].values);
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
TEST(CircuitC23, DirectFeedbackPutsTheOutputOnT2Grid) {
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

TEST(CircuitC23, ImpossibleSheetsEndWithVerdictsNotHangs) {
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

TEST(DifferentialStages, TracesNameEveryTubeAndChangeNothing) {
    struct Case {
        int circuit;
        Values values;
        std::size_t traces;
        const char* tolerance;
    } cases[] = {
        {7, kDesigns[0].values, 2, "Res ±2µA"},
        {10, kDesigns[1].values, 2, "Res ±1µA"},
        {15, kDesigns[2].values, 2, "Res ±1µA"},
        {23, kDesigns[3].values, 4, "Res ±1mV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.circuit);
        const SolveResult quiet = solved(c.circuit, c.values);
        const SolveResult traced = solved(c.circuit, c.values, true);
        ASSERT_EQ(traced.traces.size(), c.traces);
        for (std::size_t i = 0; i < c.traces; ++i) {
            const std::string head = strFormat("C%d - T%zu ", c.circuit, i + 1);
            EXPECT_EQ(traced.traces[i].caption.rfind(head, 0), 0u) << traced.traces[i].caption;
            EXPECT_TRUE(contains(traced.traces[i].caption, c.tolerance)) << traced.traces[i].caption;
            EXPECT_GT(traced.traces[i].count(), 1u);
        }
        EXPECT_EQ(traced.dcReport, quiet.dcReport);
        EXPECT_EQ(traced.gridRow, quiet.gridRow);
    }
}
