// Screens as plain rectangles for the placement rule, and the window geometry in and out of settings.
#include "ui/screen_placement.h"

#include "storage/settings.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace {
ScreenRect rectOf(const QRect& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}
} // namespace

ScreenLayout currentScreenLayout() {
    ScreenLayout layout;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        layout.primary = rectOf(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        layout.monitors.push_back(rectOf(screen->availableGeometry()));
    return layout;
}

void restoreWindowPlacement(QWidget* window, const TIniPosDim& settings, const std::string& name,
                            bool fixedSize) {
    if (window->layout())
        window->layout()->activate(); // the window's least size is known before it is placed
    const ScreenLayout screens = currentScreenLayout();
    ScreenRect r = settings.readForm(name, window->width(), window->height(), screens, fixedSize);
    window->resize(r.width, r.height);
    if (window->width() != r.width || window->height() != r.height) {
        // The window's least size won over the stored or default one: placed again with its real size.
        SavedPlacement saved = settings.readPlacement(name);
        saved.width = window->width();
        saved.height = window->height();
        r = resolvePlacement(saved, window->width(), window->height(), screens, fixedSize);
    }
    window->move(r.left, r.top);
}

bool storeWindowPlacement(const QWidget* window, TIniPosDim& settings, const std::string& name) {
    const bool normal =
        !(window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    // As move() and resize() take them back: the frame's corner and the client size.
    const QRect g = normal ? QRect(window->pos(), window->size()) : window->normalGeometry();
    return settings.storeForm(name, {g.left(), g.top(), g.width(), g.height()});
}
