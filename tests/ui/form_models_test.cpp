// The tube-models window on a real model database: showing, creating, updating, renaming, removing
// and restoring models, the refused entries and database failures, the key filters and the store
// button, and the solver windows' selectors that follow every change.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "storage/model_database.h"
#include "ui/form_models.h"
#include "ui/form_solver.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// Types the characters one key at a time ("\b" is backspace), accents included.
void typeKeys(QWidget* box, const QString& keys) {
    for (const QChar c : keys) {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

using Changes = std::vector<std::pair<std::string, std::string>>;

class ModelsTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = new TFormModels;
        w->show();
        QObject::connect(w, &TFormModels::modelsChanged, [this](const QString& from, const QString& to) {
            changes.emplace_back(from.toStdString(), to.toStdString());
        });
    }

    QListWidget* list() const { return child<QListWidget>(w, "LBmodels"); }
    QLineEdit* box(const char* name) const {
        auto* found = w->findChild<QLineEdit*>(QString::fromUtf8(name)); // "LEDµ" is no Latin-1 name
        EXPECT_NE(found, nullptr) << "no box " << name;
        return found;
    }
    QPushButton* store() const { return child<QPushButton>(w, "butModelStore"); }
    QGroupBox* params() const { return child<QGroupBox>(w, "GBparams"); }

    std::vector<std::string> listed() const {
        std::vector<std::string> names;
        for (int i = 0; i < list()->count(); ++i)
            names.push_back(list()->item(i)->text().toStdString());
        return names;
    }
    bool listed(const std::string& name) const {
        const auto names = listed();
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    // A click on the model in the list, as a user selects it.
    void click(const QString& name) {
        const auto items = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        list()->scrollToItem(items.first());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(items.first()).center());
    }

    // Replaces a box's text by typing it (its key filter sees every character).
    void type(const char* name, const QString& text) {
        QLineEdit* b = box(name);
        b->clear();
        typeKeys(b, text);
    }

    // A new model: the EL84 typed in every box.
    void typeNewPentode(const QString& name) {
        w->butModelAddClick();
        QTest::mouseClick(child<QRadioButton>(w, "RGtypePentode"), Qt::LeftButton);
        type("LEDname", name);
        const std::pair<const char*, const char*> values[] = {
            {"LEDkp", "111.04"}, {"LED\u00b5", "21.29"}, {"LEDkvb", "17.9"},  {"LEDx", "1.24"},
            {"LEDkg1", "401.7"}, {"LEDkg2", "4500"},     {"LEDpmax", "12"},   {"LEDimax", "0.065"},
            {"LEDvmax", "550"},  {"LEDpemax", "2"},      {"LEDvemax", "300"}, {"LEDcgk", "1E-11"},
            {"LEDcga", "1E-12"}, {"LEDcak", "5.1E-12"},
        };
        for (const auto& [boxName, value] : values)
            type(boxName, QString::fromUtf8(value));
    }

    TFormModels* w = nullptr;
    Changes changes;
};

} // namespace

TEST_F(ModelsTest, ShowsAStoredModelLockedToItsType) {
    EXPECT_EQ(list()->count(), 30);
    EXPECT_FALSE(params()->isVisible());
    EXPECT_FALSE(child<QPushButton>(w, "butModelRemove")->isEnabled());

    click("EL34");
    EXPECT_TRUE(params()->isVisible());
    EXPECT_EQ(params()->title(), "Parameters of pentode model EL34");
    EXPECT_EQ(box("LEDname")->text(), "EL34");
    EXPECT_EQ(box("LEDkg1")->text(), "282.3");
    EXPECT_EQ(box("LEDcgk")->text(), "1.5E-11");
    EXPECT_EQ(box("LEDimax")->text(), "0.15");
    EXPECT_TRUE(box("LEDkg2")->isVisible());
    EXPECT_TRUE(child<QRadioButton>(w, "RGtypePentode")->isChecked());
    EXPECT_FALSE(child<QGroupBox>(w, "RGtype")->isEnabled());
    EXPECT_EQ(child<QPlainTextEdit>(w, "MemoComment")->toPlainText().split('\n').first(), "EL34 built-in");
    EXPECT_EQ(store()->text(), "Update the model");
    EXPECT_FALSE(store()->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w, "butModelRemove")->isEnabled());

    click("ECC83 / 12AX7");
    EXPECT_EQ(params()->title(), "Parameters of triode model ECC83 / 12AX7");
    EXPECT_FALSE(box("LEDkg2")->isVisible());
    EXPECT_FALSE(box("LEDvemax")->isVisible());
}

