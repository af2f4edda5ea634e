// The two pictures of each circuit that the packaged streams hold. One source file defines them, chosen
// in tools/CMakeLists.txt: the stand-in schematic or the schematic renderer.
#pragma once

#include <QImage>
#include <QSize>

inline constexpr QSize kThumbnailSize{128, 96};

// The schematic shown in the library's description (circuit 1 to 42), drawn for a screen scale (2: sharp
// on a 200 % screen; the picture's resolution says which).
QImage schematicPicture(int circuit, double scale = 1);
// The gallery thumbnail: the circuit's own drawing at the gallery's size, drawn for a 200 % screen.
QImage thumbnailPicture(int circuit);

// A stand-in schematic that needs no description: the code and title in a frame.
QImage titleSchematic(int circuit);
// A thumbnail drawn for its size from the catalogue: the code, one envelope per tube and the family
// (kThumbnailSize), for a circuit without a schematic description.
QImage pictogramThumbnail(int circuit);
