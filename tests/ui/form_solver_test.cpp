// The solver window as a host of the solve command: every circuit solves through it, refused
// sheets and solver dialogs leave the previous results, Enter solves, tabs follow the circuit.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "circuits/catalogue.h"
#include "storage/settings.h"
#include "ui/sheet_frame.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <QToolButton>
#include <iterator>
#include <random>

namespace {

// A sheet that solves for every circuit: the first-use values, with a few realistic values where
// the first-use ones describe a circuit that cannot work.
Values solvingValues(int n) {
    switch (n) {
    case 3:
        return {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "100"}, {"EdRk", "22k"}, {"EdCg", "100n"}};
    case 4:
        return {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdRk2", "47k"}};
    case 5:
        return {
            {"LBtube", "ECC82 / 12AU7"}, {"EdVb", "300"},  {"EdVg", "100"}, {"EdRa", "22k"}, {"EdRk", "22k"},
            {"EdRao", "470k"},           {"EdRko", "470k"}};
    case 7:
        return {
            {"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdRa1", "100k"}, {"EdRa2", "120k"}, {"EdRk", "1k"}};
    case 10:
        return {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdIcs", "1m"}, {"EdRk", "100k"}};
    case 9:
        return {
            {"EdVb", "400"}, {"EdRk2", "120k"}, {"EdRa2", "39k"}, {"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}};
    case 13:
        return {{"EdVg", "50"}, {"EdIk", "2m"}, {"EdRa", "47k"}, {"LBtube", "12AY7"}};
    case 14:
        return {{"EdVb", "300"},  {"EdRg2", "220k"},    {"EdRag", "470k"},   {"EdRk2", "22k"},
                {"EdRa2", "47k"}, {"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}};
    case 16:
        return {{"LBtube1", "ECC99"}, {"LBtube2", "ECC83 / 12AX7"},
                {"EdVb", "400"},      {"EdR1", "470k"},
                {"EdR2", "47k"},      {"EdR3", "220k"},
                {"EdR4", "100k"},     {"EdVref", "85"},
                {"EdIo", "20m"}};
    case 17:
        return {{"LBtube", "ECC82 / 12AU7"},
                {"EdVb", "350"},
                {"EdR", "100k"},
                {"EdVref", "250"},
                {"EdIo", "10m"}};
    case 37:
        return {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "0"},
                {"EdRk", "800"},    {"EdRa", "3k"},  {"EdRp", "100"}};
    case 38:
        return {{"LBtube", "EL34"}, {"EdVb", "350"}, {"EdVg", "0"},  {"EdVg2", "300"},
                {"EdRk", "270"},    {"EdRa", "3k"},  {"EdRp", "100"}};
    case 39:
        return {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "780"}, {"EdZaa", "5k"}};
    case 40:
        return {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "400"}, {"EdRk", "250"}, {"EdZaa", "6600"}};
    case 41:
        return {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-80"}, {"EdZaa", "5k"}};
    case 42:
        return {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "400"}, {"EdVg", "-45"}, {"EdZaa", "6600"}};
    default:
        return {};
    }
}

bool isPower(int n) {
    return n >= 37 && n <= 42;
}

} // namespace

TEST_F(UiTest, EveryCircuitSolvesInItsWindow) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        SCOPED_TRACE("C" + std::to_string(n));
        const CircuitInfo& info = circuitInfo(n);
        auto* w = new TFormSolver(n);
        setValues(w, solvingValues(n));
        boxes().clear();
        w->ButtonSolverClick();
        EXPECT_TRUE(boxes().texts.empty()) << boxes().texts.front();

        const std::string dc = text(w, "DMHDC");
        EXPECT_NE(dc.find("Quiescent state"), std::string::npos) << dc;
        EXPECT_TRUE(tabShown(w, "TabSheetGrid"));
        // Every circuit logs one row per solve.
        EXPECT_EQ(logRows(w), 1);
        EXPECT_EQ(tabShown(w, "TabSheetAC"), !text(w, "DMHAC").empty());
        EXPECT_EQ(tabShown(w, "TabSheetBode"), info.bodeTab);
        if (info.bodeTab) {
            EXPECT_TRUE(hasPicture(w, "ImageBode"));
        }
        for (const char* page : {"TSwavePP", "TSpowerPP", "TSloadlinePP"}) {
            EXPECT_EQ(tabShown(w, page), isPower(n)) << page;
            EXPECT_TRUE(tabEnabled(w, page)) << page;
        }
        if (isPower(n)) {
            for (const char* picture : {"ImagePower", "IMLL", "ImageWave"})
                EXPECT_TRUE(hasPicture(w, picture)) << picture;
        }
        for (const char* lines : {"ImgLL1", "ImgLL2", "ImgLL3", "ImgLL4"})
            if (child<QWidget>(w, lines)->isVisibleTo(w)) {
                EXPECT_TRUE(hasPicture(w, lines)) << lines;
            }
        delete w;
    }
}

