// The main window as a first start and later starts meet it: the start-up steps and what a missing
// packaged file stops, the model-database messages, the last-circuit link, request codes, the menu and
// its pages, the about box and the desktop addresses, the window's stored geometry.
#include "main_window_support.h"
#include "window_helpers.h"

#include "circuits/catalogue.h"
#include "storage/configurations.h"
#include "storage/model_database.h"
#include "storage/packaged_files.h"
#include "ui/companion_windows.h"
#include "ui/form_models.h"
#include "ui/form_solver.h"
#include "ui/markup_display.h"
#include "ui/page_bar.h"
#include "ui/screen_placement.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QUrl>

namespace {

// Records the addresses QDesktopServices would hand to a desktop program.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() {
        for (const char* scheme : kSchemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlRecorder() override {
        for (const char* scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }

private:
    static constexpr const char* kSchemes[] = {"file", "https", "mailto"};
};

std::vector<TFormSolver*> solverWindows() {
    std::vector<TFormSolver*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<TFormSolver*>(w); s && !s->isHidden())
            windows.push_back(s);
    return windows;
}

long long saveSheet(int circuit, const char* name, const char* comment, const Values& values) {
    Sheet sheet = newSheet(circuit);
    for (const auto& [control, value] : values)
        sheet.find(control)->text = value;
    return saveSheetConfig(sheet, name, comment);
}

TEST_F(MainWindowTest, FirstStartShowsTheWelcomePageCentredAndPreparesTheModels) {
    TForm1* w = openMainWindow();
    EXPECT_TRUE(boxes().texts.empty());
    EXPECT_TRUE(w->startupComplete());
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w->windowTitle().toStdString(), "Korvessa  0.1.0");
    EXPECT_EQ(w->currentPage()->objectName(), "AdvPanelIntro");
    EXPECT_EQ(w->introduction()->plainText().rfind("Welcome to Valvenix", 0), 0u);
    EXPECT_EQ(w->introduction()->verticalScrollBar()->value(), 0); // shown from its beginning
    EXPECT_EQ(listModelNames().size(), 30u);
    // No circuit solved yet: the link shows nothing.
    EXPECT_EQ(w->lastCircuitTag(), 0);
    EXPECT_FALSE(child<QPushButton>(w, "LabelLastCircuit")->isVisible());
    // Centred on the screen, half its size or the least the window can be.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((w->geometry().center() - screen.center()).manhattanLength(), 2);
    EXPECT_EQ(w->width(), std::max(screen.width() / 2, w->minimumSizeHint().width()));
}

TEST_F(MainWindowTest, AFreshWindowWithoutMinimumTakesHalfTheScreen) {
    QWidget plain;
    TIniPosDim settings;
    settings.Open();
    restoreWindowPlacement(&plain, settings, "Form1");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(plain.size(), QSize(screen.width() / 2, screen.height() / 2));
    EXPECT_EQ(plain.pos(), screen.topLeft() + QPoint((screen.width() - screen.width() / 2) / 2,
                                                     (screen.height() - screen.height() / 2) / 2));
}

