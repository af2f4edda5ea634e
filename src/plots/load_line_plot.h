// The DC load-line diagram of one tube: load line, limits, dissipation hyperbola, the anode curves at
// the operating grid voltage and at 0 V, and the operating point.
#pragma once

#include "model/load_line_points.h"
#include "solver/solve.h"

#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QSize>

#include <vector>

// Volts and amperes to pixels with a 60-pixel margin on every side.
struct LoadLineFrame {
    double W, H, Imax, Vmax;
    double x(double V) const;
    double y(double I) const;
    QPointF at(double V, double I) const { return {x(V), y(I)}; }
};

// The pixels of points in volts and amperes.
QPolygonF toPixels(const LoadLineFrame& f, const std::vector<VIPoint>& pts);

QImage drawLoadLine(const LoadLineData& data, QSize size, double scale);
