// C22, the cascode SRPP with a fixed upper grid: a realistic design and its output node.
#include "cascodes_srpp_checks.h"

namespace {

const Values kEcc82Design = {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "130"}, {"EdR1", "1k"}, {"EdR2", "1k"}};

} // namespace

TEST(CascodeC22, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly({22, kEcc82Design, 2, 2, 3});
}

TEST(CascodeC22, OutputAtUpperCathode) {
    const SolveResult r = solved(22, kEcc82Design);
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    EXPECT_EQ(labelOf(r, "LabelVk2"), strFormat("%.2fV", 250 - t2.Vak()));
    EXPECT_EQ(labelOf(r, "LabelVa1"), strFormat("%.2fV", 1000 * t1.Ia() + t1.Vak()));
    // The upper tube's grid sits below its cathode (Vo) by a few volts.
    EXPECT_LT(130 - (250 - t2.Vak()), 0);
    EXPECT_TRUE(contains(r.acReport, "g<SUB>m</SUB>~")) << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "SRPP optimised, after Quellbrook")) << r.acReport;
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>Total power supply")) << r.dcReport;
}
