// Where the controls of a circuit's parameter sheet go and the picture under them. This is the one
// place that decides a sheet's placement: the rest of the window takes a SheetLayout as it comes.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Rectangle of one sheet control, in logical pixels at 96 dpi: the widget of that control (an edit
// box with its label, a selector, a check box, a static caption, a result label) fills it.
struct SheetPlacement {
    std::string control;
    QRect rect;
};

struct SheetLayout {
    QSize size; // logical pixels at 96 dpi
    std::vector<SheetPlacement> placements;
    // Label texts that replace the catalogue's label of an edit field (empty: the catalogue's).
    std::vector<std::pair<std::string, std::string>> labels;
    // Drawn for the scale asked for, its device pixel ratio set; null when nothing is drawn.
    QImage background;

    std::optional<QRect> placement(const std::string& control) const {
        for (const SheetPlacement& p : placements)
            if (p.control == control)
                return p.rect;
        return std::nullopt;
    }
    // Empty when the catalogue's label stands.
    std::string label(const std::string& control) const {
        for (const auto& [name, text] : labels)
            if (name == control)
                return text;
        return {};
    }
};

// Widgets inside a placement: an edit box takes at most this width at the right of its rectangle
// and its label the rest at the left (or the line above the box, in a rectangle two rows high).
inline constexpr int kEditBoxWidth = 64;
inline constexpr int kControlHeight = 22;

// The layout of circuit n's sheet for a display scale (1 at 96 dpi).
SheetLayout sheetLayout(int circuit, double scale);

// Controls in labelled columns (supply and voltages, currents, resistors, capacitors, tubes,
// options, results), with no drawing of the circuit.
SheetLayout automaticSheetLayout(int circuit, double scale);