TEST_F(ModelsTest, KeysOfTheBoxesSetTheStoreButton) {
    click("ECC83 / 12AX7");
    ASSERT_FALSE(store()->isEnabled());
    struct {
        const char* box;
        const char* keys;
        const char* text; // what the box holds afterwards
        bool enabled;     // the store button after the last key
    } rows[] = {
        {"LEDkp", "a", "600", false},                           // a letter is refused
        {"LEDkp", "5", "6005", true},                           // the next digit is taken
        {"LEDkp", "-", "6005", false},                          // no sign in the NK boxes
        {"LEDcgk", "E-12", "1E-12E-12", true},                  // capacitances take an exponent
        {"LEDcgk", "x", "1E-12E-12", false},                    //
        {"LEDname", "x!\u00e9", "ECC83 / 12AX7x!\u00e9", true}, // the name takes every key
        {"LEDimax", "\b", "0.00", true},                        // backspace is an accepted key
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.box) + " <- " + r.keys);
        QLineEdit* b = box(r.box);
        b->end(false);
        typeKeys(b, QString::fromUtf8(r.keys));
        EXPECT_EQ(b->text().toStdString(), r.text);
        EXPECT_EQ(store()->isEnabled(), r.enabled);
    }
}

TEST_F(ModelsTest, NewPentodeIsStoredAndTheListsAreTold) {
    typeNewPentode("EL84 mine");
    EXPECT_EQ(params()->title(), "Create a new tube model");
    EXPECT_EQ(store()->text(), "Save the new model");
    ASSERT_TRUE(store()->isEnabled());
    QTest::mouseClick(store(), Qt::LeftButton);

    EXPECT_TRUE(boxes().texts.empty()) << boxes().texts.front();
    EXPECT_TRUE(listed("EL84 mine"));
    EXPECT_EQ(list()->count(), 31);
    EXPECT_FALSE(params()->isVisible());
    EXPECT_EQ(changes, (Changes{{"", ""}}));
    ModelRow row;
    ASSERT_TRUE(readModel("EL84 mine", row));
    EXPECT_EQ(row.params.t35, 5);
    EXPECT_DOUBLE_EQ(row.params.kg2, 4500);
    EXPECT_DOUBLE_EQ(row.params.cak, 5.1e-12);
}

TEST_F(ModelsTest, TriodeStoresZerosForTheHiddenScreenBoxes) {
    typeNewPentode("My triode");
    QTest::mouseClick(child<QRadioButton>(w, "RGtypeTriode"), Qt::LeftButton);
    EXPECT_FALSE(box("LEDkg2")->isVisible());
    QTest::mouseClick(store(), Qt::LeftButton);
    ModelRow row;
    ASSERT_TRUE(readModel("My triode", row));
    EXPECT_EQ(row.params.t35, 3);
    EXPECT_EQ(row.params.kg2, 0);
    EXPECT_EQ(row.params.pemax, 0);
    EXPECT_EQ(row.params.vemax, 0);
}

