// Liang-Barsky clipping of each segment, joining segments that stay connected.
#include "plots/polyline_clip.h"

#include <cmath>

namespace {
bool finite(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Narrows [t0, t1] to the part of the segment a + t (b - a) on the inner side of one edge
// (p t <= q); false when nothing remains.
bool narrow(double p, double q, double& t0, double& t1) {
    if (p == 0)
        return q >= 0;
    const double t = q / p;
    if (p < 0) {
        if (t > t1)
            return false;
        if (t > t0)
            t0 = t;
    } else {
        if (t < t0)
            return false;
        if (t < t1)
            t1 = t;
    }
    return true;
}

// The part of segment a-b inside the rectangle, as parameters t0 <= t1; false when none.
bool clipSegment(const QPointF& a, const QPointF& b, const QRectF& r, double& t0, double& t1) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    t0 = 0;
    t1 = 1;
    return narrow(-dx, a.x() - r.left(), t0, t1) && narrow(dx, r.right() - a.x(), t0, t1) &&
           narrow(-dy, a.y() - r.top(), t0, t1) && narrow(dy, r.bottom() - a.y(), t0, t1);
}

QPointF along(const QPointF& a, const QPointF& b, double t) {
    if (t <= 0)
        return a;
    if (t >= 1)
        return b;
    return a + (b - a) * t;
}
} // namespace

std::vector<QPolygonF> clipPolyline(const QPolygonF& line, const QRectF& rect) {
    std::vector<QPolygonF> parts;
    QPolygonF current;
    auto finish = [&] {
        if (current.size() > 1)
            parts.push_back(current);
        current.clear();
    };
    const QRectF r = rect.normalized();
    for (int i = 0; i + 1 < line.size(); ++i) {
        const QPointF a = line[i], b = line[i + 1];
        double t0, t1;
        if (!finite(a) || !finite(b) || !clipSegment(a, b, r, t0, t1)) {
            finish();
            continue;
        }
        const QPointF from = along(a, b, t0), to = along(a, b, t1);
        // A segment that enters the rectangle (or follows a gap) starts a new part.
        if (current.isEmpty() || t0 > 0 || current.last() != from) {
            finish();
            current << from;
        }
        current << to;
        if (t1 < 1) // it leaves the rectangle
            finish();
    }
    finish();
    return parts;
}
