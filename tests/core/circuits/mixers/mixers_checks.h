// Checks both dual-triode mixers go through: a traced solve changes nothing but the traces, a
// failing sheet writes each verdict line once, a degenerate sheet stays finite.
#pragma once

#include "solve_fixture.h"

#include <cmath>
#include <cstddef>
#include <string>

inline double parallel(double a, double b) {
    return a * b / (a + b);
}

// Tracing the solve of an ECC83 first opening adds `traces` traces, the first captioned from
// `captionStart`, and leaves the reports and the grid row as they are.
inline void expectTracingChangesNothing(int circuit, std::size_t traces, const char* captionStart) {
    const SolveResult quiet = solved(circuit, {{"LBtube", "ECC83 / 12AX7"}});
    const SolveResult traced = solved(circuit, {{"LBtube", "ECC83 / 12AX7"}}, true);
    ASSERT_EQ(traced.traces.size(), traces);
    EXPECT_EQ(traced.traces[0].caption.rfind(captionStart, 0), 0u) << traced.traces[0].caption;
    EXPECT_GT(traced.traces[0].count(), 1u);
    EXPECT_EQ(traced.dcReport, quiet.dcReport);
    EXPECT_EQ(traced.acReport, quiet.acReport);
    EXPECT_EQ(traced.gridRow, quiet.gridRow);
}

// A sheet that fails both on convergence and on the grid bias: the grid row says so and the report
// holds the verdict lines, each once.
inline void expectFailureVerdicts(const char* name, int circuit, Values values, const char* verdictLines) {
    const SolveResult r = solved(circuit, values);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_EQ(r.gridRow.at(0), "ERROR") << name;
    EXPECT_TRUE(contains(r.dcReport, verdictLines)) << name << "\n" << r.dcReport;
    EXPECT_EQ(occurrences(r.dcReport, "No convergence !"), 1) << name;
    EXPECT_EQ(occurrences(r.dcReport, "Vgk > 0"), 1) << name;
}

// A degenerate sheet (zero or huge parts) solves both tubes to finite points, and neither the grid
// row, the AC report nor the Bode run holds a NaN or an infinity.
inline void expectFiniteSolve(const char* name, int circuit, Values values) {
    const SolveResult r = solved(circuit, values);
    ASSERT_EQ(r.tubes.size(), 2u) << name;
    for (const TTube& t : r.tubes) {
        EXPECT_TRUE(std::isfinite(t.Ia())) << name;
        EXPECT_TRUE(std::isfinite(t.Vak())) << name;
    }
    for (const std::string& cell : r.gridRow) {
        EXPECT_FALSE(contains(cell, "nan")) << name << " " << cell;
        EXPECT_FALSE(contains(cell, "inf")) << name << " " << cell;
    }
    EXPECT_FALSE(contains(r.acReport, "inf")) << name << "\n" << r.acReport;
    EXPECT_FALSE(contains(r.acReport, "nan")) << name << "\n" << r.acReport;
    if (r.bode) {
        for (double a : r.bode->overall)
            EXPECT_TRUE(std::isfinite(a)) << name;
    }
}
