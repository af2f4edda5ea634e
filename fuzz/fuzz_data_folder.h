// A private data folder for fuzz targets that read files, removed when the process ends normally; on a
// memory file system when there is one, so that the many small writes cost no disk syncs.
#pragma once

#include <string>

// The folder (created on first use, ending with a slash); every storage function points at it.
const std::string& fuzzDataFolder();
// Removes a file of the folder if it is there.
void removeFuzzFile(const std::string& name);
