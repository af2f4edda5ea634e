// valvenix-cli install-data: the installation step that the start script runs before anything else.
#include "cli_runner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char* const kPackaged[] = {"stream-schemas.bin", "stream-miniatures.bin", "stream-ec86.bin",
                                 "schemas2026.txt",    "introduction.txt",      "Valvenix User Manual.pdf",
                                 "examples.txt"};

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

TEST(InstallData, FreshFolderFromTheBuildTreeThenNothingToDo) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString data = home.filePath("Morvane/Valvenix");

    const CliRun first = runCli({"--data-dir", data, "install-data"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("created "), std::string::npos) << first.out;
    for (const char* name : kPackaged) {
        EXPECT_NE(first.out.find(std::string("installed ") + name), std::string::npos) << name;
        EXPECT_EQ(contents(QDir(data).filePath(name)), contents(QDir(VALVENIX_PACKAGED_DIR).filePath(name)))
            << name;
    }

    // The folder now serves every other command; the model database is the program's own file.
    const CliRun models = runCli({"--data-dir", data, "models"});
    EXPECT_EQ(models.exitCode, 0) << models.err;
    QFile settings(QDir(data).filePath("valvenix.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Korvessa]\nlastcircuit=7\n");
    settings.close();

    const CliRun again = runCli({"install-data", "--data-dir", data});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(contents(QDir(data).filePath("valvenix.ini")), "[Korvessa]\nlastcircuit=7\n");
}

TEST(InstallData, RefusedSourcesAndArguments) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString data = home.filePath("Valvenix");
    const struct {
        const char* name;
        QStringList args;
        int exitCode;
    } cases[] = {
        {"no packaged files there", {"--data-dir", data, "install-data", "--from", home.filePath("none")}, 1},
        {"a stray argument", {"--data-dir", data, "install-data", "now"}, 2},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err;
        EXPECT_FALSE(run.err.empty()) << c.name;
        EXPECT_FALSE(QFileInfo::exists(data)) << c.name;
    }
}

} // namespace
