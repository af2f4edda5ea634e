// The catalogue of the circuits as the hosts read it: each circuit's entry (its CircuitDef, listed
// once in registry.h), the titles, the library categories and the first-use sheet.
#pragma once

#include "circuits/circuit_def.h"
#include "circuits/registry.h"
#include "solver/sheet.h"
#include "util/number_locale.h"

#include <string>
#include <vector>

using CircuitInfo = CircuitDef;

// A library category: its gallery choice, its tree caption and its circuits in display order.
struct Category {
    std::string galleryName;
    std::string treeCaption;
    std::vector<int> circuits;
};

// Entry of circuit n (1..kCircuitCount); throws std::out_of_range for any other number.
const CircuitInfo& circuitInfo(int n);
// The titles indexed 1..kCircuitCount (index 0 empty).
const std::vector<std::string>& Titres();
// The thirteen library categories, in display order, each listing the circuits whose entry names it.
const std::vector<Category>& categories();

// The power-stage set-up of circuit n, or nullptr when n is not an output stage (or no circuit).
const PowerStageSetup* powerStageOf(int n);

// The problems of a sheet (see validateSheet in solver/sheet_validation.h) with the validation rules of
// its circuit (sheet.circuit): the supply range and the circuit's own ranges.
std::vector<std::string> validateSheet(const Sheet& sheet, const NumberLocale& locale);

// True for an edit field of the circuit that holds a value below zero (the grid bias of an output
// stage); every other field takes 0 or more, in the window's key filter and in validation alike.
bool fieldTakesNegative(const CircuitInfo& info, const std::string& fieldName);

// The sheet of circuit n as a first opening shows it: edit fields filled by the naming rule, check
// boxes unchecked, selectors with items at index 0, tube selectors empty (the host fills them).
Sheet newSheet(int n);

// First-use text of an edit field from its name (first matching substring wins), empty when none.
std::string namingRuleDefault(const std::string& fieldName);

// 3 or 5 for a tube selector of the circuit, 0 for any other name.
int selectorTubeKind(const CircuitInfo& info, const std::string& selectorName);

// Label beside an edit field, or the caption of a check box; empty when unknown.
std::string controlLabel(const CircuitInfo& info, const std::string& name);

// "2.1" written with the locale's decimal separator.
std::string withDecimalSeparator(const std::string& text, const NumberLocale& locale);
