// Sizes shared by the schematic reader, its checks and its renderer: widget rectangles, text widths,
// tube pins and the area each symbol covers, all in logical pixels at 100 %.
#pragma once

#include "circuits/schematic.h"

#include <optional>
#include <string>
#include <vector>

namespace schematic_geometry {

// Fonts of the sheet: labels, captions and texts in Noto Sans 8 pt; edit fields in Noto Mono 10 pt
// bold (8 px per character at 96 dpi).
constexpr double kSheetPointSize = 8;
constexpr double kEditPointSize = 10;
constexpr int kTextAscent = 12; // Noto Sans 8 pt above the baseline, rounded up
constexpr int kTextDescent = 4;

// Widgets at 100 %: an edit box takes six characters of the edit font and its frame.
constexpr int kEditBoxWidth = 56;
constexpr int kEditHeight = 24;
constexpr int kLabelGap = 4; // between an edit field's label and its box
constexpr int kTubeSelectorWidth = 152;
constexpr int kSelectorHeight = 24;
constexpr int kSelectorArrow = 32;  // drop-down button and margins beside the item text
constexpr int kCheckIndicator = 24; // square and spacing before a check box's caption
constexpr int kCheckHeight = 22;
constexpr int kResultLabelWidth = 64; // "123.45mA" with room to spare
constexpr int kTextHeight = 16;

// Tubes: envelope radius and the distance of the pins from the centre.
constexpr int kTriodeRadius = 23;
constexpr int kTriodePin = 24;
constexpr int kPentodeRadius = 30;
constexpr int kPentodePin = 32;

// Two-terminal parts: length of the body along the line and its half width across it.
constexpr int kResistorBody = 24;
constexpr int kResistorHalfWidth = 5;
constexpr int kCapacitorGap = 6;
constexpr int kCapacitorHalfPlate = 8;
constexpr int kCapacitorHalfWidth = 9; // with the + of an electrolytic
constexpr int kSourceRadius = 10;

// Output transformer: the windings' leads end two units left (primary) and right (secondary) of the
// centre; the primary's ends lie four units above and below it (its centre tap level with it), the
// secondary's two units.
constexpr int kTransformerPin = 16;
constexpr int kPrimaryHalf = 32;
constexpr int kSecondaryHalf = 16;
constexpr int kWindingAxis = 12; // distance of each winding's straight side from the centre
constexpr int kCoreGap = 2;      // half the distance between the core's two lines

// Loudspeaker: the magnet's half length along the axis and half width across it, the cone's depth
// across the axis and the half width of its mouth.
constexpr int kSpeakerHalfBody = 7;
constexpr int kSpeakerHalfWidth = 4;
constexpr int kSpeakerCone = 9;
constexpr int kSpeakerMouth = 13;

// Width of a text in Noto Sans 8 pt at 100 %, each glyph's advance rounded up, plus one pixel on each
// side; bold adds a tenth. Never less than the real text (a test measures it with the font).
int textWidth(const std::string& utf8, bool bold = false);

// Size of the rectangle of a sheet control (position 0, 0) and the width taken by an edit's label.
struct ControlSize {
    int width = 0, height = 0, labelWidth = 0;
};
ControlSize controlSize(ControlKind kind, const std::string& label, const std::string& text,
                        bool tubeSelector);

// Rectangle of a text whose baseline passes through p, anchored by its left end, middle or right end.
SchematicRect textRect(SchematicPoint p, const std::string& text, SchematicTextAlign align);

// The point of a named pin: tubes a, g (or g1), k, and g2 for pentodes; transformers p1, p2 (the
// primary's top and bottom), ct (its centre tap, when it has one), s1 and s2 (the secondary's top and
// bottom); two-terminal parts 1 and 2.
std::optional<SchematicPoint> pinOf(const SchematicSymbol& s, const std::string& pin);

// Where a symbol connects: a wire's two ends, a part's two ends, a tube's pins (a, g, k and g2), a
// transformer's leads, the point of a ground, supply or terminal. Dots and texts have none.
std::vector<SchematicPoint> terminalsOf(const SchematicSymbol& s);

// Areas a symbol covers: one thin rectangle per wire segment, the body of a part with its leads, the
// square of a tube's pins, a sign with its caption.
std::vector<SchematicRect> symbolAreas(const SchematicSymbol& s);

// Minimum distance between the two points of a two-terminal part so that its body fits.
int minimumLength(SymbolKind kind);

// "resistor", "triode", ... as the descriptions write them.
const char* symbolKeyword(SymbolKind kind);

} // namespace schematic_geometry
