// Locating the data folder. The storage functions never create it: installation does.
#include "storage/data_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace {
std::string& overrideFolder() {
    static std::string folder;
    return folder;
}

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}
} // namespace

std::string dataFolder() {
    if (!overrideFolder().empty())
        return overrideFolder();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return withSlash((base + "/Morvane/Valvenix/").toStdString());
}

void setDataFolderOverride(const std::string& folder) {
    overrideFolder() = folder.empty() ? std::string() : withSlash(folder);
}

bool dataFolderExists() {
    return QDir(QString::fromStdString(dataFolder())).exists();
}

std::string dataFilePath(const std::string& fileName) {
    return dataFolder() + fileName;
}
