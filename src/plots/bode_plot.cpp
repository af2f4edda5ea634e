// Drawing of the Bode plot.
#include "plots/bode_plot.h"

#include "plots/plot_style.h"
#include "util/format.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {
const QColor kGrey(128, 128, 128);
const QColor kLightGrey(192, 192, 192);
// Gains of zero or below have no logarithm: they are drawn far below the axis instead.
constexpr double kLowestGain = 1e-12;

double safeLog(double g) {
    return std::log10(std::max(g, kLowestGain));
}

// A printf number text with the user's decimal separator.
std::string localised(const std::string& text, const NumberLocale& locale) {
    return withDecimalSeparator(text, locale.decimalSeparator);
}

std::string withThousands(double v, const NumberLocale& locale) {
    const std::string digits = strFormat("%.0f", std::fabs(v));
    return groupedFigure((v < 0 && digits != "0" ? "-" : "") + digits, locale);
}
} // namespace

double BodeFrame::x(double f) const {
    const double span = std::log10(fN) - std::log10(f0);
    const double width = right == 30 ? W - 90 : W - 60 - right;
    return 60 + width * (safeLog(f) - std::log10(f0)) / (span > 0 ? span : 1.0);
}

double BodeFrame::y(double G) const {
    return 30 + (H - 60) * (std::log10(Gtop) - safeLog(G)) / (std::log10(Gtop) - std::log10(0.1));
}

double bodeTopGain(const BodeData& data) {
    double top = data.Apk;
    for (const auto& curve : data.curves)
        for (double v : curve)
            top = std::max(top, v);
    for (double v : data.overall)
        top = std::max(top, v);
    return std::isfinite(top) && top > 0.1 ? top : 10.0;
}

BodeFrame bodeFrame(const BodeData& data, QSize size) {
    BodeFrame f;
    f.W = size.width();
    f.H = size.height();
    if (data.freqs.size() >= 2 && data.freqs.front() > 0 && data.freqs.back() > data.freqs.front()) {
        f.f0 = data.freqs.front();
        f.fN = data.freqs.back();
    } else if (!data.freqs.empty() && data.freqs.front() > 0) {
        f.f0 = data.freqs.front();
        f.fN = f.f0 * 10;
    }
    f.Gtop = bodeTopGain(data);
    if (bodeShowsPhase(data))
        f.right = 64;
    return f;
}

std::vector<double> bodeDecibelGrid(double Gtop) {
    double n = std::nearbyint(Gtop); // ties to even
    if (std::fmod(n, 10.0) != 0)
        n = std::ceil(n / 10) * 10;
    // The first line (-20 dB) is drawn before the test, so even a top of 0.5 or less (n = 0)
    // keeps its -20 dB line.
    std::vector<double> gains;
    double g = 0.1;
    do {
        gains.push_back(g);
        g *= std::sqrt(10.0);
    } while (g < n && gains.size() < 1000);
    return gains;
}

bool isBodeDecade(double f) {
    if (!(f > 0))
        return false;
    const double e = std::log10(f);
    return std::fabs(e - std::round(e)) < 1e-9 && std::round(e) >= -1 && std::round(e) <= 6;
}

std::string bodeFrequencyLabel(double f, const NumberLocale& locale) {
    if (f < 1)
        return localised(strFormat("%.1f", f), locale);
    return withThousands(f, locale);
}

std::vector<BodeCurveView> bodeCurveViews(const BodeData& data) {
    std::vector<BodeCurveView> views;
    for (const auto& curve : data.curves)
        views.push_back({&curve, 0, 1, false, false});
    if (data.overallDrawn)
        views.push_back({&data.overall, 0, 2, false, true});
    for (std::size_t j = 0; j < views.size(); ++j) {
        if (j < data.legends.size()) {
            views[j].colour = data.legends[j].color;
            views[j].display = data.legends[j].display;
        }
    }
    return views;
}

bool bodeShowsPhase(const BodeData& data) {
    if (!data.exact || !data.overallDrawn || data.phase.empty())
        return false;
    const std::size_t overall = data.curves.size();
    return overall >= data.legends.size() || data.legends[overall].display;
}

PhaseAxis bodePhaseAxis(const std::vector<double>& phase) {
    double lo = 0, hi = 0;
    bool any = false;
    for (double v : phase)
        if (std::isfinite(v)) {
            lo = any ? std::min(lo, v) : v;
            hi = any ? std::max(hi, v) : v;
            any = true;
        }
    PhaseAxis axis;
    if (!any)
        return axis;
    axis.bottom = std::floor(lo / 45) * 45;
    axis.top = std::ceil(hi / 45) * 45;
    if (axis.top - axis.bottom < 90) { // a flat phase gets +-45 degrees around it
        const double mid = std::round((lo + hi) / 2 / 45) * 45;
        axis.bottom = mid - 45;
        axis.top = mid + 45;
    }
    const double span = axis.top - axis.bottom;
    axis.step = span <= 360 ? 45 : 45 * std::ceil(span / 8 / 45);
    return axis;
}

