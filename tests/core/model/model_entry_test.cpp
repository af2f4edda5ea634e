// The tube-models window's texts: numbers as the boxes show them and read them back, and the checks
// that refuse a model the equations cannot use.
#include "model/model_entry.h"
#include "util/number_locale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The EL34 as a user would type it, with a point as the decimal separator.
ModelEntryTexts el34Texts() {
    ModelEntryTexts t;
    t.name = "EL34 mine";
    t.comment = "first line\nsecond line";
    t.t35 = 5;
    t.kp = "47.01";
    t.mu = "14.18";
    t.kvb = "3.6";
    t.ex = "1.175";
    t.kg1 = "282.3";
    t.kg2 = "1147";
    t.pmax = "25";
    t.imax = "0.15";
    t.vmax = "800";
    t.pemax = "8";
    t.vemax = "500";
    t.cgk = "1.5E-11";
    t.cga = "1E-12";
    t.cak = "8e-12";
    return t;
}

} // namespace

TEST(ModelNumbers, ShownAsStoredAndReadBack) {
    struct {
        double value;
        char sep;
        const char* shown;
    } rows[] = {
        {4.3e-12, '.', "4.3E-12"},
        {1e-12, ',', "1E-12"},
        {282.3, '.', "282.3"},
        {282.3, ',', "282,3"},
        {0.015, '.', "0.015"},
        {2689.3, '.', "2689.3"},
        {0, '.', "0"},
        {1e20, '.', "1E20"},
        {1e-5, '.', "1E-5"},
        {1098.83, ',', "1098,83"},
        {1.0 / 3, '.', "0.333333333333333"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.shown);
        EXPECT_EQ(formatModelNumber(r.value, r.sep), r.shown);
        const auto back = readTypedNumber(r.shown, r.sep);
        ASSERT_TRUE(back);
        EXPECT_NEAR(*back, r.value, std::fabs(r.value) * 1e-14);
    }
}

TEST(ModelEntry, AGoodPentodeIsReadWithItsCommentInCrLfLines) {
    const ModelEntryCheck check = readModelEntry(el34Texts(), '.');
    ASSERT_TRUE(check.params) << check.message;
    const TubeParams& p = *check.params;
    EXPECT_EQ(p.name, "EL34 mine");
    EXPECT_EQ(p.comment, "first line\r\nsecond line");
    EXPECT_EQ(p.t35, 5);
    EXPECT_DOUBLE_EQ(p.kg2, 1147);
    EXPECT_DOUBLE_EQ(p.imax, 0.15);
    EXPECT_DOUBLE_EQ(p.cgk, 1.5e-11);
    EXPECT_DOUBLE_EQ(p.cak, 8e-12);
    EXPECT_EQ(commentForDisplay(p.comment), "first line\nsecond line");
}

TEST(ModelEntry, ATriodeStoresZerosForItsScreenGrid) {
    ModelEntryTexts t = el34Texts();
    t.t35 = 3;
    t.kg2 = "abc"; // what the hidden boxes held does not matter
    t.pemax = "";
    t.vemax = "-7";
    t.name = "  My triode \t";
    normaliseModelEntry(t);
    EXPECT_EQ(t.name, "My triode");
    EXPECT_EQ(t.kg2, "0");
    const ModelEntryCheck check = readModelEntry(t, '.');
    ASSERT_TRUE(check.params) << check.message;
    EXPECT_EQ(check.params->kg2, 0);
    EXPECT_EQ(check.params->pemax, 0);
    EXPECT_EQ(check.params->vemax, 0);
    EXPECT_EQ(check.params->t35, 3);
}

TEST(ModelEntry, RefusedEntriesSayWhy) {
    struct Row {
        const char* name;
        void (*change)(ModelEntryTexts&);
        const char* message;
    } rows[] = {
        {"no type", [](ModelEntryTexts& t) { t.t35 = 0; }, kIncompleteModelMessage},
        {"empty name", [](ModelEntryTexts& t) { t.name = "   "; }, kIncompleteModelMessage},
        {"empty box", [](ModelEntryTexts& t) { t.cga = ""; }, kIncompleteModelMessage},
        {"pentode without Kg2 text", [](ModelEntryTexts& t) { t.kg2 = ""; }, kIncompleteModelMessage},
        {"not a number", [](ModelEntryTexts& t) { t.kp = "4x7"; }, "Kp: \"4x7\" is not a number"},
        {"other separator", [](ModelEntryTexts& t) { t.vmax = "800,5"; },
         "Va max (V): \"800,5\" is not a number"},
        {"zero Kg1", [](ModelEntryTexts& t) { t.kg1 = "0"; }, "Kg1 must be greater than 0"},
        {"zero Ia max", [](ModelEntryTexts& t) { t.imax = "0.000"; }, "Ia max (A) must be greater than 0"},
        {"zero Kp", [](ModelEntryTexts& t) { t.kp = "0"; }, "Kp must be greater than 0"},
        {"zero mu", [](ModelEntryTexts& t) { t.mu = "0"; }, "\u00b5 must be greater than 0"},
        {"pentode with a zero Kg2", [](ModelEntryTexts& t) { t.kg2 = "0"; },
         "Kg2 must be greater than 0 for a pentode"},
        {"negative capacitance", [](ModelEntryTexts& t) { t.cgk = "-1E-12"; }, "Cgk must not be negative"},
        {"control character in the name",
         [](ModelEntryTexts& t) {
             t.name = "EL\x01"
                      "34";
         },
         "The model name must not hold control characters"},
        {"two problems",
         [](ModelEntryTexts& t) {
             t.kg1 = "0";
             t.cak = "x";
         },
         "Kg1 must be greater than 0\nCak: \"x\" is not a number"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ModelEntryTexts t = el34Texts();
        r.change(t);
        normaliseModelEntry(t);
        const ModelEntryCheck check = readModelEntry(t, '.');
        EXPECT_FALSE(check.params);
        EXPECT_EQ(check.message, r.message);
    }
}
