// The push-pull load-line plot: anode-curve family, limits, the dynamic loci of both tubes, the
// ideal class-A and class-B lines, and the bias-class and quiescent-dissipation gauges.
#include "circuits/catalogue.h"
#include "plots/load_line_plot.h"
#include "plots/plot_style.h"
#include "plots/power_plot_style.h"
#include "plots/power_plots.h"
#include "power/power_analysis.h"
#include "util/format.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

using namespace power_style;

namespace {
constexpr int kMaxCurvePoints = 100000;
// The family stays in the background; any thinner and the antialiased curves vanish on screen.
constexpr double kFamilyWidth = 0.5;

struct Gradient {
    std::vector<std::pair<double, QColor>> stops;
};

// A gauge: the bar at (x, 20), 20 × 200, its caption in the box below it, a grey cursor at the
// fraction and a text on each side of the cursor.
void drawGauge(QPainter& p, double scale, double x, const Gradient& g, const QString& caption,
               double fraction, const std::string& leftText, const std::string& rightText) {
    // Geometry in pixels at 96 dpi, grown with the screen's density like the fonts.
    const double k = scale > 0 ? scale : 1.0;
    QLinearGradient fill(QPointF(x, 20 * k), QPointF(x, 220 * k));
    for (const auto& [at, colour] : g.stops)
        fill.setColorAt(at, colour);
    p.fillRect(QRectF(x, 20 * k, 20 * k, 200 * k), fill);

    const QFont font = p.font();
    p.setFont(sansFont(scale, 9));
    p.setPen(Qt::black);
    drawWrapped(p, QRectF(QPointF(x - 40 * k, 225 * k), QPointF(x + 60 * k, 273 * k)), caption,
                Qt::AlignBottom);
    p.setFont(font);

    const double cy = k * gaugeCursorY(fraction);
    p.setPen(plotPen(kGrey, 1.2));
    p.drawLine(QPointF(x - 5 * k, cy), QPointF(x + 25 * k, cy));
    p.setPen(Qt::black);
    const double base = cy + QFontMetricsF(font).height() / 3;
    if (!leftText.empty())
        drawTextAt(p, x - 8 * k, base, leftText, TextAlign::Right);
    if (!rightText.empty())
        drawTextAt(p, x + 28 * k, base, rightText, TextAlign::Left);
}

// The current-axis tick step: 10 mA, 20 mA above 0.2 A, 50 mA above 0.5 A.
double tickStep(double groupIamax) {
    if (groupIamax > 0.5)
        return 0.05;
    if (groupIamax > 0.2)
        return 0.02;
    return 0.01;
}
} // namespace

double dissipationFraction(const PowerData& d) {
    const double Pamax = d.tube ? d.tube->Pamax() : 0;
    const int n = std::max(d.n, 1);
    if (!(Pamax > 0))
        return 0;
    const double q = d.Va0 * 0.5 * d.Ia0 / (n * Pamax);
    return std::isfinite(q) ? std::clamp(q, 0.0, 1.0) : 0.0;
}

std::string dissipationText(double q, double watts) {
    if (q > 0.75)
        return "Fire !";
    if (q > 0.65)
        return "Red plates";
    if (q > 0.5)
        return "Too hot";
    return strFormat("%.1fW", watts);
}

int gaugeCursorY(double fraction) {
    const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    return 220 - static_cast<int>(std::lround(200 * f));
}

std::vector<FamilyCurve> pushPullAnodeFamily(const PowerData& d) {
    if (!d.tube)
        return {};
    return pushPullAnodeFamily(d.tube->constants(), d.Vgk, d.Vek, d.n, d.Vb);
}

std::optional<LoadEstimate> pushPullLoadEstimate(const PowerData& d) {
    if (d.cycles.empty())
        return std::nullopt;
    const TRecCycle& mid = d.cycles[(d.cycles.size() - 1) / 2];
    if (mid.PointsOper.size() < 138)
        return std::nullopt;
    const TPointOper& a = mid.PointsOper[117];
    const TPointOper& b = mid.PointsOper[137];
    const double di = b.ia1 - a.ia1;
    if (di == 0 || !std::isfinite(di))
        return std::nullopt;
    return LoadEstimate{std::fabs((b.va1 - a.va1) / di), QPointF(a.va1, a.ia1)};
}

