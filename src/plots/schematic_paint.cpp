// Sheet controls painted on a schematic as the sheet shows them, and the text helpers of the painter.
#include "plots/schematic_paint.h"

#include "circuits/schematic_geometry.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPolygonF>
#include <QRectF>

using namespace schematic_geometry;

namespace {

const QColor kEditBackground(0xEB, 0xEB, 0xEB);
const QColor kFrame(0x9A, 0x9A, 0x9A);

QRectF rectOf(const SchematicRect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

// A text inside a rectangle, vertically centred, at its left (after a margin) or its right end.
void textIn(QPainter& p, const QRectF& r, const QString& text, Qt::Alignment horizontal, double margin = 0) {
    p.drawText(r.adjusted(margin, 0, -margin, 0),
               static_cast<int>(horizontal | Qt::AlignVCenter) | Qt::TextSingleLine, text);
}

// What a result label shows before the first solve: the quantity it will report, in brackets.
QString placeholder(const std::string& name) {
    std::string q = name.rfind("Label", 0) == 0 ? name.substr(5) : name;
    bool digits = !q.empty();
    for (char c : q)
        digits = digits && c >= '0' && c <= '9';
    return QString::fromStdString("(" + (digits || q.empty() ? std::string("\u2026") : q) + ")");
}

Qt::Alignment alignmentOf(const SchematicPlacement& pl) {
    switch (pl.align) {
    case SchematicTextAlign::Right:
        return Qt::AlignRight;
    case SchematicTextAlign::Centre:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

QColor schematicColour(std::uint32_t rrggbb) {
    return QColor((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

QFont schematicFont(const QPainter& painter, double points, bool bold, bool mono) {
    QFont font(mono ? "Noto Mono" : "Noto Sans");
    font.setStyleHint(mono ? QFont::Monospace : QFont::SansSerif);
    const QPaintDevice* device = painter.device();
    const double dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96.0;
    font.setPointSizeF(points * 96.0 / dpi);
    font.setBold(bold);
    return font;
}

void paintSchematicText(QPainter& painter, SchematicPoint p, const std::string& text,
                        SchematicTextAlign align, std::uint32_t rrggbb) {
    painter.save();
    painter.setFont(schematicFont(painter, kSheetPointSize));
    painter.setPen(schematicColour(rrggbb));
    const QString t = QString::fromStdString(text);
    const double w = QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(t);
    double left = p.x;
    if (align == SchematicTextAlign::Centre)
        left -= w / 2;
    else if (align == SchematicTextAlign::Right)
        left -= w;
    painter.drawText(QPointF(left, p.y), t);
    painter.restore();
}

void paintSchematicControl(QPainter& painter, const SchematicPlacement& pl, const SheetControl* value) {
    painter.save();
    const QColor colour = schematicColour(controlColour(pl.kind, pl.control));
    const QRectF widget = rectOf(pl.widgetRect());
    painter.setFont(schematicFont(painter, kSheetPointSize));
    switch (pl.kind) {
    case ControlKind::Edit: {
        painter.setPen(colour);
        textIn(painter, rectOf(pl.labelRect()), QString::fromStdString(pl.label), Qt::AlignRight,
               kLabelGap / 2.0);
        const QRectF box = widget.adjusted(0, 1, 0, -1);
        painter.fillRect(box, kEditBackground);
        painter.setFont(schematicFont(painter, kEditPointSize, true, true));
        textIn(painter, box, QString::fromStdString(value ? value->text : pl.text), Qt::AlignLeft, 3);
        break;
    }
    case ControlKind::Selector: {
        const QRectF box = widget.adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(kFrame);
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        const std::string shown = value && !value->selectedText().empty() ? value->selectedText() : pl.text;
        painter.setPen(Qt::black);
        painter.setFont(schematicFont(painter, kSheetPointSize, true));
        textIn(painter, box.adjusted(0, 0, -kSelectorArrow / 2.0, 0), QString::fromStdString(shown),
               Qt::AlignLeft, 4);
        const QPointF tip(box.right() - 9, box.center().y() + 2.5);
        QPolygonF arrow;
        arrow << tip << tip + QPointF(-4, -5) << tip + QPointF(4, -5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x40, 0x40, 0x40));
        painter.drawPolygon(arrow);
        break;
    }
    case ControlKind::CheckBox: {
        const QRectF square(widget.x() + 2.5, widget.center().y() - 6, 12, 12);
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.setBrush(Qt::white);
        painter.drawRect(square);
        if (value && value->checked) {
            QPen tick(Qt::black);
            tick.setWidthF(1.8);
            painter.setPen(tick);
            QPolygonF mark;
            mark << square.topLeft() + QPointF(2.5, 6) << square.topLeft() + QPointF(5, 9)
                 << square.topLeft() + QPointF(9.5, 3);
            painter.drawPolyline(mark);
        }
        // The caption starts where a check box widget draws it; the placement keeps some room beyond.
        painter.setPen(colour);
        textIn(painter, widget.adjusted(square.right() - widget.x() + 5, 0, 0, 0),
               QString::fromStdString(pl.text), Qt::AlignLeft);
        break;
    }
    case ControlKind::Caption:
        painter.setPen(colour);
        textIn(painter, widget, QString::fromStdString(pl.text), alignmentOf(pl), 1);
        break;
    case ControlKind::Label: {
        const bool solved = value && !value->text.empty();
        QFont font = painter.font();
        font.setItalic(!solved);
        painter.setFont(font);
        painter.setPen(solved ? colour : colour.lighter(150));
        textIn(painter, widget, solved ? QString::fromStdString(value->text) : placeholder(pl.control),
               alignmentOf(pl), 1);
        break;
    }
    }
    painter.restore();
}
