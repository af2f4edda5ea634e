// Shared drawing helpers of the pictures: canvas, pens, colours, the chart font and text placed
// at a baseline with a horizontal anchor.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QSize>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

enum class TextAlign { Left, Right, Centre };

// Pixel height of the chart font for a display scale factor (1 at 96 dpi).
int plotFontPixels(double scale);
// "Noto Mono" at round(12 * scale) pixels.
QFont plotMonoFont(double scale);

// 0xRRGGBB, opaque.
QColor rgbColour(std::uint32_t rrggbb);
// 0xAARRGGBB.
QColor argbColour(std::uint32_t aarrggbb);

QPen plotPen(const QColor& colour, double width);

// Pictures for a screen with `ratio` device pixels per logical pixel (a HiDPI screen): while one of
// these lives on the thread, every canvas holds ratio × its size in pixels, carries that device pixel
// ratio and is painted in logical pixels, so a picture is laid out as at 96 dpi and as sharp as the
// screen. Without one the ratio is 1.
class PlotDeviceRatio {
public:
    explicit PlotDeviceRatio(double ratio);
    ~PlotDeviceRatio();
    PlotDeviceRatio(const PlotDeviceRatio&) = delete;
    PlotDeviceRatio& operator=(const PlotDeviceRatio&) = delete;
    static double current();

private:
    double previous_;
};

// A 32-bit canvas of the size in logical pixels, filled with the background (sizes below 1 pixel
// become 1); see PlotDeviceRatio. An opaque background gives an RGB canvas (no alpha to blend, and
// PNG files of three channels), any other a premultiplied ARGB one (which the raster engine paints
// many times faster than plain ARGB32).
QImage plotCanvas(QSize size, const QColor& background = Qt::white);
// The size of a canvas in logical pixels.
QSize canvasSize(const QImage& image);
// Starts painting with antialiasing and the chart font.
void beginPlot(QPainter& painter, QImage& image, double scale);

// Text whose baseline passes through y; x is its left edge, right edge or centre. A text anchored on
// the canvas that would stick out of it sideways is moved back inside it.
void drawTextAt(QPainter& painter, double x, double baselineY, const QString& text, TextAlign align);
inline void drawTextAt(QPainter& painter, double x, double baselineY, const std::string& text,
                       TextAlign align) {
    drawTextAt(painter, x, baselineY, QString::fromStdString(text), align);
}
// Text whose top edge is at y (for texts anchored by a corner).
void drawTextTop(QPainter& painter, double x, double topY, const QString& text, TextAlign align);

// A text on one line at a baseline, its font shrunk (down to 8 pixels) until it fits the width.
void drawTextFitted(QPainter& painter, double x, double baselineY, const std::string& text, double maxWidth);

// Places labels so that they do not overlap: each is tried at its own place, then moved up or down
// by a line at a time (up to two lines with dropWhenCrowded, else four); a label that finds no
// free place is drawn where it was asked, or left out when dropWhenCrowded is set.
class LabelPlacer {
public:
    // Marks an area (a title, an axis text) that labels must avoid.
    void reserve(const QRectF& area) { taken_.push_back(area); }
    // Draws a text that stays where it is (a title line) and marks its area.
    void drawFixed(QPainter& painter, double x, double baselineY, const std::string& text, TextAlign align);
    void draw(QPainter& painter, double x, double baselineY, const std::string& text, TextAlign align,
              bool dropWhenCrowded = false);

private:
    std::vector<QRectF> taken_;
};

// The full value of a scale: a zero or negative limit (a model without limits) gives a scale of 1
// so that the frame keeps its size and nothing divides by zero.
inline double safeScale(double v) {
    return v > 0 ? v : 1.0;
}
