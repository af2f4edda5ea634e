// The two pictures of each circuit that the packaged streams hold. One source file defines them, chosen
// in tools/CMakeLists.txt: the stand-in schematic or the schematic renderer.
#pragma once

#include <QImage>
#include <QSize>

inline constexpr QSize kThumbnailSize{128, 96};

// The schematic shown in the library and the solver window's header (circuit 1 to 42).
QImage schematicPicture(int circuit);
// The gallery thumbnail, kThumbnailSize, drawn for that size.
QImage thumbnailPicture(int circuit);

// A stand-in schematic that needs no description: the code and title in a frame.
QImage titleSchematic(int circuit);
// A thumbnail drawn for its size from the catalogue: the code, one envelope per tube and the family.
// A schematic shrunk to the thumbnail's size is no longer legible, so both variants use this one.
QImage pictogramThumbnail(int circuit);
