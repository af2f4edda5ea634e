// The fuzz targets' data folder, made once per process.
#include "fuzz_data_folder.h"

#include "storage/data_folder.h"

#include <QDir>

#include <unistd.h>

const std::string& fuzzDataFolder() {
    static const std::string folder = [] {
        const QString base = QDir("/dev/shm").exists() ? QString("/dev/shm") : QDir::tempPath();
        const QString path = base + QString("/valvenix-fuzz-%1/").arg(getpid());
        QDir().mkpath(path);
        setDataFolderOverride(path.toStdString());
        return path.toStdString();
    }();
    return folder;
}

void removeFuzzFile(const std::string& name) {
    QFile::remove(QString::fromStdString(fuzzDataFolder() + name));
}
