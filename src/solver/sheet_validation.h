// Checks the solve command runs on a sheet before any calculation, with the texts of its error box.
#pragma once

#include "solver/sheet.h"
#include "util/number_locale.h"

#include <string>
#include <vector>

// A range an edit field's value must lie in (the ends pass), and the message when it does not.
struct FieldRange {
    std::string field;
    double min = 0;
    double max = 0;
    std::string message;
};

// The supply range of every sheet with an EdVb field: 20 to 800 V.
const FieldRange& supplyRange();

// The problems of a sheet, in this order: "Select tube(s)" once per selector with nothing selected;
// one message per edit field whose text is not a number (sheet order); one per component field
// (name "Ed...") holding a value below zero, unless it is listed in negativeFields (sheet order);
// then each range in the order given (the first edit field of its name; a sheet without that field
// has nothing to check). Empty when the sheet may be solved. A range check is skipped for a field
// already reported.
std::vector<std::string> validateSheet(const Sheet& sheet, const std::vector<FieldRange>& ranges,
                                       const NumberLocale& locale,
                                       const std::vector<std::string>& negativeFields);

// Text of the error box: every message followed by an empty line.
std::string validationText(const std::vector<std::string>& messages);

// Message for an edit field whose text is not a number.
std::string notANumberMessage(const std::string& fieldName, const std::string& text);
// Message for a field that takes no value below zero.
std::string negativeValueMessage(const std::string& fieldName, const std::string& text);

// The supply voltage every solver uses: min(vb, 800).
double clampSupply(double vb);