TEST_F(UiTest, TabsBeforeTheFirstSolveFollowTheCircuit) {
    struct Case {
        int n;
        bool bode, loadlines, power, feedback;
    } cases[] = {
        {1, true, true, false, true},   {2, true, true, false, false},  {12, false, true, false, true},
        {15, true, true, false, false}, {37, false, false, true, true}, {42, false, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("C" + std::to_string(c.n));
        TFormSolver w(c.n);
        EXPECT_EQ(tabShown(&w, "TabSheetBode"), c.bode);
        EXPECT_EQ(tabShown(&w, "TabSheetLoadline"), c.loadlines);
        EXPECT_EQ(tabShown(&w, "TabSheetAC"), !c.power);
        EXPECT_FALSE(tabShown(&w, "TabSheetGrid"));
        for (const char* page : {"TSwavePP", "TSpowerPP", "TSloadlinePP"}) {
            EXPECT_EQ(tabShown(&w, page), c.power) << page;
            if (c.power) {
                EXPECT_FALSE(tabEnabled(&w, page)) << page;
            }
        }
        if (c.power) {
            EXPECT_EQ(tabs(&w)->currentWidget()->objectName(), "TSwavePP");
        }
        if (c.bode) {
            EXPECT_EQ(child<QComboBox>(&w, "CBfeedback")->isEnabled(), c.feedback);
        }
        EXPECT_EQ(child<QCheckBox>(&w, "CheckBoxShowPowerParms")->isVisibleTo(&w), c.n >= 39);
    }
}

TEST_F(UiTest, TwoWindowsOfOneCircuitAreNumberedAndOffset) {
    auto* first = new TFormSolver(1);
    auto* second = new TFormSolver(1);
    const int k = first->sheetNumber();
    EXPECT_EQ(second->sheetNumber(), k + 1);
    EXPECT_EQ(first->windowTitle().toStdString(),
              "Sheet " + std::to_string(k) + " - Circuit #1 - Common-cathode amplifier, cathode bias");
    EXPECT_TRUE(second->windowTitle().startsWith(QStringLiteral("Sheet %1 - Circuit #1 - ").arg(k + 1)));
    EXPECT_EQ(second->pos(), first->pos() + QPoint(24, 24));
}

TEST_F(UiTest, RefusedSheetShowsEveryMessageInOneBoxAndKeepsTheResults) {
    auto* w = new TFormSolver(1);
    w->ButtonSolverClick();
    const std::string report = text(w, "DMHDC");
    ASSERT_EQ(logRows(w), 1);

    setValues(w, {{"EdVb", "900"}, {"EdRa", "12.5.0"}});
    w->ButtonSolverClick();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().icons[0], QMessageBox::Critical);
    EXPECT_NE(boxes().texts[0].find("EdRa"), std::string::npos) << boxes().texts[0];
    EXPECT_NE(boxes().texts[0].find("Supply voltage must be in the 20 ... 800V interval\n\n"),
              std::string::npos);
    EXPECT_EQ(text(w, "DMHDC"), report);
    EXPECT_EQ(logRows(w), 1);
    // Nothing of the refused sheet is stored.
    TIniPosDim settings;
    settings.Open();
    EXPECT_EQ(settings.readString("C1", "EdVb", ""), "250");
}

