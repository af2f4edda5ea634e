// Builds the circuit entries and the library categories from the raw tables, and the first-use sheet.
#include "circuits/catalogue.h"

#include "circuits/catalogue_tables.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

using catalogue_detail::CircuitData;

const std::vector<std::string> kParallelItems = {"1", "2", "3", "4"};
const std::vector<std::string> kYieldItems = {"100", "99", "98", "97", "96", "95", "94",
                                              "93",  "92", "91", "90", "85", "80"};

// Tool tips of the C1 sheet, the only sheet that carries them.
const std::vector<std::pair<std::string, std::string>> kC1Hints = {
    {"EdRa", "Anode ohmic load"},
    {"EdRk", "Cathode bias resistor"},
    {"EdRo", "Anode output load"},
    {"EdCo", "Output load capacitor"},
    {"EdRgs", "Grid stopper resistance"},
    {"EdRg", "Grid pulldown resistor"},
    {"EdCgs", "Grid capacitor stopper"},
    {"EdCi", "Input isolating capacitor"},
    {"EdCg", "Input capacitor"},
    {"EdCs", "Anode coupling capacitor"},
    {"EdCk", "Cathode decoupling capacitor"},
    {"EdRs", "Source ohmic impedance"},
};

SheetControl makeControl(const std::string& name, ControlKind kind, const std::string& text = {}) {
    SheetControl c;
    c.name = name;
    c.kind = kind;
    c.text = text;
    return c;
}

SheetControl makeSelector(const std::string& name, const std::vector<std::string>& items) {
    SheetControl c = makeControl(name, ControlKind::Selector);
    c.items = items;
    return c;
}

bool isPowerStage(int n) {
    return n >= 37 && n <= 42;
}

// The tubes a selector chooses, as its caption on the schematic names them: a single selector
// chooses every tube ("T1", "T1 and T2", "T1, T2 and T3"), two selectors share the tubes in halves.
std::string selectorTubes(int tubes, int index, int selectors) {
    const int per = selectors > 1 ? tubes / selectors : tubes;
    const int first = index * per + 1;
    std::string text;
    for (int t = first; t < first + per; ++t) {
        if (t > first)
            text += t + 1 == first + per ? " and " : ", ";
        text += "T" + std::to_string(t);
    }
    return text;
}

std::optional<AdvancedPowerSetup> advancedSetup(int n) {
    switch (n) {
    case 39:
        return AdvancedPowerSetup{"1", "2.1", 3};
    case 40:
        return AdvancedPowerSetup{"4", "0.2", 3};
    case 41:
        return AdvancedPowerSetup{"8", "0.2", 3};
    case 42:
        return AdvancedPowerSetup{"4", "0.2", 3};
    default:
        return std::nullopt;
    }
}

std::vector<Category> buildCategories() {
    std::vector<int> all(kCircuitCount);
    for (int i = 0; i < kCircuitCount; ++i)
        all[i] = i + 1;
    return {
        {"All", "All circuits", all},
        {"1-tube", "1-tube", {1, 2, 3, 5, 13, 17, 18, 25, 29, 32, 36, 37, 38}},
        {"2-tube", "2-tube", {4,  6,  7,  8,  9,  10, 11, 12, 14, 16, 20, 22,
                              26, 27, 28, 30, 31, 33, 34, 35, 39, 40, 41, 42}},
        {"3-tube", "3-tube", {19, 24}},
        {"4-tube", "4-tube", {21, 23}},
        {"gain stage", "Gain stage", {1,  4,  6,  8,  9,  11, 12, 13, 14, 19, 20, 21,
                                      22, 23, 24, 26, 28, 29, 30, 31, 32, 34, 36}},
        {"buffer", "Buffer", {2, 3, 4, 24, 26, 30, 31, 33, 35}},
        {"cascode-like", "Cascode-like", {6, 8, 21, 22, 23, 24, 27, 28, 30, 31, 33, 34, 35}},
        {"phase inverter", "Phase inverter", {2, 5, 7, 10, 15, 28}},
        {"differential", "Differential", {7, 10, 15}},
        {"mixer", "Mixer", {11, 12}},
        {"voltage regulator", "Voltage regulator", {16, 17, 18, 27}},
        {"power stage", "Power stages", {37, 38, 39, 40, 41, 42}},
    };
}

