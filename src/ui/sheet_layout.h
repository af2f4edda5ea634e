// Where the controls of a circuit's parameter sheet go and the picture under them. This is the one
// place that decides a sheet's placement: the rest of the window takes a SheetLayout as it comes.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <Qt>

#include <optional>
#include <string>
#include <vector>

// Rectangle of one sheet control, in logical pixels at 96 dpi: the widget of that control (an edit
// box with its label, a selector, a check box, a static caption, a result label) fills it.
struct SheetPlacement {
    std::string control;
    QRect rect;
    // An edit field's label and box, side by side inside rect.
    QRect labelRect;
    QRect boxRect;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter; // text of captions and result labels
};

struct SheetLayout {
    QSize size; // logical pixels at 96 dpi
    std::vector<SheetPlacement> placements;
    // Drawn for the scale asked for, its device pixel ratio set; null when nothing is drawn.
    QImage background;

    const SheetPlacement* placement(const std::string& control) const {
        for (const SheetPlacement& p : placements)
            if (p.control == control)
                return &p;
        return nullptr;
    }
};

// The layout of circuit n's sheet for a display scale (1 at 96 dpi): its schematic drawn without
// its controls, and the rectangle of each control at its place on the drawing.
SheetLayout sheetLayout(int circuit, double scale);
