// valvenix-cli-draw's application object: pictures need fonts, hence a GUI application, which never
// opens a window.
#include "cli.h"

#include <QGuiApplication>

namespace cli {

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool drawing) {
    if (!drawing)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace cli
