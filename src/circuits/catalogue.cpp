// Views of the registry the hosts use: titles, library categories and the first-use sheet.
#include "circuits/catalogue.h"

#include <algorithm>
#include <array>

const std::vector<std::string>& Titres() {
    static const std::vector<std::string> titles = [] {
        std::vector<std::string> t(kCircuitCount + 1);
        for (int n = 1; n <= kCircuitCount; ++n)
            t[static_cast<std::size_t>(n)] = circuitInfo(n).title;
        return t;
    }();
    return titles;
}

const std::vector<Category>& categories() {
    static const std::vector<Category> cats = [] {
        std::vector<Category> out = {{"All", "All circuits", {}},
                                     {"1-tube", "1-tube", {}},
                                     {"2-tube", "2-tube", {}},
                                     {"3-tube", "3-tube", {}},
                                     {"4-tube", "4-tube", {}}};
        for (LibraryGroup g : {LibraryGroup::GainStage, LibraryGroup::Buffer, LibraryGroup::CascodeLike,
                               LibraryGroup::PhaseInverter, LibraryGroup::Differential, LibraryGroup::Mixer,
                               LibraryGroup::VoltageRegulator})
            out.push_back({groupGalleryName(g), groupTreeCaption(g), {}});
        out.push_back({"power stage", "Power stages", {}});
        // Each circuit's entry names its categories; the lists follow in circuit order.
        for (int n = 1; n <= kCircuitCount; ++n)
            for (const std::string& name : circuitInfo(n).categories)
                for (Category& c : out)
                    if (c.galleryName == name)
                        c.circuits.push_back(n);
        return out;
    }();
    return cats;
}

const PowerStageSetup* powerStageOf(int n) {
    if (n < 1 || n > kCircuitCount)
        return nullptr;
    const auto& power = circuitInfo(n).power;
    return power ? &*power : nullptr;
}

std::vector<std::string> validateSheet(const Sheet& sheet, const NumberLocale& locale) {
    const CircuitInfo& info = circuitInfo(sheet.circuit);
    return validateSheet(sheet, info.rules, locale, info.negativeFields);
}

bool fieldTakesNegative(const CircuitInfo& info, const std::string& fieldName) {
    return std::find(info.negativeFields.begin(), info.negativeFields.end(), fieldName) !=
           info.negativeFields.end();
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
