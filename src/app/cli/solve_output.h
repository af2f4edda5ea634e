// What valvenix-cli solve prints (JSON or plain text) and the pictures it writes.
#pragma once

#include "solver/solve.h"

#include <string>

namespace cli {

std::string solveJson(const SolveRequest& request, const SolveResult& result);
std::string solveText(const SolveRequest& request, const SolveResult& result);
// Refuses (UsageError) a picture folder that is empty text, missing, or not a folder.
void checkPictureFolder(const std::string& dir);
// Writes every picture of the solve as PNG into dir (which must exist).
void writeSolvePictures(const std::string& dir, const SolveRequest& request, const SolveResult& result);

} // namespace cli
