// The fuzz targets' data folder, made once per process.
#include "fuzz_data_folder.h"

#include "storage/data_folder.h"

#include <QDir>

#include <cstdlib>
#include <unistd.h>

namespace {
std::string& folderPath() {
    static std::string path;
    return path;
}

void removeFolder() {
    QDir(QString::fromStdString(folderPath())).removeRecursively();
}
} // namespace

const std::string& fuzzDataFolder() {
    static const std::string folder = [] {
        const QString base = QDir("/dev/shm").exists() ? QString("/dev/shm") : QDir::tempPath();
        const QString path = base + QString("/valvenix-fuzz-%1/").arg(getpid());
        QDir().mkpath(path);
        setDataFolderOverride(path.toStdString());
        folderPath() = path.toStdString();
        std::atexit(removeFolder); // a fuzzer that ends normally leaves nothing behind
        return path.toStdString();
    }();
    return folder;
}

void removeFuzzFile(const std::string& name) {
    QFile::remove(QString::fromStdString(fuzzDataFolder() + name));
}
