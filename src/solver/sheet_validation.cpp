// Sheet validation of the solve command.
#include "solver/sheet_validation.h"

#include "solver/field_reader.h"
#include "solver/value_parser.h"

#include <algorithm>

namespace {

// Number of the first edit field of that name; false when missing or not a number.
bool readNumber(const Sheet& sheet, const std::string& name, const NumberLocale& locale, double& value) {
    const SheetControl* c = findField(sheet, name);
    if (!c || c->kind != ControlKind::Edit)
        return false;
    bool ok = false;
    value = parseValue(c->text, locale, &ok);
    return ok;
}

} // namespace

std::string notANumberMessage(const std::string& fieldName, const std::string& text) {
    return "Field " + fieldName + ": \"" + text + "\" is not a number";
}

std::string selectTubeMessage(const SheetControl& selector) {
    return selector.text.empty() ? std::string("Select tube(s)") : "Select tube(s): " + selector.text;
}

std::vector<std::string> validateSheet(const Sheet& sheet, const NumberLocale& locale) {
    std::vector<std::string> messages;
    for (const SheetControl& c : sheet.controls)
        if (c.kind == ControlKind::Selector && c.selected == -1)
            messages.push_back(selectTubeMessage(c));
    for (const SheetControl& c : sheet.controls)
        if (c.kind == ControlKind::Edit && !isValueText(c.text, locale))
            messages.push_back(notANumberMessage(c.name, c.text));

    double v = 0;
    if (readNumber(sheet, "EdVb", locale, v) && (v < 20 || v > 800))
        messages.emplace_back("Supply voltage must be in the 20 ... 800V interval");
    if ((sheet.circuit == 41 || sheet.circuit == 42) && readNumber(sheet, "EdVg", locale, v) && v > 0)
        messages.emplace_back("Voltage on grid 1 must be negative or null");
    if ((sheet.circuit == 39 || sheet.circuit == 40) && readNumber(sheet, "EdRk", locale, v) &&
        (v < 10 || v > 1000))
        messages.emplace_back("Cathode resistor must be 10 to 1000\u03a9");
    return messages;
}

std::string validationText(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& m : messages)
        text += m + "\n\n";
    return text;
}

double clampSupply(double vb) {
    return std::min(vb, 800.0);
}
