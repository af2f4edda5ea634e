// The boxes of the tube-models window as texts: numbers written for the boxes with the user's decimal
// separator, and the checks that turn the typed texts into a model row or say what is wrong.
#pragma once

#include "model/tube_params.h"

#include <optional>
#include <string>

// The texts of the window's boxes; t35 is the type chosen: 0 none yet, 3 triode, 5 pentode.
struct ModelEntryTexts {
    std::string name;
    std::string comment;
    int t35 = 0;
    std::string kp, mu, kvb, ex, kg1, kg2;
    std::string pmax, imax, vmax, pemax, vemax;
    std::string cgk, cga, cak;
};

inline constexpr const char* kIncompleteModelMessage = "The set of parameters is not complete!";

// A stored number as a box shows it: up to 15 significant digits, the exponent form for very small or
// large values ("4.3E-12"), with the user's decimal separator.
std::string formatModelNumber(double value, char decimalSeparator);

// What a store does to the boxes before it reads them: a triode's screen-grid boxes (Kg2, Pg2 max,
// Vg2 max) become "0", and blanks around every text are dropped.
void normaliseModelEntry(ModelEntryTexts& texts);

// The model row the texts describe, or the message of the error box: the parameters not complete
// (no type, an empty name or box), a name holding control characters, a box that is not a number, a
// negative value, or a zero Kp, µ, Kg1, Ia max or (for a pentode) Kg2, all of which the NK equations
// divide by or scale with. Every problem found is listed, one per line. Comment lines are joined by
// CR LF as the table stores them.
struct ModelEntryCheck {
    std::optional<TubeParams> params;
    std::string message;
};
ModelEntryCheck readModelEntry(const ModelEntryTexts& texts, char decimalSeparator);

// A stored comment for a text box (CR LF lines become LF) and back.
std::string commentForDisplay(const std::string& stored);
std::string commentForStorage(const std::string& shown);
