// The start-up order of the desktop program.
#include "ui/app_startup.h"

#include "storage/data_folder.h"
#include "storage/data_install.h"
#include "storage/settings.h"
#include "telemetry/telemetry.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui/tools_window.h"

namespace {
UsageServerSetting usageServerSetting() {
    TIniPosDim settings;
    settings.Open();
    return {QString::fromStdString(settings.usageServer()), settings.usageOff()};
}
} // namespace

StartedProgram startValvenix(const std::string& packagedFolder) {
    StartedProgram program;
    const DataInstallReport install = installDataFolder(packagedFolder);
    if (!install.ok)
        showError(nullptr,
                  QStringLiteral("Valvenix could not install its files in %1:\n%2")
                      .arg(QString::fromStdString(dataFolder()), QString::fromStdString(install.error)));
    if (!dataFolderExists())
        return program;

    {
        TIniPosDim settings; // a new user's first settings file starts with the exact frequency response
        settings.Open();
        settings.settleBodeAcMode();
    }
    program.telemetry = std::make_unique<Telemetry>(usageServerSetting());
    program.mainWindow = new TForm1(program.telemetry.get());
    program.companions = createCompanionWindows(program.mainWindow, program.telemetry.get());
    TFormTools::instance();
    return program;
}
