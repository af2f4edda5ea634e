// Small pictures of the windows: the icon of a circuit by its number of tubes, and the resistive
// divider of the tools window.
#pragma once

#include <QImage>
#include <QSize>

// One tube envelope per tube (1 to 4) on a transparent square of side pixels.
QImage drawTubeCountIcon(int tubes, int side);

// V1 at the top, R1, the tap V2, R2 and ground, on a transparent canvas of that size (see
// PlotDeviceRatio).
QImage drawDividerDiagram(QSize size);