TEST_F(UiTest, SolverDialogLeavesThePreviousReports) {
    // C5 with its grid so high that the cathode resistor needs more current than the tube gives.
    auto* w = new TFormSolver(5);
    setValues(w, solvingValues(5));
    w->ButtonSolverClick();
    ASSERT_TRUE(boxes().texts.empty());
    const std::string report = text(w, "DMHDC");
    ASSERT_NE(report.find("Quiescent state"), std::string::npos) << report;
    const int rows = logRows(w);

    setValues(w, {{"EdVg", "240"}, {"EdRk", "100"}});
    w->ButtonSolverClick();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().icons[0], QMessageBox::Critical);
    EXPECT_NE(boxes().texts[0].find("The circuit cannot be operated normally"), std::string::npos)
        << boxes().texts[0];
    EXPECT_EQ(text(w, "DMHDC"), report);
    EXPECT_EQ(logRows(w), rows);
}

TEST_F(UiTest, EmptyModelDatabaseLeavesTheSelectorEmptyAndTheSolveAsksForATube) {
    for (const std::string& name : listModelNames())
        deleteModel(findModelId(name));
    auto* w = new TFormSolver(4);
    EXPECT_EQ(child<QComboBox>(w, "LBtube1")->count(), 0);
    w->ButtonSolverClick();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "Select tube(s)\n\nSelect tube(s)\n\n");
    EXPECT_EQ(logRows(w), 0);
}

TEST_F(UiTest, EnterInASheetBoxSolves) {
    auto* w = new TFormSolver(1);
    w->show();
    auto* ra = child<QLineEdit>(w, "EdRa");
    ra->setFocus();
    QTest::keyClick(ra, Qt::Key_Return);
    EXPECT_EQ(logRows(w), 1);
    QTest::keyClick(child<QComboBox>(w, "LBtube"), Qt::Key_Enter);
    EXPECT_EQ(logRows(w), 2);
}

TEST_F(UiTest, SolveStoresTheSheetAndTheLastCircuitAndTheNextWindowRestoresThem) {
    auto* w = new TFormSolver(6);
    setValues(w, {{"EdRa", "47k"}});
    child<QComboBox>(w, "CBfreqmax")->setCurrentIndex(3);
    w->ButtonSolverClick();
    TIniPosDim settings;
    settings.Open();
    EXPECT_EQ(settings.lastCircuit(), 6);
    EXPECT_EQ(settings.readString("C6", "EdRa", ""), "47k");
    EXPECT_EQ(settings.readInteger("C6", "freqmax", -1), 3);

    TFormSolver again(6);
    EXPECT_EQ(text(&again, "EdRa"), "47k");
    EXPECT_EQ(child<QComboBox>(&again, "CBfreqmax")->currentIndex(), 3);
    EXPECT_EQ(child<QComboBox>(&again, "CBfeedback")->currentIndex(), 0);
}

TEST_F(UiTest, FirstOpeningShowsTheNamingRuleDefaultsAndEmptyResultLabels) {
    TFormSolver w(1);
    EXPECT_EQ(text(&w, "EdRgs"), "5k");
    EXPECT_EQ(text(&w, "EdRo"), "500k");
    EXPECT_EQ(text(&w, "LabelVa"), "");
    EXPECT_EQ(text(&w, "Caption1"), "T1");
    EXPECT_EQ(child<QComboBox>(&w, "CBstraycap")->currentIndex(), 2);
    EXPECT_EQ(text(&w, "DMH"), "Circuit #1\nCommon-cathode amplifier, cathode bias");
}

