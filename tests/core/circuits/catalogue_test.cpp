// Checks the circuit catalogue: counts and memberships of the library, titles, window set-up, whole
// sheets and legend lists of representative circuits, and first-use defaults the value parser reads.
#include "circuits/catalogue.h"
#include "solver/value_parser.h"

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

// The category lists follow from the circuits' entries; each list as the library shows it, and each
// circuit's own list of gallery names in category order.
TEST(Catalogue, CategoryListsAndEachCircuitsCategories) {
    const struct {
        const char* gallery;
        std::vector<int> circuits;
    } rows[] = {
        {"1-tube", {1, 2, 3, 5, 13, 17, 18, 25, 29, 32, 36, 37, 38}},
        {"2-tube",
         {4, 6, 7, 8, 9, 10, 11, 12, 14, 16, 20, 22, 26, 27, 28, 30, 31, 33, 34, 35, 39, 40, 41, 42}},
        {"3-tube", {19, 24}},
        {"4-tube", {21, 23}},
        {"gain stage",
         {1, 4, 6, 8, 9, 11, 12, 13, 14, 19, 20, 21, 22, 23, 24, 26, 28, 29, 30, 31, 32, 34, 36}},
        {"buffer", {2, 3, 4, 24, 26, 30, 31, 33, 35}},
        {"cascode-like", {6, 8, 21, 22, 23, 24, 27, 28, 30, 31, 33, 34, 35}},
        {"phase inverter", {2, 5, 7, 10, 15, 28}},
        {"differential", {7, 10, 15}},
        {"mixer", {11, 12}},
        {"voltage regulator", {16, 17, 18, 27}},
        {"power stage", {37, 38, 39, 40, 41, 42}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(categoryNamed(r.gallery).circuits, r.circuits) << r.gallery;
    EXPECT_EQ(categoryNamed("All").circuits.size(), 42u);
    for (int n = 1; n <= kCircuitCount; ++n) {
        std::vector<std::string> expected;
        for (const Category& cat : categories())
            if (contains(cat.circuits, n))
                expected.push_back(cat.galleryName);
        EXPECT_EQ(circuitInfo(n).categories, expected) << "C" << n;
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

namespace {

// One line per control in sheet order: "E name=label" edit field, "K name=caption" check box,
// "S name=items" selector, "T caption" static text, "L name" result label.
std::vector<std::string> describeSheet(const CircuitInfo& info) {
    std::vector<std::string> out;
    for (const SheetControl& c : info.controls) {
        switch (c.kind) {
        case ControlKind::Edit:
            out.push_back("E " + c.name + "=" + controlLabel(info, c.name));
            break;
        case ControlKind::CheckBox:
            out.push_back("K " + c.name + "=" + c.text);
            break;
        case ControlKind::Selector: {
            std::string items;
            for (const std::string& item : c.items)
                items += (items.empty() ? "" : " ") + item;
            out.push_back("S " + c.name + "=" + items);
            break;
        }
        case ControlKind::Caption:
            out.push_back("T " + c.text);
            break;
        case ControlKind::Label:
            out.push_back("L " + c.name);
            break;
        }
    }
    return out;
}

} // namespace

// Whole sheets of representative circuits: order of the controls and of their kinds, labels that
// differ from the field names (C14), the EcCo1 field of C7, a sheet without supply (C25), the power
// selectors with their items between the edit fields and the captions (C37, C40).
TEST(Catalogue, RepresentativeSheetsInFull) {
    const std::string yields = "S LBYt=100 99 98 97 96 95 94 93 92 91 90 85 80";
    struct Row {
        int n;
        std::vector<std::string> controls;
    } rows[] = {
        {1,
         {"E EdVb=V",
          "E EdRa=Ra",
          "E EdRk=Rk",
          "E EdRo=Ro",
          "E EdCo=Co",
          "E EdRgs=Rgs",
          "E EdRg=Rg",
          "E EdCgs=Cgs",
          "E EdCi=Cin",
          "E EdCg=Cg",
          "E EdCs=Cout",
          "E EdCk=Ck",
          "E EdRs=Rs",
          "K CheckBoxCkconnected=Ck connected",
          "K CheckBoxC1shunted=Cin shunted",
          "S LBtube=",
          "T T1",
          "L LabelVa",
          "L LabelVk",
          "L LabelIa"}},
        {7, {"E EdVb=Vb",   "E EdCg=Cg",   "E EdVg=Vbias", "E EdRk=Rk",   "E EdRa1=Ra1", "E EdRa2=Ra2",
             "E EdRo1=Ro1", "E EdRo2=Ro2", "E EdCo2=Co2",  "E EcCo1=Co1", "E EdRg=Rg",   "E EdCa2=Ca2",
             "E EdCa1=Ca1", "S LBtube=",   "T T1 and T2",  "T T1",        "T T2",        "T AC grounded",
             "L LabelVa2",  "L LabelVk",   "L LabelVa1",   "L LabelIt",   "L LabelIa2",  "L LabelIa1"}},
        {14, {"E EdVb=V",    "E EdRa1=Ra1", "E EdRk1=Rk1", "E EdRk2=Rk2", "E EdRa2=Ra2",  "E EdRag=R1",
              "E EdRg2=R2",  "E EdRo=Ro",   "E EdCgs1=Cg", "E EdCo=Co",   "E EdCa=Ca",    "E EdCk2=Ck2",
              "E EdCk1=Ck1", "E EdRgs1=Rs", "E EdCs=Cs",   "E EdRg1=Rg",  "E EdRgs2=Rgs", "E EdCgs2=Cgs",
              "E EdC1=C1",   "S LBtube1=",  "S LBtube2=",  "T T1",        "T T2",         "L LabelVa1",
              "L LabelVa2",  "L LabelVg2",  "L LabelVk1",  "L LabelVk2",  "L LabelIt",    "L LabelIa2",
              "L LabelIa1",  "L LabelIg"}},
        {25,
         {"E EdRk=Rk", "E EdVa=Va :  anode voltage (V)", "E EdVg=Vg (V)", "S LBtube=", "T T1", "L LabelIa",
          "L LabelVk"}},
        {37,
         {"E EdVb=V", "E EdRk=Rk", "E EdVg=Bias voltage (V)", "E EdRa=Primary impedance (\u03a9)",
          "E EdRp=Primary ohmic resistance (\u03a9)", "S LBparallel=1 2 3 4", "S LBtube=", yields, "T T1",
          "T triode(s) in parallel", "L LabelIa", "L LabelVk", "L LabelVa", "L Label3"}},
        {40,
         {"E EdVb=V", "E EdVe=V", "E EdZaa=Primary impedance (\u03a9)", "E EdRk=Rk (\u03a9)",
          "S LBparallel=1 2 3 4", "S LBtube=", yields, "T tube(s) in parallel per branch", "T AC swing +",
          "T ACswing -", "T Transformer power yield (%)", "L LabelIb", "L LabelVk", "L LabelIe"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(codeOf(r.n));
        EXPECT_EQ(describeSheet(circuitInfo(r.n)), r.controls);
    }
}

// Whole legend lists where the texts carry Greek letters (the differential gains, the summed
// current) or the power-stage columns, and the longest Bode list.
TEST(Catalogue, RepresentativeLegendsInFull) {
    struct Row {
        int n;
        std::vector<std::string> grid;
        std::vector<std::string> bode;
    } rows[] = {
        {7,
         {"T1 & T2",     "Vb (V)",    "Ra1 (\u03a9)", "Ra2 (\u03a9)", "Vg1 (V)",           "Vg2 (V)",
          "Vg1-Vg2 (V)", "Va1 (V)",   "Va2 (V)",      "Va1-Va2 (V)",  "\u0394Va/\u0394Vg", "Rk (\u03a9)",
          "Vk (V)",      "Vak1 (V)",  "Vgk1 (V)",     "Ia1 (mA)",     "Vak2 (V)",          "Vgk2 (V)",
          "Ia2 (mA)",    "Ptot (mW)", "PT1 (mW)",     "PT2 (mW)",     "PRa1 (mW)",         "PRa2 (mW)",
          "PRk (mW)",    "Gain Ninv", "Gain Inv",     "Gain diff"},
         {"RC in", "T1", "T2", "RC1", "RC2"}},
        {10,
         {"T1 & T2",  "Vb (V)",    "Ra1 (\u03a9)",      "Ra2 (\u03a9)", "Va1 (V)",   "Va2 (V)",
          "Vg1 (V)",  "Vg2 (V)",   "\u03b4Va/\u03b4Vg", "Ic (mA)",      "Vak1 (V)",  "Vgk1 (V)",
          "Ia1 (mA)", "Vak2 (V)",  "Vgk2 (V)",          "Ia2 (mA)",     "Ptot (mW)", "PT1 (mW)",
          "PT2 (mW)", "PRa1 (mW)", "PRa2 (mW)",         "Ro (\u03a9)",  "A1",        "A2",
          "Adiff"},
         {"RC in", "T1", "T2", "RC1", "RC2"}},
        {21,
         {"T1,T2",       "T3,T4",       "Vb (V)",      "Va1 (V)",     "Va3 (V)",   "\u03a3Ia (mA)",
          "Vak1 (V)",    "Vgk1 (V)",    "Ia1 (mA)",    "Vak2 (V)",    "Vgk2 (V)",  "Ia2 (mA)",
          "Vak3 (V)",    "Vgk3 (V)",    "Ia3 (mA)",    "Vak4 (V)",    "Vgk4 (V)",  "Ia4 (mA)",
          "R1 (\u03a9)", "R2 (\u03a9)", "R3 (\u03a9)", "R4 (\u03a9)", "Ptot (mW)", "PT1 (mW)",
          "PT2 (mW)",    "PT3 (mW)",    "PT4 (mW)",    "A1",          "A2",        "Zo"},
         {"RC input", "T1", "T2", "T4", "T3", "RC output", "Overall gain"}},
        {37,
         {"T1", "Vb (V)", "Vg (V)", "Rk (\u03a9)", "Rp (\u03a9)", "Zt (\u03a9)", "TR yield (%)", "Vak (V)",
          "Vgk (V)", "Ia (mA)", "Pdc (W)", "Vg swing (V)", "Pout (W)", "Ia max (mA)", "Yield (%)"},
         {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(codeOf(r.n));
        EXPECT_EQ(circuitInfo(r.n).gridColumns, r.grid);
        EXPECT_EQ(circuitInfo(r.n).bodeLegends, r.bode);
    }
}

// Every first-use default must read back through the value parser: a look-alike character in a
// default (a Greek mu for the micro sign) would silently read as 1 instead of 10 µF.
TEST(Catalogue, FirstUseDefaultsReadAsValues) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        for (const SheetControl& c : newSheet(n).controls) {
            if (c.kind != ControlKind::Edit || c.text.empty())
                continue;
            bool ok = false;
            parseValue(c.text, NumberLocale{}, &ok);
            EXPECT_TRUE(ok) << "C" << n << " " << c.name << " \"" << c.text << "\"";
        }
    }
    EXPECT_EQ(namingRuleDefault("EdCk"), "10\u00b5");
}
