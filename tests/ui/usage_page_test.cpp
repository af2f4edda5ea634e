// The usage page and the usage reports of the main window: the help text when no server is set, the
// statistics of the project's usage server (started on 127.0.0.1 with a certificate made for the test),
// the failure told once on the page, and a solve in a window the main window opened counted by the server.
#include "main_window_support.h"
#include "window_helpers.h"

#include "telemetry/telemetry.h"
#include "ui/form_solver.h"
#include "ui/markup_display.h"
#include "ui/usage_page.h"

#ifdef VALVENIX_USAGE_SERVER_TESTS
#include "event_wait.h"
#include "test_servers.h"
#endif

#include <QTextBlock>
#include <QTextCursor>

namespace {

// Asks for the page, then runs the event loop until it was filled (bounded); the kind of fill it was.
std::optional<bool> fillPage(TUsagePage& page, const std::function<void()>& ask) {
    std::optional<bool> statistics;
    const QMetaObject::Connection c =
        QObject::connect(&page, &TUsagePage::filled, [&statistics](bool s) { statistics = s; });
    ask();
    const QDeadlineTimer deadline(20000);
    while (!statistics && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QObject::disconnect(c);
    return statistics;
}

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST_F(MainWindowTest, WithoutAServerTheUsagePageSaysHowToSetOne) {
    const struct {
        const char* name;
        std::unique_ptr<Telemetry> telemetry;
        const char* says;
    } cases[] = {
        {"no client", nullptr, "No usage server is set"},
        {"empty address", std::make_unique<Telemetry>(UsageServerSetting{}), "No usage server is set"},
        {"switched off", std::make_unique<Telemetry>(UsageServerSetting{"https://127.0.0.1:9", true}),
         "Usage reports are switched off"},
        {"not https", std::make_unique<Telemetry>(UsageServerSetting{"http://127.0.0.1:9", false}),
         "is not an https address"},
    };
    for (const auto& c : cases) {
        TUsagePage page(c.telemetry.get());
        ASSERT_EQ(fillPage(page, [&page] { page.ProcessDatalog(); }), std::optional<bool>(false)) << c.name;
        const std::string shown = page.display()->plainText();
        EXPECT_EQ(occurrences(shown, c.says), 1) << c.name << ": " << shown;
        EXPECT_NE(shown.find("usageoff=0"), std::string::npos) << c.name;
    }
    EXPECT_TRUE(boxes().texts.empty());
}

#ifdef VALVENIX_USAGE_SERVER_TESTS

class UsageServerPageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(certificate_.valid());
        server_ = std::make_unique<UsageServerProcess>(certificate_);
        ASSERT_TRUE(server_->running()) << server_->error().toStdString();
        telemetry_ = std::make_unique<Telemetry>(UsageServerSetting{server_->url(), false});
        telemetry_->setTrustedCertificates(certificate_.trusted());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        telemetry_.reset();
        server_.reset();
    }
    // Sends one report and waits for its end.
    void report(const QString& action) {
        bool done = false;
        const auto c = QObject::connect(telemetry_.get(), &Telemetry::actionLogged,
                                        [&done](const QString&, bool ok) { done = ok; });
        ASSERT_TRUE(telemetry_->logAction(action));
        ASSERT_TRUE(waitUntil([&done] { return done; }));
        QObject::disconnect(c);
    }

    TestCertificate certificate_;
    std::unique_ptr<UsageServerProcess> server_;
    std::unique_ptr<Telemetry> telemetry_;
};

TEST_F(UsageServerPageTest, ThePageShowsTheServersStatisticsWithItsClasses) {
    for (const char* action : {"schema7", "schema7", "schema12", "tube"})
        report(action);
    TUsagePage page(telemetry_.get());
    ASSERT_EQ(fillPage(page,
                       [&page] {
                           page.ProcessDatalog();
                           EXPECT_TRUE(page.waiting());
                       }),
              std::optional<bool>(true));
    const std::string shown = page.display()->plainText();
    EXPECT_NE(shown.find("Solves: 3"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Curve drawings: 1"), std::string::npos) << shown;
    EXPECT_NE(shown.find("C7: 2 solves"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('<'), std::string::npos) << shown; // every tag rendered, none shown
    // The first heading in "h1" (bold, 14 pt), the figures in "rou" (bold, A01010).
    QTextCursor heading(page.display()->document()->firstBlock());
    heading.movePosition(QTextCursor::NextCharacter);
    EXPECT_TRUE(heading.charFormat().font().bold());
    EXPECT_EQ(heading.charFormat().fontPointSize(), 14);
    QTextCursor figure = page.display()->document()->find(QStringLiteral("3"));
    ASSERT_FALSE(figure.isNull());
    EXPECT_EQ(figure.charFormat().foreground().color(), QColor(0xA0, 0x10, 0x10));
}

TEST_F(UsageServerPageTest, AFailedFetchIsToldOnceOnThePage) {
    server_->stop();
    TUsagePage page(telemetry_.get());
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_EQ(fillPage(page, [&page] { page.ProcessDatalog(); }), std::optional<bool>(false));
        const std::string shown = page.display()->plainText();
        EXPECT_EQ(occurrences(shown, "could not be fetched"), 1) << shown;
    }
    EXPECT_TRUE(boxes().texts.empty());
}

TEST_F(UsageServerPageTest, TheMainWindowFetchesTheWelcomeFileAndReportsEverySolve) {
    auto* w = new TForm1(telemetry_.get());
    w->show();
    ASSERT_TRUE(waitUntil([this] { return exists("introduction.rtf"); }));

    TFormSolver* s = w->LoadFormSolver(7);
    ASSERT_NE(s, nullptr);
    setValues(s, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}});
    s->ButtonSolverClick();
    s->ButtonSolverClick();
    ASSERT_TRUE(waitUntil([this] { return server_->counts()["schema7"] == 2; }));
    EXPECT_EQ(server_->counts().size(), 1u); // nothing but the two solves

    ASSERT_EQ(fillPage(*w->usagePage(), [w] { w->menuIntroClick(3); }), std::optional<bool>(true));
    EXPECT_NE(w->usagePage()->display()->plainText().find("C7: 2 solves"), std::string::npos);
}

#endif

} // namespace
