// valvenix: opens a solver window for a circuit (--circuit N, by default the last circuit solved)
// until the main window with its circuit library takes over this start-up.
#include "circuits/catalogue.h"
#include "storage/data_folder.h"
#include "storage/model_database.h"
#include "storage/settings.h"
#include "ui/form_solver.h"
#include "ui/message_boxes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Valvenix"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Valvenix, a calculator for vacuum-tube circuits"));
    parser.addHelpOption();
    const QCommandLineOption circuitOption(
        QStringLiteral("circuit"), QStringLiteral("The circuit to open, 1 to 42 (default: the last one)."),
        QStringLiteral("N"));
    parser.addOption(circuitOption);
    parser.process(app);

    // Installation's part of start-up: the data folder and the model database exist before any window.
    QDir().mkpath(QString::fromStdString(dataFolder()));
    guarded(nullptr, [] { prepareModelDatabase(); });

    int circuit = 0;
    if (parser.isSet(circuitOption)) {
        bool ok = false;
        circuit = parser.value(circuitOption).toInt(&ok);
        if (!ok || circuit < 1 || circuit > kCircuitCount) {
            showError(nullptr,
                      QStringLiteral("--circuit takes a circuit number from 1 to %1").arg(kCircuitCount));
            return 2;
        }
    } else {
        TIniPosDim settings;
        settings.Open();
        circuit = settings.lastCircuit();
        if (circuit < 1 || circuit > kCircuitCount)
            circuit = 1;
    }
    auto* window = new TFormSolver(circuit);
    window->show();
    return app.exec();
}