TEST_F(UiTest, ConvergenceWindowsLiveUntilTheNextSolve) {
    auto* w = new TFormSolver(8);
    child<QCheckBox>(w, "CheckBoxShowConvergence")->setChecked(true);
    w->ButtonSolverClick();
    const auto traces = w->findChildren<QWidget*>(QRegularExpression("^Convergence"));
    ASSERT_EQ(traces.size(), 2);
    EXPECT_TRUE(traces[0]->windowTitle().startsWith("C8 - T1 ")) << traces[0]->windowTitle().toStdString();
    EXPECT_TRUE(traces[1]->windowTitle().startsWith("C8 - T2 "));

    child<QCheckBox>(w, "CheckBoxShowConvergence")->setChecked(false);
    w->ButtonSolverClick();
    EXPECT_TRUE(w->findChildren<QWidget*>(QRegularExpression("^Convergence")).isEmpty());
}

TEST_F(UiTest, SolvedSignalMarksEverySolveThatRan) {
    auto* w = new TFormSolver(1);
    std::vector<int> solved;
    QObject::connect(w, &TFormSolver::solved, [&](int n) { solved.push_back(n); });
    w->ButtonSolverClick();
    setValues(w, {{"EdVb", "10"}});
    w->ButtonSolverClick();
    EXPECT_EQ(solved, std::vector<int>{1});
}

TEST_F(UiTest, SplitStripNarrowsAndWidensTheSheetPanel) {
    TFormSolver w(1);
    auto* panel = child<QWidget>(&w, "PanelParams");
    auto* strip = child<QLabel>(&w, "LabelSplit");
    const int wide = panel->width();
    EXPECT_EQ(strip->text(), "\u00ab\n\u00ab\n\u00ab");
    QTest::mouseClick(strip, Qt::LeftButton);
    EXPECT_EQ(panel->width(), 100);
    EXPECT_EQ(strip->text(), "\u00bb\n\u00bb\n\u00bb");
    QTest::mouseClick(strip, Qt::LeftButton);
    EXPECT_EQ(panel->width(), wide);
}

TEST_F(UiTest, StrayCapacitanceChoiceIsWrittenToTheBodeSection) {
    TFormSolver w(1);
    auto* stray = child<QComboBox>(&w, "CBstraycap");
    stray->setCurrentIndex(3);
    emit stray->activated(3);
    TIniPosDim settings;
    settings.Open();
    EXPECT_EQ(settings.bodeStrayCaps(), 3);
}

TEST_F(UiTest, CurveCheckBoxRedrawsTheBodePictureWithoutSolving) {
    auto* w = new TFormSolver(1);
    w->resize(1200, 800);
    w->ButtonSolverClick();
    const QImage before = child<TPictureView>(w, "ImageBode")->image();
    auto* overall = child<QCheckBox>(w, "CheckBoxG4");
    EXPECT_EQ(overall->text(), "Overall gain");
    overall->setChecked(false);
    EXPECT_NE(child<TPictureView>(w, "ImageBode")->image(), before);
    EXPECT_EQ(logRows(w), 1);
}

TEST_F(UiTest, AdvancedPowerParametersReachThePushPullAnalysis) {
    auto* w = new TFormSolver(41);
    w->resize(1200, 800);
    EXPECT_EQ(text(w, "LEDkza"), "8");
    EXPECT_EQ(text(w, "LEDkzb"), "0.2");
    auto* show = child<QCheckBox>(w, "CheckBoxShowPowerParms");
    EXPECT_FALSE(child<QWidget>(w, "GBadvanced")->isVisibleTo(w));
    show->setChecked(true);
    EXPECT_TRUE(child<QWidget>(w, "GBadvanced")->isVisibleTo(w));

    setValues(w, solvingValues(41));
    w->ButtonSolverClick();
    const QImage halfLoad = child<TPictureView>(w, "ImagePower")->image();
    auto* f1 =
        qobject_cast<QRadioButton*>(child<QWidget>(w, "RGfonction")->findChildren<QRadioButton*>().at(0));
    f1->setChecked(true);
    w->ButtonSolverClick();
    EXPECT_NE(child<TPictureView>(w, "ImagePower")->image(), halfLoad);
}

