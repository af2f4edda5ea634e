// The packaged pictures once the schematic renderer is in: the schematic from its description with the
// sheet's first-use values (a circuit without a description keeps its stand-in), and the pictogram
// thumbnail.
#include "circuit_pictures.h"

#include "circuits/schematic.h"
#include "plots/schematic_plot.h"

QImage schematicPicture(int circuit) {
    if (!hasSchematic(circuit))
        return titleSchematic(circuit);
    return drawSchematic(schematicOf(circuit), 1.0, SchematicControls::Drawn);
}

QImage thumbnailPicture(int circuit) {
    return pictogramThumbnail(circuit);
}
