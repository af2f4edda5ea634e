// valvenix-cli loads QtGui only for runs that draw: those are handed over to valvenix-cli-draw, which
// must be found beside it; the others never map the library (seen through the dynamic loader's log).
#include "cli_runner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The run's exit status and whether the loader mapped QtGui into it (or into the program it became).
struct LoadedRun {
    CliRun run;
    bool loadedGui = false;
};

LoadedRun runLoggingLibraries(const QString& program, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LD_DEBUG", "libs");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    LoadedRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        r.run.err = "timed out";
        return r;
    }
    r.run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.run.out = p.readAllStandardOutput().toStdString();
    r.run.err = p.readAllStandardError().toStdString();
    r.loadedGui = r.run.err.find("libQt6Gui.so") != std::string::npos;
    return r;
}
} // namespace

class DrawingHandover : public CliFixture {};

TEST_F(DrawingHandover, OnlyRunsThatDrawLoadQtGui) {
    struct Case {
        const char* name;
        QStringList args;
        const char* picture; // the file the run writes, when it draws
    };
    const QString dir = dataDir();
    const Case cases[] = {
        {"solve as JSON", {"solve", "C1", "--json"}, nullptr},
        {"solve as text", {"solve", "C39", "LBtube=300B", "EdVb=400", "EdRk=500", "EdZaa=5k"}, nullptr},
        {"models", {"models"}, nullptr},
        {"netlist", {"spice", "C1"}, nullptr},
        {"solve with pictures", {"solve", "C1", "--png-dir", dir}, "C1-bode.png"},
        {"schematic", {"schematic", "C1", "--png", dir + "/schematic.png"}, "schematic.png"},
        {"anode curves", {"curves", "ECC83 / 12AX7", "--png", dir + "/curves.png"}, "curves.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedRun r =
            runLoggingLibraries(QStringLiteral(VALVENIX_CLI), QStringList{"--data-dir", dir} + c.args);
        ASSERT_EQ(r.run.exitCode, 0) << r.run.err.substr(r.run.err.size() > 2000 ? r.run.err.size() - 2000
                                                                                 : 0);
        EXPECT_EQ(r.loadedGui, c.picture != nullptr);
        if (c.picture) {
            EXPECT_GT(QFileInfo(dir + "/" + c.picture).size(), 1000);
        }
    }
}

TEST_F(DrawingHandover, MissingDrawingProgramIsReportedAndOtherRunsWork) {
    // A copy of valvenix-cli alone in a folder: nothing to hand a drawing over to.
    const QString alone = dataDir() + "/alone";
    ASSERT_TRUE(QDir().mkpath(alone));
    const QString program = alone + "/valvenix-cli";
    ASSERT_TRUE(QFile::copy(QStringLiteral(VALVENIX_CLI), program));
    const QStringList data{"--data-dir", dataDir()};

    const LoadedRun drawing =
        runLoggingLibraries(program, data + QStringList{"solve", "C1", "--png-dir", dataDir()});
    EXPECT_EQ(drawing.run.exitCode, 1);
    EXPECT_NE(drawing.run.err.find("valvenix-cli: cannot start valvenix-cli-draw"), std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(dataDir() + "/C1-bode.png"));

    const LoadedRun plain = runLoggingLibraries(program, data + QStringList{"solve", "C1", "--json"});
    EXPECT_EQ(plain.run.exitCode, 0);
    EXPECT_EQ(plain.run.out.rfind("{\"circuit\":\"C1\"", 0), 0u);
}
