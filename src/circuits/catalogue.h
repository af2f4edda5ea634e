// The static catalogue of the 42 circuits: titles, tube selectors, library categories, the controls of
// each parameter sheet, grid and Bode legends and the per-circuit set-up of the solver window.
#pragma once

#include "solver/number_locale.h"
#include "solver/sheet.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

constexpr int kCircuitCount = 42;

// A tube selector of a sheet and the kind of models it lists (t35: 3 triode, 5 pentode).
struct TubeSelector {
    std::string name; // LBtube, LBtube1, LBtube2
    int kind = 3;
};

// Advanced power parameters put into the solver window for the push-pull stages C39 to C42.
struct AdvancedPowerSetup {
    std::string kza; // written with '.'; see withDecimalSeparator
    std::string kzb;
    int fonction = 3; // item index of RGfonction: "f4 Zaa/2"
};

struct CircuitInfo {
    int number = 0;
    std::string code;  // "C%d"
    std::string title; // entry of Titres
    int tubeCount = 1;
    std::vector<TubeSelector> tubeSelectors;
    std::vector<std::string>
        categories; // gallery names of every category that lists the circuit, "All" first
    // The sheet as designed: edit fields (text = first-use default), check boxes (text = caption),
    // selectors (LBparallel, LBYt with items; tube selectors empty, their text the tubes they choose:
    // "T1", "T1 and T2"), captions and result labels.
    std::vector<SheetControl> controls;
    std::vector<std::pair<std::string, std::string>> fieldLabels; // edit field name -> label beside it
    std::vector<std::pair<std::string, std::string>> hints;       // edit field name -> tool tip (C1 only)
    std::vector<std::pair<std::string, int>> maxLengths;          // edit field name -> max characters
    std::vector<std::string> gridColumns;                         // legends after the first column "-"
    std::vector<std::string> bodeLegends;                         // empty when bodeTab is false
    bool bodeTab = false;
    bool feedback = true; // CBfeedback enabled
    int icon = 1;         // index in the icon stream = tube count
    std::optional<AdvancedPowerSetup> advanced;
};

// A library category: its gallery choice, its tree caption and its circuits in display order.
struct Category {
    std::string galleryName;
    std::string treeCaption;
    std::vector<int> circuits;
};

// Entry of circuit n (1..42); throws std::out_of_range for any other number.
const CircuitInfo& circuitInfo(int n);
// The 42 titles indexed 1..42 (index 0 empty).
const std::vector<std::string>& Titres();
// The thirteen library categories, in display order.
const std::vector<Category>& categories();

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
