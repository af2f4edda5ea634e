// The cycles of an analysis shared between threads: kept in index order up to the first impossible
// one, whose convergence still counts, as a loop that stopped there would have left them.
#include "power/cycle_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>

namespace {

// A cycle whose swing is its index; impossible (more power out than in) at `impossible`, not
// converged at the indexes given.
CycleFunction syntheticCycles(int impossible, std::set<int> notConverged, std::atomic<int>* workers) {
    ++*workers;
    return [=](int k) {
        CycleOutcome o;
        o.cycle.swing = k;
        o.cycle.PVb = 10;
        o.cycle.Psec = k == impossible ? 11 : 1;
        o.cycle.Y = o.cycle.Psec / o.cycle.PVb;
        o.converged = notConverged.count(k) == 0;
        return o;
    };
}

} // namespace

TEST(CycleRunner, KeepsTheCyclesBeforeTheFirstImpossibleOne) {
    struct Case {
        const char* name;
        int count, impossible;
        std::set<int> notConverged;
        std::size_t kept;
        bool cut, converged;
    };
    const Case cases[] = {
        {"all possible", 40, -1, {}, 40, false, true},
        {"cut at 13", 40, 13, {}, 13, true, true},
        {"the cut cycle did not converge", 40, 13, {13}, 13, true, false},
        {"only a dropped cycle did not converge", 40, 13, {17}, 13, true, true},
        {"a kept cycle did not converge", 40, -1, {39}, 40, false, false},
        {"cut at the first", 40, 0, {}, 0, true, true},
        {"too few for a thread", 3, 2, {}, 2, true, true},
        {"none", 0, -1, {}, 0, false, true},
    };
    for (const Case& c : cases) {
        std::atomic<int> workers{0};
        const CycleRun run =
            runCycles(c.count, [&] { return syntheticCycles(c.impossible, c.notConverged, &workers); });
        ASSERT_EQ(run.cycles.size(), c.kept) << c.name;
        for (std::size_t k = 0; k < run.cycles.size(); ++k)
            EXPECT_EQ(run.cycles[k].swing, static_cast<double>(k)) << c.name;
        EXPECT_EQ(run.cut.has_value(), c.cut) << c.name;
        if (run.cut) {
            EXPECT_EQ(run.cut->swing, c.impossible) << c.name;
            EXPECT_FALSE(run.cut->notFinite) << c.name;
        }
        EXPECT_EQ(run.converged, c.converged) << c.name;
        EXPECT_LE(workers.load(), 2) << c.name;
    }
}
