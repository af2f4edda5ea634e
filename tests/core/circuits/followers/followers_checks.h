// Checks the follower tests share: a realistic sheet whose operating point adds up, and the kinds
// of two-port in a bandwidth chain.
#pragma once

#include "approx.h"
#include "solve_fixture.h"

#include <string>
#include <vector>

// The "Type" of each two-port in chain order: the per-stage table's first frequency block, which
// ends at the overall row.
inline std::vector<std::string> chainKinds(const BodeData& bode) {
    std::vector<std::string> kinds;
    for (const TDataQP& row : bode.table) {
        if (row.nature.empty())
            break;
        kinds.push_back(row.nature);
    }
    return kinds;
}

// A realistic sheet on the 250 V first-use supply: every verdict passes, the gain under gainLegend
// lies in (gainMin, gainMax), every tube conducts with its grid at or below its cathode, and the
// last bar (the branch through the tubes) adds up to the supply. Returns the result.
inline SolveResult expectRealisticPoint(int circuit, Values values, const char* gainLegend, double gainMin,
                                        double gainMax) {
    SolveResult r = solved(circuit, values);
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_FALSE(contains(r.dcReport, "<css=error>"));
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.gridRow.size(), circuitInfo(circuit).gridColumns.size() + 1);
    EXPECT_EQ(r.gridRow.at(0), "12:34:56");
    const double gain = gridNumber(r, circuit, gainLegend);
    EXPECT_GT(gain, gainMin);
    EXPECT_LT(gain, gainMax);
    EXPECT_FALSE(r.tubes.empty());
    for (const TTube& t : r.tubes) {
        EXPECT_LE(t.Vgk(), 0) << t.Reference();
        EXPECT_GT(t.Ia(), 0.5e-3) << t.Reference();
        EXPECT_GT(t.gm(), 0) << t.Reference();
    }
    EXPECT_FALSE(r.stacks.empty());
    if (!r.stacks.empty()) {
        EXPECT_NEAR(sumOf(r.stacks.back()), 250, 1);
    }
    EXPECT_EQ(r.bode.has_value(), circuitInfo(circuit).bodeTab);
    return r;
}
