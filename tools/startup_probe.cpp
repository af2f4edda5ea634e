// valvenix-startup-probe: the start-up of valvenix, ending as soon as the main window has been shown
// and painted once. Timed from outside (scripts/time-startup.sh) to measure the start-up as a user
// waits for it, process start and the toolkit's own set-up included.
#include "storage/data_install.h"
#include "telemetry/telemetry.h"
#include "ui/app_startup.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Valvenix"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));
    StartedProgram program =
        startValvenix(packagedFilesFolder(QCoreApplication::applicationDirPath().toStdString()));
    if (!program.mainWindow)
        return 1;
    program.mainWindow->show();
    program.mainWindow->repaint();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int status = app.exec();
    delete program.mainWindow;
    return status;
}
