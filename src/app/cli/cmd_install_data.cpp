// valvenix-cli install-data [--from DIR]: the launcher's installation step, for scripts and for a
// start from the build tree before the window exists.
#include "cli.h"

#include "storage/data_folder.h"
#include "storage/data_install.h"

#include <QCoreApplication>
#include <cstdio>

namespace cli {

int runInstallData(const std::vector<std::string>& words) {
    Args args(words, {"--from"}, {});
    if (!args.positional().empty())
        throw UsageError("install-data takes no argument besides --from");
    const std::string from = args.value("--from").value_or(
        packagedFilesFolder(QCoreApplication::applicationDirPath().toStdString()));
    const DataInstallReport report = installDataFolder(from);
    if (report.createdFolder)
        std::printf("created %s\n", dataFolder().c_str());
    for (const auto& name : report.copied)
        std::printf("installed %s\n", name.c_str());
    for (const auto& name : report.missing)
        std::fprintf(stderr, "valvenix-cli: %s is not among the packaged files in %s\n", name.c_str(),
                     from.c_str());
    if (!report.ok) {
        std::fprintf(stderr, "valvenix-cli: %s\n", report.error.c_str());
        return kInternal;
    }
    return kOk;
}

} // namespace cli
