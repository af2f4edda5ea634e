// Pictures of a circuit drawn from its catalogue entry alone: the stand-in schematic and the thumbnail.
#include "circuit_pictures.h"
#include "tube_glyph.h"

#include "circuits/catalogue.h"

#include <QFont>
#include <QPainter>

namespace {
QFont font(int pixels, bool bold) {
    QFont f("Noto Sans");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The circuit's family: its first category that is not "All" nor a tube count.
QString family(const CircuitInfo& info) {
    for (const std::string& c : info.categories)
        if (c != "All" && c.find("-tube") == std::string::npos)
            return QString::fromStdString(c);
    return {};
}

QImage whiteCanvas(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}
} // namespace

QImage titleSchematic(int circuit) {
    const CircuitInfo& info = circuitInfo(circuit);
    QImage image = whiteCanvas(QSize(720, 480));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x70, 0x10, 0x10), 2));
    p.drawRect(QRectF(10, 10, 700, 460));
    p.setFont(font(28, true));
    p.drawText(QRectF(30, 30, 660, 50), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(info.code));
    p.setPen(QColor(0x20, 0x20, 0x20));
    p.setFont(font(22, false));
    p.drawText(QRectF(30, 90, 660, 80), Qt::AlignLeft | Qt::TextWordWrap, QString::fromStdString(info.title));
    paintTubeEnvelopes(p, QRectF(260, 190, 200, 220), info.tubeCount);
    return image;
}

QImage pictogramThumbnail(int circuit) {
    const CircuitInfo& info = circuitInfo(circuit);
    QImage image = whiteCanvas(kThumbnailSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 1));
    p.drawRect(QRectF(0.5, 0.5, kThumbnailSize.width() - 1, kThumbnailSize.height() - 1));
    p.setPen(QColor(0x70, 0x10, 0x10));
    p.setFont(font(18, true));
    p.drawText(QRectF(6, 4, 60, 24), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(info.code));
    paintTubeEnvelopes(p, QRectF(58, 6, 64, 64), info.tubeCount);
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.setFont(font(11, false));
    p.drawText(QRectF(4, 72, kThumbnailSize.width() - 8, 20), Qt::AlignCenter, family(info));
    return image;
}
