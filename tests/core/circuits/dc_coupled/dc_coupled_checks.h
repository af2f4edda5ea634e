// Checks the DC-coupled amplifier tests share: a realistic sheet that adds up, the parts of its
// reports, a design that cannot work, and traces that leave the results alone.
#pragma once

#include "approx.h"
#include "solve_fixture.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

inline double supplyOf(const SolveRequest& rq) {
    return std::stod(rq.sheet.find("EdVb")->text);
}

// Each tube's Vak and Ia cells ("Vak<n> (V)", or "Vak (V)" of a lone tube) hold that tube's point.
inline void expectTubeCells(const SolveResult& r, int circuit) {
    const auto& legends = circuitInfo(circuit).gridColumns;
    const auto has = [&](const std::string& legend) {
        return std::find(legends.begin(), legends.end(), legend) != legends.end();
    };
    for (std::size_t i = 0; i < r.tubes.size(); ++i) {
        const TTube& t = r.tubes[i];
        std::string n = std::to_string(i + 1);
        if (r.tubes.size() == 1 && !has("Ia1 (mA)"))
            n.clear();
        if (has("Vak" + n + " (V)")) {
            EXPECT_NEAR(gridNumber(r, circuit, "Vak" + n + " (V)"), t.Vak(), 0.05) << t.Reference();
        }
        EXPECT_TRUE(has("Ia" + n + " (mA)")) << t.Reference();
        if (has("Ia" + n + " (mA)")) {
            EXPECT_NEAR(gridNumber(r, circuit, "Ia" + n + " (mA)"), 1000 * t.Ia(), 0.0005) << t.Reference();
        }
    }
}

// A realistic sheet: every verdict passes, each stack adds up to the supply, every tube has a
// negative grid, the grid row has one cell per legend and its tube cells are the tubes', and the
// gain under gainCell (none when empty) has the sign gainSign.
inline SolveResult expectConsistentPoint(int circuit, Values values, std::size_t tubes, const char* gainCell,
                                         double gainSign) {
    const SolveRequest rq = firstOpening(circuit, values);
    const SolveOutcome out = solveCommand(rq);
    EXPECT_TRUE(out.solved);
    expectCircuitInvariants(rq, out.result, "C" + std::to_string(circuit));
    const SolveResult& r = out.result;
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_TRUE(r.messages.empty()) << (r.messages.empty() ? "" : r.messages[0]);
    EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << r.dcReport;
    EXPECT_EQ(r.tubes.size(), tubes);
    for (const TTube& t : r.tubes) {
        EXPECT_LT(t.Vgk(), 0) << t.Reference();
        EXPECT_GT(t.Ia(), 0) << t.Reference();
    }
    const double Vb = supplyOf(rq);
    EXPECT_FALSE(r.stacks.empty());
    for (const auto& stack : r.stacks)
        EXPECT_NEAR(sumOf(stack), Vb, 1);
    const auto& legends = circuitInfo(circuit).gridColumns;
    EXPECT_EQ(r.gridRow.size(), legends.size() + 1);
    EXPECT_EQ(r.gridRow.at(0), "12:34:56");
    expectTubeCells(r, circuit);
    if (*gainCell) {
        EXPECT_GT(gridNumber(r, circuit, gainCell) * gainSign, 0);
    }
    EXPECT_EQ(r.bode.has_value(), circuitInfo(circuit).bodeTab);
    if (r.bode) {
        EXPECT_EQ(r.bode->legends.size(), circuitInfo(circuit).bodeLegends.size());
        EXPECT_GT(r.bode->fH, r.bode->fL);
        for (double a : r.bode->overall)
            EXPECT_TRUE(std::isfinite(a));
    }
    return out.result;
}

// The reports hold every part of dc and ac, and the labels read as given.
inline void expectReportParts(int circuit, Values values, const std::vector<const char*>& dc,
                              const std::vector<const char*>& ac,
                              const std::vector<std::pair<const char*, const char*>>& labels) {
    const SolveOutcome out = solveCommand(firstOpening(circuit, values));
    ASSERT_TRUE(out.solved);
    for (const char* part : dc)
        EXPECT_TRUE(contains(out.result.dcReport, part)) << part << "\n" << out.result.dcReport;
    for (const char* part : ac)
        EXPECT_TRUE(contains(out.result.acReport, part)) << part << "\n" << out.result.acReport;
    for (const auto& [name, text] : labels)
        EXPECT_EQ(labelOf(out.result, name), text) << name;
}

// A design that cannot work: the first dialog starts with message (none when empty), a report is
// written (with the "ERROR" status) or not, and holds each of lines exactly once.
inline void expectFailure(int circuit, Values values, const char* message, bool report,
                          const std::vector<const char*>& lines) {
    const SolveOutcome out = solveCommand(firstOpening(circuit, values));
    ASSERT_TRUE(out.solved);
    const SolveResult& r = out.result;
    EXPECT_FALSE(r.ok);
    if (*message) {
        ASSERT_FALSE(r.messages.empty());
        EXPECT_EQ(r.messages[0].rfind(message, 0), 0u) << r.messages[0];
    } else {
        EXPECT_TRUE(r.messages.empty());
    }
    EXPECT_EQ(r.dcReport.empty(), !report);
    if (report) {
        EXPECT_EQ(r.gridRow.at(0), "ERROR");
    }
    for (const char* line : lines) {
        EXPECT_TRUE(contains(r.dcReport, line)) << line << "\n" << r.dcReport;
        EXPECT_EQ(r.dcReport.find(line), r.dcReport.rfind(line)) << line;
    }
}

// Traced, the solve names each tube in its trace caption (starts, in order) and leaves the report
// and the grid row as they are untraced. Returns the traced result.
inline SolveResult expectTracesLeaveResults(int circuit, Values values,
                                            const std::vector<const char*>& starts) {
    SolveRequest rq = firstOpening(circuit, values);
    const SolveOutcome quiet = solveCommand(rq);
    rq.traceConvergence = true;
    const SolveOutcome traced = solveCommand(rq);
    EXPECT_EQ(traced.result.traces.size(), starts.size());
    for (std::size_t i = 0; i < starts.size() && i < traced.result.traces.size(); ++i)
        EXPECT_EQ(traced.result.traces[i].caption.rfind(starts[i], 0), 0u) << traced.result.traces[i].caption;
    EXPECT_EQ(traced.result.dcReport, quiet.result.dcReport);
    EXPECT_EQ(traced.result.gridRow, quiet.result.gridRow);
    return traced.result;
}
