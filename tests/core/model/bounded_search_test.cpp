// The bounded searches: where they stop, what they count and trace. The fixed point measures the
// step it has just taken against the target, so it needs a damping above 1 to mean anything.
#include "model/bounded_search.h"

#include <gtest/gtest.h>

TEST(BoundedSearch, BisectionFindsTheRootWithinTheTolerance) {
    TFormConvergence trace;
    double root = 0;
    const SearchOutcome out = bisect(
        0, 4, 100, 1e-9,
        [&](double x, int) {
            root = x;
            return 2 - x * x; // positive below √2: the lower end moves up
        },
        &trace);
    EXPECT_TRUE(out.converged);
    EXPECT_FALSE(out.stalled);
    EXPECT_NEAR(root, std::sqrt(2.0), 1e-9);
    ASSERT_EQ(trace.count(), static_cast<std::size_t>(out.passes));
    EXPECT_EQ(trace.Points[0], 1);
    EXPECT_EQ(trace.Points[1], 2); // the first middle of [0, 4]
    EXPECT_EQ(trace.Points[3], 1); // then of [0, 2]
}

TEST(BoundedSearch, BisectionStopsAtItsBoundOrWhenTheBracketCloses) {
    const struct {
        const char* name;
        int maxPasses;
        double tolerance;
        int passes;
        bool stalled;
    } cases[] = {
        {"pass limit first", 10, 1e-30, 10, false},
        // No x makes 1 - x·0 small: the bracket shrinks onto its upper end until its middle stays.
        {"bracket closes first", 5000, 1e-30, 0, true},
    };
    for (const auto& c : cases) {
        int calls = 0;
        const SearchOutcome out = bisect(0, 1, c.maxPasses, c.tolerance, [&](double, int pass) {
            EXPECT_EQ(pass, ++calls);
            return 1.0;
        });
        EXPECT_FALSE(out.converged) << c.name;
        EXPECT_EQ(out.stalled, c.stalled) << c.name;
        EXPECT_EQ(out.passes, calls) << c.name;
        if (c.passes > 0) {
            EXPECT_EQ(out.passes, c.passes) << c.name;
        } else {
            EXPECT_LT(out.passes, 100) << c.name; // a double halves into its neighbour in few passes
        }
    }
}

// A bracket shrinking onto its upper end: its last middle rounds to that end. Waiting for the
// middle to repeat evaluates the end itself once; stopping at an end never does, one pass sooner.
TEST(BoundedSearch, BisectionClosedAtAnEndNeverEvaluatesTheEnd) {
    const auto run = [](ClosedBracket closed, double& last) {
        return bisect(
            0, 1, 5000, 1e-30,
            [&](double x, int) {
                last = x;
                return 1.0;
            },
            nullptr, closed);
    };
    double lastRepeat = 0, lastAtEnd = 0;
    const SearchOutcome repeat = run(ClosedBracket::MiddleRepeats, lastRepeat);
    const SearchOutcome atEnd = run(ClosedBracket::MiddleAtAnEnd, lastAtEnd);
    EXPECT_TRUE(repeat.stalled);
    EXPECT_TRUE(atEnd.stalled);
    EXPECT_EQ(lastRepeat, 1.0);
    EXPECT_LT(lastAtEnd, 1.0);
    EXPECT_EQ(atEnd.passes, repeat.passes - 1);
}

TEST(BoundedSearch, DampedFixedPoint) {
    const struct {
        const char* name;
        double damping;
        int maxPasses;
        bool converged;
    } cases[] = {
        {"damped by 2", 2, 200, true},
        {"damped by 20", 20, 1000, true},
        {"bound reached", 20, 5, false},
    };
    for (const auto& c : cases) {
        TFormConvergence trace;
        double x = 0;
        const SearchOutcome out = dampedFixedPoint(
            x, c.maxPasses, c.damping, 1e-9, [](double v) { return 1 + 0.5 * v; }, &trace);
        EXPECT_EQ(out.converged, c.converged) << c.name;
        EXPECT_LE(out.passes, c.maxPasses) << c.name;
        EXPECT_EQ(trace.count(), static_cast<std::size_t>(out.passes)) << c.name;
        if (c.converged) {
            EXPECT_NEAR(x, 2, 1e-6) << c.name;
        }
    }
    // One damped step moves a twentieth of the way.
    double x = 0;
    dampedFixedPoint(x, 1, 20, 1e-9, [](double) { return 1.0; });
    EXPECT_DOUBLE_EQ(x, 0.05);
}
