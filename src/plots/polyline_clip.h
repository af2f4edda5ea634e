// Cutting a polyline to a rectangle before it is stroked: a curve whose points run millions of pixels
// off the canvas costs the painter time in proportion to its length, even where nothing shows.
#pragma once

#include <QPolygonF>
#include <QRectF>

#include <vector>

// The parts of the polyline inside the rectangle, each a polyline of its own, ending where the line
// crosses an edge. Points that are not finite break the line. Parts reduced to a point are dropped.
std::vector<QPolygonF> clipPolyline(const QPolygonF& line, const QRectF& rect);
