// The per-user data folder that holds the databases, the settings file and the packaged files.
#pragma once

#include <string>

// The folder, ending with a slash: <generic data location>/Morvane/Valvenix/ unless overridden.
std::string dataFolder();
// Points every storage function at another folder (the command line's --data-dir); empty resets.
void setDataFolderOverride(const std::string& folder);
bool dataFolderExists();
std::string dataFilePath(const std::string& fileName);
