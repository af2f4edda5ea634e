// C1, the common-cathode stage: the whole solve of the reference ECC83 case and its failure paths.
#include "approx.h"
#include "solve_fixture.h"

TEST(CircuitC1, Ecc83ReferenceCase) {
    const SolveOutcome out = solveCommand(firstOpening(1, {{"LBtube", "ECC83 / 12AX7"}}));
    ASSERT_TRUE(out.solved);
    const SolveResult& r = out.result;
    EXPECT_TRUE(r.ok);

    ASSERT_EQ(r.tubes.size(), 1u);
    const TTube& t = r.tubes[0];
    EXPECT_NEAR(t.Ia() * 1000, 0.9538, 0.00005);
    EXPECT_NEAR(t.Vak(), 153.72, 0.005);
    EXPECT_NEAR(t.Vgk(), -0.953, 0.0005);
    EXPECT_REL(t.ρ(), 48282, 0.001);
    EXPECT_NEAR(t.gm() * 1000, 2.0, 0.05);
    EXPECT_NEAR(t.µ(), 95, 0.5);

    EXPECT_EQ(labelOf(r, "LabelVa"), "154.6V");
    EXPECT_EQ(labelOf(r, "LabelVk"), "0.95V");
    EXPECT_EQ(labelOf(r, "LabelIa"), "0.95mA");

    // DC report: no verdict line, the figures of the reference case.
    EXPECT_FALSE(contains(r.dcReport, "<css=error>"));
    for (const char* part :
         {"Total power supply  <css=vp>250 V</css>   <css=i>1.0 mA</css>   <css=mw>238 mW</css>",
          "Va <css=vp>154.6 V</css>", "Vk <css=vp>0.954 V</css>", "44% of Vamax (350V)", "12% of Imax (8mA)",
          "15% of Pmax (1.0W)",
          "Ra<css=r>  100kΩ</css><css=i>  0.954mA</css><css=vp>  95.38V</css><css=mw>  91mW</css>",
          "Rk<css=r>    1kΩ</css><css=i>  0.954mA</css><css=vp>   0.95V</css><css=mw>   1mW</css>"}) {
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    }
    EXPECT_FALSE(contains(r.dcReport, "SOA issue"));

    // AC report and grid row.
    for (const char* part : {"83333Ω", "-59.7", "35.5dB", "32561Ω", "-34.6", "30.8dB", "59025Ω"})
        EXPECT_TRUE(contains(r.acReport, part)) << part << "\n" << r.acReport;
    ASSERT_EQ(r.gridRow.size(), 16u);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    EXPECT_EQ(r.gridRow[1], "ECC83 / 12AX7");
    EXPECT_EQ(r.gridRow[14], "-59.7");
    EXPECT_EQ(r.gridRow[15], "-34.6");

    // Stack adds up to the supply within 1 V; one load line at the short-circuit current.
    ASSERT_EQ(r.stacks.size(), 1u);
    double sum = 0;
    for (const auto& item : r.stacks[0].Items)
        sum += item.valeur;
    EXPECT_NEAR(sum, 250.05, 0.01);
    ASSERT_EQ(r.loadLines.size(), 1u);
    EXPECT_DOUBLE_EQ(r.loadLines[0].Imax, 250 / 101e3);

    // Bandwidth: the four legends, a -3 dB band around the mid-band gain.
    ASSERT_TRUE(r.bode.has_value());
    EXPECT_EQ(r.bode->freqs.size(), 46u);
    EXPECT_TRUE(r.bode->overallDrawn);
    EXPECT_EQ(r.bode->summary.rfind("Max gain x", 0), 0u) << r.bode->summary;
    EXPECT_TRUE(contains(r.bode->summary, "BW -3dB")) << r.bode->summary;
    EXPECT_GT(r.bode->fL, 0);
    EXPECT_GT(r.bode->fH, r.bode->fL);
    EXPECT_TRUE(r.traces.empty());
}

TEST(CircuitC1, TracingChangesNothingButAddsTheTrace) {
    SolveRequest rq = firstOpening(1, {{"LBtube", "ECC83 / 12AX7"}});
    const SolveOutcome quiet = solveCommand(rq);
    rq.traceConvergence = true;
    const SolveOutcome traced = solveCommand(rq);
    ASSERT_EQ(traced.result.traces.size(), 1u);
    EXPECT_EQ(traced.result.traces[0].caption, "C1 - T1 ECC83 / 12AX7 - 14 iter. Res ±1µA Ia 1.24=>0.95mA");
    EXPECT_EQ(traced.result.dcReport, quiet.result.dcReport);
    EXPECT_EQ(traced.result.acReport, quiet.result.acReport);
    EXPECT_EQ(traced.result.gridRow, quiet.result.gridRow);
}

