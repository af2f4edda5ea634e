// valvenix-cli's side of drawing: it links no QtGui and no pictures, so a run that draws is handed over,
// same arguments and environment, to valvenix-cli-draw beside it (or in the installed libexec folder).
#include "cli.h"
#include "solve_output.h"

#include <QCoreApplication>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace cli {

namespace {
constexpr const char* kDrawingProgram = "valvenix-cli-draw";

std::string ownFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string exe(path, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}

[[noreturn]] void handOver(char** argv) {
    const std::string folder = ownFolder();
    const std::string candidates[] = {folder + "/" + kDrawingProgram,
                                      folder + "/../" VALVENIX_LIBEXEC_DIR "/" + kDrawingProgram};
    int failure = ENOENT;
    for (const std::string& path : candidates) {
        if (access(path.c_str(), X_OK) != 0)
            continue;
        argv[0] = const_cast<char*>(path.c_str());
        execv(path.c_str(), argv);
        failure = errno; // only reached when the program could not be started
    }
    std::fprintf(stderr,
                 "valvenix-cli: cannot start %s, which draws the pictures (looked in %s and %s): %s\n",
                 kDrawingProgram, folder.c_str(), (folder + "/../" VALVENIX_LIBEXEC_DIR).c_str(),
                 std::strerror(failure));
    std::fflush(stderr);
    _exit(kInternal);
}

[[noreturn]] void notHere() {
    throw std::logic_error("pictures are drawn by valvenix-cli-draw");
}
} // namespace

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool drawing) {
    if (drawing)
        handOver(argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

// Runs that reach these were handed over before any command ran.
int runCurves(const std::vector<std::string>&) {
    notHere();
}
int runSchematic(const std::vector<std::string>&) {
    notHere();
}
void writeSolvePictures(const std::string&, const SolveRequest&, const SolveResult&) {
    notHere();
}

} // namespace cli
