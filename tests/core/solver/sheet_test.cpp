// Value syntax, first-use defaults, the field reader and the validation of the solve command.
#include "approx.h"
#include "circuits/catalogue.h"
#include "solver/field_reader.h"
#include "solver/sheet_validation.h"
#include "solver/value_parser.h"

#include <gtest/gtest.h>

namespace {

const NumberLocale kPoint{'.', ","};
const NumberLocale kComma{',', "."};

// A first-use sheet with a model chosen in every tube selector, so that only the fields matter.
Sheet solvableSheet(int n) {
    Sheet s = newSheet(n);
    for (SheetControl& c : s.controls)
        if (c.kind == ControlKind::Selector && c.items.empty()) {
            c.items = {"ECC83"};
            c.selected = 0;
        }
    return s;
}

void setText(Sheet& s, const std::string& name, const std::string& text) {
    SheetControl* c = s.find(name);
    ASSERT_NE(c, nullptr) << name;
    c->text = text;
}

} // namespace

TEST(ValueParser, Syntax) {
    struct Row {
        const char* text;
        const NumberLocale* locale;
        double value;
        bool ok;
    } rows[] = {
        {"250", &kPoint, 250, true},
        {"100k", &kPoint, 1e5, true},
        {"4k7", &kPoint, 4700, true},
        {"3M3", &kPoint, 3.3e6, true},
        {"1M", &kPoint, 1e6, true},
        {"100n", &kPoint, 1e-7, true},
        {"47n", &kPoint, 4.7e-8, true},
        {"10p", &kPoint, 1e-11, true},
        {"1m", &kPoint, 1e-3, true},
        {"10\u00b5", &kPoint, 1e-5, true},
        {"10u", &kPoint, 1e-5, true},
        {"2\u00b52", &kPoint, 2.2e-6, true},
        // A suffix after a typed decimal separator only multiplies.
        {"2.2k", &kPoint, 2200, true},
        {"0.1\u00b5", &kPoint, 1e-7, true},
        {"2,2k", &kComma, 2200, true},
        {"1,5", &kComma, 1.5, true},
        {" 4k7\t", &kPoint, 4700, true},
        {"-40", &kPoint, -40, true},
        {"4.7", &kPoint, 4.7, true},
        {"1e3", &kPoint, 1000, true},
        // Not numbers: read as 1.
        {"1,5", &kPoint, 1, false},
        {"2.5.0", &kPoint, 1, false},
        {"2.2k5", &kPoint, 1, false},
        {"1k2M", &kPoint, 1, false},
        {"abc", &kPoint, 1, false},
        {"", &kPoint, 1, false},
        {"k", &kPoint, 1, false},
        {"10K", &kPoint, 1, false},
        {"inf", &kPoint, 1, false},
        {"0x10", &kPoint, 1, false},
        // Finite as typed, out of range once the suffix multiplies it.
        {"1.5e308M", &kPoint, 1, false},
        {"1e309", &kPoint, 1, false},
        {"2e305k", &kPoint, 1, false},
        {"1.5e-300p", &kPoint, 1.5e-312, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("\"") + r.text + "\"");
        bool ok = !r.ok;
        EXPECT_REL(parseValue(r.text, *r.locale, &ok), r.value, 1e-12);
        EXPECT_EQ(ok, r.ok);
        EXPECT_EQ(isValueText(r.text, *r.locale), r.ok);
    }
}

