// Restoring and storing a sheet's values in its circuit's settings section.
#include "storage/sheet_persistence.h"

#include <algorithm>
#include <utility>
#include <vector>

void LoadAutoParams(Sheet& sheet, BodeOptions& options, const TIniPosDim& settings,
                    const FieldDefault& defaultOf) {
    const std::string section = circuitSection(sheet.circuit);
    options.freqmin = settings.readInteger(section, kFreqMinKey, kDefaultFreqMin);
    options.freqmax = settings.readInteger(section, kFreqMaxKey, kDefaultFreqMax);
    options.ignoreMiller = settings.readBool(section, kIgnoreMillerKey, kDefaultIgnoreMiller);
    options.straycaps = settings.readInteger(section, kStrayCapsKey, kDefaultCircuitStrayCaps);

    for (SheetControl& control : sheet.controls) {
        switch (control.kind) {
        case ControlKind::Edit:
            control.text = settings.readString(section, control.name,
                                               defaultOf ? defaultOf(control.name) : std::string());
            break;
        case ControlKind::CheckBox:
            control.checked = settings.readBool(section, control.name, false);
            break;
        case ControlKind::Selector: {
            const std::string stored = settings.readString(section, control.name, std::string());
            const auto found = std::find(control.items.begin(), control.items.end(), stored);
            if (found != control.items.end())
                control.selected = static_cast<int>(found - control.items.begin());
            else
                control.selected = control.items.empty() ? -1 : 0;
            break;
        }
        case ControlKind::Label:
        case ControlKind::Caption:
            break;
        }
    }
}

bool hasSavedSheet(const Sheet& sheet, const TIniPosDim& settings) {
    const std::string section = circuitSection(sheet.circuit);
    return std::any_of(sheet.controls.begin(), sheet.controls.end(), [&](const SheetControl& c) {
        return c.kind != ControlKind::Label && c.kind != ControlKind::Caption &&
               settings.hasKey(section, c.name);
    });
}

bool SaveAutoParams(const Sheet& sheet, const BodeOptions& options, TIniPosDim& settings) {
    std::vector<std::pair<std::string, std::string>> entries = {
        {kFreqMinKey, std::to_string(options.freqmin)},
        {kFreqMaxKey, std::to_string(options.freqmax)},
        {kIgnoreMillerKey, options.ignoreMiller ? "1" : "0"},
        {kStrayCapsKey, std::to_string(options.straycaps)},
    };
    for (const SheetControl& control : sheet.controls) {
        switch (control.kind) {
        case ControlKind::Edit:
            entries.emplace_back(control.name, control.text);
            break;
        case ControlKind::CheckBox:
            entries.emplace_back(control.name, control.checked ? "1" : "0");
            break;
        case ControlKind::Selector:
            entries.emplace_back(control.name, control.selectedText());
            break;
        case ControlKind::Label:
        case ControlKind::Caption:
            break;
        }
    }
    return settings.writeEntries(circuitSection(sheet.circuit), entries);
}
