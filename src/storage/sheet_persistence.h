// A circuit sheet's last values and its bandwidth options kept in the settings section "C%d":
// restored when the solver window is shown, stored at every solve.
#pragma once

#include "frequency/bode_options.h"
#include "solver/sheet.h"
#include "storage/settings.h"

#include <functional>
#include <string>

// First-use text of an edit field from its name (the naming rule of the catalogue).
using FieldDefault = std::function<std::string(const std::string& fieldName)>;

// Option keys of the per-circuit section and their defaults.
inline constexpr const char* kFreqMinKey = "freqmin";
inline constexpr const char* kFreqMaxKey = "freqmax";
inline constexpr const char* kIgnoreMillerKey = "ignoreMiller";
inline constexpr const char* kStrayCapsKey = "straycaps";
inline constexpr int kDefaultFreqMin = 1;
inline constexpr int kDefaultFreqMax = 1;
inline constexpr bool kDefaultIgnoreMiller = false;
inline constexpr int kDefaultCircuitStrayCaps = 2;

// Fills the four options and every edit field, check box and selector of the sheet from section
// "C<sheet.circuit>". An absent edit-field key gives defaultOf(name) (empty when defaultOf is
// empty); an absent check box reads unchecked; a selector selects the item whose text was stored,
// else its first item (none when its list is empty). The feedback choice is left alone.
void LoadAutoParams(Sheet& sheet, BodeOptions& options, const TIniPosDim& settings,
                    const FieldDefault& defaultOf);

// True when section "C<sheet.circuit>" holds a value of any edit field, check box or selector of the
// sheet: the circuit was solved before and its window restores that sheet.
bool hasSavedSheet(const Sheet& sheet, const TIniPosDim& settings);

// Writes the four options, then every edit field's text, check box's state and selector's selected
// text to section "C<sheet.circuit>", in one flush. False when the file could not be written.
bool SaveAutoParams(const Sheet& sheet, const BodeOptions& options, TIniPosDim& settings);
