// Copying the packaged files into the data folder, by modification time.
#include "storage/data_install.h"

#include "storage/data_folder.h"
#include "storage/packaged_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// Copies source over target through a temporary file, keeping the source's modification time so
// that the next start sees the copy as current.
bool copyPackagedFile(const QString& source, const QString& target, std::string& error) {
    const QString part = target + ".part";
    QFile::remove(part);
    if (!QFile::copy(source, part)) {
        error = "cannot copy " + source.toStdString() + " to " + part.toStdString();
        return false;
    }
    QFile copy(part);
    copy.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (copy.open(QIODevice::ReadWrite)) {
        copy.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
        copy.close();
    }
    QFile::remove(target);
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        error = "cannot write " + target.toStdString();
        return false;
    }
    return true;
}
} // namespace

std::string packagedFilesFolder(const std::string& executableFolder) {
    return QDir::cleanPath(QString::fromStdString(executableFolder) + "/../share/valvenix").toStdString() +
           "/";
}

DataInstallReport installDataFolder(const std::string& sourceFolder) {
    DataInstallReport report;
    const QDir source(QString::fromStdString(sourceFolder));
    if (!source.exists()) {
        report.error = "the packaged files are not in " + sourceFolder;
        return report;
    }
    const QString folder = QString::fromStdString(dataFolder());
    if (!QDir(folder).exists()) {
        if (!QDir().mkpath(folder)) {
            report.error = "cannot create the data folder " + dataFolder();
            return report;
        }
        report.createdFolder = true;
    }
    report.ok = true;
    for (const std::string& name : packagedFileNames()) {
        const QFileInfo from(source.filePath(QString::fromStdString(name)));
        if (!from.isFile()) {
            report.missing.push_back(name);
            continue;
        }
        const QFileInfo to(QString::fromStdString(dataFilePath(name)));
        if (to.exists() && to.lastModified() >= from.lastModified())
            continue;
        std::string error;
        if (copyPackagedFile(from.filePath(), to.filePath(), error)) {
            report.copied.push_back(name);
        } else {
            report.ok = false;
            report.error = error;
        }
    }
    return report;
}
