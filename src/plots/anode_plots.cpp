// Painting of the anode, transfer and gm / rho / mu charts.
#include "plots/anode_plots.h"

#include "plots/plot_style.h"
#include "plots/polyline_clip.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPolygonF>

namespace {
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kGridGrey(0xC0, 0xC0, 0xC0);
const QColor kTeal(0x00, 0x7F, 0x7F);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kViolet(0x7F, 0x00, 0xFF);
const QColor kGreen(0x00, 0x80, 0x00);

TextAlign align(TextAnchor a) {
    switch (a) {
    case TextAnchor::Right:
        return TextAlign::Right;
    case TextAnchor::Centre:
        return TextAlign::Centre;
    default:
        return TextAlign::Left;
    }
}

// Current axis and horizontal current grid shared by the anode and transfer charts.
void drawCurrentAxis(QPainter& p, const AnodeFrame& f, const AnodeChart& chart) {
    for (double ia : chart.currentTicks) {
        p.setPen(plotPen(kGridGrey, 1));
        p.drawLine(QPointF(50, f.y(ia)), QPointF(f.W - 50, f.y(ia)));
        p.setPen(Qt::black);
        drawTextAt(p, 45, f.y(ia) + 4, strFormat("%.0f", ia * 1000), TextAlign::Right);
    }
    p.setPen(plotPen(kNavy, 1));
    p.drawLine(QPointF(50, f.y(0)), QPointF(50, f.y(safeScale(chart.Iamax))));
    drawTextAt(p, 50, 37.5, std::string("Ia (mA)"), TextAlign::Right);
}
} // namespace

double AnodeFrame::x(double value) const {
    if (transfer)
        return (1 - value / (Vgmin < 0 ? Vgmin : -1.0)) * (W - 100) + 50;
    return value / safeScale(Vamax) * (W - 100) + 50;
}

double AnodeFrame::y(double Ia) const {
    return (safeScale(Iamax) - Ia) / safeScale(Iamax) * (H - 100) + 50;
}

AnodeFrame anodeFrame(const AnodeChart& chart, QSize size) {
    AnodeFrame f;
    f.W = size.width();
    f.H = size.height();
    f.transfer = chart.transfer;
    f.Iamax = chart.Iamax;
    f.Vamax = chart.Vamax;
    f.Vgmin = chart.Vgmin;
    return f;
}

double MultiFrame::x(double Ia) const {
    return Ia / safeScale(Iamax) * (W - 100) + 50;
}

double MultiFrame::y(double value, double fullScale) const {
    const double F = safeScale(fullScale);
    return (F - value) / F * (H - 100) + 50;
}

QImage drawAnodeChart(const AnodeChart& chart, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    const AnodeFrame f = anodeFrame(chart, canvasSize(image));
    const double W = f.W, H = f.H;

    drawCurrentAxis(p, f, chart);

    // Horizontal axis and its marks.
    p.setPen(plotPen(kNavy, 1));
    const double axisEnd = chart.transfer ? chart.Vgmin : safeScale(chart.Vamax);
    p.drawLine(QPointF(f.x(0), f.y(0)), QPointF(f.x(axisEnd), f.y(0)));
    drawTextAt(p, W - 48, H - 45, std::string(chart.transfer ? "Vg (V)" : "Va (V)"), TextAlign::Left);
    for (const auto& tick : chart.xTicks) {
        const double x = f.x(tick.value);
        if (tick.major) {
            p.setPen(plotPen(Qt::black, 0.5));
            p.drawLine(QPointF(x, f.y(0) + 10), QPointF(x, 50));
        } else {
            p.setPen(plotPen(kTeal, 0.1));
            p.drawLine(QPointF(x, f.y(0)), QPointF(x, 50));
        }
        if (!tick.label.empty()) {
            p.setPen(Qt::black);
            drawTextAt(p, x, H - 25, tick.label, TextAlign::Centre);
        }
    }

    // Curves, then their grid- or anode-voltage labels. A curve's last step may overshoot the
    // current limit by far (a pentode at 2 V, or at a high screen voltage by millions of pixels): the
    // curves are cut just outside the plot area before they are stroked.
    p.save();
    const QRectF plotArea(45, 45, W - 90, H - 90);
    p.setClipRect(plotArea);
    p.setPen(plotPen(kMaroon, 2));
    for (const auto& curve : chart.curves) {
        QPolygonF poly;
        for (const auto& pt : curve.points)
            poly << QPointF(f.x(pt.x), f.y(pt.y));
        for (const QPolygonF& part : clipPolyline(poly, plotArea))
            p.drawPolyline(part);
    }
    p.restore();

    p.setPen(Qt::black);
    drawTextFitted(p, 50, 25, chart.title, W - 60);
    LabelPlacer labels;
    labels.reserve(QRectF(0, 0, W, 40)); // title and "Ia (mA)"
    labels.reserve(QRectF(0, 0, 49, H)); // current-axis labels
    {                                    // "Va (V)" or "Vg (V)" at the end of the horizontal axis
        const QFontMetricsF fm(p.font());
        labels.reserve(QRectF(W - 48, H - 45 - fm.ascent(), fm.horizontalAdvance(QStringLiteral("Va (V)")),
                              fm.ascent() + fm.descent()));
    }
    for (const auto& curve : chart.curves) {
        const auto& l = curve.label;
        const double dx = l.anchor == TextAnchor::Left ? 3 : 0;
        labels.draw(p, f.x(l.x) + dx, f.y(l.y) - 4, l.text, align(l.anchor), true);
    }
    p.end();
    return image;
}

