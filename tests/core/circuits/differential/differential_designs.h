// Realistic designs of the differential stages and the checks every one of them passes: an ECC83
// pair for C7, C10 and C15, and an ECC83 input pair driving an ECC82 output pair for C23.
#pragma once

#include "solve_fixture.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <string>

struct DifferentialDesign {
    const char* name;
    int circuit;
    Values values;
    double Vb;
};

inline const DifferentialDesign kC7Design = {
    "C7 cathode-biased pair, unequal anode resistors",
    7,
    {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdRa1", "100k"}, {"EdRa2", "120k"}, {"EdRk", "1k"}},
    250};
inline const DifferentialDesign kC10Design = {
    "C10 pair on a 1 mA source",
    10,
    {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdIcs", "1m"}, {"EdRk", "100k"}},
    250};
inline const DifferentialDesign kC15Design = {"C15 long-tailed pair, 47k tail",
                                              15,
                                              {{"LBtube", "ECC83 / 12AX7"}, {"EdRkg", "1k"}, {"EdRk", "47k"}},
                                              250};
inline const DifferentialDesign kC23Design = {"C23 push-pull with DC feedback",
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
                                              300};

// A clean solve: every bar adds up to the supply, every tube conducts below its cathode, and each
// drawn load line passes through its tube's operating point.
inline void expectPhysicallyConsistent(const DifferentialDesign& d) {
    SCOPED_TRACE(d.name);
    const SolveResult r = solved(d.circuit, d.values);
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << r.dcReport;
    EXPECT_TRUE(r.messages.empty());

    ASSERT_FALSE(r.stacks.empty());
    for (const auto& stack : r.stacks)
        EXPECT_NEAR(sumOf(stack), d.Vb, 1);
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
        if (ll.drawLoadLine) {
            EXPECT_NEAR(ll.tube.Ia(), ll.Imax * (1 - ll.tube.Vak() / ll.Vmax), 2e-6) << ll.tube.Reference();
        }
    }
}

// The three gains of a phase-inverting pair close its grid row (inverting, non-inverting,
// differential; C7 lists the non-inverting one first): opposite signs, the differential gain their
// distance. The AC report writes them, and the chain has the pair's two outputs.
inline void expectPairGainsOppositeAndAddingUp(const DifferentialDesign& d) {
    SCOPED_TRACE(d.name);
    const SolveResult r = solved(d.circuit, d.values);
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

// A traced solve names every tube in its trace captions with the loop's resolution, and changes
// neither the report nor the grid row.
inline void expectTracesNameEveryTube(const DifferentialDesign& d, std::size_t traces,
                                      const char* tolerance) {
    SCOPED_TRACE(d.name);
    const SolveResult quiet = solved(d.circuit, d.values);
    const SolveResult traced = solved(d.circuit, d.values, true);
    ASSERT_EQ(traced.traces.size(), traces);
    for (std::size_t i = 0; i < traces; ++i) {
        const std::string head = strFormat("C%d - T%zu ", d.circuit, i + 1);
        EXPECT_EQ(traced.traces[i].caption.rfind(head, 0), 0u) << traced.traces[i].caption;
        EXPECT_TRUE(contains(traced.traces[i].caption, tolerance)) << traced.traces[i].caption;
        EXPECT_GT(traced.traces[i].count(), 1u);
    }
    EXPECT_EQ(traced.dcReport, quiet.dcReport);
    EXPECT_EQ(traced.gridRow, quiet.gridRow);
}
