// The sweep picture: a framed chart of one column against the swept value.
#include "plots/sweep_plot.h"

#include "plots/plot_style.h"
#include "util/format.h"

#include <QFontMetricsF>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxTicks = 40;
const QColor kCurve(0, 0, 128);
const QColor kFrame(128, 128, 128);
const QColor kGridLine(220, 220, 220);

// The range of the values, widened when all are equal so that the axis has a length.
std::pair<double, double> rangeOf(const std::vector<double>& v, bool log) {
    double lo = *std::min_element(v.begin(), v.end()), hi = *std::max_element(v.begin(), v.end());
    if (lo == hi && log) {
        lo /= 2;
        hi *= 2;
    } else if (lo == hi) {
        const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
        lo -= pad;
        hi += pad;
    }
    return {lo, hi};
}

std::string tickText(double v) {
    if (v == 0)
        return "0";
    const double a = std::fabs(v);
    if (a >= 1e6 || a < 1e-3)
        return strFormat("%.3g", v);
    return strFormat("%g", std::round(v * 1e6) / 1e6);
}

} // namespace

std::vector<double> sweepAxisTicks(double lo, double hi, bool log, int target) {
    std::vector<double> ticks;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return ticks;
    if (log && lo > 0) {
        const int first = static_cast<int>(std::floor(std::log10(lo))),
                  last = static_cast<int>(std::ceil(std::log10(hi)));
        const bool fine = last - first <= 3;
        for (int e = first; e <= last && static_cast<int>(ticks.size()) < kMaxTicks; ++e)
            for (double m : fine ? std::vector<double>{1, 2, 5} : std::vector<double>{1}) {
                const double t = m * std::pow(10.0, e);
                if (t >= lo * (1 - 1e-9) && t <= hi * (1 + 1e-9))
                    ticks.push_back(t);
            }
        return ticks;
    }
    const double raw = (hi - lo) / std::max(1, target);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) {
            step = m * power;
            break;
        }
    for (double t = std::ceil(lo / step) * step;
         t <= hi + step * 1e-9 && static_cast<int>(ticks.size()) < kMaxTicks; t += step)
        ticks.push_back(std::fabs(t) < step * 1e-9 ? 0 : t);
    return ticks;
}

QImage drawSweep(const SweepSeries& s, const std::string& circuitCode, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    const QFontMetricsF fm(p.font());
    const double W = canvasSize(image).width(), H = canvasSize(image).height();
    const double left = 20 + fm.horizontalAdvance(QStringLiteral("-0.000e+00")), right = W - 30;
    const double top = 20 + 2 * fm.lineSpacing(), bottom = H - 20 - 2 * fm.lineSpacing();

    p.setPen(Qt::black);
    drawTextAt(p, W / 2, 16 + fm.ascent(),
               strFormat("%s: %s against %s", circuitCode.c_str(), s.yLabel.c_str(), s.xLabel.c_str()),
               TextAlign::Centre);
    p.setPen(plotPen(kFrame, 1));
    p.drawRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
    p.setPen(Qt::black);
    drawTextAt(p, (left + right) / 2, H - 12, s.xLabel + (s.logX ? " (log)" : ""), TextAlign::Centre);
    drawTextAt(p, left, top - 6, s.yLabel, TextAlign::Left);
    if (s.points.empty()) {
        drawTextAt(p, (left + right) / 2, (top + bottom) / 2, std::string("No value to plot"),
                   TextAlign::Centre);
        p.end();
        return image;
    }

    std::vector<double> xs, ys;
    for (const auto& [x, y] : s.points) {
        xs.push_back(x);
        ys.push_back(y);
    }
    const bool logX = s.logX && *std::min_element(xs.begin(), xs.end()) > 0;
    // Plain variables, not structured bindings: the lambdas below capture them.
    const auto xRange = rangeOf(xs, logX);
    const double x0 = xRange.first, x1 = xRange.second;
    const auto yRange = rangeOf(ys, false);
    double y0 = yRange.first, y1 = yRange.second;
    const double pad = (y1 - y0) * 0.05;
    y0 -= pad;
    y1 += pad;
    const auto px = [&](double x) {
        const double t = logX ? std::log(x / x0) / std::log(x1 / x0) : (x - x0) / (x1 - x0);
        return left + (right - left) * t;
    };
    const auto py = [&](double y) { return bottom - (bottom - top) * (y - y0) / (y1 - y0); };

    for (double t : sweepAxisTicks(x0, x1, logX)) {
        p.setPen(plotPen(kGridLine, 1));
        p.drawLine(QPointF(px(t), top), QPointF(px(t), bottom));
        p.setPen(Qt::black);
        drawTextAt(p, px(t), bottom + 4 + fm.ascent(), tickText(t), TextAlign::Centre);
    }
    for (double t : sweepAxisTicks(y0, y1, false)) {
        p.setPen(plotPen(kGridLine, 1));
        p.drawLine(QPointF(left, py(t)), QPointF(right, py(t)));
        p.setPen(Qt::black);
        drawTextAt(p, left - 4, py(t) + fm.ascent() / 3, tickText(t), TextAlign::Right);
    }

    QPolygonF line;
    for (const auto& [x, y] : s.points)
        line << QPointF(px(x), py(y));
    p.setPen(plotPen(kCurve, 1.5));
    p.drawPolyline(line);
    if (s.points.size() <= 200) {
        p.setBrush(kCurve);
        for (const QPointF& pt : line)
            p.drawEllipse(pt, 2.5, 2.5);
    }
    p.end();
    return image;
}
