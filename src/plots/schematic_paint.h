// Pieces of the schematic painter shared by its symbols and its controls: colours, the sheet fonts
// at 96 dpi whatever the device, texts at a baseline and one sheet control as a user sees it.
#pragma once

#include "circuits/schematic.h"
#include "solver/sheet.h"

#include <QColor>
#include <QFont>
#include <QPainter>

#include <cstdint>
#include <string>

QColor schematicColour(std::uint32_t rrggbb);

// Noto Sans (or Noto Mono) at a size in points of a 96 dpi screen, for the painter's device.
QFont schematicFont(const QPainter& painter, double points, bool bold = false, bool mono = false);

// Text in Noto Sans 8 pt whose baseline passes through p, anchored by its left end, middle or right end.
void paintSchematicText(QPainter& painter, SchematicPoint p, const std::string& text,
                        SchematicTextAlign align, std::uint32_t rrggbb);

// One control at its placement: an edit field's label and value box, a selector, a check box, a
// caption or a result label. value (may be null) gives the text, check mark or selection to show.
void paintSchematicControl(QPainter& painter, const SchematicPlacement& placement, const SheetControl* value);
