// The small pictures of the main window's own title strip and library bar: window buttons, the menu
// image and the two library layouts, drawn for a screen scale.
#pragma once

#include <QColor>
#include <QImage>

enum class TitleGlyph {
    Close,      // a cross
    Maximise,   // an empty square
    Restore,    // two overlapping squares
    Minimise,   // a bar at the bottom
    Menu,       // three bars
    LayoutHor,  // the library laid out horizontally: a strip on top of a wide pane
    LayoutVert, // the library laid out vertically: a column beside a tall pane
};

// A glyph of side x side logical pixels, drawn for scale (the image's device pixel ratio is set), in
// colour on a transparent background.
QImage drawTitleGlyph(TitleGlyph glyph, int side, double scale, QColor colour);
