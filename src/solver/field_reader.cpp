// Field reader over the plain-data sheet.
#include "solver/field_reader.h"

#include "solver/value_parser.h"

const SheetControl* findField(const Sheet& sheet, const std::string& name) {
    for (const SheetControl& c : sheet.controls)
        if (c.name == name && (c.kind == ControlKind::Edit || c.kind == ControlKind::Selector ||
                               c.kind == ControlKind::CheckBox))
            return &c;
    return nullptr;
}

FieldValue readField(const Sheet& sheet, const std::string& name, const NumberLocale& locale) {
    const SheetControl* c = findField(sheet, name);
    if (!c)
        return std::monostate{};
    switch (c->kind) {
    case ControlKind::Edit:
        return parseValue(c->text, locale);
    case ControlKind::Selector:
        return c->selectedText();
    case ControlKind::CheckBox:
        return c->checked;
    default:
        return std::monostate{};
    }
}

double fieldNumber(const Sheet& sheet, const std::string& name, const NumberLocale& locale, bool* ok) {
    const SheetControl* c = findField(sheet, name);
    if (ok)
        *ok = true;
    if (!c || c->kind != ControlKind::Edit)
        return 0;
    return parseValue(c->text, locale, ok);
}

std::string fieldText(const Sheet& sheet, const std::string& name) {
    const SheetControl* c = findField(sheet, name);
    if (!c)
        return {};
    if (c->kind == ControlKind::Selector)
        return c->selectedText();
    if (c->kind == ControlKind::Edit)
        return c->text;
    return {};
}

bool fieldChecked(const Sheet& sheet, const std::string& name) {
    const SheetControl* c = findField(sheet, name);
    return c && c->kind == ControlKind::CheckBox && c->checked;
}