TEST_F(MainWindowTest, AMissingStreamIsToldAndStopsTheStepsThatNeedIt) {
    const struct {
        const char* file;
        bool blocks;   // the gallery has its blocks
        bool complete; // the steps after the streams ran: models seeded, link set
    } cases[] = {
        {kMiniaturesStreamFile, false, true},
        {kSchemasStreamFile, true, false},
        {kIconsStreamFile, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QFile::remove(QString::fromStdString(path(modelDatabaseFileName(2))));
        writeSetting("lastcircuit", "12");
        ASSERT_TRUE(
            QFile::rename(QString::fromStdString(path(c.file)), QString::fromStdString(path("aside"))));
        boxes().clear();
        TForm1* w = openMainWindow();
        ASSERT_EQ(boxes().texts.size(), 1u);
        EXPECT_EQ(boxes().texts[0], "Cannot load " + path(c.file));
        EXPECT_EQ(boxes().icons[0], QMessageBox::Critical);
        EXPECT_EQ(w->library()->hasGalleryBlocks(), c.blocks);
        EXPECT_EQ(w->startupComplete(), c.complete);
        EXPECT_EQ(exists(modelDatabaseFileName(2)), c.complete);
        EXPECT_EQ(w->lastCircuitTag(), c.complete ? 12 : 0);
        // The window works with what it has.
        w->menuIntroClick(2);
        w->library()->chooseView(false);
        EXPECT_EQ(treeNodes(w->library()->tree(), 0).size(), 13u);
        delete w;
        ASSERT_TRUE(
            QFile::rename(QString::fromStdString(path("aside")), QString::fromStdString(path(c.file))));
    }
}

TEST_F(MainWindowTest, AMissingWelcomeTextIsToldAndStartUpGoesOn) {
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path(kIntroductionFile))));
    TForm1* w = openMainWindow();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "Could not load file introduction.rtf");
    EXPECT_EQ(boxes().icons[0], QMessageBox::Information);
    EXPECT_TRUE(w->startupComplete());
    EXPECT_TRUE(w->introduction()->plainText().empty());
}

TEST_F(MainWindowTest, AMigrationOfTheFirstModelDatabaseIsToldOnce) {
    {
        TSQLite3Database v1(path(modelDatabaseFileName(1)));
        v1.Execute(
            "CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu DOUBLE,kvb "
            "DOUBLE,ex DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE)");
        v1.Execute("INSERT INTO triodes VALUES (1,'6SN7 custom','mine',17,20.5,300,1.3,1500,5,0.02,450)");
    }
    delete openMainWindow();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], kModelDatabaseUpdatedMessage);
    EXPECT_EQ(listModelNames().size(), 31u);
    boxes().clear();
    delete openMainWindow();
    EXPECT_TRUE(boxes().texts.empty());
}

TEST_F(MainWindowTest, TheLastCircuitLinkOpensOnlyACircuitOfTheLibrary) {
    const struct {
        const char* stored;
        int tag;
        const char* caption;
    } cases[] = {
        {"12", 12, "C12 Dual triode mixer, asymmetrical"},
        {"42", 42, "C42 Fixed bias pentode push-pull"},
        {"0", 0, ""},
        {"43", 0, ""},
        {"-7", 0, ""},
        {"twelve", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        writeSetting("lastcircuit", c.stored);
        TForm1* w = openMainWindow();
        auto* link = child<QPushButton>(w, "LabelLastCircuit");
        EXPECT_EQ(w->lastCircuitTag(), c.tag);
        EXPECT_EQ(link->text().toStdString(), c.caption);
        EXPECT_EQ(link->isVisible(), c.tag != 0);
        w->butLastCircuitClick();
        const std::vector<TFormSolver*> opened = solverWindows();
        ASSERT_EQ(opened.size(), c.tag != 0 ? 1u : 0u);
        if (c.tag != 0) {
            EXPECT_EQ(opened[0]->circuit(), c.tag);
        }
        for (TFormSolver* s : opened)
            delete s;
        delete w;
    }
}

TEST_F(MainWindowTest, ARequestCodeOpensItsCircuitWithItsConfiguration) {
    TForm1* w = openMainWindow();
    const long long warm = saveSheet(5, "warm", "", {{"EdRa", "47k"}});
    const long long other = saveSheet(7, "of C7", "", {{"EdRa1", "12k"}});

    TFormSolver* s = w->LoadFormSolver(static_cast<int>(5 + 1024 * warm));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->circuit(), 5);
    EXPECT_EQ(text(s, "EdRa"), "47k");
    EXPECT_EQ(text(s, "LabelCustom"), "warm");
    EXPECT_EQ(child<QGroupBox>(s, "ContainerSchema")->title(), "warm");

    // A configuration of another circuit is not applied to this one: the window opens as a first
    // opening does, on the circuit's built-in example.
    TFormSolver* plain = w->LoadFormSolver(static_cast<int>(5 + 1024 * other));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(text(plain, "EdRa"), "22k");
    EXPECT_EQ(text(plain, "LabelCustom"), "Example");
    // The second window stands 24 pixels right of and below the first.
    EXPECT_EQ(plain->pos(), s->pos() + QPoint(24, 24));

    for (int code : {0, -1, 43, 1024, 1024 * 3 + 50})
        EXPECT_EQ(w->LoadFormSolver(code), nullptr) << code;
}

