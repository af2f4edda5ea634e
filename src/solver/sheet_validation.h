// Checks the solve command runs on a sheet before any calculation, with the texts of its error box.
#pragma once

#include "solver/number_locale.h"
#include "solver/sheet.h"

#include <string>
#include <vector>

// The problems of a sheet, in this order: "Select tube(s): ..." once per selector with nothing selected;
// one message per edit field whose text is not a number (sheet order); the supply range of EdVb;
// the grid bias of C41 and C42; the cathode resistor of C39 and C40. Empty when the sheet may be solved.
// A range check is skipped for a field already reported as not a number.
std::vector<std::string> validateSheet(const Sheet& sheet, const NumberLocale& locale);

// "Select tube(s): T1", naming the tubes a selector chooses (its text), or "Select tube(s)" alone for
// a selector without one.
std::string selectTubeMessage(const SheetControl& selector);

// Text of the error box: every message followed by an empty line.
std::string validationText(const std::vector<std::string>& messages);

// Message for an edit field whose text is not a number.
std::string notANumberMessage(const std::string& fieldName, const std::string& text);

// The supply voltage every solver uses: min(vb, 800).
double clampSupply(double vb);
