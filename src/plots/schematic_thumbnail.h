// Gallery thumbnails of the schematics: a circuit's symbols and wires drawn small, with strokes thick
// enough to read at that size, its tube names and its code.
#pragma once

#include "circuits/schematic.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <string>

// The gallery shows thumbnails at this size in logical pixels (100 %).
inline constexpr QSize kThumbnailLogicalSize{200, 130};

// The area the symbols cover, in the schematic's logical pixels (the sheet controls left out).
QRectF schematicSymbolBounds(const Schematic& s);

// The thumbnail of logical size `size` drawn for a device scale `scale`: an image of size x scale pixels
// whose resolution (dots per metre) is 96 dpi x scale. The drawing is fitted in and centred, the code
// (e.g. "C7") stands in the top-left corner.
QImage drawSchematicThumbnail(const Schematic& s, const std::string& code, QSize size, double scale);

// The scale a picture was drawn for, read from its resolution in quarter steps: 1 for 96 dpi or less
// (or none).
double pictureScale(const QImage& image);
