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

const FieldRange& supplyRange() {
    static const FieldRange range{"EdVb", 20, 800, "Supply voltage must be in the 20 ... 800V interval"};
    return range;
}

std::string negativeValueMessage(const std::string& fieldName, const std::string& text) {
    return "Field " + fieldName + ": \"" + text + "\" is negative; it takes 0 or more";
}

std::vector<std::string> validateSheet(const Sheet& sheet, const std::vector<FieldRange>& ranges,
                                       const NumberLocale& locale,
                                       const std::vector<std::string>& negativeFields) {
    std::vector<std::string> messages;
    for (const SheetControl& c : sheet.controls)
        if (c.kind == ControlKind::Selector && c.selected == -1)
            messages.emplace_back("Select tube(s)");
    for (const SheetControl& c : sheet.controls)
        if (c.kind == ControlKind::Edit && !isValueText(c.text, locale))
            messages.push_back(notANumberMessage(c.name, c.text));
    // Components and supplies are zero or more: only a field that says so holds a negative value
    // (the window's key filter lets "-" into no other box).
    std::vector<std::string> negative;
    for (const SheetControl& c : sheet.controls) {
        const bool component = c.kind == ControlKind::Edit && c.name.rfind("Ed", 0) == 0;
        if (!component ||
            std::find(negativeFields.begin(), negativeFields.end(), c.name) != negativeFields.end())
            continue;
        bool ok = false;
        if (parseValue(c.text, locale, &ok) < 0 && ok) {
            messages.push_back(negativeValueMessage(c.name, c.text));
            negative.push_back(c.name);
        }
    }

    for (const FieldRange& range : ranges) {
        double v = 0;
        const bool reported = std::find(negative.begin(), negative.end(), range.field) != negative.end();
        if (!reported && readNumber(sheet, range.field, locale, v) && (v < range.min || v > range.max))
            messages.push_back(range.message);
    }
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
