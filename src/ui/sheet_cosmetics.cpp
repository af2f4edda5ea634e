// Sheet options and the colour rules of the sheet's controls.
#include "ui/sheet_cosmetics.h"

#include "storage/settings.h"

namespace {
bool has(const std::string& name, char c) {
    return name.find(c) != std::string::npos;
}
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kPurple(0x80, 0x00, 0x80);
} // namespace

SheetCosmetics readSheetCosmetics(const TIniPosDim& settings) {
    return {settings.editBorders(), settings.ckbBackground(), settings.rgBorders()};
}

bool writeSheetCosmetics(const SheetCosmetics& cosmetics, TIniPosDim& settings) {
    const bool a = settings.setRgBorders(cosmetics.diagramBorder);
    const bool b = settings.setEditBorders(cosmetics.editBorders);
    const bool c = settings.setCkbBackground(cosmetics.greyBackground);
    return a && b && c;
}

std::optional<QColor> editTextColour(const std::string& name, bool labelled) {
    std::optional<QColor> colour;
    if (has(name, 'V'))
        colour = kRed;
    if (has(name, 'R') || (labelled && has(name, 'Z')))
        colour = kMaroon;
    if (has(name, 'C'))
        colour = kGreen;
    if (has(name, 'I'))
        colour = kPurple;
    return colour;
}

std::optional<QColor> labelTextColour(const std::string& name) {
    std::optional<QColor> colour;
    if (has(name, 'V'))
        colour = kRed;
    if (has(name, 'I'))
        colour = kPurple;
    if (has(name, 'R'))
        colour = kMaroon;
    return colour;
}
