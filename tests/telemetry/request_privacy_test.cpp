// What leaves the machine, seen by HTTPS servers on 127.0.0.1 that record every request: exactly
// the request lines and headers of a report, nothing at all without an active server or a trusted
// certificate, and a bounded end for a server that never answers.
#include "event_wait.h"
#include "signal_record.h"
#include "storage/settings.h"
#include "storage/temp_data_folder.h"
#include "telemetry/telemetry.h"
#include "test_servers.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace {

class RequestPrivacyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(certificate_.valid()); }
    std::unique_ptr<Telemetry> client(const QString& url, bool off = false) {
        auto telemetry = std::make_unique<Telemetry>(UsageServerSetting{url, off});
        telemetry->setTrustedCertificates(certificate_.trusted());
        return telemetry;
    }
    static bool settled(const Telemetry& telemetry) {
        return waitUntil([&] { return telemetry.pendingRequests() == 0; });
    }

    TestCertificate certificate_;
};

// Header name -> value of a recorded request head; the first line under "".
std::map<QString, QString> parseHead(const QString& head) {
    const QStringList lines = head.split("\r\n");
    std::map<QString, QString> fields{{"", lines.value(0)}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        fields[lines[i].left(colon).toLower()] = lines[i].mid(colon + 1).trimmed();
    }
    return fields;
}

TEST_F(RequestPrivacyTest, EachRequestCarriesItsPathAndTheFixedHeadersOnly) {
    const struct {
        const char* what;
        std::function<bool(Telemetry&, const QString& folder)> call;
        const char* line;
    } cases[] = {
        {"solve", [](Telemetry& t, const QString&) { return t.logSolve(7); },
         "HEAD /log/desktop.php?action=schema7 HTTP/1.1"},
        {"curves",
         [](Telemetry& t, const QString&) { return t.logCurveDrawing(Telemetry::DrawCause::UserRequest); },
         "HEAD /log/desktop.php?action=tube HTTP/1.1"},
        {"welcome", [](Telemetry& t, const QString& folder) { return t.fetchWelcome(folder); },
         "GET /log/introduction.rtf HTTP/1.1"},
        {"statistics", [](Telemetry& t, const QString&) { return t.fetchStatistics(); },
         "GET /log/getNewDatalog.php HTTP/1.1"},
    };
    // Headers Qt adds on its own are allowed as long as they say nothing of the user or the sheet.
    const std::set<QString> allowed = {"",
                                       "host",
                                       "accept",
                                       "user-agent",
                                       "connection",
                                       "cache-control",
                                       "pragma",
                                       "accept-encoding",
                                       "accept-language"};
    for (const auto& c : cases) {
        CaptureServer server(certificate_, "<css=h1>Page</css>");
        auto telemetry = client(server.url());
        QTemporaryDir folder;
        ASSERT_TRUE(c.call(*telemetry, folder.path())) << c.what;
        ASSERT_TRUE(settled(*telemetry)) << c.what;
        ASSERT_EQ(server.requests().size(), 1) << c.what;

        const auto head = parseHead(server.requests().front());
        EXPECT_EQ(head.at(""), c.line) << c.what;
        EXPECT_EQ(head.at("host"), server.url().mid(8)) << c.what;
        EXPECT_EQ(head.at("accept"), "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8")
            << c.what;
        EXPECT_EQ(head.at("user-agent"), "Valvenix/" VALVENIX_VERSION) << c.what;
        EXPECT_EQ(head.at("accept-language"), "en") << c.what << ": not the user's locale";
        for (const auto& [name, value] : head)
            EXPECT_TRUE(allowed.count(name))
                << c.what << " sent " << name.toStdString() << ": " << value.toStdString();
    }
}

TEST_F(RequestPrivacyTest, NothingLeavesWithoutAnActiveServer) {
    CaptureServer server(certificate_);
    const QString plainHttp = QString(server.url()).replace("https:", "http:");
    const struct {
        const char* what;
        QString url;
        bool off;
        const char* pageSays;
    } cases[] = {
        {"no address", "", false, "No usage server is set"},
        {"switched off", server.url(), true, "switched off"},
        {"switched off, no address", "", true, "switched off"},
        {"not https", plainHttp, false, "is not an https address"},
    };
    for (const auto& c : cases) {
        auto telemetry = client(c.url, c.off);
        SignalRecord record(*telemetry);
        QTemporaryDir folder;
        EXPECT_FALSE(telemetry->active()) << c.what;
        EXPECT_FALSE(telemetry->logSolve(7)) << c.what;
        EXPECT_FALSE(telemetry->logCurveDrawing(Telemetry::DrawCause::UserRequest)) << c.what;
        EXPECT_FALSE(telemetry->fetchWelcome(folder.path())) << c.what;
        EXPECT_TRUE(telemetry->fetchStatistics()) << c.what;
        ASSERT_TRUE(waitUntil([&] { return !record.failures.empty(); })) << c.what;
        settle();
        ASSERT_EQ(record.failures.size(), 1u) << c.what;
        EXPECT_TRUE(record.failures.front().contains(c.pageSays)) << c.what;
        EXPECT_EQ(record.total(), 1u) << c.what;
        EXPECT_EQ(server.connections(), 0) << c.what;
    }
}

// The settings file decides: the address key, and the off switch that wins over it.
class SettingsDrivenTest : public TempDataFolder {
protected:
    void SetUp() override {
        TempDataFolder::SetUp();
        ASSERT_TRUE(certificate_.valid());
    }
    TestCertificate certificate_;
};

