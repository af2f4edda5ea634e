// Drawing helpers shared by the power-stage pictures: their sans font, colours and boxed text.
#pragma once

#include "plots/plot_style.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <optional>
#include <string>

namespace power_style {
inline const QColor kGrey(128, 128, 128);
inline const QColor kLightGrey(192, 192, 192);
inline const QColor kRed(255, 0, 0);
inline const QColor kOrange(255, 127, 0);
inline const QColor kMaroon(128, 0, 0);
inline const QColor kViolet(127, 0, 255);
inline const QColor kGreen(0, 128, 0);
inline const QColor kNavy(0, 0, 128);
inline const QColor kTeal(0, 140, 140);
inline const QColor kLightGreen(0, 255, 0);
inline const QColor kYellow(255, 255, 0);

// "Noto Sans" at round(px·scale) pixels (at least 1).
QFont sansFont(double scale, int px = 12);

// Word-wrapped text inside a box, left-aligned, placed vertically by alignment (AlignVCenter,
// AlignBottom).
void drawWrapped(QPainter& painter, const QRectF& box, const QString& text, Qt::Alignment vertical);
// Texts along an axis drawn in order, each left out when it would touch the last one drawn (a
// scale crowded by many cycles, watts or volts stays readable).
class AxisTexts {
public:
    // The area of the text when it was drawn.
    std::optional<QRectF> draw(QPainter& painter, double x, double baselineY, const std::string& text,
                               TextAlign align);

private:
    std::optional<QRectF> last_;
};
} // namespace power_style
