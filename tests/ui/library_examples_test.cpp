// The built-in "Example" in the library tree: first beneath every circuit, opened by a double-click
// whatever sheet the circuit had, and never deleted.
#include "main_window_support.h"
#include "window_helpers.h"

#include "circuits/catalogue.h"
#include "storage/builtin_configs.h"
#include "storage/configurations.h"
#include "storage/sheet_persistence.h"
#include "ui/form_solver.h"

#include <QGroupBox>

namespace {

class LibraryExampleTest : public MainWindowTest {
protected:
    TLibraryTree* openTree() {
        TForm1* window = openMainWindow();
        window->menuIntroClick(2);
        window->library()->chooseView(false);
        return window->library()->tree();
    }
};

// The circuit node of circuit n under "All circuits".
QTreeWidgetItem* circuitNode(TLibraryTree* tree, int n) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const TRecVSTLibrary r = TLibraryTree::record(*it);
        if (r.level == 1 && r.indexCircuit == n && (*it)->parent() && !(*it)->parent()->parent() &&
            (*it)->parent()->text(0) == "All circuits")
            return *it;
    }
    return nullptr;
}

TFormSolver* lastSolver() {
    TFormSolver* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<TFormSolver*>(w);
            s && s->isVisible() && (!found || s->sheetNumber() > found->sheetNumber()))
            found = s;
    return found;
}

} // namespace

TEST_F(LibraryExampleTest, EveryCircuitHasItsExampleFirstThenTheUsersConfigurations) {
    saveSheetConfig(newSheet(7), "mine", "my comment");
    TLibraryTree* tree = openTree();
    const ExamplesRead examples = readExamples();
    ASSERT_TRUE(examples.ok) << examples.error;
    for (int n = 1; n <= kCircuitCount; ++n) {
        QTreeWidgetItem* circuit = circuitNode(tree, n);
        ASSERT_NE(circuit, nullptr) << "C" << n;
        ASSERT_GE(circuit->childCount(), 1) << "C" << n;
        const TRecVSTLibrary r = TLibraryTree::record(circuit->child(0));
        EXPECT_EQ(circuit->child(0)->text(0), "Example") << "C" << n;
        EXPECT_TRUE(r.builtIn) << "C" << n;
        EXPECT_EQ(r.idConfig, 0) << "C" << n;
        EXPECT_EQ(r.comment.toStdString(), examples.set.find(n)->comment) << "C" << n;
        EXPECT_FALSE(circuit->child(0)->toolTip(0).isEmpty());
    }
    QTreeWidgetItem* c7 = circuitNode(tree, 7);
    ASSERT_EQ(c7->childCount(), 2);
    EXPECT_EQ(c7->child(1)->text(0), "mine");
    EXPECT_FALSE(TLibraryTree::record(c7->child(1)).builtIn);
}

TEST_F(LibraryExampleTest, TheExampleNodeIsNeverDeleted) {
    saveSheetConfig(newSheet(7), "mine", "");
    TLibraryTree* tree = openTree();
    QTreeWidgetItem* example = circuitNode(tree, 7)->child(0);
    tree->popMenuVSTLDeleteConfigClick(example);
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "The built-in configuration \"Example\" cannot be deleted");
    EXPECT_EQ(circuitNode(tree, 7)->childCount(), 2);
    EXPECT_EQ(getCountConfigs("C7"), 1);
}

TEST_F(LibraryExampleTest, ADoubleClickOpensTheExampleOverASavedSheet) {
    // A sheet of C37 saved by an earlier solve: opening the circuit shows it, opening the example
    // shows the example.
    Sheet saved = newSheet(37);
    saved.find("EdVb")->text = "333";
    {
        TIniPosDim settings;
        settings.Open();
        ASSERT_TRUE(SaveAutoParams(saved, BodeOptions{}, settings));
    }
    TLibraryTree* tree = openTree();
    QTreeWidgetItem* circuit = circuitNode(tree, 37);
    emit tree->itemDoubleClicked(circuit, 0);
    TFormSolver* plain = lastSolver();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(text(plain, "EdVb"), "333");

    emit tree->itemDoubleClicked(circuit->child(0), 0);
    TFormSolver* example = lastSolver();
    ASSERT_NE(example, plain);
    EXPECT_EQ(example->circuit(), 37);
    EXPECT_EQ(text(example, "EdVb"), "430");
    EXPECT_EQ(child<QComboBox>(example, "LBtube")->currentText(), "300B");
    EXPECT_EQ(text(example, "LabelCustom"), "Example");
}