TEST(NamingRule, DefaultsByFirstMatchingSubstring) {
    struct Row {
        const char* name;
        const char* value;
    } rows[] = {
        {"EdRa", "100k"},      {"EdRao", "100k"}, {"EdRag", "100k"}, {"EdRk", "1k"},    {"EdRkg", "1k"},
        {"EdRgk", "1M"},       {"EdRgs", "5k"},   {"EdRgs1", "5k"},  {"EdRg2", "1M"},   {"EdRo", "500k"},
        {"EdRok", "500k"},     {"EdRs", "1k"},    {"EdRso", "1k"},   {"EdR", "10k"},    {"EdRp", "10k"},
        {"EdCo", "10p"},       {"EcCo1", "10p"},  {"EdCgs", "22p"},  {"EdCg", "10p"},   {"EdCk1", "10\u00b5"},
        {"EdCko", "10\u00b5"}, {"EdCao", "10n"},  {"EdC1", "10n"},   {"EdVref", "250"}, {"EdVek", "250"},
        {"EdIcs", "1m"},       {"EdIo", "1m"},    {"EdZaa", ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(namingRuleDefault(r.name), r.value) << r.name;
}

TEST(NewSheet, FirstOpeningShowsNamingRuleDefaults) {
    struct Row {
        int n;
        const char* name;
        const char* text;
    } rows[] = {
        {2, "EdRgk", "1M"},  {15, "EdRkg", "1k"}, {39, "EdZaa", ""},
        {40, "EdZaa", ""},   {10, "EdIcs", "1m"}, {1, "EdRgs", "5k"},
        {1, "EdRo", "500k"}, {1, "EdVb", "250"},  {14, "EdRag", "100k"},
    };
    for (const Row& r : rows) {
        const Sheet s = newSheet(r.n);
        const SheetControl* c = s.find(r.name);
        ASSERT_NE(c, nullptr) << "C" << r.n << " " << r.name;
        EXPECT_EQ(c->text, r.text) << "C" << r.n << " " << r.name;
    }
    const Sheet c1 = newSheet(1);
    EXPECT_EQ(c1.circuit, 1);
    EXPECT_FALSE(fieldChecked(c1, "CheckBoxCkconnected"));
    EXPECT_EQ(c1.find("LBtube")->selected, -1);
    const Sheet c37 = newSheet(37);
    EXPECT_EQ(fieldText(c37, "LBparallel"), "1");
    EXPECT_EQ(fieldText(c37, "LBYt"), "100");
}

TEST(FieldReader, ReadsByNameAndKind) {
    Sheet s;
    s.controls.push_back({"EdRa", ControlKind::Label, "label, not a field", false, {}, -1});
    s.controls.push_back({"EdRa", ControlKind::Edit, "4k7", false, {}, -1});
    s.controls.push_back({"EdRa", ControlKind::Edit, "1M", false, {}, -1});
    s.controls.push_back({"LBtube", ControlKind::Selector, "", false, {"6SN7", "ECC83"}, 1});
    s.controls.push_back({"LBtube2", ControlKind::Selector, "", false, {"6SN7"}, -1});
    s.controls.push_back({"CheckBoxRa", ControlKind::CheckBox, "short Ra", true, {}, -1});
    s.controls.push_back({"EdBad", ControlKind::Edit, "x", false, {}, -1});

    EXPECT_EQ(readField(s, "EdRa", kPoint), FieldValue(4700.0));
    EXPECT_EQ(readField(s, "LBtube", kPoint), FieldValue(std::string("ECC83")));
    EXPECT_EQ(readField(s, "CheckBoxRa", kPoint), FieldValue(true));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(readField(s, "EdMissing", kPoint)));
    EXPECT_EQ(readField(s, "EdBad", kPoint), FieldValue(1.0));

    bool ok = false;
    EXPECT_EQ(fieldNumber(s, "EdMissing", kPoint, &ok), 0.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(fieldNumber(s, "EdBad", kPoint, &ok), 1.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(fieldText(s, "LBtube2"), "");
    EXPECT_EQ(fieldText(s, "LBmissing"), "");
    EXPECT_TRUE(fieldChecked(s, "CheckBoxRa"));
    EXPECT_FALSE(fieldChecked(s, "CheckBoxMissing"));
}

TEST(SheetValidation, MessagesInOrder) {
    const std::string supply = "Supply voltage must be in the 20 ... 800V interval";
    const std::string grid = "Voltage on grid 1 must be negative or null";
    const std::string cathode = "Cathode resistor must be 10 to 1000\u03a9";
    struct Row {
        const char* name;
        int circuit;
        std::vector<std::pair<std::string, std::string>> fields;
        std::vector<std::string> expected;
    } rows[] = {
        {"Vb 800 passes", 1, {{"EdVb", "800"}}, {}},
        {"Vb 20 passes", 1, {{"EdVb", "20"}}, {}},
        {"Vb 801 fails", 1, {{"EdVb", "801"}}, {supply}},
        {"Vb 19 fails", 1, {{"EdVb", "19"}}, {supply}},
        {"Vb 1k fails", 1, {{"EdVb", "1k"}}, {supply}},
        {"Vb malformed", 1, {{"EdVb", "2.5.0"}}, {notANumberMessage("EdVb", "2.5.0")}},
        {"C41 Vg 5 fails", 41, {{"EdVg", "5"}, {"EdZaa", "8k"}}, {grid}},
        {"C41 Vg -40 passes", 41, {{"EdVg", "-40"}, {"EdZaa", "8k"}}, {}},
        {"C41 Vg 0 passes", 41, {{"EdVg", "0"}, {"EdZaa", "8k"}}, {}},
        {"C42 Vg 250 fails", 42, {{"EdZaa", "8k"}}, {grid}},
        {"C3 positive Vg passes", 3, {{"EdVg", "5"}}, {}},
        {"C39 Rk 1k passes", 39, {{"EdRk", "1k"}, {"EdZaa", "8k"}}, {}},
        {"C39 Rk 10 passes", 39, {{"EdRk", "10"}, {"EdZaa", "8k"}}, {}},
        {"C39 Rk 1k2 fails", 39, {{"EdRk", "1k2"}, {"EdZaa", "8k"}}, {cathode}},
        {"C40 Rk 4.7 fails", 40, {{"EdRk", "4.7"}, {"EdZaa", "8k"}}, {cathode}},
        {"C1 Rk 4.7 passes", 1, {{"EdRk", "4.7"}}, {}},
        {"C39 first use: empty Zaa", 39, {}, {notANumberMessage("EdZaa", "")}},
        // Negative components are refused, naming the field; only a grid bias takes a minus sign.
        {"C24 Rk1 -1k fails", 24, {{"EdRk1", "-1k"}}, {negativeValueMessage("EdRk1", "-1k")}},
        {"C36 Ra -1k fails", 36, {{"EdRa", "-1k"}}, {negativeValueMessage("EdRa", "-1k")}},
        {"C1 Ci -100n fails", 1, {{"EdCi", "-100n"}}, {negativeValueMessage("EdCi", "-100n")}},
        {"C1 Ra 0 passes", 1, {{"EdRa", "0"}}, {}},
        {"C3 Vg -5 fails", 3, {{"EdVg", "-5"}}, {negativeValueMessage("EdVg", "-5")}},
        {"C37 Vg -20 passes", 37, {{"EdVg", "-20"}}, {}},
        {"C38 Vg -10 passes", 38, {{"EdVg", "-10"}}, {}},
        {"C38 Vg2 -10 fails", 38, {{"EdVg2", "-10"}}, {negativeValueMessage("EdVg2", "-10")}},
        {"C39 Rk -100: one message",
         39,
         {{"EdRk", "-100"}, {"EdZaa", "8k"}},
         {negativeValueMessage("EdRk", "-100")}},
        {"C1 Vb -250: one message", 1, {{"EdVb", "-250"}}, {negativeValueMessage("EdVb", "-250")}},
        {"order",
         42,
         {{"EdVb", "900"}, {"EdVe", "abc"}, {"EdZaa", "8k"}},
         {notANumberMessage("EdVe", "abc"), supply, grid}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Sheet s = solvableSheet(r.circuit);
        for (const auto& [name, text] : r.fields)
            setText(s, name, text);
        EXPECT_EQ(validateSheet(s, kPoint), r.expected);
    }
}

TEST(SheetValidation, EmptySelectorsRepeatTheirMessage) {
    Sheet s = newSheet(4); // LBtube1 and LBtube2, nothing selected
    const auto messages = validateSheet(s, kPoint);
    EXPECT_EQ(messages, (std::vector<std::string>{"Select tube(s)", "Select tube(s)"}));
    EXPECT_EQ(validationText(messages), "Select tube(s)\n\nSelect tube(s)\n\n");
    EXPECT_EQ(validationText({}), "");
}

TEST(SheetValidation, SupplyClamp) {
    EXPECT_EQ(clampSupply(250), 250);
    EXPECT_EQ(clampSupply(800), 800);
    EXPECT_EQ(clampSupply(1000), 800);
}
