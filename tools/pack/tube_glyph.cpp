// Drawing the tube pictograms with QPainter.
#include "tube_glyph.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <algorithm>

void paintTubeEnvelope(QPainter& painter, const QRectF& rect) {
    painter.save();
    const double w = rect.width();
    const double h = rect.height();
    const double pen = std::max(1.0, w / 14.0);
    // Glass: a dome on a straight body, warm at the cathode.
    QPainterPath glass;
    const double dome = w / 2.0;
    glass.moveTo(rect.left(), rect.bottom());
    glass.lineTo(rect.left(), rect.top() + dome);
    glass.arcTo(QRectF(rect.left(), rect.top(), w, 2 * dome), 180, -180);
    glass.lineTo(rect.right(), rect.bottom());
    glass.closeSubpath();
    QLinearGradient warm(rect.topLeft(), rect.bottomLeft());
    warm.setColorAt(0.0, QColor(0xF4, 0xF7, 0xFB));
    warm.setColorAt(0.65, QColor(0xFF, 0xE9, 0xC4));
    warm.setColorAt(1.0, QColor(0xF7, 0xA8, 0x4A));
    painter.setBrush(warm);
    painter.setPen(QPen(QColor(0x33, 0x3A, 0x44), pen));
    painter.drawPath(glass);

    const QColor electrode(0x2B, 0x2F, 0x36);
    const double inset = w * 0.22;
    const double left = rect.left() + inset;
    const double right = rect.right() - inset;
    // Anode plate, drawn at every size.
    const double anodeY = rect.top() + h * 0.34;
    painter.fillRect(QRectF(left, anodeY, right - left, std::max(1.5, h * 0.06)), electrode);
    if (w >= 12) {
        // Grid as a dashed line, cathode as a bar with its lead, when there is room for them.
        QPen gridPen(electrode, pen * 0.8, Qt::DashLine);
        gridPen.setDashPattern({1.5, 1.5});
        painter.setPen(gridPen);
        const double gridY = rect.top() + h * 0.56;
        painter.drawLine(QPointF(left, gridY), QPointF(right, gridY));
        painter.setPen(QPen(QColor(0xC0, 0x3A, 0x10), pen));
        const double cathodeY = rect.top() + h * 0.76;
        painter.drawLine(QPointF(left + w * 0.08, cathodeY), QPointF(right - w * 0.08, cathodeY));
    }
    painter.restore();
}

void paintTubeEnvelopes(QPainter& painter, const QRectF& rect, int count) {
    count = std::clamp(count, 1, 4);
    const int columns = count == 4 ? 2 : count;
    const int rows = count == 4 ? 2 : 1;
    const double cellW = rect.width() / columns;
    const double cellH = rect.height() / rows;
    // Envelopes keep a 2:3 shape inside their cell.
    const double envW = std::min(cellW * 0.84, cellH * 0.92 * 2.0 / 3.0);
    const double envH = envW * 1.5;
    for (int i = 0; i < count; ++i) {
        const double cx = rect.left() + cellW * (i % columns + 0.5);
        const double cy = rect.top() + cellH * (i / columns + 0.5);
        paintTubeEnvelope(painter, QRectF(cx - envW / 2, cy - envH / 2, envW, envH));
    }
}

QImage tubeIcon(int count, int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double margin = side / 16.0;
    paintTubeEnvelopes(painter, QRectF(margin, margin, side - 2 * margin, side - 2 * margin), count);
    return image;
}
