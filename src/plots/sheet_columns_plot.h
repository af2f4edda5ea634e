// The picture under a parameter sheet laid out in columns: the column headings and the names
// written beside selectors and result labels.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

#include <string>
#include <vector>

struct SheetColumnText {
    std::string text;
    QPoint at;            // left end of the baseline, logical pixels
    bool heading = false; // bold, underlined by a thin rule as wide as the column
    int ruleWidth = 0;    // width of the rule under a heading, logical pixels
};

// Pixel height of the texts at 96 dpi.
inline constexpr int kSheetTextPixels = 11;

// The texts in dark grey on a transparent canvas of that size (see PlotDeviceRatio).
QImage drawSheetColumns(QSize size, const std::vector<SheetColumnText>& texts);
