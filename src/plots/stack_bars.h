// The voltage-stack bars: one column per series branch, each element a coloured bar whose height
// is its share of the supply, with its name and voltage.
#pragma once

#include "solver/voltage_stacks.h"

#include <QImage>
#include <QRectF>

#include <string>
#include <vector>

struct StackBar {
    QRectF rect;          // from the bar's start down by its height (negative for a negative voltage)
    std::uint32_t colour; // 0xAARRGGBB
    std::string text;     // "Ra 120V", empty for an unnamed element
    QPointF textAt;       // left end of the text's baseline
};

// Bars of column k (1-based) in an image of height T for the supply Vb.
std::vector<StackBar> stackBarGeometry(const TVoltageStacks& stack, int column, int T, double Vb);

// Columns 1..k side by side in an image T high and 70 k pixels wide (wider when the last column's
// texts need it), on white.
QImage drawStackBars(const std::vector<TVoltageStacks>& columns, int height, double Vb, double scale);
