// Checks the circuit catalogue against the counts and memberships of the library and spot checks of
// titles, sheets and legends.
#include "circuits/catalogue.h"
#include "circuits/catalogue_tables.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

std::string codeOf(int n) {
    std::string code = "C";
    code += std::to_string(n);
    return code;
}

const Category& categoryNamed(const std::string& galleryName) {
    for (const Category& c : categories())
        if (c.galleryName == galleryName)
            return c;
    throw std::runtime_error("no category " + galleryName);
}

bool contains(const std::vector<int>& v, int n) {
    return std::find(v.begin(), v.end(), n) != v.end();
}

std::set<int> circuitsWhere(bool (*pred)(const CircuitInfo&)) {
    std::set<int> out;
    for (int n = 1; n <= kCircuitCount; ++n)
        if (pred(circuitInfo(n)))
            out.insert(n);
    return out;
}

const SheetControl* control(const CircuitInfo& info, const std::string& name) {
    for (const SheetControl& c : info.controls)
        if (c.name == name)
            return &c;
    return nullptr;
}

} // namespace

TEST(Catalogue, TitlesAreExact) {
    struct Row {
        int n;
        const char* title;
    } rows[] = {
        {1, "Common-cathode amplifier, cathode bias"},
        {15, "Differential phase inverter, long-tailed pair, cathode bias"},
        {21, "Double cascode after Aikido Lumacraft"},
        {25, "Basic current sink"},
        {36, "Cathode-common pentode amplifier"},
        {42, "Fixed bias pentode push-pull"},
    };
    ASSERT_EQ(Titres().size(), 43u);
    for (const Row& r : rows) {
        SCOPED_TRACE(codeOf(r.n));
        EXPECT_EQ(circuitInfo(r.n).title, r.title);
        EXPECT_EQ(Titres()[r.n], r.title);
        EXPECT_EQ(circuitInfo(r.n).code, codeOf(r.n));
    }
    for (int n = 1; n <= kCircuitCount; ++n)
        EXPECT_FALSE(circuitInfo(n).title.empty()) << "C" << n;
    EXPECT_THROW(circuitInfo(0), std::out_of_range);
    EXPECT_THROW(circuitInfo(43), std::out_of_range);
}

TEST(Catalogue, CategoriesInOrderWithTheirSizes) {
    struct Row {
        const char* gallery;
        const char* tree;
        std::size_t size;
    } rows[] = {
        {"All", "All circuits", 42},
        {"1-tube", "1-tube", 13},
        {"2-tube", "2-tube", 24},
        {"3-tube", "3-tube", 2},
        {"4-tube", "4-tube", 2},
        {"gain stage", "Gain stage", 23},
        {"buffer", "Buffer", 9},
        {"cascode-like", "Cascode-like", 13},
        {"phase inverter", "Phase inverter", 6},
        {"differential", "Differential", 3},
        {"mixer", "Mixer", 2},
        {"voltage regulator", "Voltage regulator", 4},
        {"power stage", "Power stages", 6},
    };
    ASSERT_EQ(categories().size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Category& c = categories()[i];
        SCOPED_TRACE(rows[i].gallery);
        EXPECT_EQ(c.galleryName, rows[i].gallery);
        EXPECT_EQ(c.treeCaption, rows[i].tree);
        EXPECT_EQ(c.circuits.size(), rows[i].size);
        EXPECT_TRUE(std::is_sorted(c.circuits.begin(), c.circuits.end()));
    }
}

TEST(Catalogue, TubeCountCategoriesFollowTubeCountExceptC15) {
    const char* names[] = {"1-tube", "2-tube", "3-tube", "4-tube"};
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        for (int t = 1; t <= 4; ++t) {
            const bool listed = contains(categoryNamed(names[t - 1]).circuits, n);
            const bool expected = info.tubeCount == t && n != 15;
            EXPECT_EQ(listed, expected) << "C" << n << " in " << names[t - 1];
        }
    }
    EXPECT_EQ(circuitInfo(15).tubeCount, 2);
}

