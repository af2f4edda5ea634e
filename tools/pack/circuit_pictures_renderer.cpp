// The packaged pictures from the schematic descriptions: the schematic with its sheet's first-use
// values, and a thumbnail that is the bare drawing fitted to the thumbnail. A circuit without a
// description keeps its stand-in.
#include "circuit_pictures.h"

#include "circuits/schematic.h"
#include "plots/schematic_plot.h"

#include <QPainter>
#include <algorithm>

QImage schematicPicture(int circuit) {
    if (!hasSchematic(circuit))
        return placeholderSchematic(circuit);
    return drawSchematic(schematicOf(circuit), 1.0, SchematicControls::Drawn);
}

QImage thumbnailPicture(int circuit) {
    if (!hasSchematic(circuit))
        return placeholderThumbnail(circuit);
    // The drawing at 100 % tells the aspect; the thumbnail redraws it at the scale that fits, so that
    // lines stay crisp instead of being shrunk from a large picture.
    const Schematic& s = schematicOf(circuit);
    const QImage full = drawSchematic(s, 1.0, SchematicControls::Hidden);
    const double scale = std::min((kThumbnailSize.width() - 4.0) / full.width(),
                                  (kThumbnailSize.height() - 4.0) / full.height());
    const QImage small = drawSchematic(s, scale, SchematicControls::Hidden);
    QImage image(kThumbnailSize, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawImage((kThumbnailSize.width() - small.width()) / 2, (kThumbnailSize.height() - small.height()) / 2,
                small);
    return image;
}