namespace {
const QColor kPhaseColour(64, 64, 64);

// The overall phase as a dashed curve against the right-hand axis.
void drawPhase(QPainter& p, const BodeData& data, const BodeFrame& f, int legendLine) {
    const PhaseAxis axis = bodePhaseAxis(data.phase);
    const double xRight = f.x(f.fN), yBottom = f.y(0.1), yTop = f.y(f.Gtop);
    const auto y = [&](double deg) {
        return yTop + (yBottom - yTop) * (axis.top - deg) / (axis.top - axis.bottom);
    };

    p.setPen(plotPen(kGrey, 2));
    p.drawLine(QPointF(xRight, yBottom), QPointF(xRight, yTop));
    for (double deg = std::ceil(axis.bottom / axis.step) * axis.step; deg <= axis.top + 1e-9;
         deg += axis.step) {
        const double yy = y(deg);
        p.setPen(plotPen(kGrey, 1));
        p.drawLine(QPointF(xRight, yy), QPointF(xRight + 4, yy));
        p.setPen(kPhaseColour);
        drawTextAt(p, xRight + 6, yy + 4, strFormat("%.0f°", deg), TextAlign::Left);
    }
    p.save();
    p.translate(f.W - 4, (yTop + yBottom) / 2); // read from the bottom up, clear of the degrees
    p.rotate(-90);
    drawTextAt(p, 0, 0, std::string("Phase (°)"), TextAlign::Centre);
    p.restore();

    QPolygonF poly;
    const std::size_t n = std::min(data.phase.size(), data.freqs.size());
    for (std::size_t i = 0; i < n; ++i)
        poly << QPointF(f.x(data.freqs[i]), y(data.phase[i]));
    QPen pen = plotPen(kPhaseColour, 1.5);
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.drawPolyline(poly);
    drawTextAt(p, f.W / 2, f.H - 45 - 12 * legendLine, std::string("Phase (right axis)"), TextAlign::Left);
}
} // namespace

QImage drawBode(const BodeData& data, QSize size, double scale, const NumberLocale& locale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    const BodeFrame f = bodeFrame(data, canvasSize(image));
    const double W = f.W, H = f.H;
    const double xLeft = f.x(f.f0), xRight = f.x(f.fN);
    const double yBottom = f.y(0.1), yTop = f.y(f.Gtop);

    p.setPen(Qt::black);
    drawTextAt(p, W - 30, 10, strFormat("%s [%s]", data.title.c_str(), data.tag.c_str()), TextAlign::Right);
    if (data.beta != 0)
        drawTextAt(p, W - 30, 22.5, localised(strFormat("%.3f feedback fraction", data.beta), locale),
                   TextAlign::Right);

    p.setPen(plotPen(kGrey, 2));
    p.drawLine(QPointF(xLeft, yBottom), QPointF(xRight, yBottom));
    drawTextAt(p, xRight, H - 3, std::string("F (Hz)"), TextAlign::Centre);

    for (double fr : data.freqs) {
        if (!(fr > 0))
            continue;
        const double x = f.x(fr);
        if (isBodeDecade(fr)) {
            p.setPen(plotPen(Qt::black, 0.3));
            p.drawLine(QPointF(x, yBottom), QPointF(x, yTop));
            drawTextAt(p, x, H - 15, bodeFrequencyLabel(fr, locale), TextAlign::Centre);
        } else {
            p.setPen(plotPen(kGrey, 0.15));
            p.drawLine(QPointF(x, yBottom), QPointF(x, yTop));
        }
    }

    p.setPen(plotPen(kGrey, 2));
    p.drawLine(QPointF(xLeft, yBottom), QPointF(xLeft, yTop));
    drawTextAt(p, xLeft, 15, std::string("G (dB)"), TextAlign::Centre);

    double Amax = -100;
    for (double v : data.overall)
        Amax = std::max(Amax, v);
    const auto gainLine = [&](double g, bool line) {
        const double y = f.y(g);
        if (line) {
            p.setPen(plotPen(Qt::black, 0.25));
            p.drawLine(QPointF(xLeft, y), QPointF(xRight, y));
        }
        p.setPen(kGrey);
        drawTextAt(p, xLeft + 2, y - 1, localised(strFormat("%.1fdB", 20 * std::log10(g)), locale),
                   TextAlign::Left);
    };
    if (Amax > 0) { // an overall gain of zero has no decibel value
        if (data.overallDrawn)
            gainLine(0.7071 * Amax, true);
        gainLine(Amax, data.overallDrawn);
    }

    for (double g : bodeDecibelGrid(f.Gtop)) {
        const double y = f.y(g);
        p.setPen(plotPen(kLightGrey, 0.25));
        p.drawLine(QPointF(xLeft, y), QPointF(xRight, y));
        p.setPen(Qt::black);
        drawTextAt(p, xLeft - 10, y, strFormat("%.0fdB", 20 * std::log10(g)), TextAlign::Right);
    }

    // A gain below the -20 dB floor leaves the frame at its foot instead of running over the
    // frequency labels.
    p.save();
    p.setClipRect(QRectF(QPointF(xLeft, 0), QPointF(xRight, yBottom)));
    const auto views = bodeCurveViews(data);
    int k = 0;
    for (std::size_t j = 0; j < views.size(); ++j) {
        const auto& v = views[j];
        if (!v.display)
            continue;
        QPolygonF poly;
        const std::size_t n = std::min(v.values->size(), data.freqs.size());
        for (std::size_t i = 0; i < n; ++i)
            poly << QPointF(f.x(data.freqs[i]), f.y((*v.values)[i]));
        p.setPen(plotPen(argbColour(v.colour | 0xFF000000u), v.overall ? 2 : 1));
        p.drawPolyline(poly);
    }
    p.restore();
    for (const auto& legend : data.legends) {
        if (!legend.display)
            continue;
        ++k;
        p.setPen(argbColour(legend.color | 0xFF000000u));
        drawTextAt(p, W / 2, H - 45 - 12 * k, legend.titre, TextAlign::Left);
    }

    if (bodeShowsPhase(data))
        drawPhase(p, data, f, k + 1);

    if (data.overallDrawn && !data.summary.empty()) {
        p.setPen(Qt::black);
        drawTextAt(p, W / 2, H - 35, data.summary, TextAlign::Centre);
    }
    p.end();
    return image;
}
