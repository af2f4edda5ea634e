// The client against the project's usage server, run by each test on a free port of 127.0.0.1 with
// a certificate made for the test: reports counted, the welcome file, the statistics page, and a
// stopped server.
#include "event_wait.h"
#include "markup/markup.h"
#include "signal_record.h"
#include "telemetry/telemetry.h"
#include "test_servers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Counts = std::map<std::string, long long>;

class UsageServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certificate_.valid());
        start();
    }
    virtual QString notice() const { return {}; }
    void start() {
        server_ = std::make_unique<UsageServerProcess>(certificate_, notice());
        ASSERT_TRUE(server_->running()) << server_->error().toStdString();
        telemetry_ = std::make_unique<Telemetry>(UsageServerSetting{server_->url(), false});
        telemetry_->setTrustedCertificates(certificate_.trusted());
        record_ = std::make_unique<SignalRecord>(*telemetry_);
    }
    bool settled() {
        return waitUntil([this] { return telemetry_->pendingRequests() == 0; });
    }

    TestCertificate certificate_;
    std::unique_ptr<UsageServerProcess> server_;
    std::unique_ptr<Telemetry> telemetry_;
    std::unique_ptr<SignalRecord> record_;
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST_F(UsageServerTest, SolveOfC7SendsOneReportAndTheServerCountsIt) {
    ASSERT_TRUE(telemetry_->logSolve(7));
    ASSERT_TRUE(settled());
    EXPECT_EQ(record_->logged, (std::vector<std::pair<QString, bool>>{{"schema7", true}}));
    EXPECT_EQ(server_->counts(), (Counts{{"schema7", 1}}));
    EXPECT_EQ(server_->rows(), 1);
}

TEST_F(UsageServerTest, ActionsAreCountedEachOnItsOwn) {
    const struct {
        const char* what;
        std::function<bool(Telemetry&)> call;
        bool sent;
    } steps[] = {
        {"solve C7", [](Telemetry& t) { return t.logSolve(7); }, true},
        {"solve C12", [](Telemetry& t) { return t.logSolve(12); }, true},
        {"solve C7 again", [](Telemetry& t) { return t.logSolve(7); }, true},
        {"curves asked for",
         [](Telemetry& t) { return t.logCurveDrawing(Telemetry::DrawCause::UserRequest); }, true},
        {"curves redrawn after a resize",
         [](Telemetry& t) { return t.logCurveDrawing(Telemetry::DrawCause::Resize); }, false},
        {"no such circuit", [](Telemetry& t) { return t.logSolve(43); }, false},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.call(*telemetry_), s.sent) << s.what;
        ASSERT_TRUE(settled()) << s.what;
    }
    EXPECT_EQ(server_->counts(), (Counts{{"schema7", 2}, {"schema12", 1}, {"tube", 1}}));
    EXPECT_EQ(server_->rows(), 3) << "one row per action and day";
    EXPECT_EQ(record_->logged.size(), 4u);
}

TEST_F(UsageServerTest, WelcomeFileReplacesTheOneInTheDataFolder) {
    QTemporaryDir data;
    const QString target = data.filePath(kWelcomeFileName);
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old welcome");
    old.close();

    ASSERT_TRUE(telemetry_->fetchWelcome(data.path()));
    ASSERT_TRUE(settled());
    EXPECT_EQ(record_->fetched, (std::vector<std::pair<QString, bool>>{{target, true}}));
    EXPECT_EQ(fileBytes(target), fileBytes(server_->welcomeFile()));
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList{kWelcomeFileName});
}

TEST_F(UsageServerTest, FailedDownloadKeepsThePreviousWelcomeFile) {
    QTemporaryDir data;
    const QString target = data.filePath(kWelcomeFileName);
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old welcome");
    old.close();
    ASSERT_TRUE(QFile::remove(server_->welcomeFile())); // the server now answers 404

    ASSERT_TRUE(telemetry_->fetchWelcome(data.path()));
    ASSERT_TRUE(settled());
    EXPECT_EQ(record_->fetched, (std::vector<std::pair<QString, bool>>{{target, false}}));
    EXPECT_EQ(fileBytes(target), QByteArray("old welcome"));
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList{kWelcomeFileName})
        << "no partial file left";
}

TEST_F(UsageServerTest, MissingDataFolderIsNotCreated) {
    QTemporaryDir data;
    const QString missing = data.filePath("not-installed");
    EXPECT_FALSE(telemetry_->fetchWelcome(missing));
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(telemetry_->pendingRequests(), 0);
}

