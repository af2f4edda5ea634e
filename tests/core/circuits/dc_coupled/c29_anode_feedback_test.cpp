// C29, a common-cathode stage with feedback from anode to grid: a realistic point and the report.
#include "dc_coupled_checks.h"

namespace {

const Values kRealistic = {{"LBtube", "ECC83 / 12AX7"}, {"EdRf", "1M"}, {"EdRg", "100k"}};

} // namespace

TEST(CircuitC29, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(29, kRealistic, 1, "Avf", -1);
    // Feedback lowers the gain towards -Rf/Rg.
    const double Ao = gridNumber(r, 29, "Ao"), Avf = gridNumber(r, 29, "Avf");
    EXPECT_LT(std::fabs(Avf), std::fabs(Ao));
    EXPECT_GT(Avf, -10);
}

TEST(CircuitC29, ReportFormats) {
    expectReportParts(29, kRealistic, {"Va <css=vp>"},
                      {"<br><br><b>WITHOUT feedback (Rf ∞):</b>",
                       "<br><br><b>WITH feedback through Rf, Rk bypassed:</b>",
                       "Ratio Rf/Rg <css=µ>10.00</css>", "dB</P>"},
                      {});
}
