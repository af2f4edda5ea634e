// The launcher's installation step: fills the per-user data folder with the packaged files before
// the main window opens. The only place where the data folder is created.
#pragma once

#include <string>
#include <vector>

struct DataInstallReport {
    bool ok = false;
    std::string error;                // why nothing or not everything could be installed
    bool createdFolder = false;       // the data folder did not exist
    std::vector<std::string> copied;  // packaged files copied because they were missing or older
    std::vector<std::string> missing; // packaged files the source folder lacks (left as they are)
};

// Where the packaged files of a program in executableFolder are: executableFolder/../share/valvenix.
// An installed program finds the installed share directory there, and a program in the build tree
// (build/src) the build tree's copy (build/share/valvenix), which mirrors it.
std::string packagedFilesFolder(const std::string& executableFolder);

// Creates the data folder when it is missing, then copies every packaged file that the folder lacks
// or holds in a copy older than the one in sourceFolder. Databases, settings and any other file are
// never touched; a copy replaces the old file only once it is complete.
DataInstallReport installDataFolder(const std::string& sourceFolder);
