// Writing Windows icon files (ICO) of several sizes, as the icon stream holds them.
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

// One ICO file holding every image in the given order (32-bit colour with alpha, sides 1 to 256).
// The first image is the one a reader takes when it reads only one.
QByteArray encodeIcon(const std::vector<QImage>& images);