TEST_F(UsageServerTest, StoppedServerEndsEveryRequestAtOnceAndSilently) {
    telemetry_->setTimeout(std::chrono::minutes(5)); // an answer inside the wait bound is no time-out
    server_->stop();
    QTemporaryDir data;

    ASSERT_TRUE(telemetry_->logSolve(7));
    EXPECT_EQ(record_->total(), 0u) << "the caller does not wait for the answer";
    EXPECT_EQ(telemetry_->pendingRequests(), 1);
    ASSERT_TRUE(telemetry_->fetchWelcome(data.path()));
    ASSERT_TRUE(settled());

    EXPECT_EQ(record_->logged, (std::vector<std::pair<QString, bool>>{{"schema7", false}}));
    EXPECT_EQ(record_->fetched.size(), 1u);
    EXPECT_TRUE(record_->pages.empty());
    EXPECT_TRUE(record_->failures.empty()) << "a failed report shows nothing";
    EXPECT_TRUE(QDir(data.path()).isEmpty());

    // The usage page is where a failure is told, once, in words.
    ASSERT_TRUE(telemetry_->fetchStatistics());
    ASSERT_TRUE(waitUntil([&] { return !record_->failures.empty(); }));
    settle();
    ASSERT_EQ(record_->failures.size(), 1u);
    const std::string text = markupToPlainText(record_->failures.front().toStdString());
    EXPECT_NE(text.find("could not be fetched from " + server_->url().toStdString()), std::string::npos)
        << text;
    EXPECT_NE(text.find("refused"), std::string::npos) << text;
}

// The statistics page with a note of the server's operator written with upper-case tags.
class StatisticsPageTest : public UsageServerTest {
protected:
    QString notice() const override {
        return "<P>Note: <B>upper-case</B> tags and g<SUB>m</SUB> show plain.</P><BR>New line?";
    }
};

TEST_F(StatisticsPageTest, RendersWithTheUsageClassesAndUpperCaseTagsRemoved) {
    for (int circuit : {7, 7, 3})
        ASSERT_TRUE(telemetry_->logSolve(circuit));
    ASSERT_TRUE(telemetry_->logCurveDrawing(Telemetry::DrawCause::UserRequest));
    ASSERT_TRUE(settled());
    ASSERT_TRUE(telemetry_->fetchStatistics());
    ASSERT_TRUE(settled());
    ASSERT_EQ(record_->pages.size(), 1u);
    ASSERT_TRUE(record_->failures.empty()) << record_->failures.front().toStdString();

    const auto runs =
        parseMarkup(record_->pages.front().toStdString(), classesFor(MarkupDisplay::UsageStatistics));
    std::string text;
    for (const TextRun& run : runs) {
        text += run.text;
        EXPECT_EQ(run.text.find_first_of("<>"), std::string::npos) << "a tag was shown: " << run.text;
    }
    EXPECT_NE(text.find("Note: upper-case tags and gm show plain.New line?"), std::string::npos) << text;

    auto runWith = [&](const std::string& part) -> const TextRun* {
        for (const TextRun& run : runs)
            if (run.text.find(part) != std::string::npos)
                return &run;
        return nullptr;
    };
    const TextRun* upper = runWith("upper-case");
    ASSERT_NE(upper, nullptr);
    EXPECT_TRUE(upper->attributes.isDefault()) << "an upper-case tag must not format";
    const TextRun* title = runWith("Valvenix usage statistics");
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->attributes.bold());
    EXPECT_EQ(title->attributes.size, 14);

    // Totals: three solves and one curve drawing, C7 the most solved; figures in the "rou" class.
    for (const char* line : {"Solves: 3\n", "Curve drawings: 1\n", "1. C7: 2 solves\n", "2. C3: 1 solve\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " not in:\n" << text;
    const TextRun* solves = runWith("Solves: ");
    ASSERT_NE(solves, nullptr);
    ASSERT_LT(static_cast<std::size_t>(solves - runs.data()) + 1, runs.size());
    const TextRun& figure = *(solves + 1);
    EXPECT_EQ(figure.text, "3");
    EXPECT_TRUE(figure.attributes.bold());
    EXPECT_EQ(figure.attributes.color, std::optional<std::uint32_t>(0xA01010u));
}

} // namespace
