// valvenix: the desktop program. Start-up fills the data folder, then opens the main window with the
// circuit library (and, with --circuit N, the solver window of circuit N); closing the main window ends
// the program.
#include "telemetry/telemetry.h"
#include "ui/app_startup.h"
#include "ui/main_window.h"
#include "util/allocator.h"

#include "storage/data_install.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    // Qt sets the C locale from the environment; the report texts are written by printf with '.' and
    // given the user's separators by the core (NumberLocale), never by the C library.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Valvenix"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Valvenix, a calculator for vacuum-tube circuits"));
    parser.addHelpOption();
    const QCommandLineOption circuitOption(
        QStringLiteral("circuit"), QStringLiteral("Also open the solver window of circuit N, 1 to 42."),
        QStringLiteral("N"));
    parser.addOption(circuitOption);
    parser.process(app);
    int circuit = 0;
    if (parser.isSet(circuitOption)) {
        bool ok = false;
        circuit = parser.value(circuitOption).toInt(&ok);
        if (!ok || circuit < 1 || circuit > 42) {
            std::fprintf(stderr, "valvenix: --circuit takes a circuit number from 1 to 42\n");
            return 2;
        }
    }

    StartedProgram program =
        startValvenix(packagedFilesFolder(QCoreApplication::applicationDirPath().toStdString()));
    if (!program.mainWindow)
        return 1;
    program.mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(program.mainWindow, &QObject::destroyed, &app, &QCoreApplication::quit);
    program.mainWindow->show();
    if (circuit > 0)
        program.mainWindow->LoadFormSolver(circuit);
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