// The per-circuit categories of the circuit table and the category lists are two views of one
// membership; they must agree.
TEST(Catalogue, CircuitCategoriesAgreeWithCategoryLists) {
    const auto& data = catalogue_detail::circuitData();
    ASSERT_EQ(data.size(), 42u);
    for (const Category& cat : categories()) {
        if (cat.galleryName == "All" || cat.galleryName.find("-tube") != std::string::npos)
            continue;
        for (const auto& d : data) {
            const bool inTable = std::any_of(d.categories.begin(), d.categories.end(),
                                             [&](const char* c) { return cat.galleryName == c; });
            EXPECT_EQ(inTable, contains(cat.circuits, d.number)) << "C" << d.number << " " << cat.galleryName;
        }
    }
    EXPECT_EQ(circuitInfo(25).categories, (std::vector<std::string>{"All", "1-tube"}));
    EXPECT_EQ(circuitInfo(28).categories,
              (std::vector<std::string>{"All", "2-tube", "gain stage", "cascode-like", "phase inverter"}));
}

TEST(Catalogue, TubeSelectorsAndKinds) {
    EXPECT_EQ(circuitsWhere([](const CircuitInfo& i) {
                  return std::any_of(i.tubeSelectors.begin(), i.tubeSelectors.end(),
                                     [](const TubeSelector& s) { return s.kind == 5; });
              }),
              (std::set<int>{36, 38, 40, 42}));
    EXPECT_EQ(circuitsWhere([](const CircuitInfo& i) { return i.tubeSelectors.size() == 2; }),
              (std::set<int>{4, 9, 14, 16, 21, 23}));
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        for (const TubeSelector& sel : info.tubeSelectors) {
            const SheetControl* c = control(info, sel.name);
            ASSERT_NE(c, nullptr) << "C" << n << " " << sel.name;
            EXPECT_EQ(c->kind, ControlKind::Selector);
            EXPECT_TRUE(c->items.empty()) << "tube selectors are filled by the host";
        }
    }
    EXPECT_EQ(selectorTubeKind(circuitInfo(36), "LBtube"), 5);
    EXPECT_EQ(selectorTubeKind(circuitInfo(4), "LBtube2"), 3);
    EXPECT_EQ(selectorTubeKind(circuitInfo(4), "LBtube"), 0);
    EXPECT_EQ(selectorTubeKind(circuitInfo(37), "LBparallel"), 0);
}

TEST(Catalogue, WindowSetUp) {
    EXPECT_EQ(circuitsWhere([](const CircuitInfo& i) { return !i.feedback; }),
              (std::set<int>{2, 5, 7, 10, 15}));
    const std::set<int> noBode = {12, 13, 16, 17, 18, 19, 22, 23, 24, 25, 26, 27,
                                  28, 29, 30, 31, 33, 37, 38, 39, 40, 41, 42};
    EXPECT_EQ(circuitsWhere([](const CircuitInfo& i) { return !i.bodeTab; }), noBode);
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        SCOPED_TRACE(codeOf(n));
        EXPECT_EQ(info.bodeTab, !info.bodeLegends.empty());
        EXPECT_LE(info.bodeLegends.size(), 7u);
        EXPECT_EQ(info.icon, info.tubeCount);
        EXPECT_FALSE(info.gridColumns.empty());
        EXPECT_EQ(info.advanced.has_value(), n >= 39);
    }
    struct Row {
        int n;
        const char* kza;
        const char* kzb;
    } rows[] = {{39, "1", "2.1"}, {40, "4", "0.2"}, {41, "8", "0.2"}, {42, "4", "0.2"}};
    for (const Row& r : rows) {
        const auto& adv = *circuitInfo(r.n).advanced;
        EXPECT_EQ(adv.kza, r.kza) << "C" << r.n;
        EXPECT_EQ(adv.kzb, r.kzb) << "C" << r.n;
        EXPECT_EQ(adv.fonction, 3);
    }
    EXPECT_EQ(withDecimalSeparator("2.1", NumberLocale{',', "."}), "2,1");
}

TEST(Catalogue, GridAndBodeLegendsSpotChecks) {
    const CircuitInfo& c1 = circuitInfo(1);
    ASSERT_EQ(c1.gridColumns.size(), 15u);
    EXPECT_EQ(c1.gridColumns.front(), "T1");
    EXPECT_EQ(c1.gridColumns.back(), "Aunbyp");
    EXPECT_EQ(c1.bodeLegends, (std::vector<std::string>{"RC input", "T1", "RC output", "Overall gain"}));
    EXPECT_EQ(circuitInfo(7).gridColumns[10], "\u0394Va/\u0394Vg");
    EXPECT_EQ(circuitInfo(21).gridColumns[5], "\u03a3Ia (mA)");
    EXPECT_EQ(circuitInfo(21).bodeLegends.size(), 7u);
    EXPECT_EQ(circuitInfo(15).gridColumns.front(), "T1 & T2");
    EXPECT_EQ(circuitInfo(42).gridColumns.back(), "Yield (%)");
    EXPECT_EQ(circuitInfo(2).bodeLegends.back(), "RCk output");
}

