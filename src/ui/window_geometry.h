// Where the main, anode-curves and tube-models windows reopen: their rectangle stored in the settings
// file under the window's name, brought back onto the primary screen when no monitor would show it.
#pragma once

#include "storage/settings.h"

#include <string>

class QWidget;

// The connected monitors as the placement rule sees them: every screen's rectangle, and the primary
// screen's area left free by the desktop's panels for the defaults and the centring.
ScreenLayout currentScreenLayout();

// Moves and sizes the window as stored under its name ("FormAnode", "FormModels", "Form1"); a window of
// fixed size keeps its size.
void restoreWindowPlacement(QWidget* window, const TIniPosDim& settings, const std::string& name,
                            bool fixedSize = false);
// Stores the window's position (its frame's top left corner) and size under its name.
void storeWindowPlacement(const QWidget* window, TIniPosDim& settings, const std::string& name);
