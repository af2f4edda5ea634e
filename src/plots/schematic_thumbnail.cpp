// Drawing a schematic as a thumbnail: the symbols' bounds fitted into the picture, pens widened so that
// a line stays about one and a half pixels wide once shrunk, the texts of the sheet left out.
#include "plots/schematic_thumbnail.h"

#include "circuits/schematic_geometry.h"
#include "plots/schematic_paint.h"
#include "plots/schematic_plot.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace schematic_geometry;

namespace {
constexpr double kDotsPerMetreAt96Dpi = 3779.5;
constexpr double kStrokePixels = 1.4;    // a symbol's line in the thumbnail, in logical pixels
constexpr double kTubeNamePixels = 10.5; // tube names in the thumbnail, in logical pixels
constexpr double kCodePixels = 13;
constexpr double kTubeScale = 1.3; // envelopes larger than on the sheet, so that they read as tubes
constexpr double kMargin = 4;

// How far a symbol reaches around its anchor points.
double reach(const SchematicSymbol& s) {
    switch (s.kind) {
    case SymbolKind::Triode:
        return kTriodeRadius * kTubeScale + 2;
    case SymbolKind::Pentode:
        return kPentodeRadius * kTubeScale + 2;
    case SymbolKind::Transformer:
        return kPrimaryHalf + 2;
    case SymbolKind::Ground:
    case SymbolKind::Supply:
        return 13;
    case SymbolKind::Speaker:
        return kSpeakerHalfWidth + kSpeakerCone + 2;
    case SymbolKind::Text:
        return 0; // texts are not drawn
    default:
        return 10;
    }
}
} // namespace

QRectF schematicSymbolBounds(const Schematic& s) {
    QRectF bounds;
    for (const SchematicSymbol& sym : s.symbols) {
        const double r = reach(sym);
        if (sym.kind == SymbolKind::Text)
            continue;
        for (const SchematicPoint& p : sym.points) {
            const QRectF around(p.x - r, p.y - r, 2 * r, 2 * r);
            bounds = bounds.isNull() ? around : bounds.united(around);
        }
    }
    if (bounds.isNull())
        return QRectF(0, 0, std::max(1, s.width), std::max(1, s.height));
    return bounds.intersected(QRectF(0, 0, s.width, s.height));
}

QImage drawSchematicThumbnail(const Schematic& s, const std::string& code, QSize size, double scale) {
    const double k = scale > 0 && std::isfinite(scale) ? scale : 1.0;
    // Opaque (white under everything): an RGB canvas, nothing to blend.
    QImage image(std::max(1, static_cast<int>(std::lround(size.width() * k))),
                 std::max(1, static_cast<int>(std::lround(size.height() * k))), QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(kDotsPerMetreAt96Dpi * k)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(kDotsPerMetreAt96Dpi * k)));
    image.fill(Qt::white);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(k, k);

    // The code's corner is kept clear: the drawing sits below the code's line when that costs little.
    QFont codeFont(QStringLiteral("Noto Sans"));
    codeFont.setPixelSize(static_cast<int>(kCodePixels));
    codeFont.setBold(true);
    const double codeHeight = kCodePixels + 3;

    const QRectF bounds = schematicSymbolBounds(s);
    const QRectF area(kMargin, kMargin + codeHeight * 0.6, size.width() - 2 * kMargin,
                      size.height() - 2 * kMargin - codeHeight * 0.6);
    const double fit = std::min(area.width() / bounds.width(), area.height() / bounds.height());
    SchematicLook look;
    look.stroke = kStrokePixels / (fit * 1.5);
    look.texts = false;
    look.tubeNameSize = kTubeNamePixels / fit;
    look.junctionScale = std::max(1.0, 0.8 * look.stroke);
    look.tubeScale = kTubeScale;

    p.save();
    p.translate(area.center());
    p.scale(fit, fit);
    p.translate(-bounds.center());
    paintSchematicSymbols(p, s, look);
    p.restore();

    p.setFont(codeFont);
    p.setPen(QColor(0x70, 0x10, 0x10));
    p.drawText(QRectF(kMargin, 2, size.width() / 2.0, codeHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(code));
    return image;
}

double pictureScale(const QImage& image) {
    // In quarter steps: a resolution stored in whole dots per metre is never exactly 96 dpi times k.
    return std::max(1.0, std::round(4 * image.dotsPerMeterX() / kDotsPerMetreAt96Dpi) / 4);
}