TEST_F(UiTest, DatabaseFailuresAreShownAndTheWindowKeepsWorking) {
    auto* w = new TFormSolver(1);
    w->ButtonSolverClick();
    const std::string report = text(w, "DMHDC");
    ASSERT_TRUE(boxes().texts.empty());

    // Both databases become unreadable while the window is open.
    for (const char* name : {"Valvenix-2.db", "Circuits_Configs.db"}) {
        QFile file(QString::fromStdString(path(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
    }
    w->ButtonSolverClick();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0].rfind("SQLite3 error: ", 0), 0u) << boxes().texts[0];
    EXPECT_EQ(text(w, "DMHDC"), report);

    QTest::mouseClick(child<QToolButton>(w, "butSchemaLoad"), Qt::LeftButton);
    EXPECT_EQ(boxes().dialogs, std::vector<std::string>{"FormConfigSchema"});
    ASSERT_GE(boxes().texts.size(), 2u);
    EXPECT_EQ(boxes().texts[1].rfind("SQLite3 error: ", 0), 0u) << boxes().texts[1];

    auto* another = new TFormSolver(2);
    EXPECT_EQ(child<QComboBox>(another, "LBtube")->count(), 0);
    EXPECT_EQ(boxes().texts.back().rfind("SQLite3 error: ", 0), 0u);
    setValues(w, {{"EdRa", "10k"}});
    EXPECT_EQ(text(w, "EdRa"), "10k");
}

TEST_F(UiTest, SolverMessageAfterAReportIsShownWithTheReport) {
    // C3's first-use grid at 250 V asks more current of the follower than the tube gives: the
    // solver says so, and still reports the point it reached with its red verdicts.
    auto* w = new TFormSolver(3);
    w->ButtonSolverClick();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().icons[0], QMessageBox::Critical);
    EXPECT_EQ(boxes().texts[0].rfind("The circuit cannot be operated normally", 0), 0u);
    EXPECT_NE(text(w, "DMHDC").find("Quiescent state"), std::string::npos);
    EXPECT_EQ(logRows(w), 1);
}

TEST_F(UiTest, PicturesAreDrawnAgainAtTheirControlsNewSize) {
    auto* w = new TFormSolver(1);
    w->resize(1200, 760);
    w->show();
    tabs(w)->setCurrentWidget(child<QWidget>(w, "TabSheetBode"));
    w->ButtonSolverClick();
    QApplication::processEvents();
    auto* bode = child<TPictureView>(w, "ImageBode");
    const double ratio = bode->devicePixelRatioF();
    EXPECT_EQ(bode->image().size(), bode->size() * ratio);
    w->resize(1500, 900);
    QApplication::processEvents();
    EXPECT_EQ(bode->image().size(), bode->size() * ratio);
    EXPECT_EQ(bode->image().devicePixelRatio(), ratio);
}

TEST_F(UiTest, NothingTypedIntoASheetBreaksTheWindow) {
    // Seeded: each round puts odd texts into every edit box and solves. The window answers every
    // time with a report or a message, and keeps its previous report after a refusal.
    const char* texts[] = {"",  "abc",  "1,5",     "2.5.0", "1M1M", "1e308", // refused or odd, then numbers
                           "0", "999M", "0.0001p", "4k7",   "-1",   "  7  ", "100k", "1", "250"};
    constexpr std::size_t kFirstNumber = 6;
    std::mt19937 random(20261210);
    for (int n : {1, 5, 17, 23, 30, 38, 41}) {
        SCOPED_TRACE("C" + std::to_string(n));
        auto* w = new TFormSolver(n);
        for (int round = 0; round < 12; ++round) {
            // Every other round holds numbers only, so that it reaches the solver.
            const std::size_t first = round % 2 ? kFirstNumber : 0;
            for (QLineEdit* box : w->sheetFrame()->editBoxes())
                box->setText(texts[first + random() % (std::size(texts) - first)]);
            boxes().clear();
            w->ButtonSolverClick();
            EXPECT_TRUE(!boxes().texts.empty() || !text(w, "DMHDC").empty());
            EXPECT_NE(text(w, "DMHDC"), "Running...");
        }
        delete w;
    }
}
