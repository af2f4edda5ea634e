// Drawing of the circuit icon and of the divider diagram.
#include "plots/tool_pictures.h"

#include "plots/plot_style.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

QImage drawTubeCountIcon(int tubes, int side) {
    tubes = std::clamp(tubes, 1, 4);
    side = std::max(side, 8);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int cols = tubes == 1 ? 1 : 2;
    const int rows = tubes <= 2 ? 1 : 2;
    const double cw = static_cast<double>(side) / cols;
    const double ch = static_cast<double>(side) / rows;
    const double pen = std::max(1.0, side / 32.0);
    for (int i = 0; i < tubes; ++i) {
        const double x = (i % cols) * cw, y = (i / cols) * ch;
        const double w = cw * 0.62, h = ch * 0.84;
        const QRectF glass(x + (cw - w) / 2, y + (ch - h) / 2, w, h);
        QPainterPath envelope;
        envelope.addRoundedRect(glass, w / 2, w / 2);
        p.fillPath(envelope, QColor(0xFF, 0xE8, 0xB0));
        p.setPen(QPen(QColor(0x70, 0x40, 0x10), pen));
        p.drawPath(envelope);
        // Anode plate, grid and glowing cathode.
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), pen));
        p.drawLine(QPointF(glass.left() + w * 0.25, glass.top() + h * 0.3),
                   QPointF(glass.right() - w * 0.25, glass.top() + h * 0.3));
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), pen * 0.7, Qt::DashLine));
        p.drawLine(QPointF(glass.left() + w * 0.2, glass.center().y()),
                   QPointF(glass.right() - w * 0.2, glass.center().y()));
        p.setPen(QPen(QColor(0xE0, 0x50, 0x10), pen * 1.5));
        p.drawLine(QPointF(glass.left() + w * 0.3, glass.bottom() - h * 0.28),
                   QPointF(glass.right() - w * 0.3, glass.bottom() - h * 0.28));
    }
    p.end();
    return image;
}

QImage drawDividerDiagram(QSize size) {
    QImage image = plotCanvas(size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double W = canvasSize(image).width(), H = canvasSize(image).height();
    const double x = W * 0.35;
    const double top = 14, bottom = H - 14;
    const double span = bottom - top;
    const double r1Top = top + span * (kDividerR1Level - 0.15),
                 r1Bottom = top + span * (kDividerR1Level + 0.15);
    const double tap = top + span * kDividerTapLevel;
    const double r2Top = top + span * (kDividerR2Level - 0.15),
                 r2Bottom = top + span * (kDividerR2Level + 0.15);
    const QPen wire(QColor(0x20, 0x20, 0x20), 1.5);
    p.setPen(wire);
    p.drawLine(QPointF(x, top), QPointF(x, r1Top));
    p.drawLine(QPointF(x, r1Bottom), QPointF(x, r2Top));
    p.drawLine(QPointF(x, r2Bottom), QPointF(x, bottom));
    p.drawLine(QPointF(x, tap), QPointF(W - 6, tap));
    p.drawLine(QPointF(x - 10, bottom), QPointF(x + 10, bottom));
    p.drawLine(QPointF(x - 6, bottom + 3), QPointF(x + 6, bottom + 3));
    p.drawLine(QPointF(x - 2, bottom + 6), QPointF(x + 2, bottom + 6));
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawEllipse(QPointF(x, tap), 2.5, 2.5);
    p.drawEllipse(QPointF(x, top), 2.5, 2.5);
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(x - 6, r1Top, 12, r1Bottom - r1Top));
    p.drawRect(QRectF(x - 6, r2Top, 12, r2Bottom - r2Top));
    QFont font("Noto Sans");
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(QColor(0x80, 0x00, 0x00));
    p.drawText(QPointF(x - 30, (r1Top + r1Bottom) / 2 + 4), QStringLiteral("R1"));
    p.drawText(QPointF(x - 30, (r2Top + r2Bottom) / 2 + 4), QStringLiteral("R2"));
    p.setPen(QColor(0xFF, 0x00, 0x00));
    p.drawText(QPointF(x + 8, top + 4), QStringLiteral("V1"));
    p.drawText(QPointF(x + 8, tap - 4), QStringLiteral("V2"));
    p.end();
    return image;
}