TEST_F(MainWindowTest, ASolveInAWindowItOpenedSetsTheLink) {
    TForm1* w = openMainWindow();
    TFormSolver* s = w->LoadFormSolver(1);
    ASSERT_NE(s, nullptr);
    s->ButtonSolverClick();
    EXPECT_EQ(w->lastCircuitTag(), 1);
    EXPECT_EQ(child<QPushButton>(w, "LabelLastCircuit")->text(), "C1 Common-cathode amplifier, cathode bias");
    EXPECT_EQ(w->settings().lastCircuit(), 1);
}

TEST_F(MainWindowTest, TheMenuHoldsEveryItemInOrder) {
    TForm1* w = openMainWindow();
    std::vector<std::string> items;
    for (QAction* a : w->menu()->actions())
        items.push_back(a->isSeparator()
                            ? "-"
                            : a->objectName().toStdString() + (a->isVisible() ? "" : " (hidden)") + ": " +
                                  a->text().toStdString());
    const std::vector<std::string> expected = {"menuIntro: Welcome screen",
                                               "-",
                                               "menuLibrary: Libray of solvers",
                                               "menuAnode: Anode curves",
                                               "menuMytriodes: Tube models",
                                               "-",
                                               "menuUserManual: User Manual",
                                               "menuUsage: Stats of worldwide usage",
                                               "-",
                                               "menuAbout: About",
                                               "menuWeb: Web site",
                                               "menuEmail: E-mail",
                                               "menuModeDark (hidden): Set dark mode",
                                               "menuModeLight (hidden): Set light mode"};
    EXPECT_EQ(items, expected);
}

TEST_F(MainWindowTest, PagesAndTheLastCircuitLinkFollowTheMenuAndTheTitleButtons) {
    writeSetting("lastcircuit", "3");
    TForm1* w = openMainWindow();
    auto* link = child<QPushButton>(w, "LabelLastCircuit");
    const struct {
        const char* action;
        std::function<void()> act;
        const char* page;
        const char* linkBar;
    } steps[] = {
        {"menu 2", [w] { w->menuIntroClick(2); }, "AdvPanelLibrary", "TopPanelLibrary"},
        {"menu 1", [w] { w->menuIntroClick(1); }, "AdvPanelIntro", "TopPanelIntro"},
        {"menu 3", [w] { w->menuIntroClick(3); }, "AdvPanelUsage", "TopPanelLibrary"},
        {"button Library", [w] { child<QPushButton>(w, "AdvGlassButton3")->click(); }, "AdvPanelLibrary",
         "TopPanelLibrary"},
        {"menu 1 again", [w] { w->menuIntroClick(1); }, "AdvPanelIntro", "TopPanelIntro"},
        {"menu 5 (no window yet)", [w] { w->menuIntroClick(5); }, "AdvPanelIntro", "TopPanelLibrary"},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(w->currentPage()->objectName(), step.page) << step.action;
        EXPECT_EQ(link->parentWidget()->objectName(), step.linkBar) << step.action;
        EXPECT_FALSE(link->isHidden()) << step.action;
    }
}

TEST_F(MainWindowTest, TheCompanionWindowsComeUpFromTheMenuAndTheButtons) {
    TForm1* w = openMainWindow();
    auto* curves = new QWidget;
    auto* models = new QWidget;
    w->setCompanionWindows(curves, models);
    w->butMenu1Click(2);
    EXPECT_TRUE(curves->isVisible());
    EXPECT_FALSE(models->isVisible());
    w->menuIntroClick(5);
    EXPECT_TRUE(models->isVisible());
    delete curves; // a window closed and gone leaves the menu item harmless
    w->menuIntroClick(4);
}

