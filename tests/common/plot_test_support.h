// Helpers of the picture tests: a lazily created offscreen QGuiApplication (text needs one), pixel
// sampling with a colour tolerance, and the sample pictures written for a look.
#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QImage>

#include <QString>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// The application is never destroyed: tearing it down among the static destructors at exit
// would run after Qt's own globals are gone.
inline void ensureGuiApp() {
    static QGuiApplication* app = nullptr;
    if (!app && !QGuiApplication::instance()) {
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test_plots";
        static char* argv[] = {name, nullptr};
        app = new QGuiApplication(argc, argv);
    }
}

// True when the pixel is within tol of the colour on each of red, green and blue.
inline bool pixelNear(const QImage& image, int x, int y, const QColor& colour, int tol = 40) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return false;
    const QColor c = image.pixelColor(x, y);
    return std::abs(c.red() - colour.red()) <= tol && std::abs(c.green() - colour.green()) <= tol &&
           std::abs(c.blue() - colour.blue()) <= tol;
}

// True when some pixel within radius r of (x, y) is near the colour (antialiased thin lines).
inline bool pixelNearAround(const QImage& image, int x, int y, const QColor& colour, int r = 1,
                            int tol = 40) {
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (pixelNear(image, x + dx, y + dy, colour, tol))
                return true;
    return false;
}

inline bool isWhite(const QImage& image, int x, int y) {
    return pixelNear(image, x, y, Qt::white, 3);
}

// Expects a picture; writes it as <name>.png into the folder VALVENIX_PLOT_SAMPLES names, if any.
inline void save(const QImage& image, const std::string& name) {
    EXPECT_FALSE(image.isNull()) << name;
    if (const char* dir = std::getenv("VALVENIX_PLOT_SAMPLES")) {
        EXPECT_TRUE(image.save(QString(dir) + "/" + QString::fromStdString(name) + ".png")) << name;
    }
}
