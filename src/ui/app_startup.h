// Start-up of the desktop program: the installation step, the usage-report client from the settings, and
// the windows in their order (main window, anode curves, tube models, tools).
#pragma once

#include "ui/companion_windows.h"

#include <memory>
#include <string>

class TForm1;
class Telemetry;

struct StartedProgram {
    std::unique_ptr<Telemetry> telemetry; // outlives the windows
    TForm1* mainWindow = nullptr;         // not yet shown; closing it ends the program
    CompanionWindows companions;
};

// Fills the data folder from packagedFolder (an error box says what failed) and creates the windows.
// mainWindow is null when the data folder could not be made: nothing can run without it.
StartedProgram startValvenix(const std::string& packagedFolder);
