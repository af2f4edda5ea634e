// Realistic designs of the voltage regulators and the current sink, the check every clean solve of
// them passes, and the checks of the solves that end early or fail their verdicts.
#pragma once

#include "solve_fixture.h"

#include "util/format.h"

#include <string>
#include <vector>

inline const Values kC16 = {{"LBtube1", "ECC99"}, {"LBtube2", "ECC83 / 12AX7"},
                            {"EdVb", "400"},      {"EdR1", "470k"},
                            {"EdR2", "47k"},      {"EdR3", "220k"},
                            {"EdR4", "100k"},     {"EdVref", "85"},
                            {"EdIo", "20m"}};
inline const Values kC17 = {
    {"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdR", "100k"}, {"EdVref", "250"}, {"EdIo", "10m"}};
inline const Values kC18 = {
    {"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdR1", "22k"}, {"EdR2", "100k"}, {"EdR3", "100k"},
    {"EdVref", "100"},           {"EdIo", "3m"}};
inline const Values kC25 = {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "30"}, {"EdVa", "250"}, {"EdRk", "22k"}};
inline const Values kC27 = {{"LBtube", "ECC82 / 12AU7"},
                            {"EdVb", "300"},
                            {"EdRa", "5k"},
                            {"EdR1", "470k"},
                            {"EdR2", "470k"},
                            {"EdRk", "470"},
                            {"EdIo", "20m"}};

// A clean solve: no verdict line, no dialog, no Bode tab; every tube conducts below its cathode
// with some voltage across it, and every bar adds up to the supply.
inline void expectSolvesCleanly(int circuit, Values values, double supply) {
    SCOPED_TRACE("C" + std::to_string(circuit));
    const SolveResult r = solved(circuit, values);
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_FALSE(contains(r.dcReport, "<css=error>"));
    EXPECT_TRUE(r.messages.empty());
    EXPECT_FALSE(r.bode.has_value());
    ASSERT_EQ(r.gridRow.size(), circuitInfo(circuit).gridColumns.size() + 1);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    ASSERT_EQ(r.tubes.size(), static_cast<std::size_t>(circuitInfo(circuit).tubeCount));
    for (const TTube& t : r.tubes) {
        EXPECT_LT(t.Vgk(), 0) << t.Reference();
        EXPECT_GT(t.Vak(), 10) << t.Reference();
        EXPECT_GT(t.Ia(), 0.1e-3) << t.Reference();
    }
    ASSERT_FALSE(r.stacks.empty());
    for (const auto& stack : r.stacks)
        EXPECT_NEAR(sumOf(stack), supply, 1);
    for (const auto& line : r.loadLines)
        EXPECT_GT(line.Imax, 0);
}

// A design the circuit cannot run: the dialog's message and nothing else, not even a grid row.
struct ImpossibleDesign {
    const char* name;
    int circuit;
    Values values;
    std::string message;
};

inline void expectDialogAndNoReport(const ImpossibleDesign& c) {
    SCOPED_TRACE(c.name);
    const SolveResult r = solved(c.circuit, c.values);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], c.message);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.dcReport.empty());
    EXPECT_TRUE(r.gridRow.empty());
    EXPECT_TRUE(r.tubes.empty());
}

// A solve whose checks fail: the grid row says ERROR, "No convergence !" is the first red line,
// and each of the circuit's own lines stands once.
inline void expectFailedLinesOnce(int circuit, Values values, const std::vector<const char*>& lines) {
    SCOPED_TRACE("C" + std::to_string(circuit));
    const SolveResult r = solved(circuit, values);
    EXPECT_FALSE(r.ok);
    ASSERT_FALSE(r.gridRow.empty());
    EXPECT_EQ(r.gridRow[0], "ERROR");
    EXPECT_EQ(r.dcReport.find("<br><css=error>No convergence !</css>"), r.dcReport.find("<br><css=error>"));
    for (const char* line : lines)
        EXPECT_EQ(occurrences(r.dcReport, "<br><css=error>" + std::string(line) + "</css>"), 1)
            << line << "\n"
            << r.dcReport;
}

// A degenerate sheet: either a failed verdict or finite operating points.
inline void expectFiniteOrFlagged(const char* name, int circuit, Values values) {
    SCOPED_TRACE(name);
    const SolveResult r = solved(circuit, values);
    if (!r.ok)
        return;
    for (const TTube& t : r.tubes) {
        EXPECT_TRUE(std::isfinite(t.Ia()));
        EXPECT_TRUE(std::isfinite(t.Vak()));
    }
}
