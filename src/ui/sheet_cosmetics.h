// The look of a parameter sheet: the options of the settings file (edit borders, grey background)
// and the text colours by control name.
#pragma once

#include <QColor>

#include <optional>
#include <string>

class TIniPosDim;

struct SheetCosmetics {
    int editBorders = 0;        // 0 none, 1 single
    bool greyBackground = true; // edit boxes on EBEBEB rather than the window colour
    int diagramBorder = 0;      // 0 no border around the diagram, 1 border
};

SheetCosmetics readSheetCosmetics(const TIniPosDim& settings);
bool writeSheetCosmetics(const SheetCosmetics& cosmetics, TIniPosDim& settings);

// Text colour of an edit box by its name, tested in this order, a later match winning: "V" red,
// "R" (and "Z" for a labelled box) dark red, "C" green, "I" purple. None when nothing matches.
std::optional<QColor> editTextColour(const std::string& name, bool labelled = true);
// Text colour of a label by its name: "V" red, then "I" purple, then "R" dark red.
std::optional<QColor> labelTextColour(const std::string& name);

inline const QColor kEditGrey(0xEB, 0xEB, 0xEB);
inline const QColor kCheckBoxColour(0x00, 0x80, 0x80);
