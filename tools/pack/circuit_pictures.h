// The two pictures of each circuit that the packaged streams hold. One source file defines them, chosen
// in tools/CMakeLists.txt: the placeholder drawings or the schematic renderer.
#pragma once

#include <QImage>
#include <QSize>

inline constexpr QSize kThumbnailSize{128, 96};

// The schematic shown in the library and the solver window's header (circuit 1 to 42).
QImage schematicPicture(int circuit);
// The gallery thumbnail, kThumbnailSize, drawn for that size.
QImage thumbnailPicture(int circuit);

// Stand-ins that need no schematic description: the title in a frame, and a thumbnail with the code,
// the tubes and the circuit's family.
QImage placeholderSchematic(int circuit);
QImage placeholderThumbnail(int circuit);
