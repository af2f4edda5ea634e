// The waveform tab's picture: anode voltage and/or current of one swing cycle over a full period,
// with the input's sine shape, on the scale of the cycle's largest deviation.
#include "plots/plot_style.h"
#include "plots/power_plot_style.h"
#include "plots/power_plots.h"
#include "util/format.h"

#include <QFontMetricsF>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

using namespace power_style;

namespace {
std::string valueText(double v, WaveQuantity q) {
    return q == WaveQuantity::Voltage ? strFormat("%.0fV", v) : strFormat("%.0fmA", 1000 * v);
}

QPolygonF periodLine(const WaveFrame& f, const std::vector<double>& values, double Q) {
    QPolygonF poly;
    for (std::size_t j = 0; j < values.size(); ++j)
        poly << QPointF(f.x(static_cast<double>(j)), f.y(values[j] - Q));
    return poly;
}

// The input's shape, sign = −1 for the inverted voltage view.
QPolygonF inputLine(const WaveFrame& f, double sign) {
    QPolygonF poly;
    for (int j = 0; j < kWavePoints; ++j)
        poly << QPointF(f.x(j), f.y(sign * f.A * waveInput(j)));
    return poly;
}

struct Canvas {
    QImage image;
    QPainter p;
    double W = 0, H = 0;
    double ascentThird = 0;
};

void begin(Canvas& c, QSize size, double scale) {
    c.image = plotCanvas(size);
    beginPlot(c.p, c.image, scale);
    c.p.setFont(sansFont(scale, 10));
    c.W = canvasSize(c.image).width();
    c.H = canvasSize(c.image).height();
    c.ascentThird = QFontMetricsF(c.p.font()).ascent() / 3;
}

// The three light-grey lines at Q, Q + A and Q − A with their labels; a flat cycle has one.
void bandLines(Canvas& c, const WaveFrame& f, const WaveScale& s, WaveQuantity q, const QColor& text,
               double labelX, TextAlign align) {
    const double right = f.x(kWavePoints);
    const std::vector<double> levels = s.flat() ? std::vector<double>{0} : std::vector<double>{0, s.A, -s.A};
    for (double v : levels) {
        c.p.setPen(plotPen(kLightGrey, 0.2));
        c.p.drawLine(QPointF(f.x(0), f.y(v)), QPointF(right, f.y(v)));
        c.p.setPen(text);
        drawTextAt(c.p, labelX, f.y(v) + c.ascentThird, valueText(s.Q + v, q), align);
    }
}

void zeroLine(Canvas& c, const WaveFrame& f, const WaveScale& s, const QColor& colour, double labelX,
              TextAlign align) {
    // A flat cycle has no scale: its zero line goes to the edge of the band on the side of zero.
    double y = f.y(-s.Q);
    if (s.flat() && s.Q != 0)
        y = s.Q > 0 ? c.H - 35 : 35;
    y = std::clamp(y, 2.0, c.H - 2);
    c.p.setPen(plotPen(colour, 0.4));
    c.p.drawLine(QPointF(f.x(0), y), QPointF(f.x(kWavePoints), y));
    c.p.setPen(colour);
    drawTextAt(c.p, labelX, std::clamp(y + c.ascentThird, c.ascentThird * 3, c.H - 1), std::string("0mA"),
               align);
}
} // namespace

QImage drawWave(const TRecCycle& cycle, WaveQuantity q, QSize size, double scale) {
    Canvas c;
    begin(c, size, scale);
    const WaveScale s = waveScale(cycle, q);
    const WaveFrame f{c.W, c.H, s.A};
    const bool voltage = q == WaveQuantity::Voltage;
    const QColor colour = voltage ? kRed : kOrange;

    bandLines(c, f, s, q, Qt::black, f.x(0), TextAlign::Right);
    if (!voltage)
        zeroLine(c, f, s, kRed, f.x(0), TextAlign::Right);
    c.p.setPen(plotPen(kLightGrey, 0.1));
    for (double v : waveGridLevels(s.A, q))
        c.p.drawLine(QPointF(f.x(0), f.y(v)), QPointF(f.x(kWavePoints), f.y(v)));
    c.p.setPen(plotPen(colour, 0.1));
    c.p.drawPolyline(inputLine(f, voltage ? -1 : 1));
    const std::vector<double> values = fullPeriod(cycle, q);
    if (!values.empty()) {
        c.p.setPen(plotPen(colour, 1.5));
        c.p.drawPolyline(periodLine(f, values, s.Q));
    }
    c.p.end();
    return c.image;
}

QImage drawWaveBoth(const TRecCycle& cycle, QSize size, double scale) {
    Canvas c;
    begin(c, size, scale);
    const WaveScale sv = waveScale(cycle, WaveQuantity::Voltage);
    const WaveScale si = waveScale(cycle, WaveQuantity::Current);
    const WaveFrame fv{c.W, c.H, sv.A}, fi{c.W, c.H, si.A};

    bandLines(c, fv, sv, WaveQuantity::Voltage, kRed, fv.x(0), TextAlign::Right);
    bandLines(c, fi, si, WaveQuantity::Current, kOrange, c.W - 33, TextAlign::Left);
    zeroLine(c, fi, si, kOrange, c.W - 33, TextAlign::Left);
    c.p.setPen(plotPen(kRed, 0.1));
    c.p.drawPolyline(inputLine(fv, -1));
    c.p.setPen(plotPen(kOrange, 0.1));
    c.p.drawPolyline(inputLine(fi, 1));
    const std::vector<double> va = fullPeriod(cycle, WaveQuantity::Voltage);
    const std::vector<double> ia = fullPeriod(cycle, WaveQuantity::Current);
    if (!va.empty()) {
        c.p.setPen(plotPen(kRed, 1.5));
        c.p.drawPolyline(periodLine(fv, va, sv.Q));
        c.p.setPen(plotPen(kOrange, 1.5));
        c.p.drawPolyline(periodLine(fi, ia, si.Q));
    }
    c.p.end();
    return c.image;
}

QImage drawWaveform(const PowerData& data, int p, WaveDisplay display, QSize size, double scale) {
    const int i = waveCycleIndex(data, p);
    const TRecCycle empty;
    const TRecCycle& cycle = i >= 0 ? data.cycles[static_cast<std::size_t>(i)] : empty;
    switch (display) {
    case WaveDisplay::Voltage:
        return drawWave(cycle, WaveQuantity::Voltage, size, scale);
    case WaveDisplay::Current:
        return drawWave(cycle, WaveQuantity::Current, size, scale);
    case WaveDisplay::Both:
        break;
    }
    return drawWaveBoth(cycle, size, scale);
}
