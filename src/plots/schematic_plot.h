// The schematic of a circuit drawn from its description: symbols in one style at any scale and, when
// asked, the sheet's controls as a user sees them (labels, values, selectors, check boxes, captions).
#pragma once

#include "circuits/schematic.h"
#include "solver/sheet.h"

#include <QImage>
#include <QPainter>

enum class SchematicControls {
    Hidden, // only the drawing: the window puts real widgets on the placements
    Drawn,  // every control drawn as the sheet shows it on first use
};

// How the symbols are drawn: as the sheet shows them, or thicker and without texts for a thumbnail.
struct SchematicLook {
    double stroke = 1;        // every pen width multiplied by this
    bool texts = true;        // captions of terminals and supplies, free texts
    double tubeNameSize = 0;  // pixel size of the tube names beside their envelopes; 0: none
    double junctionScale = 1; // radius of the connection dots multiplied by this
    double tubeScale = 1;     // tube envelopes drawn this much larger about their centres
};

// The schematic on a white canvas of width x scale by height x scale pixels, antialiased.
QImage drawSchematic(const Schematic& s, double scale, SchematicControls controls);
// As above with the controls showing a sheet's values: edit texts, check marks, selected items and
// result-label texts (controls the sheet lacks show their first-use text).
QImage drawSchematic(const Schematic& s, double scale, SchematicControls controls, const Sheet& values);

// Paints the schematic in logical coordinates (pixels at 100 %) on a painter whose transform the
// caller has set (the canvas of drawSchematic, an SVG generator, a widget). Nothing fills the
// background; tube envelopes, sources and terminals are filled with the painter's background brush
// (white unless set). Font sizes hold whatever the device's resolution. values may be null.
void paintSchematic(QPainter& painter, const Schematic& s, SchematicControls controls, const Sheet* values);

// The symbols and wires alone, in logical coordinates, on a painter set up by the caller.
void paintSchematicSymbols(QPainter& painter, const Schematic& s, const SchematicLook& look);
