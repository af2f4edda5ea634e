// The anode-curves and tube-models windows that start-up creates after the main window, and the refresh
// that a change of the model database sends to the curves window and to every open solver window.
#include "ui/companion_windows.h"

#include "ui/form_curves.h"
#include "ui/form_models.h"
#include "ui/form_solver.h"
#include "ui/main_window.h"

#include <QApplication>

void refreshOpenSolverWindows(const QString& oldName, const QString& newName) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* solver = qobject_cast<TFormSolver*>(widget))
            solver->refreshTubeSelectors(oldName, newName);
}

CompanionWindows createCompanionWindows(TForm1* mainWindow, Telemetry* telemetry) {
    auto* curves = new TFormCurves(telemetry);
    auto* models = new TFormModels(telemetry);
    // A stored, renamed or removed model: the curves list and every solver's selectors follow it.
    QObject::connect(models, &TFormModels::modelsChanged, curves,
                     [curves](const QString& oldName, const QString& newName) {
                         curves->refreshModelList(oldName, newName);
                         refreshOpenSolverWindows(oldName, newName);
                     });
    mainWindow->setCompanionWindows(curves, models);
    return {curves, models};
}
