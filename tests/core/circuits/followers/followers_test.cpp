// The cathode followers C3, C4, C33 and C35: operating points that add up, report formats, and the
// failure paths (null resistor, a follower that cannot carry its current, stack tolerances).
#include "approx.h"
#include "solve_fixture.h"

#include "circuits/solver_common.h"

#include "circuits/followers/followers_internal.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <cmath>
#include <string>

namespace {

// The "Type" of each two-port in chain order: the per-stage table's first frequency block, which
// ends at the overall row.
std::vector<std::string> chainKinds(const BodeData& bode) {
    std::vector<std::string> kinds;
    for (const TDataQP& row : bode.table) {
        if (row.nature.empty())
            break;
        kinds.push_back(row.nature);
    }
    return kinds;
}

} // namespace

TEST(Followers, RealisticOperatingPointsAddUp) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        const char* gainLegend;
        double gainMin, gainMax;
    } cases[] = {
        {"C3 ECC82 fixed bias",
         3,
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "100"}, {"EdRk", "22k"}, {"EdCg", "100n"}},
         "Gain",
         0.85,
         0.99},
        {"C4 ECC83 into ECC82 follower",
         4,
         {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdRk2", "47k"}},
         "A1.A2",
         -70,
         -20},
        {"C33 White follower ECC82",
         33,
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "120"}, {"EdRa", "1k"}, {"EdRk", "1k"}},
         "Gain",
         0.9,
         1.0},
        {"C35 follower on a sink ECC88",
         35,
         {{"LBtube", "ECC88 / 6DJ8"}, {"EdVg2", "130"}, {"EdR1", "1k"}, {"EdCg", "100n"}, {"EdCso", "1µ"}},
         "Av",
         0.9,
         1.0},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << c.name;
        EXPECT_TRUE(r.messages.empty()) << c.name;
        ASSERT_EQ(r.gridRow.size(), circuitInfo(c.circuit).gridColumns.size() + 1) << c.name;
        EXPECT_EQ(r.gridRow[0], "12:34:56") << c.name;
        const double gain = gridNumber(r, c.circuit, c.gainLegend);
        EXPECT_GT(gain, c.gainMin) << c.name;
        EXPECT_LT(gain, c.gainMax) << c.name;
        ASSERT_FALSE(r.tubes.empty()) << c.name;
        for (const TTube& t : r.tubes) {
            EXPECT_LE(t.Vgk(), 0) << c.name << " " << t.Reference();
            EXPECT_GT(t.Ia(), 0.5e-3) << c.name << " " << t.Reference();
            EXPECT_GT(t.gm(), 0) << c.name << " " << t.Reference();
        }
        // The last bar is the branch through the tubes: it adds up to the supply.
        ASSERT_FALSE(r.stacks.empty()) << c.name;
        EXPECT_NEAR(sumOf(r.stacks.back()), 250, 1) << c.name;
        if (c.circuit == 33 || c.circuit == 35) { // stacked tubes carry one current
            EXPECT_REL(r.tubes[0].Ia(), r.tubes[1].Ia(), 0.01) << c.name;
        }
        EXPECT_EQ(r.bode.has_value(), circuitInfo(c.circuit).bodeTab) << c.name;
    }
}

