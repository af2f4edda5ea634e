// The packaged pictures before the schematic renderer is in: the stand-ins.
#include "circuit_pictures.h"

QImage schematicPicture(int circuit) {
    return placeholderSchematic(circuit);
}

QImage thumbnailPicture(int circuit) {
    return placeholderThumbnail(circuit);
}