QImage drawLoadlinePP(const PowerData& d, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    p.setFont(sansFont(scale));
    const QFontMetricsF fm(p.font());
    const double W = canvasSize(image).width(), H = canvasSize(image).height();
    const int n = std::max(d.n, 1);
    const double Iamax = d.tube ? d.tube->Iamax() : 0, Pamax = d.tube ? d.tube->Pamax() : 0;
    const double Vamax = d.tube ? d.tube->Vamax() : 0;
    const double Vb = d.Vb, Imax = d.currentMax();
    const LoadLineFrame f{W, H, Imax, 2 * Vb};
    const double Itop = safeScale(Imax), Vtop = 2 * safeScale(Vb);
    const double Ia = d.Ia0, Vak = d.Va0;
    LabelPlacer labels;

    // Title in its box, then the two gauges.
    const std::string name = d.tube ? d.tube->ModelName() : std::string();
    const double vgk = d.tube ? d.tube->Vgk() : d.Vgk;
    p.setPen(Qt::black);
    const double k = scale > 0 ? scale : 1.0; // box and gauge geometry grow with the screen density
    drawWrapped(p, QRectF(QPointF(W - 430 * k, 30 * k), QPointF(W - 280 * k, 330 * k)),
                QString::fromStdString(strFormat("Circuit \"C%d\" %dx%s Vak=%.0fV Vgbias=%.1fV Zaa=%.0fΩ",
                                                 d.circuit, 2 * n, name.c_str(), Vb, vgk, d.load)),
                Qt::AlignVCenter);
    const PowerStageSetup* stage = powerStageOf(d.circuit);
    const Gradient biasFill =
        !stage || stage->selfBiased
            ? Gradient{{{0, kLightGreen}, {0.5, kLightGreen}, {0.9, kViolet}, {1, kViolet}}}
            : Gradient{{{0, kLightGreen}, {0.2, kOrange}, {1, kRed}}};
    drawGauge(p, scale, W - 100 * k, biasFill, "Bias class 0%=B 50%=A 100%=heater", d.biasMode,
              biasClassName(d.biasMode), strFormat("%.0f%%", 100 * d.biasMode));
    const double q = dissipationFraction(d);
    drawGauge(p, scale, W - 200 * k, Gradient{{{0, kLightGreen}, {0.5, kYellow}, {1, kRed}}},
              QString::fromStdString(strFormat("Quiescent power per branch of %d tube(s)", n)), q,
              std::string(), dissipationText(q, Vak * Ia));
    for (double gx : {W - 100 * k, W - 200 * k})
        labels.reserve(QRectF(gx - 80 * k, 15 * k, 190 * k, 265 * k));

    // Voltage axis every 50 V up to twice the supply.
    p.setPen(plotPen(kGrey, 2));
    p.drawLine(f.at(0, 0), QPointF(f.x(Vtop) + 30, f.y(0)));
    p.setPen(Qt::black);
    drawTextAt(p, f.x(Vtop) + 30, H - 60, std::string("Vak"), TextAlign::Left);
    AxisTexts voltTexts;
    for (int k = 0; k < kMaxCurvePoints && 50.0 * k < 2 * Vb; ++k)
        voltTexts.draw(p, f.x(50.0 * k), H - 48, strFormat("%.0f", 50.0 * k), TextAlign::Centre);

    // Current axis in mA.
    p.setPen(plotPen(kGrey, 2));
    p.drawLine(f.at(0, 0), QPointF(60, f.y(Itop) - 30));
    p.setPen(Qt::black);
    drawTextAt(p, 60, f.y(Itop) - 34, std::string("Ia (mA)"), TextAlign::Centre);
    labels.draw(p, 58, f.y(Itop) + fm.ascent() / 3, strFormat("%.0f", 1000 * Imax), TextAlign::Right);
    const double step = tickStep(n * Iamax);
    for (int k = 1; k < kMaxCurvePoints && k * step < n * Iamax - step; ++k)
        labels.draw(p, 58, f.y(k * step) + fm.ascent() / 3, strFormat("%.0f", 1000 * k * step),
                    TextAlign::Right, true);

    // Limits of one side's n tubes.
    p.setPen(plotPen(kRed, 1));
    if (Iamax > 0) {
        p.drawLine(f.at(0, n * Iamax), f.at(Pamax / Iamax, n * Iamax));
        p.setPen(kRed);
        labels.draw(p, 2, f.y(n * Iamax) - 3, strFormat("%.0fmA", 1000 * n * Iamax), TextAlign::Left);
    }
    if (Vamax > 0) {
        p.setPen(plotPen(kRed, 1));
        p.drawLine(f.at(Vamax, 0), f.at(Vamax, n * Pamax / Vamax));
        p.setPen(kRed);
        labels.draw(p, f.x(Vamax), H - 36, strFormat("%0.0fV", Vamax), TextAlign::Centre);
    }
    const QPolygonF poly = toPixels(f, dissipationHyperbola(n * Pamax, n * Iamax, Vamax));
    if (poly.size() > 1) {
        p.setPen(plotPen(kRed, 1));
        p.drawPolyline(poly);
        p.setPen(kRed);
        labels.draw(p, poly.back().x() + 3, poly.back().y(), strFormat("%.0fW", n * Pamax), TextAlign::Left);
    }

    // The anode-curve family, in a smaller font.
    const QFont font = p.font();
    p.setFont(sansFont(scale, 9));
    for (const FamilyCurve& c : pushPullAnodeFamily(d)) {
        p.setPen(plotPen(kGrey, kFamilyWidth));
        p.drawPolyline(toPixels(f, c.points));
        p.setPen(kGrey);
        const double base = std::max(f.y(c.labelAt.I), QFontMetricsF(p.font()).ascent());
        labels.draw(p, f.x(c.labelAt.V), base, strFormat("Vg %.0fV", c.vgk), TextAlign::Left, true);
    }
    p.setFont(font);

    // Ideal load lines through the quiescent point: class A (Zaa/2 per side) and class B (Zaa/4).
    const QPointF qp = f.at(Vak, Ia);
    if (d.load > 0) {
        p.setPen(plotPen(kOrange, 0.3));
        p.drawLine(qp, f.at(Vak + Ia * d.load / 2, 0));
        p.drawLine(qp, f.at(Vak + Ia * d.load / 4, 0));
        p.setPen(plotPen(kOrange, 0.1));
        p.drawLine(qp, f.at(0, Ia + 2 * Vb / d.load));
        p.drawLine(qp, f.at(0, Ia + 4 * Vb / d.load));
    }

    // Dynamic loci of both tubes: the quiescent point, then the last sample of every cycle.
    if (!d.cycles.empty()) {
        QPolygonF locus1, locus2;
        locus1 << qp;
        locus2 << qp;
        for (const TRecCycle& c : d.cycles) {
            if (c.PointsOper.empty())
                continue;
            const TPointOper& e = c.PointsOper.back();
            locus1 << f.at(e.va1, e.ia1);
            locus2 << f.at(e.va2, e.ia2);
        }
        p.setPen(plotPen(kNavy, 2));
        p.drawPolyline(locus1);
        p.drawPolyline(locus2);
        p.setPen(kNavy);
        if (!d.cycles.back().PointsOper.empty()) {
            const TPointOper& e = d.cycles.back().PointsOper.back();
            labels.draw(p, f.x(e.va1) + 4, f.y(e.ia1),
                        strFormat("%.0fmA %.0fV %.1fV", 1000 * e.ia1, e.va1, e.vg1), TextAlign::Left);
            labels.draw(p, f.x(e.va2) + 4, f.y(e.ia2) - 4,
                        strFormat("%.0fmA %.0fV %.1fV", 1000 * e.ia2, e.va2, e.vg2), TextAlign::Left);
        }
    }

    // Quiescent point.
    p.setPen(plotPen(kNavy, 0.1));
    p.drawLine(f.at(0, Ia), qp);
    p.drawLine(f.at(Vak, 0), qp);
    p.setPen(kNavy);
    labels.draw(p, 57, qp.y() + fm.ascent() / 3, strFormat("%.0fmA", 1000 * Ia), TextAlign::Right);
    labels.draw(p, qp.x(), H - 30, strFormat("%0.0fV", Vak), TextAlign::Centre);
    labels.draw(p, qp.x() + 4, qp.y() - 4, strFormat("%.0fmA @ %.0fV %.1fV", 1000 * Ia, Vak, vgk),
                TextAlign::Left);

    if (const auto za = pushPullLoadEstimate(d))
        labels.draw(p, f.x(za->at.x()) + 4, f.y(za->at.y()) + fm.ascent(), strFormat("Za %.0fΩ", za->Za),
                    TextAlign::Left);
    p.end();
    return image;
}
