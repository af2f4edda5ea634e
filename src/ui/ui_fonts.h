// Fonts of the windows: the platform UI face for captions and the monospace face for values and
// reports, in points (Qt scales points with the screen, so the sizes hold on HiDPI screens).
#pragma once

#include <QFont>

inline constexpr const char* kUiFace = "Noto Sans";
// "Noto Mono" comes in one weight only; its successor "Noto Sans Mono", same design, also has a bold.
inline constexpr const char* kMonoFace = "Noto Sans Mono";
inline constexpr const char* kMonoFallback = "Noto Mono";

inline QFont uiFont(double points, bool bold = false) {
    QFont f(kUiFace);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

inline QFont monoFont(double points, bool bold = false) {
    QFont f;
    f.setFamilies({kMonoFace, kMonoFallback});
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}