CircuitInfo buildInfo(const CircuitData& d, const catalogue_detail::LegendData& legends) {
    CircuitInfo info;
    info.number = d.number;
    info.code = "C" + std::to_string(d.number);
    info.title = d.title;
    info.tubeCount = d.tubes;
    info.icon = d.tubes;
    if (d.twoTubeTypes)
        info.tubeSelectors = {{"LBtube1", d.tubeKind}, {"LBtube2", d.tubeKind}};
    else
        info.tubeSelectors = {{"LBtube", d.tubeKind}};

    for (const Category& cat : categories())
        if (std::find(cat.circuits.begin(), cat.circuits.end(), d.number) != cat.circuits.end())
            info.categories.push_back(cat.galleryName);

    for (const auto& [name, label] : d.edits) {
        info.controls.push_back(makeControl(name, ControlKind::Edit, namingRuleDefault(name)));
        info.fieldLabels.emplace_back(name, label);
    }
    for (const auto& [name, caption] : d.checkBoxes)
        info.controls.push_back(makeControl(name, ControlKind::CheckBox, caption));
    // A tube selector's text names the tubes it chooses, for the message asking for a tube.
    const int selectorCount = static_cast<int>(info.tubeSelectors.size());
    const auto tubeSelector = [&](int index) {
        SheetControl c = makeSelector(info.tubeSelectors[static_cast<std::size_t>(index)].name, {});
        c.text = selectorTubes(d.tubes, index, selectorCount);
        return c;
    };
    if (isPowerStage(d.number)) {
        info.controls.push_back(makeSelector("LBparallel", kParallelItems));
        info.controls.push_back(tubeSelector(0));
        info.controls.push_back(makeSelector("LBYt", kYieldItems));
    } else {
        for (int i = 0; i < selectorCount; ++i)
            info.controls.push_back(tubeSelector(i));
    }
    int captionNo = 0;
    for (const char* caption : d.captions)
        info.controls.push_back(
            makeControl("Caption" + std::to_string(++captionNo), ControlKind::Caption, caption));
    for (const char* label : d.resultLabels)
        info.controls.push_back(makeControl(label, ControlKind::Label));

    if (d.number == 1) {
        info.hints = kC1Hints;
        info.maxLengths = {{"EdVb", 3}};
    }
    info.gridColumns.assign(legends.grid.begin(), legends.grid.end());
    info.bodeLegends.assign(legends.bode.begin(), legends.bode.end());
    info.bodeTab = d.bodeTab;
    // The global feedback choice is greyed out for the phase inverters.
    info.feedback = !(d.number == 2 || d.number == 5 || d.number == 7 || d.number == 10 || d.number == 15);
    info.advanced = advancedSetup(d.number);
    return info;
}

const std::vector<CircuitInfo>& allCircuits() {
    static const std::vector<CircuitInfo> circuits = [] {
        const auto& data = catalogue_detail::circuitData();
        const auto& legends = catalogue_detail::legendData();
        std::vector<CircuitInfo> out;
        out.reserve(data.size());
        for (std::size_t i = 0; i < data.size(); ++i)
            out.push_back(buildInfo(data[i], legends.at(i)));
        return out;
    }();
    return circuits;
}

} // namespace

const std::vector<CircuitData>& catalogue_detail::circuitData() {
    static const std::vector<CircuitData> data = [] {
        std::vector<CircuitData> all = circuitDataC1toC21();
        const auto& rest = circuitDataC22toC42();
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    }();
    return data;
}

const CircuitInfo& circuitInfo(int n) {
    if (n < 1 || n > kCircuitCount)
        throw std::out_of_range("circuit number " + std::to_string(n) + " is not 1 to 42");
    return allCircuits()[static_cast<std::size_t>(n - 1)];
}

const std::vector<std::string>& Titres() {
    static const std::vector<std::string> titles = [] {
        std::vector<std::string> t(kCircuitCount + 1);
        for (const CircuitInfo& info : allCircuits())
            t[static_cast<std::size_t>(info.number)] = info.title;
        return t;
    }();
    return titles;
}

const std::vector<Category>& categories() {
    static const std::vector<Category> cats = buildCategories();
    return cats;
}

Sheet newSheet(int n) {
    const CircuitInfo& info = circuitInfo(n);
    Sheet sheet;
    sheet.circuit = n;
    sheet.controls = info.controls;
    for (SheetControl& c : sheet.controls) {
        switch (c.kind) {
        case ControlKind::Edit:
            c.text = namingRuleDefault(c.name);
            break;
        case ControlKind::CheckBox:
            c.checked = false;
            break;
        case ControlKind::Selector:
            c.selected = c.items.empty() ? -1 : 0;
            break;
        case ControlKind::Label:
            c.text.clear();
            break;
        case ControlKind::Caption:
            break;
        }
    }
    return sheet;
}

std::string namingRuleDefault(const std::string& fieldName) {
    static const std::array<std::pair<const char*, const char*>, 14> rules = {{
        {"Ra", "100k"},
        {"Rk", "1k"},
        {"Rgs", "5k"},
        {"Rg", "1M"},
        {"Ro", "500k"},
        {"Rs", "1k"},
        {"R", "10k"},
        {"Co", "10p"},
        {"Cgs", "22p"},
        {"Cg", "10p"},
        {"Ck", "10\u00b5"},
        {"C", "10n"},
        {"V", "250"},
        {"I", "1m"},
    }};
    for (const auto& [part, value] : rules)
        if (fieldName.find(part) != std::string::npos)
            return value;
    return {};
}

int selectorTubeKind(const CircuitInfo& info, const std::string& selectorName) {
    for (const TubeSelector& sel : info.tubeSelectors)
        if (sel.name == selectorName)
            return sel.kind;
    return 0;
}

std::string controlLabel(const CircuitInfo& info, const std::string& name) {
    for (const auto& [field, label] : info.fieldLabels)
        if (field == name)
            return label;
    for (const SheetControl& c : info.controls)
        if (c.name == name && c.kind == ControlKind::CheckBox)
            return c.text;
    return {};
}

std::string withDecimalSeparator(const std::string& text, const NumberLocale& locale) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '.', locale.decimalSeparator);
    return out;
}
