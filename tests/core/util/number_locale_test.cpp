// Numbers in the user's locale: typed numbers read strictly whatever the C library's locale, printed
// figures grouped by thousands.
#include "util/number_locale.h"

#include <gtest/gtest.h>

#include <clocale>

TEST(TypedNumbers, StrictWithTheLocaleSeparator) {
    struct {
        const char* text;
        char sep;
        bool number;
        double value;
    } rows[] = {
        {"4,3E-12", ',', true, 4.3e-12},
        {"2.2e-12", '.', true, 2.2e-12},
        {"+5", '.', true, 5},
        {"-1", '.', true, -1},
        {"1.5", ',', false, 0},
        {"1,5", '.', false, 0},
        {"", '.', false, 0},
        {"1 000", '.', false, 0},
        {"1.2.3", '.', false, 0},
        {"abc", '.', false, 0},
        {"1e999", '.', false, 0},
        {"E", '.', false, 0},
        {"0x10", '.', false, 0},
        {"inf", '.', false, 0},
        {"+-5", '.', false, 0},
        {".5", '.', true, 0.5},
        {"5,", ',', true, 5},
        {"-", '.', false, 0},
        {"1e", '.', false, 0},
        {"0x1p3", '.', false, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        const auto value = readTypedNumber(r.text, r.sep);
        ASSERT_EQ(value.has_value(), r.number);
        if (value) {
            EXPECT_DOUBLE_EQ(*value, r.value);
        }
    }
}

TEST(TypedNumbers, TheAnodeWindowBoxesTakeNoExponent) {
    EXPECT_EQ(readTypedNumber("250", '.', false), 250);
    EXPECT_EQ(readTypedNumber("-1,5", ',', false), -1.5);
    EXPECT_FALSE(readTypedNumber("2e2", '.', false));
    EXPECT_FALSE(readTypedNumber("2E2", '.', false));
}

TEST(TypedNumbers, TheCLibraryLocaleDoesNotMatter) {
    // A desktop session in a comma-decimal locale: the C library would stop at the point.
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no comma-decimal locale installed";
    const auto point = readTypedNumber("1.5", '.');
    const auto comma = readTypedNumber("1,5", ',');
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(point, 1.5);
    EXPECT_EQ(comma, 1.5);
}

TEST(GroupedFigures, ThousandsAndDecimalSeparators) {
    const NumberLocale english;
    const NumberLocale german{',', "."};
    const NumberLocale swiss{'.', "\u2019"};
    const NumberLocale none{'.', ""};
    const struct {
        const char* plain;
        const NumberLocale& locale;
        const char* shown;
    } rows[] = {
        {"0", english, "0"},
        {"999", english, "999"},
        {"1000", english, "1,000"},
        {"-1234567.25", english, "-1,234,567.25"},
        {"-1234567.25", german, "-1.234.567,25"},
        {"123456", swiss, "123\u2019456"},
        {"123456.5", none, "123456.5"},
        {"-0.5", german, "-0,5"},
        {"inf", english, "inf"},
        {"-nan", english, "-nan"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(groupedFigure(r.plain, r.locale), r.shown) << r.plain;
}

TEST(GroupedFigures, DecimalSeparatorOfAPrintfText) {
    EXPECT_EQ(withDecimalSeparator("-12.5dB", ','), "-12,5dB");
    EXPECT_EQ(withDecimalSeparator("0.125 feedback fraction", '.'), "0.125 feedback fraction");
}
