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

// Tested before the move, the search stops on the pass whose target meets x itself: one pass later
// than a search measuring the step just taken would on a constant target, and x stays put there.
TEST(BoundedSearch, DampedFixedPointTestedBeforeItsMove) {
    const struct {
        const char* name;
        bool constantTarget; // 1, else 1 + x/2 (fixed point 2)
        double damping;
        int maxPasses;
        bool converged;
        int passes; // 0: more than a handful
    } cases[] = {
        {"undamped, constant target", true, 1, 10, true, 2},
        {"damped by 10", false, 10, 999, true, 0},
        {"bound reached", false, 10, 5, false, 5},
    };
    for (const auto& c : cases) {
        TFormConvergence trace;
        double x = 0;
        int evaluations = 0;
        const auto target = [&](double v) {
            ++evaluations;
            return c.constantTarget ? 1.0 : 1 + 0.5 * v;
        };
        const SearchOutcome out = dampedFixedPointTestFirst(x, c.maxPasses, c.damping, 1e-9, target, &trace);
        EXPECT_EQ(out.converged, c.converged) << c.name;
        EXPECT_EQ(out.passes, evaluations) << c.name;
        EXPECT_EQ(trace.count(), static_cast<std::size_t>(out.passes)) << c.name;
        if (c.passes > 0) {
            EXPECT_EQ(out.passes, c.passes) << c.name;
        } else {
            EXPECT_GT(out.passes, 5) << c.name;
        }
        if (c.converged) {
            EXPECT_NEAR(x, c.constantTarget ? 1 : 2, 1e-8) << c.name;
        }
    }
    // The trace holds the targets, not the moved x: from 0 towards 1 damped by 4, the first point
    // is the target 1 while x has only moved to 0.25.
    TFormConvergence trace;
    double x = 0;
    dampedFixedPointTestFirst(
        x, 1, 4, 1e-9, [](double) { return 1.0; }, &trace);
    EXPECT_DOUBLE_EQ(x, 0.25);
    ASSERT_EQ(trace.count(), 1u);
    EXPECT_EQ(trace.Points[0], 1);
    EXPECT_EQ(trace.Points[1], 1);
}

TEST(BoundedSearch, DampedFixedPointOnResidual) {
    // From 0 towards 1 damped by 20: the residual before the move is 1, the step test sees 0.95.
    const auto one = [](double) { return 1.0; };
    double x = 0, y = 0;
    EXPECT_TRUE(dampedFixedPoint(x, 1, 20, 0.96, one).converged);
    EXPECT_FALSE(dampedFixedPointOnResidual(y, 1, 20, 0.96, one).converged);
    EXPECT_DOUBLE_EQ(y, 0.05); // the move is made all the same
    // A converging pass still moves x: it ends a twentieth of its last residual past the start.
    double z = 0;
    EXPECT_TRUE(dampedFixedPointOnResidual(z, 1, 20, 1.5, one).converged);
    EXPECT_DOUBLE_EQ(z, 0.05);

    const struct {
        const char* name;
        int maxPasses;
        bool converged;
    } cases[] = {{"converges", 1000, true}, {"bound reached", 5, false}};
    for (const auto& c : cases) {
        TFormConvergence trace;
        double v = 0;
        const SearchOutcome out = dampedFixedPointOnResidual(
            v, c.maxPasses, 20, 1e-9, [](double u) { return 1 + 0.5 * u; }, &trace);
        EXPECT_EQ(out.converged, c.converged) << c.name;
        EXPECT_EQ(trace.count(), static_cast<std::size_t>(out.passes)) << c.name;
        if (c.converged) {
            EXPECT_NEAR(v, 2, 1e-7) << c.name;
        } else {
            EXPECT_EQ(out.passes, c.maxPasses) << c.name;
        }
    }
}
