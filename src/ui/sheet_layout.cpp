// The sheet placement of every circuit: its schematic with the real widgets at the places its
// description gives.
#include "ui/sheet_layout.h"

#include "circuits/schematic.h"
#include "plots/schematic_plot.h"

namespace {

QRect toQRect(const SchematicRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

Qt::Alignment alignmentOf(SchematicTextAlign align) {
    switch (align) {
    case SchematicTextAlign::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case SchematicTextAlign::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case SchematicTextAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

SheetLayout sheetLayout(int circuit, double scale) {
    const Schematic& s = schematicOf(circuit);
    SheetLayout layout;
    layout.size = QSize(s.width, s.height);
    for (const SchematicPlacement& p : s.placements) {
        SheetPlacement placed;
        placed.control = p.control;
        placed.rect = toQRect(p.rect());
        placed.align = alignmentOf(p.align);
        if (p.kind == ControlKind::Edit) {
            placed.labelRect = toQRect(p.labelRect());
            placed.boxRect = toQRect(p.widgetRect());
        }
        layout.placements.push_back(placed);
    }
    layout.background = drawSchematic(s, scale, SchematicControls::Hidden);
    layout.background.setDevicePixelRatio(scale);
    return layout;
}
