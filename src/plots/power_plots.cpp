// The output-power plot and the single-ended load-line plot of a power stage.
#include "plots/power_plots.h"

#include "circuits/catalogue.h"
#include "plots/load_line_plot.h"
#include "plots/plot_style.h"
#include "plots/power_plot_style.h"
#include "solver/distortion.h"
#include "util/format.h"

#include <QFontMetricsF>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

using namespace power_style;

namespace {
constexpr int kMaxGridLines = 1000;

// A scale's full value: a zero, negative-zero or non-finite value becomes 1 (a negative one, the
// push-pull swing, keeps its sign).
double nonZero(double v) {
    return std::isfinite(v) && v != 0 ? v : 1.0;
}

double dBm(double watts) {
    return 10 * std::log10(1000 * watts);
}
} // namespace

QFont power_style::sansFont(double scale, int px) {
    QFont font("Noto Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(px * (scale > 0 ? scale : 1.0)))));
    return font;
}

void power_style::drawWrapped(QPainter& painter, const QRectF& box, const QString& text,
                              Qt::Alignment vertical) {
    painter.drawText(box, static_cast<int>(Qt::AlignLeft | vertical) | Qt::TextWordWrap | Qt::TextDontClip,
                     text);
}

std::optional<QRectF> power_style::AxisTexts::draw(QPainter& painter, double x, double baselineY,
                                                   const std::string& text, TextAlign align) {
    const QFontMetricsF fm(painter.font());
    const QString s = QString::fromStdString(text);
    const double w = fm.horizontalAdvance(s);
    const double left = align == TextAlign::Right ? x - w : align == TextAlign::Centre ? x - w / 2 : x;
    const QRectF r(left, baselineY - fm.ascent(), w, fm.ascent() + fm.descent());
    if (last_ && last_->adjusted(-3, -1, 3, 1).intersects(r))
        return std::nullopt;
    last_ = r;
    drawTextAt(painter, x, baselineY, s, align);
    return r;
}

std::string powerCircuitLine(int circuit) {
    const PowerStageSetup* stage = powerStageOf(circuit);
    return stage ? strFormat("C%d %s", circuit, stage->line.c_str()) : std::string();
}

std::string powerPlotTitle(const PowerData& d) {
    const std::string name = d.tube ? d.tube->ModelName() : std::string();
    const double vgk = d.tube ? d.tube->Vgk() : d.Vgk;
    return strFormat("%s %dx%s %.0fV %.0fV %.0fΩ", powerCircuitLine(d.circuit).c_str(), d.n, name.c_str(),
                     d.Vb, vgk, d.load);
}

QImage drawPower(const PowerData& d, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale);
    p.setFont(sansFont(scale));
    const QFontMetricsF fm(p.font());
    const double W = canvasSize(image).width(), H = canvasSize(image).height();
    const double Smax = d.swingMax(), Pmax = d.powerMax();
    const double S = nonZero(Smax), P = Pmax > 0 && std::isfinite(Pmax) ? Pmax : 1.0;
    const auto x = [&](double s) { return 60 + (W - 120) * s / S; };
    const auto y = [&](double w) { return 60 + (H - 120) * (P - w) / P; };
    LabelPlacer labels;

    p.setPen(Qt::black);
    labels.drawFixed(p, W - 60, 30, powerPlotTitle(d), TextAlign::Right);
    if (!d.caption.empty())
        labels.drawFixed(p, W - 60, 30 + fm.lineSpacing(), d.caption, TextAlign::Right);

    // Swing axis; with no swing at all it spans the frame.
    p.setPen(plotPen(kGrey, 2));
    p.drawLine(QPointF(x(0), y(0)), QPointF(x(S), y(0)));
    p.setPen(Qt::black);
    drawTextAt(p, W / 2, H - 30, std::string("Grid swing (V), peak"), TextAlign::Centre);
    labels.draw(p, x(S) + 2, H - 57, strFormat("%0.0fV", Smax), TextAlign::Left);

    // Power axis, its maximum in watts and in dBm.
    p.setPen(plotPen(kGrey, 2));
    p.drawLine(QPointF(x(0), y(0)), QPointF(x(0), y(P)));
    p.setPen(Qt::black);
    drawTextAt(p, 60, 30, std::string("Power (W,dBm)"), TextAlign::Centre);
    p.setPen(kMaroon);
    labels.draw(p, 55, 60, strFormat("%0.1fW", Pmax), TextAlign::Right);
    if (Pmax > 0) {
        p.setPen(kViolet);
        labels.draw(p, 65, 60, strFormat("%0.1fdBm", dBm(Pmax)), TextAlign::Left);
    }

    // One vertical line per cycle, every fifth one numbered.
    AxisTexts cycleTexts, wattTexts;
    for (std::size_t i = 0; i < d.cycles.size(); ++i) {
        const double xi = x(d.cycles[i].swing);
        const bool fifth = i % 5 == 0;
        p.setPen(plotPen(kGrey, fifth ? 1 : 0.1));
        p.drawLine(QPointF(xi, y(0)), QPointF(xi, y(P)));
        if (fifth) {
            p.setPen(Qt::black);
            cycleTexts.draw(p, xi, H - 48, strFormat("%.d", static_cast<int>(i)), TextAlign::Centre);
        }
    }

    // A line per watt, every fifth one stronger and labelled.
    const long watts = std::min<long>(std::lround(Pmax > 0 ? Pmax : 0), kMaxGridLines);
    for (long N = 1; N <= watts - 1; ++N) {
        const double yN = y(static_cast<double>(N));
        p.setPen(plotPen(kGrey, 0.3));
        p.drawLine(QPointF(x(0), yN), QPointF(x(S), yN));
        const bool fifth = N % 5 == 0;
        p.setPen(plotPen(kGrey, fifth ? 1 : 0.1));
        p.drawLine(QPointF(x(0), yN), QPointF(x(S), yN));
        if (fifth) {
            p.setPen(kMaroon);
            if (yN - 60 >= fm.height()) // clear of the maximum's label
                if (const auto r = wattTexts.draw(p, 55, yN + fm.ascent() / 3,
                                                  strFormat("%.dW", static_cast<int>(N)), TextAlign::Right))
                    labels.reserve(*r);
        }
    }
    if (d.cycles.empty()) {
        p.end();
        return image;
    }

    // Total harmonic distortion of the current (the primary's for a push-pull pair) on the scale of
    // its largest value, under the other curves; its label comes after theirs.
    const std::vector<Harmonics> harmonics = powerHarmonics(d);
    double thdMax = 0;
    for (const Harmonics& h : harmonics)
        if (h.resolved)
            thdMax = std::max(thdMax, h.thd);
    const auto yt = [&](double t) { return 60 + (H - 120) * (1 - t / thdMax); };
    if (thdMax > 0 && std::isfinite(thdMax)) {
        QPolygonF thd;
        for (std::size_t i = 0; i < d.cycles.size(); ++i)
            if (harmonics[i].resolved)
                thd << QPointF(x(d.cycles[i].swing), yt(harmonics[i].thd));
        p.setPen(plotPen(kTeal, 1.5));
        p.drawPolyline(thd);
    }

    // Output power in watts and in dBm.
    QPolygonF power, decibels;
    const double dmax = Pmax > 0 ? dBm(Pmax) : 0;
    for (std::size_t i = 0; i < d.cycles.size(); ++i) {
        const TRecCycle& c = d.cycles[i];
        power << QPointF(x(c.swing), y(c.Psec));
        if (i >= 1 && dmax > 0) {
            const double db = c.Psec > 0 ? std::max(dBm(c.Psec), 0.0) : 0.0;
            decibels << QPointF(x(c.swing), 60 + (H - 120) * (dmax - db) / dmax);
        }
    }
    p.setPen(plotPen(kMaroon, 2));
    p.drawPolyline(power);
    p.setPen(plotPen(kViolet, 1));
    if (decibels.size() > 1)
        p.drawPolyline(decibels);

    // Mean anode (and screen) current on the scale of the largest mean anode current.
    double Imax = 0, IemMax = 0, Ymax = 0;
    for (const TRecCycle& c : d.cycles) {
        Imax = std::max(Imax, c.Imoy);
        IemMax = std::max(IemMax, c.Iem);
        Ymax = std::max(Ymax, c.Y);
    }
    const double I = safeScale(Imax);
    const auto yi = [&](double a) { return 60 + (H - 120) * (I - a) / I; };
    const auto ye = [&](double e) { return 60 + (H - 120) * (1 - e); };
    QPolygonF anode, screen, yield;
    for (const TRecCycle& c : d.cycles) {
        anode << QPointF(x(c.swing), yi(c.Imoy));
        screen << QPointF(x(c.swing), yi(c.Iem));
        yield << QPointF(x(c.swing), ye(c.Y));
    }
    p.setPen(plotPen(kGreen, 1));
    p.drawPolyline(anode);
    labels.draw(p, W - 58, 60, strFormat("Ia %0.0fmA", 1000 * Imax), TextAlign::Left);
    const double I0 = d.cycles.front().Imoy;
    labels.draw(p, 55, yi(I0) + fm.ascent() / 3, strFormat("%0.0fmA", 1000 * I0), TextAlign::Right);
    if (d.tube && d.tube->t35() == 5) {
        p.drawPolyline(screen);
        labels.draw(p, W - 58, yi(IemMax), strFormat("G2 %0.0fmA", 1000 * IemMax), TextAlign::Left);
    }
    p.setPen(plotPen(kNavy, 1));
    p.drawPolyline(yield);
    labels.draw(p, W - 58, ye(Ymax), strFormat("η %.0f%%", 100 * Ymax), TextAlign::Left);

    if (thdMax > 0 && std::isfinite(thdMax)) {
        p.setPen(kTeal);
        labels.draw(p, W - 58, yt(thdMax), strFormat("THD %.1f%%", 100 * thdMax), TextAlign::Left);
    }
    p.end();
    return image;
}