TEST_F(ModelsTest, RefusedEntriesStoreNothingAndKeepTheBoxes) {
    struct Row {
        const char* name;
        const char* box;
        const char* text;
        std::string message;
    } rows[] = {
        {"empty name", "LEDname", "", kIncompleteModelMessage},
        {"duplicate name", "LEDname", "EL34",
         "This model name \"EL34\" is already used. Please set a new name."},
        {"pasted text in Kp", "LEDkp", "1.2.3", "Kp: \"1.2.3\" is not a number"},
        {"zero Kg1", "LEDkg1", "0", "Kg1 must be greater than 0"},
        {"zero Ia max", "LEDimax", "0", "Ia max (A) must be greater than 0"},
        {"pentode without Kg2", "LEDkg2", "0", "Kg2 must be greater than 0 for a pentode"},
        {"pentode with an empty Kg2", "LEDkg2", "", kIncompleteModelMessage},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        boxes().clear();
        typeNewPentode("EL84 mine");
        box(r.box)->setText(QString::fromUtf8(r.text)); // as a paste puts it there
        QTest::mouseClick(store(), Qt::LeftButton);
        ASSERT_EQ(boxes().texts.size(), 1u);
        EXPECT_EQ(boxes().icons[0], QMessageBox::Critical);
        EXPECT_EQ(boxes().texts[0], r.message);
        EXPECT_EQ(box(r.box)->text().toStdString(), r.text);
        EXPECT_TRUE(params()->isVisible());
        EXPECT_EQ(listModelNames().size(), 30u);
        EXPECT_EQ(list()->count(), 30);
    }
    EXPECT_TRUE(changes.empty());
}

TEST_F(ModelsTest, RenameIsFollowedByAnOpenSolverWindow) {
    auto* solver = new TFormSolver(1);
    QObject::connect(w, &TFormModels::modelsChanged, solver, &TFormSolver::refreshTubeSelectors);
    setValues(solver, {{"LBtube", "ECC83 / 12AX7"}});

    click("ECC83 / 12AX7");
    type("LEDname", "12AX7 (mine)");
    type("LEDkp", "610");
    QTest::mouseClick(store(), Qt::LeftButton);

    EXPECT_TRUE(boxes().texts.empty());
    EXPECT_EQ(changes, (Changes{{"ECC83 / 12AX7", "12AX7 (mine)"}}));
    EXPECT_TRUE(listed("12AX7 (mine)"));
    EXPECT_FALSE(listed("ECC83 / 12AX7"));
    EXPECT_EQ(list()->count(), 30);
    auto* selector = child<QComboBox>(solver, "LBtube");
    EXPECT_EQ(selector->currentText(), "12AX7 (mine)");
    EXPECT_EQ(selector->count(), 21);
    ModelRow row;
    ASSERT_TRUE(readModel("12AX7 (mine)", row));
    EXPECT_DOUBLE_EQ(row.params.kp, 610);

    // Its own name again: the only row with that name is the one edited.
    click("12AX7 (mine)");
    type("LED\u00b5", "101");
    QTest::mouseClick(store(), Qt::LeftButton);
    EXPECT_TRUE(boxes().texts.empty()) << boxes().texts.front();
    EXPECT_EQ(changes.back(), (std::pair<std::string, std::string>{"12AX7 (mine)", "12AX7 (mine)"}));
    EXPECT_EQ(selector->currentText(), "12AX7 (mine)");
}

TEST_F(ModelsTest, RemovedModelLeavesTheSolverSelectorEmptyAndTheSolveSaysSo) {
    auto* solver = new TFormSolver(38); // a single-ended pentode stage
    auto* other = new TFormSolver(1);   // a triode stage: its selector keeps its model
    for (TFormSolver* s : {solver, other})
        QObject::connect(w, &TFormModels::modelsChanged, s, &TFormSolver::refreshTubeSelectors);
    setValues(solver, {{"LBtube", "EL34"}});
    setValues(other, {{"LBtube", "ECC82 / 12AU7"}});

    click("EL34");
    boxes().setAnswer(false);
    QTest::mouseClick(child<QPushButton>(w, "butModelRemove"), Qt::LeftButton);
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "Do you want to erase the model named\n\n \"EL34\" ?");
    EXPECT_TRUE(listed("EL34"));
    EXPECT_TRUE(changes.empty());

    boxes().setAnswer(true);
    QTest::mouseClick(child<QPushButton>(w, "butModelRemove"), Qt::LeftButton);
    EXPECT_FALSE(listed("EL34"));
    EXPECT_EQ(list()->count(), 29);
    EXPECT_FALSE(params()->isVisible());
    EXPECT_FALSE(child<QPushButton>(w, "butModelRemove")->isEnabled());
    EXPECT_EQ(changes, (Changes{{"EL34", ""}}));

    auto* selector = child<QComboBox>(solver, "LBtube");
    EXPECT_EQ(selector->currentIndex(), -1);
    EXPECT_EQ(selector->count(), 8);
    EXPECT_EQ(child<QComboBox>(other, "LBtube")->currentText(), "ECC82 / 12AU7");
    boxes().clear();
    solver->ButtonSolverClick();
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "Select tube(s)\n\n");
    EXPECT_EQ(logRows(solver), 0);
}