TEST_F(SettingsDrivenTest, OffSwitchWinsOverTheAddress) {
    const struct {
        const char* lines; // main-section lines of the settings file; %1 is the server address
        bool sent;
    } cases[] = {
        {"lastcircuit=7", false},
        {"usageserver=", false},
        {"usageserver=%1", true},
        {"usageserver=%1\nusageoff=0", true},
        {"usageserver=%1\nusageoff=false", true},
        {"usageserver=%1\nusageoff=1", false},
        {"usageserver=%1\nusageoff=true", false},
        {"usageserver=%1\nusageoff=yes please", false},
        {"usageoff=1\nusageserver=%1", false},
    };
    for (const auto& c : cases) {
        CaptureServer server(certificate_);
        const QString lines = QString(c.lines).replace("%1", server.url());
        std::ofstream(path(kSettingsFileName)) << "[Korvessa]\n" << lines.toStdString() << "\n";

        const TIniPosDim settings(kSettingsFileName);
        Telemetry telemetry(
            UsageServerSetting{QString::fromStdString(settings.usageServer()), settings.usageOff()});
        telemetry.setTrustedCertificates(certificate_.trusted());
        EXPECT_EQ(telemetry.logSolve(7), c.sent) << c.lines;
        ASSERT_TRUE(waitUntil([&] { return telemetry.pendingRequests() == 0; })) << c.lines;
        settle();
        EXPECT_EQ(server.requests().size(), c.sent ? 1 : 0) << c.lines;
        EXPECT_EQ(server.connections(), c.sent ? 1 : 0) << c.lines;
    }
}

TEST_F(SettingsDrivenTest, KeysDefaultToNothingSentAndRoundTrip) {
    TIniPosDim settings(kSettingsFileName);
    EXPECT_EQ(settings.usageServer(), "");
    EXPECT_FALSE(settings.usageOff());
    ASSERT_TRUE(settings.setUsageServer("https://stats.example.org:8443/valvenix"));
    ASSERT_TRUE(settings.setUsageOff(true));
    const TIniPosDim other(kSettingsFileName);
    EXPECT_EQ(other.usageServer(), "https://stats.example.org:8443/valvenix");
    EXPECT_TRUE(other.usageOff());
    EXPECT_EQ(usageServerState({QString::fromStdString(other.usageServer()), other.usageOff()}),
              UsageServerState::SwitchedOff);
}

TEST_F(RequestPrivacyTest, UntrustedCertificateReceivesNothing) {
    const TestCertificate other;
    ASSERT_TRUE(other.valid());
    const struct {
        const char* what;
        std::optional<QList<QSslCertificate>> trusted; // none: the system's authorities
    } cases[] = {
        {"self-signed, system authorities", std::nullopt},
        {"another certificate trusted", other.trusted()},
    };
    for (const auto& c : cases) {
        CaptureServer server(certificate_, "<css=h1>Page</css>");
        Telemetry telemetry(UsageServerSetting{server.url(), false});
        if (c.trusted)
            telemetry.setTrustedCertificates(*c.trusted);
        SignalRecord record(telemetry);
        ASSERT_TRUE(telemetry.logSolve(7)) << c.what;
        ASSERT_TRUE(telemetry.fetchStatistics()) << c.what;
        ASSERT_TRUE(settled(telemetry)) << c.what;
        EXPECT_GE(server.connections(), 1) << c.what << ": the client did try";
        EXPECT_TRUE(server.requests().isEmpty()) << c.what;
        EXPECT_EQ(record.logged, (std::vector<std::pair<QString, bool>>{{"schema7", false}})) << c.what;
        EXPECT_TRUE(record.pages.empty()) << c.what;
        ASSERT_EQ(record.failures.size(), 1u) << c.what;
    }
}

TEST_F(RequestPrivacyTest, ServerThatNeverAnswersIsAbandonedAtTheTimeOut) {
    SilentServer server;
    auto telemetry = client(server.url());
    telemetry->setTimeout(std::chrono::milliseconds(300));
    SignalRecord record(*telemetry);
    ASSERT_TRUE(telemetry->logSolve(7));
    ASSERT_TRUE(telemetry->fetchStatistics());
    EXPECT_FALSE(telemetry->fetchStatistics()) << "nothing is queued behind a fetch under way";
    ASSERT_TRUE(settled(*telemetry));
    settle();
    EXPECT_EQ(server.connections(), 2);
    EXPECT_EQ(record.logged, (std::vector<std::pair<QString, bool>>{{"schema7", false}}));
    ASSERT_EQ(record.failures.size(), 1u);
    EXPECT_TRUE(record.failures.front().contains("did not answer within 0.3 s"))
        << record.failures.front().toStdString();
}

TEST_F(RequestPrivacyTest, OversizedStatisticsPageIsRefused) {
    CaptureServer server(certificate_, QByteArray(Telemetry::kMaxStatisticsBytes + 1, 'x'));
    auto telemetry = client(server.url());
    SignalRecord record(*telemetry);
    ASSERT_TRUE(telemetry->fetchStatistics());
    ASSERT_TRUE(settled(*telemetry));
    EXPECT_TRUE(record.pages.empty());
    ASSERT_EQ(record.failures.size(), 1u);
    EXPECT_TRUE(record.failures.front().contains("too large"));
}

TEST_F(RequestPrivacyTest, ClientDestroyedWithRequestsUnderWayTellsNobody) {
    SilentServer server;
    auto telemetry = client(server.url());
    SignalRecord record(*telemetry);
    ASSERT_TRUE(telemetry->logSolve(7));
    ASSERT_TRUE(telemetry->fetchStatistics());
    ASSERT_TRUE(waitUntil([&] { return server.connections() == 2; }));
    telemetry.reset();
    settle();
    EXPECT_EQ(record.total(), 0u);
}

} // namespace
