// Drawing of the convergence trace.
#include "plots/convergence_plot.h"

#include "plots/plot_style.h"

#include <algorithm>

QPolygonF convergencePolyline(const std::vector<double>& points, QSize size) {
    QPolygonF line;
    const std::size_t n = points.size() / 2;
    if (n == 0)
        return line;
    const double W = size.width(), H = size.height();
    const double xLast = points[2 * (n - 1)];
    double yMax = -2147483647.0;
    for (std::size_t i = 0; i < n; ++i)
        yMax = std::max(yMax, points[2 * i + 1]);
    // A trace of one iteration (x_last = 0) stays at the left edge; a trace whose values are all
    // zero or below lies on the bottom edge.
    for (std::size_t i = 0; i < n; ++i) {
        const double x = xLast != 0 ? W * points[2 * i] / xLast : 0.0;
        const double y = yMax > 0 ? H * (yMax - points[2 * i + 1]) / yMax : H;
        line << QPointF(x, y);
    }
    return line;
}

QImage drawConvergence(const TFormConvergence& trace, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    const QPolygonF line = convergencePolyline(trace.Points, canvasSize(image));
    p.setPen(plotPen(QColor(0, 128, 0), 2));
    if (line.size() == 1)
        p.drawPoint(line.front());
    else
        p.drawPolyline(line);
    p.end();
    return image;
}
