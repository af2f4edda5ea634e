// Window placement from and to the settings file, with the monitors of the desktop.
#include "ui/window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
ScreenRect toRect(const QRect& r) {
    return ScreenRect{r.left(), r.top(), r.width(), r.height()};
}
} // namespace

ScreenLayout currentScreenLayout() {
    ScreenLayout layout;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        layout.primary = toRect(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        layout.monitors.push_back(toRect(screen->geometry()));
    return layout;
}

void restoreWindowPlacement(QWidget* window, const TIniPosDim& settings, const std::string& name,
                            bool fixedSize) {
    const ScreenRect r =
        settings.readForm(name, window->width(), window->height(), currentScreenLayout(), fixedSize);
    if (!fixedSize)
        window->resize(r.width, r.height);
    window->move(r.left, r.top);
}

void storeWindowPlacement(const QWidget* window, TIniPosDim& settings, const std::string& name) {
    settings.storeForm(name, ScreenRect{window->x(), window->y(), window->width(), window->height()});
}
