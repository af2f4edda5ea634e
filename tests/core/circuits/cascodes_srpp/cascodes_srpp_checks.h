// Checks every cascode and SRPP stage goes through: a realistic design solves cleanly and adds up,
// a failing sheet writes its verdict line once, a degenerate sheet stays finite, a null gain has no
// decibel figure.
#pragma once

#include "approx.h"
#include "solve_fixture.h"

#include "util/format.h"

#include <cmath>
#include <string>

// A realistic design of one circuit: the tubes it solves, the traces it records and how close its
// stacks must come to the supply.
struct RealisticDesign {
    int circuit;
    Values values;
    std::size_t tubes;
    std::size_t traces;
    double stackTolerance;
};

inline void expectRealisticDesignSolvesCleanly(const RealisticDesign& c) {
    SolveRequest rq = firstOpening(c.circuit, c.values);
    rq.traceConvergence = true;
    const SolveOutcome out = solveCommand(rq);
    ASSERT_TRUE(out.solved);
    const SolveResult& r = out.result;
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << r.dcReport;

    const CircuitInfo& info = circuitInfo(c.circuit);
    EXPECT_EQ(r.gridRow.size(), info.gridColumns.size() + 1);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    EXPECT_EQ(r.bode.has_value(), info.bodeTab);
    EXPECT_EQ(r.acReport.empty(), c.circuit == 24);

    ASSERT_EQ(r.tubes.size(), c.tubes);
    for (const TTube& t : r.tubes) {
        EXPECT_GT(t.Ia(), 1e-5) << t.Reference();
        EXPECT_LE(t.Vgk(), 0) << t.Reference();
        EXPECT_GT(t.Vak(), 10) << t.Reference();
    }
    // The tubes of one series branch carry one current.
    if (c.circuit != 24) {
        EXPECT_REL(r.tubes[1].Ia(), r.tubes[0].Ia(), 0.01);
    }
    if (c.circuit == 21) {
        EXPECT_REL(r.tubes[3].Ia(), r.tubes[2].Ia(), 0.01);
    }
    ASSERT_FALSE(r.stacks.empty());
    const double Vb = gridNumber(r, c.circuit, "Vb (V)");
    for (const TVoltageStacks& s : r.stacks)
        EXPECT_NEAR(sumOf(s), Vb, c.stackTolerance);
    EXPECT_EQ(r.loadLines.size(), c.tubes);

    ASSERT_EQ(r.traces.size(), c.traces);
    for (const TFormConvergence& t : r.traces) {
        EXPECT_EQ(t.caption.rfind(strFormat("C%d - ", c.circuit), 0), 0u) << t.caption;
        EXPECT_GT(t.count(), 1u);
    }
    if (r.bode) {
        for (double g : r.bode->overall)
            EXPECT_TRUE(std::isfinite(g));
        EXPECT_GT(r.bode->fH, r.bode->fL);
    }
}

// A sheet that fails: the grid row says so, the report holds the verdict line, and no verdict
// stands twice.
inline void expectFailureVerdict(int circuit, Values values, const char* line) {
    const SolveResult r = solved(circuit, values);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.gridRow[0], "ERROR");
    EXPECT_TRUE(contains(r.dcReport, line)) << r.dcReport;
    for (const char* v : {"Too many iterations", "No convergence !"}) {
        const auto first = r.dcReport.find(v);
        if (first != std::string::npos) {
            EXPECT_EQ(r.dcReport.find(v, first + 1), std::string::npos) << v;
        }
    }
}

// A degenerate sheet (zero or huge parts) solves to finite tube points and a Bode run without NaN.
inline void expectFiniteSolve(int circuit, Values values) {
    const SolveResult r = solved(circuit, values);
    for (const TTube& t : r.tubes) {
        EXPECT_TRUE(std::isfinite(t.Ia()));
        EXPECT_TRUE(std::isfinite(t.Vak()));
    }
    if (r.bode) {
        for (double g : r.bode->overall)
            EXPECT_FALSE(std::isnan(g));
    }
}

// A shorted output (Ro = 0) gives a null gain: the report shows the gain with no decibel figure,
// never "-inf dB" or "-0.00".
inline void expectNullGainWithoutDecibels(int circuit, Values values, const char* line) {
    const SolveResult r = solved(circuit, values);
    EXPECT_TRUE(contains(r.acReport, line)) << r.acReport;
    EXPECT_FALSE(contains(r.acReport, "inf")) << r.acReport;
}
