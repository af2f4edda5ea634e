// Reading a sheet by control name, as the solvers do: edit fields as numbers, selectors as the text
// of their selected item, check boxes as booleans.
#pragma once

#include "solver/sheet.h"
#include "util/number_locale.h"

#include <string>
#include <variant>

// std::monostate when no edit field, selector or check box of that name exists.
using FieldValue = std::variant<std::monostate, double, std::string, bool>;

// The first control of that name whose kind is edit field, selector or check box; other kinds are
// skipped. nullptr when there is none.
const SheetControl* findField(const Sheet& sheet, const std::string& name);

FieldValue readField(const Sheet& sheet, const std::string& name, const NumberLocale& locale);

// Value of an edit field (value parser), 0 when missing; *ok false when its text is not a number.
double fieldNumber(const Sheet& sheet, const std::string& name, const NumberLocale& locale,
                   bool* ok = nullptr);
// Selected item of a selector (or the text of an edit field), empty when missing or none selected.
std::string fieldText(const Sheet& sheet, const std::string& name);
// State of a check box, false when missing.
bool fieldChecked(const Sheet& sheet, const std::string& name);
