// valvenix: the desktop program. Start-up fills the data folder, then opens the main window with the
// circuit library; closing the main window ends the program.
#include "telemetry/telemetry.h"
#include "ui/app_startup.h"
#include "ui/main_window.h"

#include "storage/data_install.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Valvenix"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));
    QApplication::setQuitOnLastWindowClosed(false);

    StartedProgram program =
        startValvenix(packagedFilesFolder(QCoreApplication::applicationDirPath().toStdString()));
    if (!program.mainWindow)
        return 1;
    program.mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(program.mainWindow, &QObject::destroyed, &app, &QCoreApplication::quit);
    program.mainWindow->show();
    const int status = app.exec();

    // Every other window (solver windows, anode curves, tube models, tools) goes before the telemetry.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->parentWidget())
            windows << w;
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
    return status;
}
