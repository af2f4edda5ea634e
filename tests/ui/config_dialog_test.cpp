// Saving and loading configurations from a solver window: one configuration per name, comments,
// deleting, a configuration naming a deleted model, the count on the load button.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "storage/configurations.h"
#include "ui/config_dialog.h"
#include "ui/sheet_frame.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
// Saves the window's sheet under a name with a comment through the dialog.
void saveAs(TFormSolver* w, const char* name, const char* comment) {
    TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Save, QString());
    child<QLineEdit>(&dialog, "LEDnomConfig")->setText(name);
    child<QPlainTextEdit>(&dialog, "Memo")->setPlainText(comment);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// Loads the configuration at a row of the list; false when the dialog stayed open.
bool loadRow(TFormSolver* w, int row) {
    TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Load, QString());
    child<QListWidget>(&dialog, "LBload")->setCurrentRow(row);
    dialog.accept();
    return dialog.result() == QDialog::Accepted;
}
} // namespace

TEST_F(UiTest, SavingTwiceUnderOneNameKeepsOneConfiguration) {
    auto* w = new TFormSolver(1);
    saveAs(w, "  bright  ", "first comment");
    setValues(w, {{"EdRa", "220k"}});
    saveAs(w, "bright", "second comment");

    const TArrayCircuitConfig configs = getCircuitConfigs("C1");
    ASSERT_EQ(configs.size(), 1u);
    EXPECT_EQ(configs[0].name, "bright");
    EXPECT_EQ(configs[0].comment, "second comment");
    Sheet sheet = w->sheetFrame()->sheet();
    applyKeyVals(sheet, getKeyVal(configs[0].id));
    EXPECT_EQ(sheet.find("EdRa")->text, "220k");
}

TEST_F(UiTest, LoadingRestoresTheSheetAndAMissingModelLeavesNoSelection) {
    auto* w = new TFormSolver(4);
    setValues(w, {{"LBtube1", "ECC85"}, {"EdRa", "33k"}, {"CheckBoxShunted", "1"}});
    saveAs(w, "with ECC85", "");
    deleteModel(findModelId("ECC85"));

    auto* fresh = new TFormSolver(4);
    ASSERT_TRUE(loadRow(fresh, 0));
    EXPECT_EQ(child<QComboBox>(fresh, "LBtube1")->currentIndex(), -1);
    EXPECT_EQ(text(fresh, "EdRa"), "33k");
    EXPECT_TRUE(child<QCheckBox>(fresh, "CheckBoxShunted")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(fresh, "CheckBoxConnected")->isChecked());
    EXPECT_GE(child<QComboBox>(fresh, "LBtube2")->currentIndex(), 0);
}

TEST_F(UiTest, TheDialogAsksForASelectionOrANameBeforeClosing) {
    auto* w = new TFormSolver(2);
    EXPECT_FALSE(loadRow(w, -1));
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "Please select a configuration or cancel the operation");

    TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Save, QString());
    child<QLineEdit>(&dialog, "LEDnomConfig")->setText("   ");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(boxes().texts.size(), 2u);
    EXPECT_EQ(boxes().texts[1], "Please name this configuration or cancel the operation");
    EXPECT_EQ(getCountConfigs("C2"), 0);
}

TEST_F(UiTest, DialogShowsTheCommentOfTheConfigurationAndDeletesOnConfirmation) {
    auto* w = new TFormSolver(1);
    saveAs(w, "one", "comment of one\nsecond line");
    saveAs(w, "two", "comment of two");
    TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Load, QString("two"));
    EXPECT_EQ(dialog.windowTitle(), "Load a C1 circuit configuration");
    EXPECT_EQ(text(&dialog, "LabelComment"), "comment of two");
    auto* list = child<QListWidget>(&dialog, "LBload");
    list->setCurrentRow(0);
    EXPECT_EQ(text(&dialog, "LabelComment"), "comment of one\nsecond line");
    QTest::mouseClick(child<QPushButton>(&dialog, "ButtonDelete"), Qt::LeftButton);
    EXPECT_EQ(boxes().texts.back(), "Delete the configuration \"one\"?");
    EXPECT_TRUE(dialog.deletedSome());
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "two");
    EXPECT_EQ(getCountConfigs("C1"), 1);
}

TEST_F(UiTest, WindowShowsTheCountAndTheNameOfTheSavedConfiguration) {
    auto* w = new TFormSolver(1);
    auto* load = child<QToolButton>(w, "butSchemaLoad");
    EXPECT_EQ(load->text(), "0");
    EXPECT_EQ(load->toolTip(), "Restore parameters of a C1 interactive diagram");

    boxes().onDialog([](QWidget* dialog) {
        child<QLineEdit>(dialog, "LEDnomConfig")->setText("warm");
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(child<QToolButton>(w, "butSchemaSave"), Qt::LeftButton);
    EXPECT_EQ(load->text(), "1");
    EXPECT_EQ(text(w, "LabelCustom"), "warm");
    EXPECT_EQ(child<QGroupBox>(w, "ContainerSchema")->title(), "warm");

    // A solve with that configuration names it in the Bode plot's title; a window opened with it
    // by the library shows its name too.
    auto* other = new TFormSolver(1);
    ASSERT_TRUE(other->applyConfiguration(getCircuitConfigs("C1").at(0).id, "warm"));
    EXPECT_EQ(text(other, "LabelCustom"), "warm");
}
