// Text-class table, font records, colour reading and each display's class vocabulary.
#include "markup/css_classes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(CssClasses, DuplicateNameRefusedAndOldClassKept) {
    TClassesCSS t;
    ASSERT_TRUE(t.AddClasseCSS("h1", "", fsBold, 0x994444, 12));
    EXPECT_FALSE(t.AddClasseCSS("h1", "Noto Sans", fsItalic, 0x111111, 9));
    ASSERT_NE(t.find("h1"), nullptr);
    EXPECT_EQ(*t.find("h1"), SetFontCss("", fsBold, 0x994444, 12));
    EXPECT_EQ(t.find("H1"), nullptr);
    t.ClearClassesCSS();
    EXPECT_EQ(t.size(), 0u);
    EXPECT_TRUE(t.AddClasseCSS("h1", SetFontCss("", 0, -1, 0)));
}

TEST(CssClasses, SetFontCssStoresNonPositiveSizeAsKeep) {
    EXPECT_EQ(SetFontCss("F", fsBold, 5, 0).Size, -1);
    EXPECT_EQ(SetFontCss("F", fsBold, 5, -7).Size, -1);
    const TFontCSS f = SetFontCss("Noto Mono", fsBold | fsItalic, 0x000080, 14);
    EXPECT_EQ(f.Name, "Noto Mono");
    EXPECT_EQ(f.Size, 14);
    EXPECT_EQ(f.Style, fsBold | fsItalic);
    EXPECT_EQ(f.Color, 0x000080);
}

TEST(CssClasses, HtmlToColor) {
    struct {
        const char* text;
        std::optional<std::uint32_t> colour;
    } cases[] = {
        {"909090", 0x909090u},    {"E3780E", 0xE3780Eu},     {"e3780e", 0xE3780Eu},
        {"000000", 0u},           {"FFFFFF", 0xFFFFFFu},     {"", std::nullopt},
        {"12345", std::nullopt},  {"1234567", std::nullopt}, {"GG0000", std::nullopt},
        {"#90909", std::nullopt}, {"90 909", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HTMLToColor(c.text), c.colour);
    }
}

std::set<std::string> names(const TClassesCSS& t) {
    std::set<std::string> out;
    for (const auto& [name, font] : t.all())
        out.insert(name);
    return out;
}

TEST(CssClasses, DisplayVocabularies) {
    using S = std::set<std::string>;
    EXPECT_EQ(names(classesFor(MarkupDisplay::SolverHeader)), (S{"h1", "h2"}));
    EXPECT_EQ(names(classesFor(MarkupDisplay::SolverDcDetails)),
              (S{"error", "vn", "vp", "i", "mw", "w", "npar", "r", "µ", "gm", "db"}));
    EXPECT_EQ(names(classesFor(MarkupDisplay::SolverAcSmallSignal)), (S{"r", "µ", "gm", "db"}));
    EXPECT_EQ(names(classesFor(MarkupDisplay::CircuitDescription)), (S{"h1", "error", "info"}));
    EXPECT_EQ(names(classesFor(MarkupDisplay::Introduction)), (S{"h1"}));
    EXPECT_EQ(names(classesFor(MarkupDisplay::UsageStatistics)), (S{"h1", "rou"}));
    EXPECT_EQ(names(classesFor(MarkupDisplay::AnodeCurvesPanel)), (S{"ia"}));
    EXPECT_EQ(solverReportClasses().all(), classesFor(MarkupDisplay::SolverDcDetails).all());
}

TEST(CssClasses, SameNameDiffersByDisplay) {
    struct {
        MarkupDisplay display;
        const char* name;
        TFontCSS font;
    } cases[] = {
        {MarkupDisplay::SolverDcDetails, "error", SetFontCss("", fsBold, 0xFF0000, 12)},
        {MarkupDisplay::CircuitDescription, "error", SetFontCss("", 0, 0xFF0000, -1)},
        {MarkupDisplay::SolverHeader, "h1", SetFontCss("", fsBold, 0x994444, 12)},
        {MarkupDisplay::UsageStatistics, "h1", SetFontCss("", fsBold, -1, 14)},
        {MarkupDisplay::CircuitDescription, "info", SetFontCss("", fsBold | fsItalic, 0x000080, -1)},
        {MarkupDisplay::SolverAcSmallSignal, "µ", SetFontCss("", fsBold, 0xAA0066, -1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TClassesCSS t = classesFor(c.display);
        ASSERT_NE(t.find(c.name), nullptr);
        EXPECT_EQ(*t.find(c.name), c.font);
    }
}

} // namespace
