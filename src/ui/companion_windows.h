// The anode-curves window and the tube-models window that start-up creates after the main window, and
// the wiring between them, the main window and the open solver windows.
#pragma once

class QString;
class QWidget;
class Telemetry;
class TForm1;

struct CompanionWindows {
    QWidget* curves = nullptr; // TFormCurves
    QWidget* models = nullptr; // TFormModels
};

// Creates both windows (hidden), hands them to the main window's menu and title buttons, and connects a
// change of the model database to the curves window's list and to every open solver window.
CompanionWindows createCompanionWindows(TForm1* mainWindow, Telemetry* telemetry);

// Refills the tube selectors of every open solver window (a model renamed from oldName to newName, or
// removed when newName is empty; both empty: a plain refresh).
void refreshOpenSolverWindows(const QString& oldName, const QString& newName);
