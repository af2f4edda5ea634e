// Drawing of the DC load-line diagram.
#include "plots/load_line_plot.h"

#include "plots/plot_style.h"
#include "util/format.h"

#include <QFontMetricsF>

#include <cmath>

namespace {
const QColor kGrey(0x80, 0x80, 0x80);
const QColor kNavy(0, 0, 0x80);
const QColor kRed(0xFF, 0, 0);
const QColor kMaroon(0x80, 0, 0);
} // namespace

QPolygonF toPixels(const LoadLineFrame& f, const std::vector<VIPoint>& pts) {
    QPolygonF poly;
    for (const VIPoint& p : pts)
        poly << f.at(p.V, p.I);
    return poly;
}

double LoadLineFrame::x(double V) const {
    return V / safeScale(Vmax) * (W - 120) + 60;
}

double LoadLineFrame::y(double I) const {
    return (safeScale(Imax) - I) / safeScale(Imax) * (H - 120) + 60;
}

QImage drawLoadLine(const LoadLineData& data, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    const LoadLineFrame f{double(canvasSize(image).width()), double(canvasSize(image).height()), data.Imax,
                          data.Vmax};
    const TTube& t = data.tube;
    const double W = f.W, H = f.H;

    p.setPen(Qt::black);
    drawTextTop(p, W - 60, 30, QString::fromStdString(t.Reference() + " " + t.ModelName()), TextAlign::Right);
    LabelPlacer labels; // texts inside the plot step aside for one another

    // Axes and their maxima.
    p.setPen(plotPen(kGrey, 1));
    const double Vtop = safeScale(data.Vmax), Itop = safeScale(data.Imax);
    p.drawLine(f.at(0, 0), QPointF(f.x(Vtop) + 30, f.y(0)));
    p.drawLine(f.at(0, 0), QPointF(60, f.y(Itop) - 30));
    drawTextAt(p, f.x(Vtop) + 33, f.y(0) + 4, std::string("Vak"), TextAlign::Left);
    drawTextAt(p, 60, f.y(Itop) - 34, std::string("Ia"), TextAlign::Centre);
    drawTextAt(p, 56, f.y(Itop) + 4, strFormat("%.1fmA", 1000 * data.Imax), TextAlign::Right);
    drawTextAt(p, f.x(Vtop), f.y(0) + 16, strFormat("%0.0fV", data.Vmax), TextAlign::Centre);

    if (data.drawLoadLine) {
        p.setPen(plotPen(kNavy, 1));
        p.drawLine(f.at(0, data.Imax), f.at(data.Vmax, 0));
        const QPointF mid = (f.at(0, data.Imax) + f.at(data.Vmax, 0)) / 2;
        const double r = data.Imax > 0 ? data.Vmax / data.Imax : 0;
        labels.draw(p, mid.x() + 6, mid.y() - 6, strFormat("%.0fΩ", r), TextAlign::Left);
    }

    // Limits.
    p.setPen(plotPen(kRed, 1));
    if (t.Iamax() > 0) {
        const double vEnd = t.Pamax() / t.Iamax();
        p.drawLine(f.at(0, t.Iamax()), f.at(vEnd, t.Iamax()));
        labels.draw(p, f.x(vEnd) + 4, f.y(t.Iamax()) + 4, strFormat("%.1fmA", 1000 * t.Iamax()),
                    TextAlign::Left);
    }
    if (t.Vamax() > 0) {
        const double iEnd = t.Pamax() / t.Vamax();
        p.drawLine(f.at(t.Vamax(), 0), f.at(t.Vamax(), iEnd));
        labels.draw(p, f.x(t.Vamax()), f.y(iEnd) - 4, strFormat("%0.0fV", t.Vamax()), TextAlign::Centre);
    }
    const QPolygonF hyperbola = toPixels(f, dissipationHyperbola(t.Pamax(), t.Iamax(), t.Vamax()));
    if (hyperbola.size() > 1)
        p.drawPolyline(hyperbola);

    // Anode curves at the operating grid voltage and at 0 V.
    const struct {
        QColor colour;
        double vgk;
    } curves[] = {{kNavy, t.Vgk()}, {kMaroon, 0.0}};
    for (const auto& c : curves) {
        const QPolygonF poly = toPixels(f, loadLineAnodeCurve(t.constants(), c.vgk, data.Imax, data.Vmax));
        p.setPen(plotPen(c.colour, 2));
        p.drawPolyline(poly);
        labels.draw(p, poly.back().x() + 4, poly.back().y() + 4, strFormat("Vg %0.2f", c.vgk),
                    TextAlign::Left);
    }

    // Operating point.
    p.setPen(plotPen(kNavy, 2));
    const QPointF op = f.at(t.Vak(), t.Ia());
    p.drawLine(QPointF(f.x(0), op.y()), op);
    p.drawLine(f.at(t.Vak(), 0), op);
    labels.draw(p, f.x(0) + 4, op.y() - 4, strFormat("%.1fmA", 1000 * t.Ia()), TextAlign::Left);
    drawTextAt(p, op.x(), std::min(H - 4, f.y(0) + 30), strFormat("%0.0fV", t.Vak()), TextAlign::Centre);
    p.end();
    return image;
}