TEST(CircuitC1, FailurePathsStillReport) {
    struct Case {
        const char* name;
        std::initializer_list<std::pair<const char*, const char*>> values;
        const char* firstLines; // expected verdict lines, in order
    } cases[] = {
        {"no cathode resistor",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdRk", "0"}},
         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>"},
    };
    for (const auto& c : cases) {
        const SolveOutcome out = solveCommand(firstOpening(1, c.values));
        ASSERT_TRUE(out.solved) << c.name;
        EXPECT_FALSE(out.result.ok) << c.name;
        EXPECT_TRUE(contains(out.result.dcReport, std::string("<b>") + circuitInfo(1).title +
                                                      "</b><br><color=909090>Valvenix</color>" +
                                                      c.firstLines))
            << c.name << "\n"
            << out.result.dcReport;
        EXPECT_EQ(out.result.gridRow[0], "ERROR") << c.name;
    }
}

TEST(CircuitC1, ZeroCouplingCapacitorsAndDegenerateSheetsStayFinite) {
    struct Case {
        const char* name;
        std::initializer_list<std::pair<const char*, const char*>> values;
    } cases[] = {
        {"zero coupling capacitors", {{"EdCi", "0"}, {"EdCs", "0"}, {"EdCgs", "0"}}},
        {"zero load and anode resistor", {{"EdRo", "0"}, {"EdRa", "0"}}},
        {"all zero capacitors", {{"EdCk", "0"}, {"EdCo", "0"}, {"EdCg", "0"}, {"EdCi", "0"}}},
        {"huge resistors", {{"EdRa", "1000M"}, {"EdRk", "100M"}}},
        {"power triode", {{"LBtube", "300B"}, {"EdRa", "2k"}, {"EdRk", "800"}, {"EdVb", "400"}}},
    };
    for (const auto& c : cases) {
        const SolveOutcome out = solveCommand(firstOpening(1, c.values));
        ASSERT_TRUE(out.solved) << c.name;
        ASSERT_TRUE(out.result.bode.has_value()) << c.name;
        for (double a : out.result.bode->overall)
            EXPECT_TRUE(std::isfinite(a)) << c.name;
        EXPECT_TRUE(std::isfinite(out.result.tubes[0].Ia())) << c.name;
    }
}

TEST(SolveCommand, RefusesInvalidSheetsAndUnknownCircuits) {
    SolveRequest rq = firstOpening(1, {{"EdVb", "801"}});
    SolveOutcome out = solveCommand(rq);
    EXPECT_FALSE(out.solved);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_EQ(out.messages[0], "Supply voltage must be in the 20 ... 800V interval");

    rq = firstOpening(1, {{"EdRa", "abc"}});
    out = solveCommand(rq);
    EXPECT_FALSE(out.solved);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_TRUE(contains(out.messages[0], "EdRa")) << out.messages[0];
    EXPECT_TRUE(contains(out.messages[0], "abc")) << out.messages[0];

    rq = firstOpening(1, {});
    rq.circuit = kCircuitCount + 1;
    out = solveCommand(rq);
    EXPECT_FALSE(out.solved);
    EXPECT_EQ(out.messages, (std::vector<std::string>{"There is no circuit C43"}));
    for (int n = 1; n <= kCircuitCount; ++n)
        EXPECT_NE(circuitSolver(n), nullptr) << n;
    EXPECT_EQ(circuitSolver(0), nullptr);
}

TEST(SolveCommand, HostHookRunsOnlyForAValidatedSheet) {
    int calls = 0;
    const auto hook = [&] { ++calls; };
    solveCommand(firstOpening(1, {{"EdVb", "19"}}), hook);
    EXPECT_EQ(calls, 0);
    const SolveOutcome out = solveCommand(firstOpening(1, {}), hook);
    EXPECT_TRUE(out.solved);
    EXPECT_EQ(calls, 1);
}

TEST(CircuitC1, HiddenLegendKeepsItsTableRows) {
    SolveRequest rq = firstOpening(1, {});
    rq.legendsShown = {true, false};
    const SolveOutcome out = solveCommand(rq);
    ASSERT_TRUE(out.result.bode.has_value());
    const BodeData& b = *out.result.bode;
    ASSERT_EQ(b.legends.size(), 4u);
    EXPECT_TRUE(b.legends[0].display);
    EXPECT_FALSE(b.legends[1].display);
    EXPECT_TRUE(b.legends[3].display);
    const auto t1Rows =
        std::count_if(b.table.begin(), b.table.end(), [](const TDataQP& r) { return r.titre == "T1"; });
    EXPECT_EQ(t1Rows, 7);
}
