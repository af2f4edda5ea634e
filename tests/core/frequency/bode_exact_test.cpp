// The phase-exact bandwidth run over every circuit with a chain: finite moduli and phases, corners
// found or honestly absent, the summary marked "(exact)"; the classic run carries no phase.
#include "solve_fixture.h"

#include <cmath>

TEST(BodeExact, EveryChainGivesFiniteModuliPhasesAndCorners) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        SCOPED_TRACE("C" + std::to_string(n));
        for (const int feedback : {0, 7}) {
            SolveRequest rq = firstOpening(n, {});
            rq.bode.ac = kAcExact;
            rq.bode.feedback = feedback;
            const SolveOutcome out = solveCommand(rq);
            if (!out.solved || !out.result.bode)
                continue;
            const BodeData& b = *out.result.bode;
            EXPECT_TRUE(b.exact);
            ASSERT_EQ(b.phase.size(), b.freqs.size());
            ASSERT_EQ(b.curvePhases.size(), b.curves.size());
            for (std::size_t i = 0; i < b.freqs.size(); ++i) {
                EXPECT_TRUE(std::isfinite(b.overall[i]) && b.overall[i] >= 0) << i;
                EXPECT_TRUE(std::isfinite(b.phase[i])) << i;
            }
            for (const auto& curve : b.curves)
                for (double g : curve)
                    EXPECT_TRUE(std::isfinite(g) && g >= 0);
            EXPECT_TRUE(std::isfinite(b.fL) && b.fL >= 0);
            EXPECT_TRUE(std::isfinite(b.fH) && b.fH >= 0);
            if (b.fL > 0 && b.fH > 0) {
                EXPECT_LT(b.fL, b.fpk);
                EXPECT_GT(b.fH, b.fpk);
            }
            if (b.overallDrawn) {
                EXPECT_NE(b.summary.find("(exact)"), std::string::npos) << b.summary;
            }
            for (const TDataQP& row : b.table)
                EXPECT_TRUE(std::isfinite(row.av) && std::isfinite(row.zin));
        }
    }
}

TEST(BodeExact, ClassicRunCarriesNoPhase) {
    const SolveResult r = solved(1, {});
    ASSERT_TRUE(r.bode.has_value());
    EXPECT_FALSE(r.bode->exact);
    EXPECT_TRUE(r.bode->phase.empty());
    EXPECT_EQ(r.bode->summary.find("exact"), std::string::npos);
}
