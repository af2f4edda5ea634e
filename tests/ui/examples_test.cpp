// The built-in configuration "Example": what a solver window shows the first time it opens a circuit,
// and the example in the load dialog, which loads it and never deletes or overwrites it.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "storage/builtin_configs.h"
#include "storage/configurations.h"
#include "ui/config_dialog.h"
#include "ui/sheet_frame.h"

#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A test whose data folder also holds the packaged examples.
class ExampleTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        const QString target = QString::fromStdString(path(kExamplesFile));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALVENIX_PACKAGED_DIR "/") + kExamplesFile, target));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
    // The example of circuit n as the file gives it.
    static CircuitExample example(int n) {
        const ExamplesRead read = readExamples();
        EXPECT_TRUE(read.ok) << read.error;
        const CircuitExample* e = read.set.find(n);
        EXPECT_NE(e, nullptr);
        return e ? *e : CircuitExample{};
    }
    static std::string valueOf(const CircuitExample& e, const std::string& name) {
        for (const auto& [n, v] : e.values)
            if (n == name)
                return v;
        return "<not in the example>";
    }
};

void saveAs(TFormSolver* w, const QString& name) {
    TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Save, QString());
    child<QLineEdit>(&dialog, "LEDnomConfig")->setText(name);
    dialog.accept();
}

} // namespace

TEST_F(ExampleTest, AFirstOpeningShowsTheExampleAndASavedSheetWins) {
    const CircuitExample c1 = example(1);
    auto* w = new TFormSolver(1);
    EXPECT_EQ(text(w, "EdRk"), valueOf(c1, "EdRk"));
    EXPECT_EQ(child<QComboBox>(w, "LBtube")->currentText().toStdString(), valueOf(c1, "LBtube"));
    EXPECT_TRUE(child<QCheckBox>(w, "CheckBoxCkconnected")->isChecked());
    EXPECT_EQ(text(w, "EdCo"), "10p"); // the example leaves it to the naming rule
    EXPECT_EQ(child<QGroupBox>(w, "ContainerSchema")->title(), "Example");
    EXPECT_EQ(text(w, "LabelCustom"), "Example");

    // A solve stores the sheet: from then on the circuit opens on what the user typed.
    setValues(w, {{"EdRk", "2k2"}, {"LBtube", "ECC81 / 12AT7"}});
    w->ButtonSolverClick();
    auto* again = new TFormSolver(1);
    EXPECT_EQ(text(again, "EdRk"), "2k2");
    EXPECT_EQ(child<QComboBox>(again, "LBtube")->currentText(), "ECC81 / 12AT7");
    EXPECT_EQ(child<QGroupBox>(again, "ContainerSchema")->title(), "");

    // The library's example node applies it over the saved sheet.
    ASSERT_TRUE(again->applyExample());
    EXPECT_EQ(text(again, "EdRk"), valueOf(c1, "EdRk"));
    EXPECT_EQ(text(again, "LabelCustom"), "Example");
}

TEST_F(ExampleTest, AFirstOpeningKeepsTheFirstModelWhenTheExamplesModelIsGone) {
    deleteModel(findModelId("300B"));
    auto* w = new TFormSolver(37);
    EXPECT_EQ(child<QComboBox>(w, "LBtube")->currentIndex(), 0);
    EXPECT_EQ(text(w, "EdRa"), valueOf(example(37), "EdRa"));
}

TEST_F(ExampleTest, TheLoadDialogListsTheExampleFirstAndLoadsIt) {
    auto* w = new TFormSolver(3);
    saveAs(w, "mine");
    setValues(w, {{"EdRk", "4k7"}, {"EdVb", "200"}});

    TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Load, QString());
    auto* list = child<QListWidget>(&dialog, "LBload");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "Example");
    EXPECT_TRUE(list->item(0)->font().italic());
    EXPECT_EQ(list->item(1)->text(), "mine");
    list->setCurrentRow(0);
    EXPECT_EQ(text(&dialog, "LabelComment"), example(3).comment);
    EXPECT_FALSE(child<QPushButton>(&dialog, "ButtonDelete")->isEnabled());
    list->setCurrentRow(1);
    EXPECT_TRUE(child<QPushButton>(&dialog, "ButtonDelete")->isEnabled());
    list->setCurrentRow(0);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.configName(), "Example");
    EXPECT_EQ(text(w, "EdRk"), valueOf(example(3), "EdRk"));
    EXPECT_EQ(text(w, "EdVb"), valueOf(example(3), "EdVb"));
}

TEST_F(ExampleTest, TheExampleIsNeverDeletedNorOverwritten) {
    auto* w = new TFormSolver(3);
    const std::string rk = valueOf(example(3), "EdRk");
    setValues(w, {{"EdRk", "4k7"}});

    for (const QString& name :
         {QStringLiteral("Example"), QStringLiteral("  example "), QStringLiteral("EXAMPLE")}) {
        boxes().clear();
        TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Save, QString());
        child<QLineEdit>(&dialog, "LEDnomConfig")->setText(name);
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << name.toStdString();
        ASSERT_EQ(boxes().texts.size(), 1u) << name.toStdString();
        EXPECT_EQ(boxes().texts[0],
                  "\"Example\" is the name of the built-in configuration: please choose another name");
    }
    EXPECT_EQ(getCountConfigs("C3"), 0);
    EXPECT_EQ(valueOf(example(3), "EdRk"), rk);

    // A name that merely holds the word is the user's own.
    saveAs(w, "Example 2");
    EXPECT_EQ(getCountConfigs("C3"), 1);

    // The window that shows the example offers no name to save under.
    auto* fresh = new TFormSolver(5);
    TFormConfigSchema save(fresh, fresh->sheetFrame(), TFormConfigSchema::Save,
                           child<QGroupBox>(fresh, "ContainerSchema")->title());
    EXPECT_EQ(text(&save, "LEDnomConfig"), "");

    // Delete with the example selected: a word, and nothing gone.
    boxes().clear();
    TFormConfigSchema load(w, w->sheetFrame(), TFormConfigSchema::Load, QString());
    auto* list = child<QListWidget>(&load, "LBload");
    list->setCurrentRow(0);
    QMetaObject::invokeMethod(child<QPushButton>(&load, "ButtonDelete"), "clicked");
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "The built-in configuration \"Example\" cannot be deleted");
    EXPECT_FALSE(load.deletedSome());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(getCountConfigs("C3"), 1);
}

TEST_F(UiTest, WithoutTheExamplesFileTheNamingRuleStays) {
    auto* w = new TFormSolver(1);
    EXPECT_EQ(text(w, "EdRk"), "1k");
    EXPECT_EQ(child<QGroupBox>(w, "ContainerSchema")->title(), "");
    TFormConfigSchema dialog(w, w->sheetFrame(), TFormConfigSchema::Load, QString());
    EXPECT_EQ(child<QListWidget>(&dialog, "LBload")->count(), 0);
    EXPECT_FALSE(w->applyExample());
}
