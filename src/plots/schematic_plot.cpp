// Paints schematic symbols: wires, resistors, capacitors, sources, triodes and pentodes, output
// transformers and loudspeakers, ground, supply, terminals, dots and texts, each kind in its colour,
// sized by the shared geometry.
#include "plots/schematic_plot.h"

#include "circuits/schematic_geometry.h"
#include "plots/schematic_paint.h"

#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

using namespace schematic_geometry;

namespace {

constexpr double kSymbolPen = 1.5;
constexpr double kWirePen = 1.25;

using Look = SchematicLook;

QPen symbolPen(SymbolKind kind, double width, const Look& look) {
    QPen pen(schematicColour(symbolColour(kind)));
    pen.setWidthF(width * look.stroke);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Frame of a two-terminal part: its middle, the unit vector from the first end to the second and the
// unit vector across it.
struct Axis {
    QPointF a, b, mid, along, across;
    QPointF at(double t, double side = 0) const { return mid + along * t + across * side; }
};

Axis axisOf(const SchematicSymbol& s) {
    Axis ax;
    ax.a = QPointF(s.points[0].x, s.points[0].y);
    ax.b = QPointF(s.points[1].x, s.points[1].y);
    ax.mid = (ax.a + ax.b) / 2;
    const QPointF d = ax.b - ax.a;
    const double len = std::hypot(d.x(), d.y());
    ax.along = len > 0 ? d / len : QPointF(1, 0);
    ax.across = QPointF(-ax.along.y(), ax.along.x());
    if (ax.across.x() < 0 || ax.across.y() < 0)
        ax.across = -ax.across; // to the right of a vertical part, below a horizontal one
    return ax;
}

void paintResistor(QPainter& p, const SchematicSymbol& s) {
    const Axis ax = axisOf(s);
    const double h = kResistorBody / 2.0;
    p.drawLine(ax.a, ax.at(-h));
    p.drawLine(ax.at(h), ax.b);
    QPolygonF zigzag;
    zigzag << ax.at(-h);
    const int teeth = 6;
    for (int i = 0; i < teeth; ++i)
        zigzag << ax.at(-h + (i + 0.5) * kResistorBody / teeth,
                        (i % 2 == 0 ? -1 : 1) * (kResistorHalfWidth - 1));
    zigzag << ax.at(h);
    p.drawPolyline(zigzag);
}

void paintCapacitor(QPainter& p, const SchematicSymbol& s, const Look& look) {
    const Axis ax = axisOf(s);
    const double g = kCapacitorGap / 2.0;
    p.drawLine(ax.a, ax.at(-g));
    p.drawLine(ax.at(g), ax.b);
    QPen plate = p.pen();
    plate.setWidthF(2 * kSymbolPen * look.stroke);
    plate.setCapStyle(Qt::FlatCap);
    p.save();
    p.setPen(plate);
    p.drawLine(ax.at(-g, -kCapacitorHalfPlate), ax.at(-g, kCapacitorHalfPlate));
    if (s.polarised) {
        // The negative plate of an electrolytic is curved.
        QPainterPath arc;
        arc.moveTo(ax.at(g + 2.5, -kCapacitorHalfPlate));
        arc.quadTo(ax.at(g - 1.5, 0), ax.at(g + 2.5, kCapacitorHalfPlate));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
    } else {
        p.drawLine(ax.at(g, -kCapacitorHalfPlate), ax.at(g, kCapacitorHalfPlate));
    }
    p.restore();
    if (s.polarised) {
        const QPointF c = ax.at(-g - 4, kCapacitorHalfPlate - 1.5);
        p.drawLine(c - QPointF(2.5, 0), c + QPointF(2.5, 0));
        p.drawLine(c - QPointF(0, 2.5), c + QPointF(0, 2.5));
    }
}

void paintSource(QPainter& p, const SchematicSymbol& s) {
    const Axis ax = axisOf(s);
    const double r = kSourceRadius;
    p.drawLine(ax.a, ax.at(-r));
    p.drawLine(ax.at(r), ax.b);
    p.setBrush(p.background());
    p.drawEllipse(ax.mid, r, r);
    p.setBrush(Qt::NoBrush);
    if (s.kind == SymbolKind::CurrentSource) {
        p.drawLine(ax.at(-6), ax.at(5));
        QPolygonF head;
        head << ax.at(6) << ax.at(1, -3) << ax.at(1, 3);
        p.setBrush(p.pen().color());
        p.drawPolygon(head);
        p.setBrush(Qt::NoBrush);
    } else {
        const QPointF plus = ax.at(-5), minus = ax.at(5);
        p.drawLine(plus - QPointF(2.5, 0), plus + QPointF(2.5, 0));
        p.drawLine(plus - QPointF(0, 2.5), plus + QPointF(0, 2.5));
        p.drawLine(minus - ax.across * 2.5, minus + ax.across * 2.5);
    }
}

void dashedLine(QPainter& p, QPointF from, QPointF to, const Look& look) {
    p.save();
    QPen pen = p.pen();
    pen.setWidthF(kSymbolPen * look.stroke);
    pen.setCapStyle(Qt::FlatCap);
    pen.setDashPattern({2.0, 1.5});
    p.setPen(pen);
    p.drawLine(from, to);
    p.restore();
}

// The cathode: a bar with its ends turned up, and its lead to the pin.
void paintCathode(QPainter& p, double x, double y, double half, double pinY) {
    QPolygonF bar;
    bar << QPointF(x - half, y - 3) << QPointF(x - half, y) << QPointF(x + half, y)
        << QPointF(x + half, y - 3);
    p.drawPolyline(bar);
    p.drawLine(QPointF(x, y), QPointF(x, pinY));
}

void paintTube(QPainter& p, const SchematicSymbol& s, const Look& outer) {
    const double x = s.points[0].x, y = s.points[0].y;
    const double side = s.mirrored ? 1 : -1; // the control grid's side
    const bool pentode = s.kind == SymbolKind::Pentode;
    const double r = pentode ? kPentodeRadius : kTriodeRadius;
    const double pin = pentode ? kPentodePin : kTriodePin;
    const double step = pentode ? 8 : 11;  // between electrodes
    const double half = pentode ? 10 : 9;  // half width of anode and cathode
    const double grid = pentode ? 15 : 14; // half width of the grids

    p.save();
    // A thumbnail draws the envelope larger about its centre: it covers the ends of the wires, and its
    // leads reach out over them, so the pins stay joined.
    Look look = outer;
    if (outer.tubeScale != 1) {
        p.translate(x, y);
        p.scale(outer.tubeScale, outer.tubeScale);
        p.translate(-x, -y);
        look.stroke = outer.stroke / outer.tubeScale;
        p.setPen(symbolPen(s.kind, kSymbolPen, look));
    }
    if (s.flipped) {
        // Upside down: the same drawing mirrored about the envelope's horizontal axis.
        p.translate(x, y);
        p.scale(1, -1);
        p.translate(-x, -y);
    }
    p.setBrush(p.background());
    p.drawEllipse(QPointF(x, y), r, r);
    p.setBrush(Qt::NoBrush);

    const double anodeY = y - (pentode ? 2 : 1) * step;
    QPen plate = p.pen();
    plate.setWidthF(2 * kSymbolPen * look.stroke);
    plate.setCapStyle(Qt::FlatCap);
    p.save();
    p.setPen(plate);
    p.drawLine(QPointF(x - half, anodeY), QPointF(x + half, anodeY));
    p.restore();
    p.drawLine(QPointF(x, anodeY), QPointF(x, y - pin));

    const double cathodeY = y + (pentode ? 2 : 1) * step;
    paintCathode(p, x, cathodeY, half, y + pin);

    const double g1Y = pentode ? y + step : y;
    dashedLine(p, QPointF(x - grid, g1Y), QPointF(x + grid, g1Y), look);
    p.drawLine(QPointF(x + side * pin, g1Y), QPointF(x + side * grid, g1Y));
    if (pentode) {
        // Screen grid led out on the other side; suppressor tied to the cathode inside the envelope.
        dashedLine(p, QPointF(x - grid, y), QPointF(x + grid, y), look);
        p.drawLine(QPointF(x - side * pin, y), QPointF(x - side * grid, y));
        const double g3Y = y - step, tieX = x - side * 21;
        dashedLine(p, QPointF(x - grid, g3Y), QPointF(x + grid, g3Y), look);
        QPolygonF tie;
        tie << QPointF(x - side * grid, g3Y) << QPointF(tieX, g3Y) << QPointF(tieX, cathodeY + 4)
            << QPointF(x, cathodeY + 4);
        p.drawPolyline(tie);
        p.setBrush(p.pen().color());
        p.drawEllipse(QPointF(x, cathodeY + 4), 1.8 * look.junctionScale, 1.8 * look.junctionScale);
        p.setBrush(Qt::NoBrush);
    }
    p.restore();
    if (outer.tubeNameSize > 0 && !s.name.empty()) {
        // The name above the envelope on the side away from the control grid.
        QFont font = schematicFont(p, 8, true);
        const double size = outer.tubeNameSize, R = r * outer.tubeScale;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
        p.save();
        p.setFont(font);
        p.setPen(p.pen().color());
        const double w = R + size * 3;
        const QRectF box(side < 0 ? x + R * 0.78 : x - R * 0.78 - w, y - R * 0.8 - size * 0.95, w,
                         size * 1.2);
        p.drawText(box, (side < 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                   QString::fromStdString(s.name));
        p.restore();
    }
}

// A winding of n turns drawn as half circles along the vertical from (x, top) to (x, bottom), bulging
// towards dx (+1 right, -1 left).
void paintWinding(QPainter& p, double x, double top, double bottom, int turns, double dx) {
    const double d = (bottom - top) / turns;
    QPainterPath coil;
    coil.moveTo(x, top);
    for (int i = 0; i < turns; ++i)
        coil.arcTo(QRectF(x - d / 2, top + i * d, d, d), 90, dx > 0 ? -180 : 180);
    p.drawPath(coil);
}

// The output transformer: primary on the left with its leads (and centre tap), two lines of iron, the
// secondary on the right.
void paintTransformer(QPainter& p, const SchematicSymbol& s) {
    const double x = s.points[0].x, y = s.points[0].y;
    const double left = x - kWindingAxis, right = x + kWindingAxis;
    const double pin = kTransformerPin;
    paintWinding(p, left, y - kPrimaryHalf, y + kPrimaryHalf, 6, 1);
    paintWinding(p, right, y - kSecondaryHalf, y + kSecondaryHalf, 3, -1);
    p.drawLine(QPointF(x - pin, y - kPrimaryHalf), QPointF(left, y - kPrimaryHalf));
    p.drawLine(QPointF(x - pin, y + kPrimaryHalf), QPointF(left, y + kPrimaryHalf));
    if (s.centreTap)
        p.drawLine(QPointF(x - pin, y), QPointF(left, y));
    p.drawLine(QPointF(right, y - kSecondaryHalf), QPointF(x + pin, y - kSecondaryHalf));
    p.drawLine(QPointF(right, y + kSecondaryHalf), QPointF(x + pin, y + kSecondaryHalf));
    for (double core : {x - kCoreGap, x + kCoreGap})
        p.drawLine(QPointF(core, y - kPrimaryHalf), QPointF(core, y + kPrimaryHalf));
}

// The loudspeaker: a magnet on the axis between the leads and the cone opening to one side.
void paintSpeaker(QPainter& p, const SchematicSymbol& s) {
    const Axis ax = axisOf(s);
    const double h = kSpeakerHalfBody, w = kSpeakerHalfWidth;
    p.drawLine(ax.a, ax.at(-h));
    p.drawLine(ax.at(h), ax.b);
    QPolygonF magnet, cone;
    magnet << ax.at(-h, -w) << ax.at(h, -w) << ax.at(h, w) << ax.at(-h, w);
    cone << ax.at(-h, w) << ax.at(-kSpeakerMouth, w + kSpeakerCone) << ax.at(kSpeakerMouth, w + kSpeakerCone)
         << ax.at(h, w);
    p.setBrush(p.background());
    p.drawPolygon(cone);
    p.drawPolygon(magnet);
    p.setBrush(Qt::NoBrush);
}

void paintSymbol(QPainter& p, const SchematicSymbol& s, const Look& look) {
    if (s.points.empty())
        return;
    const QPointF at(s.points[0].x, s.points[0].y);
    p.setPen(symbolPen(s.kind, kSymbolPen, look));
    p.setBrush(Qt::NoBrush);
    switch (s.kind) {
    case SymbolKind::Wire: {
        p.setPen(symbolPen(s.kind, kWirePen, look));
        QPolygonF line;
        for (const SchematicPoint& pt : s.points)
            line << QPointF(pt.x, pt.y);
        p.drawPolyline(line);
        break;
    }
    case SymbolKind::Resistor:
        paintResistor(p, s);
        break;
    case SymbolKind::Capacitor:
        paintCapacitor(p, s, look);
        break;
    case SymbolKind::CurrentSource:
    case SymbolKind::VoltageSource:
        paintSource(p, s);
        break;
    case SymbolKind::Triode:
    case SymbolKind::Pentode:
        paintTube(p, s, look);
        break;
    case SymbolKind::Transformer:
        paintTransformer(p, s);
        break;
    case SymbolKind::Speaker:
        paintSpeaker(p, s);
        break;
    case SymbolKind::Ground:
        p.drawLine(at, at + QPointF(0, 6));
        p.drawLine(at + QPointF(-8, 6), at + QPointF(8, 6));
        p.drawLine(at + QPointF(-5, 9), at + QPointF(5, 9));
        p.drawLine(at + QPointF(-2, 12), at + QPointF(2, 12));
        break;
    case SymbolKind::Supply:
        p.drawLine(at, at - QPointF(0, 7));
        p.setPen(symbolPen(s.kind, 2.5, look));
        p.drawLine(at + QPointF(-8, -7.5), at + QPointF(8, -7.5));
        if (!s.text.empty() && look.texts)
            paintSchematicText(p, {s.points[0].x, s.points[0].y - 12}, s.text, SchematicTextAlign::Centre,
                               symbolColour(s.kind));
        break;
    case SymbolKind::Input:
    case SymbolKind::Output: {
        p.setBrush(p.background());
        p.drawEllipse(at, 3, 3);
        const bool in = s.kind == SymbolKind::Input;
        if (!s.text.empty() && look.texts)
            paintSchematicText(p, {s.points[0].x + (in ? -7 : 7), s.points[0].y + 4}, s.text,
                               in ? SchematicTextAlign::Right : SchematicTextAlign::Left,
                               symbolColour(s.kind));
        break;
    }
    case SymbolKind::Junction:
        p.setPen(Qt::NoPen);
        p.setBrush(schematicColour(symbolColour(s.kind)));
        p.drawEllipse(at, 2.75 * look.junctionScale, 2.75 * look.junctionScale);
        break;
    case SymbolKind::Text:
        if (look.texts)
            paintSchematicText(p, s.points[0], s.text, s.align, symbolColour(s.kind));
        break;
    }
}

} // namespace

void paintSchematicSymbols(QPainter& painter, const Schematic& s, const SchematicLook& look) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Wires first, so that parts, envelopes and dots lie on top of them.
    for (const SchematicSymbol& sym : s.symbols)
        if (sym.kind == SymbolKind::Wire)
            paintSymbol(painter, sym, look);
    for (const SchematicSymbol& sym : s.symbols)
        if (sym.kind != SymbolKind::Wire && sym.kind != SymbolKind::Junction)
            paintSymbol(painter, sym, look);
    for (const SchematicSymbol& sym : s.symbols)
        if (sym.kind == SymbolKind::Junction)
            paintSymbol(painter, sym, look);
    painter.restore();
}

void paintSchematic(QPainter& painter, const Schematic& s, SchematicControls controls, const Sheet* values) {
    painter.save();
    paintSchematicSymbols(painter, s, SchematicLook{});
    if (controls == SchematicControls::Drawn)
        for (const SchematicPlacement& pl : s.placements)
            paintSchematicControl(painter, pl, values ? values->find(pl.control) : nullptr);
    painter.restore();
}

QImage drawSchematic(const Schematic& s, double scale, SchematicControls controls) {
    return drawSchematic(s, scale, controls, Sheet{});
}

QImage drawSchematic(const Schematic& s, double scale, SchematicControls controls, const Sheet& values) {
    const double k = scale > 0 && std::isfinite(scale) ? scale : 1.0;
    // Opaque (white under everything): an RGB canvas, nothing to blend.
    QImage image(std::max(1, static_cast<int>(std::ceil(s.width * k))),
                 std::max(1, static_cast<int>(std::ceil(s.height * k))), QImage::Format_RGB32);
    image.setDotsPerMeterX(3780); // 96 dpi, the logical resolution of the sizes
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(k, k);
    paintSchematic(painter, s, controls, &values);
    return image;
}
