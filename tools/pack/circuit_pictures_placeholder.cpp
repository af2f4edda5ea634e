// The packaged pictures before the schematic renderer is in: the stand-in schematic and the pictogram
// thumbnail.
#include "circuit_pictures.h"

QImage schematicPicture(int circuit, double) {
    return titleSchematic(circuit);
}

QImage thumbnailPicture(int circuit) {
    return pictogramThumbnail(circuit);
}
