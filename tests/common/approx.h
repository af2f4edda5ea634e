// One relative-tolerance comparison for every numeric check of the test suites.
#pragma once

#include <cmath>
#include <gtest/gtest.h>

inline ::testing::AssertionResult RelNear(double actual, double expected, double relTol) {
    const double scale = std::max(std::fabs(expected), 1e-300);
    if (std::fabs(actual - expected) <= relTol * scale)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual << " differs from " << expected << " by more than " << relTol * 100 << "%";
}

#define EXPECT_REL(actual, expected, relTol) EXPECT_TRUE(RelNear((actual), (expected), (relTol)))
