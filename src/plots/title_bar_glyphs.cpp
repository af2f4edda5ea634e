// Title-strip glyphs: lines a little over one pixel wide on a transparent square.
#include "plots/title_bar_glyphs.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

QImage drawTitleGlyph(TitleGlyph glyph, int side, double scale, QColor colour) {
    const double k = scale > 0 && std::isfinite(scale) ? scale : 1.0;
    const int pixels = std::max(1, static_cast<int>(std::lround(side * k)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(k);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour);
    pen.setWidthF(std::max(1.0, side / 14.0));
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    const double s = side, m = s * 0.28; // margin around the drawing
    const QRectF box(m, m, s - 2 * m, s - 2 * m);
    switch (glyph) {
    case TitleGlyph::Close:
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
        break;
    case TitleGlyph::Maximise:
        p.drawRect(box);
        break;
    case TitleGlyph::Restore: {
        const double d = box.width() * 0.25;
        const QRectF front = box.adjusted(0, d, -d, 0);
        p.drawRect(front);
        p.drawPolyline(QPolygonF({QPointF(box.left() + d, front.top()), QPointF(box.left() + d, box.top()),
                                  box.topRight(), QPointF(box.right(), front.bottom() - d),
                                  QPointF(front.right(), front.bottom() - d)}));
        break;
    }
    case TitleGlyph::Minimise:
        p.drawLine(QPointF(box.left(), box.center().y() + box.height() * 0.25),
                   QPointF(box.right(), box.center().y() + box.height() * 0.25));
        break;
    case TitleGlyph::Menu: {
        QPen bar = pen;
        bar.setWidthF(pen.widthF() * 1.6);
        bar.setCapStyle(Qt::RoundCap);
        p.setPen(bar);
        for (double f : {0.1, 0.5, 0.9}) {
            const double y = box.top() + f * box.height();
            p.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
        }
        break;
    }
    case TitleGlyph::LayoutHor:
    case TitleGlyph::LayoutVert: {
        const QRectF frame(s * 0.15, s * 0.2, s * 0.7, s * 0.6);
        p.drawRect(frame);
        p.setBrush(colour);
        if (glyph == TitleGlyph::LayoutHor)
            p.drawRect(QRectF(frame.left(), frame.top(), frame.width(), frame.height() * 0.35));
        else
            p.drawRect(QRectF(frame.left(), frame.top(), frame.width() * 0.35, frame.height()));
        break;
    }
    }
    return image;
}
