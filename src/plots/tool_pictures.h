// Small pictures of the windows: the icon of a circuit by its number of tubes, and the resistive
// divider of the tools window.
#pragma once

#include <QImage>
#include <QSize>

// One tube envelope per tube (1 to 4) on a transparent square of side pixels.
QImage drawTubeCountIcon(int tubes, int side);

// V1 at the top, R1, the tap V2, R2 and ground, on a transparent canvas of that size (see
// PlotDeviceRatio). The middles of R1 and R2 and the tap lie at these fractions of the height
// between margins of 14 pixels.
inline constexpr double kDividerR1Level = 0.27;
inline constexpr double kDividerTapLevel = 0.5;
inline constexpr double kDividerR2Level = 0.73;
QImage drawDividerDiagram(QSize size);