TEST(Catalogue, SheetControlsSpotChecks) {
    struct Row {
        int n;
        const char* name;
        ControlKind kind;
        const char* label; // label beside an edit field, caption of a check box or static text
    } rows[] = {
        {1, "EdVb", ControlKind::Edit, "V"},
        {1, "EdCi", ControlKind::Edit, "Cin"},
        {1, "EdCs", ControlKind::Edit, "Cout"},
        {1, "CheckBoxC1shunted", ControlKind::CheckBox, "Cin shunted"},
        {7, "EcCo1", ControlKind::Edit, "Co1"},
        {8, "CheckBoxRa", ControlKind::CheckBox, "short Ra"},
        {10, "EdRk", ControlKind::Edit, "Source impedance"},
        {14, "EdRag", ControlKind::Edit, "R1"},
        {16, "EdVb", ControlKind::Edit, "Vb : power supply (V)"},
        {25, "EdVa", ControlKind::Edit, "Va :  anode voltage (V)"},
        {36, "EdVek", ControlKind::Edit, "Screen-cathode voltage"},
        {37, "EdRa", ControlKind::Edit, "Primary impedance (\u03a9)"},
        {40, "EdRk", ControlKind::Edit, "Rk (\u03a9)"},
        {26, "Label9", ControlKind::Label, ""},
        {1, "LabelIa", ControlKind::Label, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(codeOf(r.n) + " " + r.name);
        const CircuitInfo& info = circuitInfo(r.n);
        const SheetControl* c = control(info, r.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, r.kind);
        if (r.kind == ControlKind::Label)
            EXPECT_TRUE(c->text.empty());
        else
            EXPECT_EQ(controlLabel(info, r.name), r.label);
    }
    EXPECT_EQ(circuitInfo(1).hints.size(), 12u);
    EXPECT_EQ(circuitInfo(1).maxLengths, (std::vector<std::pair<std::string, int>>{{"EdVb", 3}}));
    EXPECT_TRUE(circuitInfo(2).hints.empty());
}

TEST(Catalogue, EditFieldOrderAndCaptions) {
    auto editNames = [](int n) {
        std::vector<std::string> out;
        for (const SheetControl& c : circuitInfo(n).controls)
            if (c.kind == ControlKind::Edit)
                out.push_back(c.name);
        return out;
    };
    EXPECT_EQ(editNames(29), (std::vector<std::string>{"EdRg", "EdRk", "EdRao", "EdRf", "EdRa", "EdVb"}));
    EXPECT_EQ(editNames(42), (std::vector<std::string>{"EdVb", "EdVe", "EdZaa", "EdVg"}));
    auto captions = [](int n) {
        std::vector<std::string> out;
        for (const SheetControl& c : circuitInfo(n).controls)
            if (c.kind == ControlKind::Caption)
                out.push_back(c.text);
        return out;
    };
    EXPECT_EQ(captions(5), (std::vector<std::string>{"T1", "T1"}));
    EXPECT_TRUE(captions(15).empty());
    EXPECT_EQ(captions(40).back(), "Transformer power yield (%)");
}

TEST(Catalogue, EverySheetIsWellFormed) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        SCOPED_TRACE(info.code);
        std::set<std::string> names;
        for (const SheetControl& c : info.controls)
            EXPECT_TRUE(names.insert(c.name).second) << "duplicate " << c.name;
        // Every sheet has a supply field, except the current sink which has a fixed anode voltage.
        EXPECT_EQ(names.count("EdVb"), n == 25 ? 0u : 1u);
        EXPECT_EQ(names.count("LBparallel") + names.count("LBYt"), n >= 37 ? 2u : 0u);
    }
    const SheetControl* yt = control(circuitInfo(41), "LBYt");
    ASSERT_NE(yt, nullptr);
    ASSERT_EQ(yt->items.size(), 13u);
    EXPECT_EQ(yt->items.front(), "100");
    EXPECT_EQ(yt->items.back(), "80");
    EXPECT_EQ(control(circuitInfo(37), "LBparallel")->items, (std::vector<std::string>{"1", "2", "3", "4"}));
}