TEST_F(MainWindowTest, AModelRemovedInTheModelsWindowReachesTheCurvesListAndEveryOpenSolver) {
    TForm1* w = openMainWindow();
    const CompanionWindows windows = createCompanionWindows(w, nullptr);
    TFormSolver* pentode = w->LoadFormSolver(38);
    TFormSolver* triode = w->LoadFormSolver(1);
    setValues(pentode, {{"LBtube", "EL34"}});
    setValues(triode, {{"LBtube", "ECC82 / 12AU7"}});
    w->butMenu1Click(2);  // the anode-curves window, its list filled as it opens
    w->menuIntroClick(5); // the tube-models window
    auto* curvesList = child<QListWidget>(windows.curves, "LBtubes");
    ASSERT_FALSE(curvesList->findItems("EL34", Qt::MatchExactly).isEmpty());

    auto* models = static_cast<TFormModels*>(windows.models);
    auto* list = child<QListWidget>(models, "LBmodels");
    list->setCurrentItem(list->findItems("EL34", Qt::MatchExactly).first());
    boxes().setAnswer(true);
    models->butModelRemoveClick();

    EXPECT_TRUE(curvesList->findItems("EL34", Qt::MatchExactly).isEmpty());
    EXPECT_EQ(child<QComboBox>(pentode, "LBtube")->currentIndex(), -1);
    EXPECT_EQ(child<QComboBox>(triode, "LBtube")->currentText(), "ECC82 / 12AU7");
    delete windows.curves;
    delete windows.models;
}

TEST_F(MainWindowTest, TheAboutBoxAndTheDesktopAddresses) {
    UrlRecorder desktop;
    TForm1* w = openMainWindow();
    w->menuAboutClick();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_TRUE(
        QRegularExpression(
            QStringLiteral("^\\n\\nSolvers for electron tubes\\n\\nby Morvane\\n\\nSoftware Valvenix version "
                           "\\d+\\.\\d+\\.\\d+\\n\\n$"))
            .match(QString::fromStdString(boxes().texts[0]))
            .hasMatch())
        << boxes().texts[0];

    w->menuUserManualClick();
    w->menuWebClick();
    w->menuEmailClick();
    ASSERT_EQ(desktop.urls.size(), 3u);
    EXPECT_EQ(desktop.urls[0], QUrl::fromLocalFile(QString::fromStdString(path(kUserManualFile))));
    EXPECT_EQ(desktop.urls[1], QUrl(QStringLiteral("https://valvenix.example.org/")));
    EXPECT_EQ(desktop.urls[2], QUrl(QStringLiteral("mailto:valvenix@example.org")));

    // The addresses are settings; the manual must be there to be handed on.
    writeSetting(kWebSiteKey, "https://tubes.example.net/valvenix");
    writeSetting(kEmailKey, "  designer@example.net ");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path(kUserManualFile))));
    desktop.urls.clear();
    boxes().clear();
    w->menuWebClick();
    w->menuEmailClick();
    w->menuUserManualClick();
    ASSERT_EQ(desktop.urls.size(), 2u);
    EXPECT_EQ(desktop.urls[0], QUrl(QStringLiteral("https://tubes.example.net/valvenix")));
    EXPECT_EQ(desktop.urls[1], QUrl(QStringLiteral("mailto:designer@example.net")));
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_NE(boxes().texts[0].find(kUserManualFile), std::string::npos);
}

TEST_F(MainWindowTest, TheGeometryIsStoredAndBroughtBackOnScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    TForm1* w = openMainWindow();
    const QRect placed(screen.topLeft() + QPoint(30, 20), QSize(700, 460));
    w->setGeometry(placed);
    delete w;
    w = openMainWindow();
    EXPECT_EQ(w->geometry(), placed);
    delete w;

    // Stored on a monitor that is gone: centred, with its size.
    TIniPosDim settings;
    settings.Open();
    ASSERT_TRUE(settings.storeForm("Form1", {screen.right() + 2000, 40, 700, 460}));
    w = openMainWindow();
    EXPECT_EQ(w->size(), QSize(700, 460));
    EXPECT_LE((w->geometry().center() - screen.center()).manhattanLength(), 2);
}

} // namespace

#include "main_window_test.moc"
