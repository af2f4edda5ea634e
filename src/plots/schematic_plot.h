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
