// The launcher's installation step with a temporary XDG_DATA_HOME: a fresh user gets a filled data
// folder, a second run changes nothing the user made, a newer packaged file refreshes its copy.
#include "storage/data_folder.h"
#include "storage/data_install.h"
#include "storage/packaged_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class DataInstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(packaged_.isValid());
        oldHome_ = qgetenv("XDG_DATA_HOME");
        hadHome_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
        setDataFolderOverride("");
        for (const std::string& name : packagedFileNames())
            writeFile(source(name), "packaged " + name, hoursAgo(48));
        // Files that only the program writes; a packager that left some here must not spread them.
        for (const char* own : {"valvenix.ini", "valvenix2.sqlite", "configs.sqlite"})
            writeFile(source(own), "from the package", hoursAgo(1));
    }
    void TearDown() override {
        if (hadHome_)
            qputenv("XDG_DATA_HOME", oldHome_);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    static QDateTime hoursAgo(int hours) {
        return QDateTime::currentDateTimeUtc().addSecs(-3600 * hours).toLocalTime();
    }
    static void writeFile(const QString& file, const std::string& text, const QDateTime& time) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.data(), static_cast<qint64>(text.size()));
        f.setFileTime(time, QFileDevice::FileModificationTime);
    }
    static std::string readFile(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(missing)");
    }
    std::string sourceFolder() const { return packaged_.path().toStdString() + "/"; }
    QString source(const std::string& name) const { return packaged_.filePath(QString::fromStdString(name)); }
    QString installed(const std::string& name) const { return QString::fromStdString(dataFilePath(name)); }

private:
    QTemporaryDir home_;
    QTemporaryDir packaged_;
    QByteArray oldHome_;
    bool hadHome_ = false;
};

TEST_F(DataInstall, FreshUserGetsEveryPackagedFile) {
    EXPECT_FALSE(dataFolderExists());
    const DataInstallReport report = installDataFolder(sourceFolder());
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_TRUE(report.createdFolder);
    EXPECT_TRUE(dataFolderExists());
    EXPECT_NE(dataFolder().find("/Morvane/Valvenix/"), std::string::npos) << dataFolder();
    EXPECT_EQ(report.copied, packagedFileNames());
    EXPECT_TRUE(report.missing.empty());
    for (const std::string& name : packagedFileNames())
        EXPECT_EQ(readFile(installed(name)), "packaged " + name) << name;
    for (const char* own : {"valvenix.ini", "valvenix2.sqlite", "configs.sqlite"})
        EXPECT_FALSE(QFileInfo::exists(installed(own))) << own;
    EXPECT_TRUE(QDir(QString::fromStdString(dataFolder())).entryList({"*.part"}, QDir::Files).isEmpty());
}

TEST_F(DataInstall, SecondRunKeepsWhatTheUserMade) {
    ASSERT_TRUE(installDataFolder(sourceFolder()).ok);
    // The user's own files, and a description file the user has edited since.
    const QDateTime now = QDateTime::currentDateTime();
    for (const char* own : {"valvenix.ini", "valvenix2.sqlite", "configs.sqlite"})
        writeFile(installed(own), std::string("mine ") + own, now);
    writeFile(installed(kDescriptionsFile), "my notes", now);
    const QDateTime iniTime = QFileInfo(installed("valvenix.ini")).lastModified();

    const DataInstallReport again = installDataFolder(sourceFolder());
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_FALSE(again.createdFolder);
    EXPECT_TRUE(again.copied.empty());
    for (const char* own : {"valvenix.ini", "valvenix2.sqlite", "configs.sqlite"})
        EXPECT_EQ(readFile(installed(own)), std::string("mine ") + own) << own;
    EXPECT_EQ(QFileInfo(installed("valvenix.ini")).lastModified(), iniTime);
    EXPECT_EQ(readFile(installed(kDescriptionsFile)), "my notes");
}

TEST_F(DataInstall, NewerOrMissingPackagedFilesAreCopiedAgain) {
    ASSERT_TRUE(installDataFolder(sourceFolder()).ok);
    writeFile(source(kSchemasStreamFile), "new schematics", hoursAgo(2));
    ASSERT_TRUE(QFile::remove(installed(kUserManualFile)));

    const DataInstallReport report = installDataFolder(sourceFolder());
    ASSERT_TRUE(report.ok) << report.error;
    std::vector<std::string> copied = report.copied;
    std::sort(copied.begin(), copied.end());
    EXPECT_EQ(copied, (std::vector<std::string>{kUserManualFile, kSchemasStreamFile}));
    EXPECT_EQ(readFile(installed(kSchemasStreamFile)), "new schematics");
    EXPECT_EQ(readFile(installed(kUserManualFile)), std::string("packaged ") + kUserManualFile);
    EXPECT_TRUE(installDataFolder(sourceFolder()).copied.empty());
}

TEST_F(DataInstall, IncompleteOrMissingSources) {
    ASSERT_TRUE(QFile::remove(source(kIconsStreamFile)));
    const DataInstallReport partial = installDataFolder(sourceFolder());
    EXPECT_TRUE(partial.ok) << partial.error;
    EXPECT_EQ(partial.missing, std::vector<std::string>{kIconsStreamFile});
    EXPECT_EQ(partial.copied.size(), packagedFileNames().size() - 1);
    EXPECT_FALSE(QFileInfo::exists(installed(kIconsStreamFile)));

    const DataInstallReport none = installDataFolder(sourceFolder() + "no-such-folder/");
    EXPECT_FALSE(none.ok);
    EXPECT_NE(none.error.find("no-such-folder"), std::string::npos) << none.error;
}

TEST(PackagedFilesFolder, ShareFolderBesideTheProgramFolder) {
    EXPECT_EQ(packagedFilesFolder("/usr/local/bin"), "/usr/local/share/valvenix/");
    EXPECT_EQ(packagedFilesFolder("/home/me/valvenix/build/src/"), "/home/me/valvenix/build/share/valvenix/");
}

} // namespace
