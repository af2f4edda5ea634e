// Runs the built valvenix-cli in a fresh data folder and captures its output and exit status.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline CliRun runCli(const QStringList& args,
                     const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral(VALVENIX_CLI), args);
    CliRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        r.err = "timed out";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

class CliFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString dataDir() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }
    CliRun run(QStringList args) {
        args.prepend(dataDir());
        args.prepend("--data-dir");
        return runCli(args);
    }

private:
    QTemporaryDir dir_;
};

// True when the bytes are well-formed UTF-8 (a decoding round trip keeps them).
inline bool isUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8().toStdString() ==
           bytes;
}
