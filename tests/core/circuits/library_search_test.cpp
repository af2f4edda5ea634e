// The library's search box: plain text against titles and numbers, in number order.
#include "circuits/catalogue.h"
#include "circuits/library_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(LibrarySearch, FindsTitlesAndNumbersInNumberOrder) {
    const struct {
        const char* name;
        std::string typed;
        std::vector<int> found;
    } cases[] = {
        {"word in titles", "cascode", {6, 8, 21, 22, 27, 31}},
        {"case and blanks ignored", "  CasCode\t", {6, 8, 21, 22, 27, 31}},
        {"number alone", "12", {12}},
        {"digits inside a title", "3-tube", {19}},
        {"number and title both", "2", {2, 20}}, // C2, and C20's "2-tube amplifier"
        {"part of a word", "follow", {3, 4, 30, 33, 35}},
        {"number is not a prefix", "4", {4}},
        {"code is not a title", "c12", {}},
        {"number past the library", "43", {}},
        {"blank text", "   ", {}},
        {"empty text", "", {}},
        {"pattern characters are text", ".*", {}},
        {"brackets are text", "(", {}},
        {"plus is text", "srpp+", {31}},
        {"very long text", std::string(500, 'a'), {}},
        {"non-ASCII text", "c\xC3\xA1scode", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(circuitsMatching(c.typed), c.found) << c.name;
}

TEST(LibrarySearch, EveryTitleFindsItsOwnCircuit) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        const std::vector<int> found = circuitsMatching(circuitInfo(n).title);
        ASSERT_FALSE(found.empty()) << "C" << n;
        EXPECT_NE(std::find(found.begin(), found.end(), n), found.end()) << "C" << n;
    }
}

} // namespace
