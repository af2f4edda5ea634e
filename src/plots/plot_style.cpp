// Canvas, pens, colours and text placement shared by every picture.
#include "plots/plot_style.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

int plotFontPixels(double scale) {
    const long px = std::lround(12 * (scale > 0 ? scale : 1.0));
    return static_cast<int>(std::max(1L, px));
}

QFont plotMonoFont(double scale) {
    QFont font("Noto Mono");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(plotFontPixels(scale));
    return font;
}

QColor rgbColour(std::uint32_t rrggbb) {
    return QColor((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

QColor argbColour(std::uint32_t aarrggbb) {
    return QColor((aarrggbb >> 16) & 0xFF, (aarrggbb >> 8) & 0xFF, aarrggbb & 0xFF, (aarrggbb >> 24) & 0xFF);
}

QPen plotPen(const QColor& colour, double width) {
    QPen pen(colour);
    pen.setWidthF(width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

namespace {
thread_local double deviceRatio = 1.0;
}

PlotDeviceRatio::PlotDeviceRatio(double ratio) : previous_(deviceRatio) {
    deviceRatio = ratio > 0 && std::isfinite(ratio) ? ratio : 1.0;
}

PlotDeviceRatio::~PlotDeviceRatio() {
    deviceRatio = previous_;
}

double PlotDeviceRatio::current() {
    return deviceRatio;
}

QImage plotCanvas(QSize size, const QColor& background) {
    const double r = deviceRatio;
    QImage image(std::max(1, static_cast<int>(std::lround(size.width() * r))),
                 std::max(1, static_cast<int>(std::lround(size.height() * r))),
                 background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(r);
    image.fill(background);
    return image;
}

QSize canvasSize(const QImage& image) {
    const QSizeF s = image.deviceIndependentSize();
    return QSize(static_cast<int>(std::lround(s.width())), static_cast<int>(std::lround(s.height())));
}

void beginPlot(QPainter& painter, QImage& image, double scale) {
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(plotMonoFont(scale));
}

namespace {
// Left edge of the text, kept within the canvas when the text is narrower than it.
double alignedLeft(const QPainter& painter, const QFontMetricsF& fm, double x, const QString& text,
                   TextAlign align) {
    const double w = fm.horizontalAdvance(text);
    double left = x;
    if (align == TextAlign::Right)
        left = x - w;
    else if (align == TextAlign::Centre)
        left = x - w / 2;
    // Only a text anchored on the canvas is pulled back inside it; one anchored off the canvas
    // (a limit beyond the axis) stays off it.
    const QPaintDevice* device = painter.device();
    const double width = device ? device->width() / device->devicePixelRatioF() : 0;
    if (device && x >= 0 && x <= width) {
        if (left + w > width - 1)
            left = width - 1 - w;
        if (left < 0)
            left = 0;
    }
    return left;
}
} // namespace

void drawTextAt(QPainter& painter, double x, double baselineY, const QString& text, TextAlign align) {
    const QFontMetricsF fm(painter.font());
    painter.drawText(QPointF(alignedLeft(painter, fm, x, text, align), baselineY), text);
}

void drawTextTop(QPainter& painter, double x, double topY, const QString& text, TextAlign align) {
    const QFontMetricsF fm(painter.font());
    painter.drawText(QPointF(alignedLeft(painter, fm, x, text, align), topY + fm.ascent()), text);
}

void drawTextFitted(QPainter& painter, double x, double baselineY, const std::string& text, double maxWidth) {
    const QString s = QString::fromStdString(text);
    const QFont original = painter.font();
    QFont font = original;
    while (font.pixelSize() > 8 && QFontMetricsF(font).horizontalAdvance(s) > maxWidth)
        font.setPixelSize(font.pixelSize() - 1);
    painter.setFont(font);
    drawTextAt(painter, x, baselineY, s, TextAlign::Left);
    painter.setFont(original);
}

void LabelPlacer::drawFixed(QPainter& painter, double x, double baselineY, const std::string& text,
                            TextAlign align) {
    const QString s = QString::fromStdString(text);
    const QFontMetricsF fm(painter.font());
    reserve(QRectF(alignedLeft(painter, fm, x, s, align), baselineY - fm.ascent(), fm.horizontalAdvance(s),
                   fm.ascent() + fm.descent()));
    drawTextAt(painter, x, baselineY, s, align);
}

void LabelPlacer::draw(QPainter& painter, double x, double baselineY, const std::string& text,
                       TextAlign align, bool dropWhenCrowded) {
    const QString s = QString::fromStdString(text);
    const QFontMetricsF fm(painter.font());
    const double left = alignedLeft(painter, fm, x, s, align);
    const double w = fm.horizontalAdvance(s), line = fm.height();
    const auto rectAt = [&](double base) {
        return QRectF(left, base - fm.ascent(), w, fm.ascent() + fm.descent());
    };
    // Another place is only taken where the whole label stays on the canvas.
    const QPaintDevice* device = painter.device();
    const double canvasHeight = device ? device->height() / device->devicePixelRatioF() : 0;
    const auto onCanvas = [&](const QRectF& r) {
        return !device || (r.top() >= 0 && r.bottom() <= canvasHeight);
    };
    double chosen = baselineY;
    bool placed = false;
    // A label that may be left out stays within two lines of its curve; one that must be shown
    // (a scale text, a curve's voltage beside a crowded scale) may go four lines away.
    const double farthest = dropWhenCrowded ? 2 : 4;
    for (double shift : {0.0, -1.0, 1.0, -2.0, 2.0, -3.0, 3.0, -4.0, 4.0}) {
        if (std::fabs(shift) > farthest)
            break;
        const QRectF r = rectAt(baselineY + shift * line);
        bool free = shift == 0 || onCanvas(r);
        for (const QRectF& t : taken_)
            free = free && !t.intersects(r);
        if (free) {
            chosen = baselineY + shift * line;
            placed = true;
            break;
        }
    }
    if (!placed && dropWhenCrowded)
        return;
    taken_.push_back(rectAt(chosen));
    painter.drawText(QPointF(left, chosen), s);
}