TEST_F(ModelsTest, RestoreCountsWhatWasMissing) {
    QTest::mouseClick(child<QPushButton>(w, "butModelRestore"), Qt::LeftButton);
    ASSERT_EQ(boxes().texts.size(), 2u);
    EXPECT_EQ(boxes().texts[0], "Do you want to restore all the missing built-in tube models ?");
    EXPECT_EQ(boxes().texts[1], "0 tube model(s) were restored:\n\n");
    EXPECT_EQ(boxes().icons[1], QMessageBox::Information);

    click("EL34");
    QTest::mouseClick(child<QPushButton>(w, "butModelRemove"), Qt::LeftButton);
    ASSERT_FALSE(listed("EL34"));
    boxes().clear();
    changes.clear();
    QTest::mouseClick(child<QPushButton>(w, "butModelRestore"), Qt::LeftButton);
    ASSERT_EQ(boxes().texts.size(), 2u);
    EXPECT_EQ(boxes().texts[1], "1 tube model(s) were restored:\n\nEL34\n");
    EXPECT_TRUE(listed("EL34"));
    EXPECT_EQ(changes, (Changes{{"", ""}}));
}

TEST_F(ModelsTest, FailedWriteLeavesTheListAsItWas) {
    // Every write to the table fails from now on, as a full disk or a locked file would make it.
    for (const char* event : {"INSERT", "UPDATE", "DELETE"})
        openModelDatabase()->Execute(std::string("CREATE TRIGGER refuse_") + event + " BEFORE " + event +
                                     " ON triodes BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    const std::vector<std::string> before = listed();

    typeNewPentode("EL84 mine");
    QTest::mouseClick(store(), Qt::LeftButton);
    click("ECC81 / 12AT7");
    type("LEDname", "renamed");
    QTest::mouseClick(store(), Qt::LeftButton);
    EXPECT_EQ(box("LEDname")->text(), "renamed"); // what was typed is still there to try again
    QTest::mouseClick(child<QPushButton>(w, "butModelRemove"), Qt::LeftButton);

    std::vector<std::string> errors;
    for (const std::string& text : boxes().texts)
        if (text.rfind("SQLite3 error: ", 0) == 0)
            errors.push_back(text);
    EXPECT_EQ(errors.size(), 3u);
    EXPECT_NE(errors.front().find("disk is full"), std::string::npos) << errors.front();
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(listModelNames(), before);
    EXPECT_TRUE(changes.empty());
}

TEST_F(ModelsTest, FixedSizeAndPlaceKeptInTheSettings) {
    EXPECT_EQ(w->size(), QSize(800, 650));
    w->move(40, 30);
    w->hide();
    TIniPosDim settings;
    settings.Open();
    EXPECT_EQ(settings.readInteger(kFormPosDimSection, "FormModels_w", 0), 800);
    EXPECT_EQ(settings.readInteger(kFormPosDimSection, "FormModels_l", 0), w->x());
    settings.writeInteger(kFormPosDimSection, "FormModels_w", 300); // the window's size stays fixed
    auto* again = new TFormModels;
    again->show();
    EXPECT_EQ(again->pos(), w->pos());
    EXPECT_EQ(again->size(), QSize(800, 650));
}