QImage drawMultiChart(const MultiChart& chart, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    const MultiFrame f{double(canvasSize(image).width()), double(canvasSize(image).height()), chart.Iamax};
    const double W = f.W, H = f.H;

    // Current axis along the bottom with vertical grid lines.
    for (double ia : chart.currentTicks) {
        p.setPen(plotPen(kGridGrey, 1));
        p.drawLine(QPointF(f.x(ia), H - 50), QPointF(f.x(ia), 50));
        p.setPen(Qt::black);
        drawTextAt(p, f.x(ia), H - 35, strFormat("%.0f", ia * 1000), TextAlign::Centre);
    }
    p.setPen(plotPen(kNavy, 1));
    p.drawLine(QPointF(f.x(0), H - 50), QPointF(f.x(safeScale(chart.Iamax)), H - 50));
    drawTextAt(p, W - 50, H - 20, std::string("Ia (mA)"), TextAlign::Centre);
    // The right-hand texts share a placer with the curve labels so that these step aside, also from
    // the current axis's caption.
    LabelPlacer labels;
    {
        const QFontMetricsF fm(p.font());
        const double w = fm.horizontalAdvance(QStringLiteral("Ia (mA)"));
        labels.reserve(QRectF(W - 50 - w / 2, H - 20 - fm.ascent(), w, fm.ascent() + fm.descent()));
    }

    // Left (gm) and right (rho) scales.
    p.setPen(plotPen(kNavy, 1));
    p.drawLine(QPointF(50, H - 50), QPointF(50, 50));
    p.drawLine(QPointF(W - 50, H - 50), QPointF(W - 50, 50));
    for (double v : chart.gmTicks) {
        const double y = f.y(v, chart.gmFull);
        p.setPen(plotPen(kGridGrey, 0.5));
        p.drawLine(QPointF(50, y), QPointF(W - 50, y));
        p.setPen(kViolet);
        drawTextAt(p, 45, y + 4, strFormat("%0.1f", v * 1000), TextAlign::Right);
    }
    p.setPen(kGreen);
    for (double v : chart.rhoTicks)
        labels.draw(p, W - 48, f.y(v, chart.rhoFull) + 4, strFormat("%.0f", v / 1000), TextAlign::Left);
    p.setPen(kViolet);
    labels.draw(p, 50, 35, "gm (mA/V)", TextAlign::Centre);
    p.setPen(kGreen);
    labels.draw(p, W - 50, 35, "Ri (kΩ)", TextAlign::Centre);
    p.setPen(Qt::black);
    drawTextFitted(p, 50, 12.5, chart.title, W - 60);

    // One quantity (gm, rho or mu) of the three anode voltages: its curves, then their labels at the
    // end where the curves lie farther apart (the high-current end for most triodes, the low-current
    // end where the curves of a pentode meet at high current).
    using Points = std::vector<ChartPoint> MultiSeries::*;
    using Label = std::string MultiSeries::*;
    const auto quantity = [&](Points points, Label label, double full, const QColor& colour, double width) {
        std::vector<QPolygonF> polys;
        for (const auto& s : chart.series) {
            QPolygonF poly;
            for (const auto& pt : s.*points)
                poly << QPointF(f.x(pt.x), f.y(pt.y, full));
            polys.push_back(poly);
        }
        p.setPen(plotPen(colour, width));
        for (const QPolygonF& poly : polys)
            for (const QPolygonF& part : clipPolyline(poly, QRectF(0, 0, W, H)))
                p.drawPolyline(part);
        const auto spread = [&](bool front) {
            double least = 1e300;
            for (std::size_t i = 0; i < polys.size(); ++i)
                for (std::size_t j = i + 1; j < polys.size(); ++j)
                    if (!polys[i].isEmpty() && !polys[j].isEmpty()) {
                        const QPointF a = front ? polys[i].front() : polys[i].back();
                        const QPointF b = front ? polys[j].front() : polys[j].back();
                        least = std::min(least, std::hypot(a.x() - b.x(), a.y() - b.y()));
                    }
            return least;
        };
        const bool front = spread(true) >= spread(false);
        p.setPen(colour);
        for (std::size_t i = 0; i < polys.size(); ++i) {
            if (polys[i].isEmpty())
                continue;
            const QPointF at = front ? polys[i].front() : polys[i].back();
            labels.draw(p, at.x() + 4, at.y() + 4, chart.series[i].*label, TextAlign::Left);
        }
    };
    quantity(&MultiSeries::gm, &MultiSeries::gmLabel, chart.gmFull, kViolet, 2);
    quantity(&MultiSeries::rho, &MultiSeries::rhoLabel, chart.rhoFull, kGreen, 2);
    quantity(&MultiSeries::mu, &MultiSeries::muLabel, chart.muFull, kNavy, 1);
    p.end();
    return image;
}
