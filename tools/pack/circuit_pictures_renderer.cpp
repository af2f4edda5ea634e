// The packaged pictures once the schematic renderer is in: the schematic from its description with the
// sheet's first-use values, and the thumbnail drawn from the same description (a circuit without a
// description keeps its stand-ins).
#include "circuit_pictures.h"

#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "plots/schematic_plot.h"
#include "plots/schematic_thumbnail.h"

#include <cmath>

QImage schematicPicture(int circuit, double scale) {
    if (!hasSchematic(circuit))
        return titleSchematic(circuit);
    QImage picture = drawSchematic(schematicOf(circuit), scale, SchematicControls::Drawn);
    // The resolution tells the reader the scale the picture was drawn for.
    picture.setDotsPerMeterX(static_cast<int>(std::lround(3779.5 * scale)));
    picture.setDotsPerMeterY(static_cast<int>(std::lround(3779.5 * scale)));
    return picture;
}

QImage thumbnailPicture(int circuit) {
    if (!hasSchematic(circuit))
        return pictogramThumbnail(circuit);
    return drawSchematicThumbnail(schematicOf(circuit), circuitInfo(circuit).code, kThumbnailLogicalSize, 2);
}
