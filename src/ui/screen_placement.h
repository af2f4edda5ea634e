// Window placement with the screens Qt reports: where a window reopens (its saved geometry, brought back
// onto a connected monitor) and storing its geometry, under its name in the settings file.
#pragma once

#include "solver/window_placement.h"

#include <string>

class QWidget;
class TIniPosDim;

// The primary screen and every monitor, in the toolkit's logical pixels.
ScreenLayout currentScreenLayout();

// Moves and sizes the window as stored under its name ("Form1", "FormAnode", "FormModels"); a window
// without stored keys opens centred at half the primary screen; a fixed-size window keeps its size.
void restoreWindowPlacement(QWidget* window, const TIniPosDim& settings, const std::string& name,
                            bool fixedSize = false);
// Stores the window's geometry (its normal geometry while maximised or minimised) under its name.
bool storeWindowPlacement(const QWidget* window, TIniPosDim& settings, const std::string& name);