TEST(CircuitC3, FollowerSitsAboveItsGrid) {
    SolveRequest rq =
        firstOpening(3, {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "100"}, {"EdRk", "22k"}, {"EdCg", "100n"}});
    rq.traceConvergence = true;
    const SolveOutcome out = solveCommand(rq);
    const SolveResult& r = out.result;
    const TTube& t = r.tubes.at(0);
    const double Vk = 22e3 * t.Ia();
    EXPECT_NEAR(Vk, 100 - t.Vgk(), 0.05); // the cathode is the grid voltage plus the bias
    EXPECT_EQ(labelOf(r, "LabelVk"), strFormat("%.2fV", Vk));
    EXPECT_EQ(labelOf(r, "LabelIa"), strFormat("%.2fmA", 1000 * t.Ia()));
    EXPECT_TRUE(contains(r.dcReport, "<br>  Total power supply  <css=vp>250 V</css>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "*** Quiescent state <b>T1 ECC82 / 12AU7</b>"));
    EXPECT_TRUE(contains(r.acReport, "Voltage gain     <css=µ>0.9")) << r.acReport;
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_EQ(r.traces[0].caption, strFormat("C3 - T1 ECC82 / 12AU7 - Res ±1µA Ia %.2fmA", 1000 * t.Ia()));
    ASSERT_EQ(r.loadLines.size(), 1u);
    EXPECT_DOUBLE_EQ(r.loadLines[0].Imax, 250 / 22e3);

    ASSERT_TRUE(r.bode.has_value());
    EXPECT_EQ(chainKinds(*r.bode), (std::vector<std::string>{"RC-in", "Cat-fol", "RC-out"}));
    EXPECT_GT(r.bode->fH, 20000);
    EXPECT_LT(r.bode->fL, 100);
}

TEST(CircuitC3, FailurePaths) {
    // A null cathode resistor replaces the whole report by one line.
    SolveResult r = solved(3, {{"EdRk", "0"}});
    EXPECT_EQ(r.dcReport, "<css=error>Resistor(s) cannot be null !</css>");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.gridRow.empty());
    EXPECT_TRUE(r.labels.empty());
    EXPECT_FALSE(r.bode.has_value());

    // Grid at the supply (the first-use sheet): the tube cannot carry Vg/Rk. The dialog text is
    // shown, the report is still written and the point is rejected.
    r = solved(3, {{"LBtube", "ECC82 / 12AU7"}});
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].rfind("The circuit cannot be operated normally:\n\nthe tube cannot provide the "
                                  "minimal current\n  250mA (250V onto 1000Ω)",
                                  0),
              0u)
        << r.messages[0];
    EXPECT_TRUE(contains(r.dcReport, "<br><css=error>Wrong operating point</css>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "Quiescent state"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.gridRow.at(0), "ERROR");
}

TEST(CircuitC4, WarningWhenTheFollowerCannotCarryItsCurrent) {
    struct Case {
        const char* name;
        Values values;
        bool warned;
    } cases[] = {
        {"large Ra, large Rk2",
         {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdRa", "220k"}, {"EdRk2", "47k"}},
         false},
        {"small Rk2", {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdRk2", "1k"}}, true},
    };
    const std::string warning =
        "<br><br><css=error>Warning: the tube T2 cannot deliver the current<br>which is "
        "imposed by its (high) grid voltage and (low) cathode resistor.</css>";
    for (const auto& c : cases) {
        const SolveResult r = solved(4, c.values);
        EXPECT_EQ(contains(r.dcReport, warning), c.warned) << c.name << "\n" << r.dcReport;
        EXPECT_EQ(r.ok, !c.warned) << c.name;
        EXPECT_EQ(r.messages.empty(), !c.warned) << c.name;
        EXPECT_EQ(r.gridRow.at(0), c.warned ? "ERROR" : "12:34:56") << c.name;
        EXPECT_LE(occurrences(r.dcReport, "No convergence !"), 1) << c.name;
        const TTube& t1 = r.tubes.at(0);
        // T2's grid is T1's anode.
        EXPECT_EQ(labelOf(r, "LabelVg"), strFormat("%.2fV", 250 - gridNumber(r, 4, "Ra (Ω)") * t1.Ia()));
    }
}

TEST(CircuitC4, TotalGainIsTheProductOfTheStages) {
    SolveRequest rq = firstOpening(4, {{"LBtube1", "ECC83 / 12AX7"},
                                       {"LBtube2", "ECC82 / 12AU7"},
                                       {"EdRk2", "47k"},
                                       {"CheckBoxConnected", "1"}});
    rq.traceConvergence = true;
    const SolveResult r = solveCommand(rq).result;
    ASSERT_EQ(r.traces.size(), 2u);
    EXPECT_EQ(r.traces[0].caption.rfind("C4 - T1 ECC83 / 12AX7 - ", 0), 0u) << r.traces[0].caption;
    EXPECT_EQ(r.traces[1].caption,
              strFormat("C4 - T2 ECC82 / 12AU7 - Res ±1µA Ia %.2fmA", 1000 * r.tubes.at(1).Ia()));
    const double A1 = gridNumber(r, 4, "A1"), A2 = gridNumber(r, 4, "A2");
    EXPECT_LT(A1, -50);
    EXPECT_NEAR(gridNumber(r, 4, "A1.A2"), A1 * A2, 0.1);
    const std::string bypassed = strFormat("<br><br>Total gain (Rk1 BYpassed)   <css=µ>%.1f</css> or %.1fdB",
                                           A1 * A2, 20 * std::log10(std::fabs(A1 * A2)));
    EXPECT_TRUE(contains(r.acReport, bypassed)) << bypassed << "\n" << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "<br><br>Total gain (Rk1 UNbypassed) <css=µ>-3")) << r.acReport;
    ASSERT_EQ(r.stacks.size(), 2u);
    EXPECT_NEAR(sumOf(r.stacks[0]), 250, 1);
    EXPECT_NEAR(sumOf(r.stacks[1]), 250, 1);
    ASSERT_EQ(r.loadLines.size(), 2u);
    EXPECT_EQ(r.loadLines[1].image, 2);
    EXPECT_DOUBLE_EQ(r.loadLines[1].Imax, 250 / 47e3);

    // A null follower resistor cannot bias T2.
    const SolveResult nullRk2 = solved(4, {{"EdRk2", "0"}});
    EXPECT_EQ(nullRk2.dcReport, "<css=error>Resistor(s) cannot be null !</css>");
}

TEST(Followers, VerdictLinesAreWrittenOnce) {
    std::string report = "<b>title</b>";
    EXPECT_FALSE(addVerdictsOnce(report, true, false, true, true, true));
    EXPECT_TRUE(addVerdictsOnce(report, true, true, true, true, true));
    EXPECT_FALSE(addVerdictsOnce(report, true, false, false, true, true));
    EXPECT_EQ(report,
              "<b>title</b><br><css=error>No convergence !</css><br><css=error>Wrong operating point</css>"
              "<br><css=error>Vgk > 0</css>");
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

TEST(CircuitC35, LargeSinkResistorStillAddsUpToTheSupply) {
    // With a large sink resistor the pair's balance used to stop on a stale current, about 2 V off.
    const SolveResult r = solved(35, {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "150"}, {"EdR1", "22k"}});
    EXPECT_NEAR(sumOf(r.stacks.at(1)), 250, 1e-3);
    EXPECT_TRUE(r.ok) << r.dcReport;

    // The grid bias bar and its labels.
    ASSERT_EQ(r.stacks.size(), 2u);
    EXPECT_NEAR(sumOf(r.stacks[0]), 250, 1e-9);
    EXPECT_EQ(r.stacks[0].Items.back().nom, "Vg");
    EXPECT_EQ(labelOf(r, "LabelVk1"), strFormat("%.2fV", 22e3 * r.tubes.at(0).Ia()));
    EXPECT_EQ(
        r.dcReport.rfind("<b>Cathode-follower with current sink</b><br><color=909090>Valvenix</color> ", 0),
        0u);
}

TEST(CircuitC35, BandwidthChainFollowsItsLegends) {
    const struct {
        const char* name;
        Values values;
    } cases[] = {
        {"coupling capacitors fitted", {{"EdCg", "100n"}, {"EdCso", "1µ"}}},
        {"zero coupling capacitors", {{"EdCg", "0"}, {"EdCso", "0"}}},
    };
    for (const auto& c : cases) {
        SolveRequest rq = firstOpening(35, c.values);
        rq.sheet.find("EdVg2")->text = "130";
        const SolveResult r = solveCommand(rq).result;
        ASSERT_TRUE(r.bode.has_value()) << c.name;
        EXPECT_EQ(chainKinds(*r.bode), (std::vector<std::string>{"RC-in", "Cat-fol", "Pull UpDn", "RC-out"}))
            << c.name;
        for (double g : r.bode->overall)
            EXPECT_TRUE(std::isfinite(g)) << c.name;
    }
}
