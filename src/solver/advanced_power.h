// The advanced push-pull parameters (kza, kzb, load function) as a host hands them to the push-pull
// solvers: three controls added to the request's sheet, beside the circuit's own controls.
#pragma once

#include "solver/sheet.h"

#include <string>
#include <vector>

inline constexpr const char* kKzaControl = "LEDkza";
inline constexpr const char* kKzbControl = "LEDkzb";
inline constexpr const char* kLoadFunctionControl = "RGfonction";

// Items of the load-function choice, in index order: "f1", "f2", "f3 simple", "f4 Zaa/2".
const std::vector<std::string>& loadFunctionItems();

// Index of a load function named "f1" … "f4" (the first word of an item also reads, so "f3" is
// "f3 simple"); -1 for anything else.
int loadFunctionIndex(const std::string& name);

// Sets the three controls in the sheet, adding those it lacks at its end: kza and kzb as edit
// texts in the user's locale, the load function as the selected item (0 … 3).
void setAdvancedPowerControls(Sheet& sheet, const std::string& kza, const std::string& kzb, int fonction);
