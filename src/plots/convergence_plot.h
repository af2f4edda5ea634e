// The convergence trace of a bias solve: the iterates as one green polyline scaled to the window.
#pragma once

#include "model/convergence.h"

#include <QImage>
#include <QPolygonF>
#include <QSize>

// The trace in pixels: x scaled so the last iteration lands on the right edge, y so the largest
// value is at the top and 0 at the bottom.
QPolygonF convergencePolyline(const std::vector<double>& points, QSize size);

QImage drawConvergence(const TFormConvergence& trace, QSize size, double scale);
