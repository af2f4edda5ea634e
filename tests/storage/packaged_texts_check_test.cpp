// The texts shipped in data/: every circuit has its section in the descriptions file, and every text
// uses only the tags and classes that its display knows.
#include "circuits/catalogue.h"
#include "markup/css_classes.h"
#include "markup/markup.h"
#include "storage/packaged_files.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::string sourceFile(const std::string& name) {
    std::ifstream in(std::string(VALVENIX_SOURCE_DIR) + "/data/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The problems of a markup text for a display: tags that are not one of the working forms, classes
// the display lacks, and a "<" that opens no tag.
std::vector<std::string> markupProblems(const std::string& text, MarkupDisplay display) {
    const TClassesCSS classes = classesFor(display);
    static const std::regex known("<(b|/b|i|/i|/css|/color|br|css=([^>]+)|color=[0-9A-Fa-f]{6})>");
    std::vector<std::string> problems;
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        const std::size_t end = text.find('>', at);
        const std::size_t next = text.find('<', at + 1);
        if (end == std::string::npos || (next != std::string::npos && next < end)) {
            problems.push_back("a \"<\" that opens no tag at byte " + std::to_string(at));
            ++at;
            continue;
        }
        const std::string tag = text.substr(at, end - at + 1);
        std::smatch match;
        if (!std::regex_match(tag, match, known))
            problems.push_back("unknown tag " + tag);
        else if (match[2].matched && classes.find(match[2]) == nullptr)
            problems.push_back("class the display lacks: " + tag);
        at = end + 1;
    }
    return problems;
}

TEST(ShippedTexts, EveryCircuitHasItsDescription) {
    const std::string file = sourceFile(kDescriptionsFile);
    ASSERT_FALSE(file.empty()) << "data/" << kDescriptionsFile << " is missing";
    for (int n = 1; n <= kCircuitCount; ++n) {
        const std::string description = extractDescription(file, n);
        SCOPED_TRACE("C" + std::to_string(n));
        EXPECT_EQ(description.rfind("<css=h1>C" + std::to_string(n) + " — ", 0), 0u)
            << description.substr(0, 60);
        for (const std::string& problem : markupProblems(description, MarkupDisplay::CircuitDescription))
            ADD_FAILURE() << problem;
        const std::string plain = markupToPlainText(description);
        EXPECT_GT(plain.size(), 400u) << "too short to help a designer";
        EXPECT_EQ(plain.find('<'), std::string::npos);
    }
}

TEST(ShippedTexts, SectionHeadersAreTheFortyTwoCircuits) {
    std::istringstream lines(sourceFile(kDescriptionsFile));
    std::multiset<std::string> headers;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] == '#')
            headers.insert(line);
    std::multiset<std::string> expected;
    for (int n = 1; n <= kCircuitCount; ++n)
        expected.insert("#" + std::to_string(n));
    EXPECT_EQ(headers, expected);
}

TEST(ShippedTexts, WelcomeTextUsesItsDisplaysMarkup) {
    const std::string intro = sourceFile(kIntroductionFile);
    ASSERT_FALSE(intro.empty());
    for (const std::string& problem : markupProblems(intro, MarkupDisplay::Introduction))
        ADD_FAILURE() << problem;
    EXPECT_NE(markupToPlainText(intro).find("Solve [Ent]"), std::string::npos);
}

TEST(ShippedTexts, CheckerFindsFaults) {
    const struct {
        const char* name;
        std::string text;
        std::size_t problems;
    } cases[] = {
        {"working tags", "<b>a</b><i>b</i><css=info>c</css><color=909090>d</color>e<br>f", 0},
        {"upper-case tag", "<B>a</B>", 2},
        {"class of another display", "<css=vn>a</css>", 1},
        {"colour of five digits", "<color=90909>a</color>", 1},
        {"bare less-than sign", "Vgk < 0 then <b>bold</b>", 1},
        {"less-than sign at the end", "a <", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(markupProblems(c.text, MarkupDisplay::CircuitDescription).size(), c.problems) << c.name;
}

} // namespace