QImage drawLoadlineSE(const PowerData& d, QSize size, double scale) {
    QImage image = plotCanvas(size);
    QPainter p;
    beginPlot(p, image, scale); // "Noto Mono"
    const double W = canvasSize(image).width(), H = canvasSize(image).height();
    const int n = std::max(d.n, 1);
    const double Iamax = d.tube ? d.tube->Iamax() : 0, Pamax = d.tube ? d.tube->Pamax() : 0;
    const double Vamax = d.tube ? d.tube->Vamax() : 0;
    const double Imax = n * Iamax, Vb = d.Vb;
    const LoadLineFrame f{W, H, Imax, 2 * Vb};
    const double Itop = safeScale(Imax), Vtop = 2 * safeScale(Vb);
    LabelPlacer labels;

    p.setPen(Qt::black);
    const std::string ref = d.tube ? d.tube->Reference() : std::string();
    const std::string name = d.tube ? d.tube->ModelName() : std::string();
    drawTextAt(p, W - 60, 30, strFormat("%s  %dx%s %.0fΩ", ref.c_str(), n, name.c_str(), d.load),
               TextAlign::Right);

    // Axes: the voltage up to twice the supply, the current up to the group's limit.
    p.setPen(plotPen(kGrey, 2));
    p.drawLine(f.at(0, 0), QPointF(f.x(Vtop) + 30, f.y(0)));
    p.drawLine(f.at(0, 0), QPointF(60, f.y(Itop) - 30));
    p.setPen(Qt::black);
    drawTextAt(p, f.x(Vtop) + 30, H - 60, std::string("Vak"), TextAlign::Left);
    labels.draw(p, f.x(Vtop), H - 48, strFormat("%0.0fV", 2 * Vb), TextAlign::Left);
    labels.draw(p, f.x(Vtop / 2), H - 48, strFormat("%0.0fV", Vb), TextAlign::Centre);
    drawTextAt(p, 60, f.y(Itop) - 30, std::string("Ia"), TextAlign::Centre);

    // The group's quiescent point and the AC load line through it.
    const double Ia = d.Ia0, Vak = d.Va0;
    if (d.load > 0) {
        p.setPen(plotPen(kOrange, 1.5));
        p.drawLine(QPointF(60, f.y(Ia + Vak / d.load)), QPointF(f.x(Vak + d.load * Ia), H - 60));
        labels.draw(p, f.x(Vak) + 5, f.y(Ia) - 10, strFormat("Z=%.0fΩ", d.load), TextAlign::Left);
    }

    // Limits of the group of n tubes.
    p.setPen(plotPen(kRed, 0.4));
    if (Iamax > 0) {
        p.drawLine(f.at(0, Imax), f.at(Pamax / Iamax, Imax));
        labels.draw(p, 57, f.y(Imax) + 4, strFormat("%.0fmA", 1000 * Imax), TextAlign::Right);
    }
    if (Vamax > 0) {
        p.drawLine(f.at(Vamax, 0), f.at(Vamax, n * Pamax / Vamax));
        labels.draw(p, f.x(Vamax), H - 48, strFormat("%0.0fV", Vamax), TextAlign::Centre);
    }
    const QPolygonF hyperbola = toPixels(f, dissipationHyperbola(n * Pamax, Imax, Vamax));
    if (hyperbola.size() > 1)
        p.drawPolyline(hyperbola);

    // Anode curves of the group at the operating bias and at 0 V.
    if (d.tube) {
        const struct {
            QColor colour;
            double vgk;
        } curves[] = {{kNavy, d.Vgk}, {kMaroon, 0.0}};
        for (const auto& c : curves) {
            const std::vector<VIPoint> pts =
                groupAnodeCurve(d.tube->constants(), c.vgk, d.Vek, n, 2 * Vb, Imax, n * Pamax);
            p.setPen(plotPen(c.colour, 1.4));
            p.drawPolyline(toPixels(f, pts));
            // A curve that shoots past the scale keeps its label on the canvas; the label stands
            // where the next point would.
            const double base = std::clamp(f.y(pts.back().I) + 12, QFontMetricsF(p.font()).ascent(), H - 2);
            labels.draw(p, f.x(pts.back().V + 2), base, strFormat("Vg=%0.1fV", c.vgk), TextAlign::Left);
        }
    }

    // Quiescent point of the group.
    p.setPen(plotPen(kNavy, 0.2));
    p.drawLine(f.at(0, Ia), f.at(Vak, Ia));
    p.drawLine(f.at(Vak, 0), f.at(Vak, Ia));
    labels.draw(p, 57, f.y(Ia) + 4, strFormat("%.0fmA", 1000 * Ia), TextAlign::Right);
    labels.draw(p, f.x(Vak), H - 30, strFormat("%0.0fV", Vak), TextAlign::Centre);
    p.end();
    return image;
}
