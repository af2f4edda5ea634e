// The anode-curves window and the tube-models window that start-up creates after the main window, and
// the wiring between them and the main window.
#pragma once

class QWidget;
class Telemetry;
class TForm1;

struct CompanionWindows {
    QWidget* curves = nullptr; // TFormCurves, or null in a build without it
    QWidget* models = nullptr; // TFormModels, or null in a build without it
};

// Creates both windows (hidden) and hands them to the main window's menu and title buttons.
CompanionWindows createCompanionWindows(TForm1* mainWindow, Telemetry* telemetry);
