// A circuit's schematic as data: the symbols of the drawing and the rectangle of every sheet control
// on it, read from the descriptions under data/schematics that are compiled into the program.
#pragma once

#include "solver/sheet.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Logical pixels (100 %, 96 dpi) per grid unit of the descriptions.
constexpr int kSchematicGrid = 8;

// A point in logical pixels at 100 %.
struct SchematicPoint {
    int x = 0, y = 0;
    bool operator==(const SchematicPoint&) const = default;
};

// An axis-aligned rectangle in logical pixels at 100 %.
struct SchematicRect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    // True when the two rectangles share some area (touching edges do not count).
    bool overlaps(const SchematicRect& o) const {
        return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
    }
    bool contains(const SchematicRect& o) const {
        return o.x >= x && o.y >= y && o.right() <= right() && o.bottom() <= bottom();
    }
};

enum class SymbolKind {
    Wire,          // a polyline of horizontal and vertical segments
    Resistor,      // between its two points
    Capacitor,     // between its two points; polarised when electrolytic
    Triode,        // envelope centred on its point; anode up, grid left (right when mirrored); upside
                   // down when flipped
    Pentode,       // as the triode, with the screen grid on the other side and the suppressor on the cathode
    Ground,        // earth sign hanging below its point
    Supply,        // supply bar standing above its point
    Input,         // signal input terminal, caption to its left
    Output,        // signal output terminal, caption to its right
    Junction,      // connection dot
    Text,          // free text
    CurrentSource, // constant-current source between its two points, arrow towards the second
    VoltageSource, // DC source between its two points, + at the first
    Transformer,   // output transformer centred on its point: primary left, secondary right, iron core
                   // between; the primary may carry a centre tap
    Speaker,       // loudspeaker between its two points, its cone on the right of (or below) the axis
};

enum class SchematicTextAlign { Left, Centre, Right };

struct SchematicSymbol {
    SymbolKind kind = SymbolKind::Wire;
    std::string name;                   // part name (Ra, T1) for pin references; may be empty
    std::vector<SchematicPoint> points; // wire corners; the two ends of a two-terminal part; else one anchor
    std::string text;                   // text, terminal or supply caption
    bool mirrored = false;              // tubes: grid on the right
    bool flipped = false;               // tubes: upside down, anode at the bottom and cathode at the top
    bool centreTap = false;             // transformers: the primary has a centre tap
    bool polarised = false;             // capacitors: electrolytic, + at the first point
    SchematicTextAlign align =
        SchematicTextAlign::Left; // text: the point is the baseline's left end, middle or right end
    int line = 0;                 // line of the description, for messages
};

// Rectangle, in logical pixels at 100 % (96 dpi), where the window puts the real widget of one sheet
// control. An edit field's rectangle holds its label (the first labelWidth pixels) and then its box.
struct SchematicPlacement {
    std::string control;
    int x = 0, y = 0, width = 0, height = 0;
    ControlKind kind = ControlKind::Edit;
    std::string label; // label beside an edit field, empty for other controls
    int labelWidth = 0;
    // What a first opening shows: the edit field's default, a check box's or caption's text, a
    // selector's first item ("triode" or "pentode" for a tube selector); empty for result labels.
    std::string text;
    // Where a caption's or a result label's text sits in the rectangle: at the side of the anchor point
    // (left or right), or in the middle when the rectangle is centred on it.
    SchematicTextAlign align = SchematicTextAlign::Left;
    int line = 0; // line of the description

    SchematicRect rect() const { return {x, y, width, height}; }
    // The widget itself: the whole rectangle but an edit field's label.
    SchematicRect widgetRect() const { return {x + labelWidth, y, width - labelWidth, height}; }
    SchematicRect labelRect() const { return {x, y, labelWidth, height}; }
};

struct Schematic {
    int circuit = 0;
    std::string file; // c01.txt
    int width = 0, height = 0;
    std::vector<SchematicSymbol> symbols;
    std::vector<SchematicPlacement> placements;

    const SchematicPlacement* placement(const std::string& control) const;
};

// A description that cannot be read: the message starts with "file:line: ".
struct SchematicError : std::runtime_error {
    SchematicError(const std::string& file, int line, const std::string& what);
    std::string file;
    int line = 0;
};

// The schematic of circuit 1..42, read once from the compiled-in description; throws
// std::out_of_range for another number or a circuit without a description, SchematicError for a
// description that does not read (the tests refuse such a description before it ships).
const Schematic& schematicOf(int circuit);
// False while a circuit has no description yet.
bool hasSchematic(int circuit);

// Everything wrong with a read description, one message each ("c01.txt:12: ..."): a sheet control
// not placed, two placements overlapping, a symbol or a wire crossing a placement, anything outside
// the drawing, the end of a wire or part that meets nothing, a tee without its dot or a dot on no
// tee. Empty for a good description.
std::vector<std::string> schematicProblems(const Schematic& s);

// Colour 0xRRGGBB of a sheet control's text, by the sheet cosmetics' rules on its name.
std::uint32_t controlColour(ControlKind kind, const std::string& name);
// Colour 0xRRGGBB of a symbol: resistors dark red, capacitors green, supplies and voltage sources
// red, current sources purple, everything else near-black.
std::uint32_t symbolColour(SymbolKind kind);
