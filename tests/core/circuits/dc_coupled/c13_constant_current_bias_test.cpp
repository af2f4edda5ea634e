// C13, a common-cathode stage on a constant-current cathode: a realistic point, the report, the
// bisection's passes and its failures.
#include "dc_coupled_checks.h"

namespace {

const Values kRealistic = {{"EdVg", "50"}, {"EdIk", "2m"}, {"EdRa", "47k"}, {"LBtube", "12AY7"}};

} // namespace

TEST(CircuitC13, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(13, kRealistic, 1, "Abyp", -1);
    // The tube carries the source's current; the cathode sits its bias above the grid.
    EXPECT_NEAR(r.tubes.at(0).Ia(), 2e-3, 1e-6);
    EXPECT_NEAR(gridNumber(r, 13, "Vk (V)"), 50 - r.tubes[0].Vgk(), 0.005);
}

TEST(CircuitC13, ReportFormats) {
    expectReportParts(
        13, kRealistic,
        {"</b><br><color=909090>Valvenix</color> 10 iterations", "Va <css=vp>156.0 V</css>",
         "Vg <css=vp>50.0 V</css>"},
        {"<br>Cathode is bypassed by a capacitor.", "Effective load on T1 anode (Ra||Ro)<css=r>42962Ω</css>"},
        {{"LabelVa", "156.00V"}, {"LabelVk", "50.56V"}});
}

// The trace holds the tube's current at every pass, counted from 0, and its caption the passes.
TEST(CircuitC13, TraceCountsThePasses) {
    SolveRequest rq = firstOpening(13, kRealistic);
    rq.traceConvergence = true;
    const SolveResult r = solveCommand(rq).result;
    ASSERT_EQ(r.traces.size(), 1u);
    const TFormConvergence& trace = r.traces[0];
    EXPECT_EQ(trace.count(), 10u);
    EXPECT_EQ(trace.Points.front(), 0);
    EXPECT_EQ(trace.Points[trace.Points.size() - 2], 9);
    EXPECT_NEAR(trace.Points.back(), 2e-3, 1e-6);
    EXPECT_EQ(trace.caption.rfind("C13 - T1 12AY7 - 10 iter. Res ±1µA Ia ", 0), 0u) << trace.caption;
}

TEST(CircuitC13, FailurePaths) {
    {
        SCOPED_TRACE("drop across Ra too large");
        expectFailure(13, {{"EdVg", "100"}, {"EdIk", "1.2m"}},
                      "The drop voltage Ra.Ik is certainly too large.", false, {});
    }
    // More current than the tube gives at zero bias: the bracket closes on the grid voltage at once,
    // which counts as running out of passes.
    SCOPED_TRACE("more current than the tube gives");
    expectFailure(13, {{"EdVg", "100"}, {"EdIk", "50m"}, {"EdRa", "1k"}, {"LBtube", "ECC83 / 12AX7"}}, "",
                  true, {"Valvenix</color> 1001 iterations", "<br><css=error>No convergence !</css>"});
}
