// The circuit library of the main window: search in the gallery and in the tree and its reset,
// categories, saved configurations under their circuits and their deletion, hover and clicks, the
// layout and view choices kept across a restart, the description with its schematic.
#include "main_window_support.h"
#include "window_helpers.h"

#include "circuits/catalogue.h"
#include "storage/configurations.h"
#include "ui/circuit_description.h"
#include "ui/form_solver.h"
#include "ui/gallery_block.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace {

class LibraryTest : public MainWindowTest {
protected:
    // The library page of a started main window, in the gallery or the tree view.
    TLibraryPage* openLibrary(bool gallery = true) {
        window_ = openMainWindow();
        window_->menuIntroClick(2);
        window_->library()->chooseView(gallery);
        return window_->library();
    }
    void type(TLibraryPage* library, const QString& text) {
        auto* box = child<QLineEdit>(library, "EditSearch");
        box->clear();
        QTest::keyClicks(box, text);
    }
    TForm1* window_ = nullptr;
};

long long saveSheet(int circuit, const char* name, const char* comment) {
    return saveSheetConfig(newSheet(circuit), name, comment);
}

std::vector<TFormSolver*> openSolvers() {
    std::vector<TFormSolver*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<TFormSolver*>(w); s && s->isVisible())
            windows.push_back(s);
    return windows;
}

QTreeWidgetItem* findNode(TLibraryTree* tree, const QString& rootCaption, int level, int circuit,
                          const QString& name = {}) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const TRecVSTLibrary r = TLibraryTree::record(*it);
        QTreeWidgetItem* root = *it;
        while (root->parent())
            root = root->parent();
        if (r.level == level && r.indexCircuit == circuit && root->text(0) == rootCaption &&
            (name.isEmpty() || r.nomCircuit == name))
            return *it;
    }
    return nullptr;
}

const std::vector<int> kCascodes = {6, 8, 21, 22, 27, 31};

TEST_F(LibraryTest, SearchInTheGalleryShowsTheMatchingBlocksInNumberOrder) {
    TLibraryPage* library = openLibrary(true);
    const struct {
        QString typed;
        std::vector<int> shown;
    } cases[] = {
        {"cascode", kCascodes},
        {"12", {12}},
        {"  CASCODE ", kCascodes},
        {"follower", {3, 4, 30, 33, 35}},
        {".*", {}},
        {"[(", {}},
        {QString(500, QLatin1Char('x')), {}},
    };
    for (const auto& c : cases) {
        type(library, c.typed);
        EXPECT_EQ(library->shownBlocks(), c.shown) << c.typed.left(20).toStdString();
    }
    // An emptied box changes nothing; a category shows its blocks again.
    type(library, "12");
    child<QLineEdit>(library, "EditSearch")->clear();
    library->EditSearchKeyUp();
    EXPECT_EQ(library->shownBlocks(), std::vector<int>{12});
    library->RGlibClick(0);
    EXPECT_EQ(library->shownBlocks().size(), 42u);
}

TEST_F(LibraryTest, SearchInTheTreeBuildsOneRootAndTheCrossRestoresTheTree) {
    saveSheet(8, "bright", "");
    TLibraryPage* library = openLibrary(false);
    TLibraryTree* tree = library->tree();
    const struct {
        QString typed;
        QString root;
        std::vector<int> circuits;
    } cases[] = {
        {"Cascode", "Circuits containing \"cascode\"", kCascodes},
        {"12", "Circuits containing \"12\"", {12}},
        {"a*b", "Circuits containing \"a*b\"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        type(library, c.typed);
        ASSERT_EQ(tree->topLevelItemCount(), 1);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), c.root);
        EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
        std::vector<int> circuits;
        for (const TRecVSTLibrary& r : treeNodes(tree, 1))
            circuits.push_back(r.indexCircuit);
        EXPECT_EQ(circuits, c.circuits);
        EXPECT_TRUE(treeNodes(tree, 2).empty()); // configurations are not listed
    }
    // "x" and Escape both bring the whole tree back, with the configurations, and focus the box.
    for (auto reset :
         {std::function<void()>([&] { child<QToolButton>(library, "butSearchCancel")->click(); }),
          std::function<void()>(
              [&] { QTest::keyClick(child<QLineEdit>(library, "EditSearch"), Qt::Key_Escape); })}) {
        type(library, "cascode");
        reset();
        EXPECT_EQ(tree->topLevelItemCount(), 13);
        EXPECT_TRUE(child<QLineEdit>(library, "EditSearch")->text().isEmpty());
        EXPECT_FALSE(treeNodes(tree, 2).empty());
    }
}

TEST_F(LibraryTest, TheTreeListsTheCategoriesAndAConfigurationUnderEveryCategoryOfItsCircuit) {
    saveSheet(7, "ECC83 at 300 V", "a comment");
    saveSheet(7, "balanced", "");
    saveSheet(1, "of C1", "");
    TLibraryTree* tree = openLibrary(false)->tree();

    std::vector<std::string> roots;
    for (const TRecVSTLibrary& r : treeNodes(tree, 0))
        roots.push_back(r.categorie.toStdString());
    EXPECT_EQ(roots,
              (std::vector<std::string>{"All circuits", "1-tube", "2-tube", "3-tube", "4-tube", "Gain stage",
                                        "Buffer", "Cascode-like", "Phase inverter", "Differential", "Mixer",
                                        "Voltage regulator", "Power stages"}));
    int underC7 = 0;
    for (const Category& category : categories()) {
        const QString caption = QString::fromStdString(category.treeCaption);
        const bool holdsC7 = std::count(category.circuits.begin(), category.circuits.end(), 7) > 0;
        QTreeWidgetItem* circuit = findNode(tree, caption, 1, 7);
        ASSERT_EQ(circuit != nullptr, holdsC7) << category.treeCaption;
        if (!circuit)
            continue;
        ++underC7;
        EXPECT_EQ(circuit->text(0), "C7 - Differential phase inverter, cathode bias");
        ASSERT_EQ(circuit->childCount(), 3);                     // the built-in example first
        EXPECT_EQ(circuit->child(1)->text(0), "ECC83 at 300 V"); // in the database's order
        EXPECT_EQ(circuit->child(2)->text(0), "balanced");
        EXPECT_EQ(TLibraryTree::record(circuit->child(1)).comment, "a comment");
    }
    EXPECT_EQ(underC7, 4);                             // All circuits, 2-tube, Phase inverter, Differential
    EXPECT_EQ(treeNodes(tree, 2).size(), 4u * 2 + 3u); // C1 under All circuits, 1-tube, Gain stage
}

TEST_F(LibraryTest, DeletingAConfigurationAsksAndRemovesItEverywhere) {
    const long long id = saveSheet(7, "to go", "");
    saveSheet(7, "to keep", "");
    TLibraryTree* tree = openLibrary(false)->tree();
    QTreeWidgetItem* node = findNode(tree, "Differential", 2, 7, "to go");
    ASSERT_NE(node, nullptr);

    answerNo();
    tree->popMenuVSTLDeleteConfigClick(node);
    ASSERT_EQ(boxes().texts.size(), 1u);
    EXPECT_EQ(boxes().texts[0], "Do you want to erase your circuit configuration \"to go\" ?");
    EXPECT_EQ(getCircuitConfigs("C7").size(), 2u);
    EXPECT_EQ(treeNodes(tree, 2).size(), 8u);

    answerYes();
    tree->popMenuVSTLDeleteConfigClick(findNode(tree, "Phase inverter", 2, 7, "to go"));
    const TArrayCircuitConfig left = getCircuitConfigs("C7");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "to keep");
    EXPECT_TRUE(getKeyVal(id).empty());
    EXPECT_EQ(treeNodes(tree, 2).size(), 4u);
    EXPECT_EQ(findNode(tree, "All circuits", 2, 7, "to go"), nullptr);
}

TEST_F(LibraryTest, TreeClicksDescribeAndDoubleClicksOpen) {
    const long long id = saveSheet(5, "warm", "Ra lowered for more current");
    TLibraryPage* library = openLibrary(false);
    TLibraryTree* tree = library->tree();
    TCircuitDescription* description = library->description();

    QTreeWidgetItem* circuit = findNode(tree, "All circuits", 1, 5);
    QTreeWidgetItem* config = findNode(tree, "All circuits", 2, 5, "warm");
    ASSERT_TRUE(circuit && config);
    tree->scrollToItem(config);
    emit tree->itemClicked(circuit, 0);
    EXPECT_EQ(description->shownCircuit(), 5);
    EXPECT_EQ(description->plainText().rfind("C5 ", 0), 0u);
    EXPECT_TRUE(description->showsPicture());
    EXPECT_EQ(description->plainText().find("Ra lowered"), std::string::npos);
    emit tree->itemClicked(config, 0);
    EXPECT_NE(description->plainText().find("Ra lowered for more current"), std::string::npos);

    emit tree->itemDoubleClicked(config, 0);
    std::vector<TFormSolver*> opened = openSolvers();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0]->circuit(), 5);
    EXPECT_EQ(text(opened[0], "LabelCustom"), "warm");
    EXPECT_EQ(getKeyVal(id).empty(), false);
    emit tree->itemDoubleClicked(circuit, 0);
    EXPECT_EQ(openSolvers().size(), 2u);
}

TEST_F(LibraryTest, CategoriesHoverAndClickInTheGallery) {
    TLibraryPage* library = openLibrary(true);
    int index = 0;
    for (const Category& category : categories()) {
        child<QRadioButton>(library, QStringLiteral("RGlib%1").arg(index).toLatin1().constData())->click();
        EXPECT_EQ(library->shownBlocks(), category.circuits) << category.galleryName;
        ++index;
    }
    library->RGlibClick(0);

    auto* block = child<TFrameLib>(library, "bfl21");
    auto* image = child<QLabel>(block, "ImageSchema");
    EXPECT_EQ(child<QGroupBox>(block, "AGB")->title(), "#C21");
    EXPECT_EQ(image->toolTip(), "Click to open the solver window");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(image, &enter);
    EXPECT_EQ(library->description()->shownCircuit(), 21);
    EXPECT_TRUE(library->description()->showsPicture());
    EXPECT_TRUE(openSolvers().empty());
    QTest::mouseClick(image, Qt::LeftButton);
    const std::vector<TFormSolver*> opened = openSolvers();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0]->circuit(), 21);
}

TEST_F(LibraryTest, LayoutAndViewChoicesAreKeptAcrossARestart) {
    TLibraryPage* library = openLibrary(true);
    auto* categoriesBox = child<QGroupBox>(library, "RGlib");
    auto* gallery = child<QScrollArea>(library, "ScrollBoxLibrary");
    EXPECT_TRUE(library->horizontal());
    EXPECT_LT(categoriesBox->y(), gallery->y()); // categories above the gallery
    library->butLayoutToggleClick();
    EXPECT_FALSE(window_->settings().displayHor());
    QApplication::processEvents();
    EXPECT_LT(categoriesBox->x(), gallery->x()); // then beside it
    EXPECT_EQ(child<QToolButton>(library, "butLayoutToggle")->property("tag").toInt(), 1);
    delete window_;

    library = openLibrary(true);
    EXPECT_FALSE(library->horizontal());
    EXPECT_EQ(child<QToolButton>(library, "butLayoutToggle")->property("tag").toInt(), 1);
    library->chooseView(false);
    EXPECT_FALSE(window_->settings().flat());
    delete window_;

    window_ = openMainWindow();
    library = window_->library();
    EXPECT_FALSE(library->galleryView());
    EXPECT_TRUE(child<QRadioButton>(library, "RBtree")->isChecked());
    window_->menuIntroClick(2);
    QApplication::processEvents();
    EXPECT_TRUE(library->tree()->isVisible());
    EXPECT_FALSE(child<QScrollArea>(library, "ScrollBoxLibrary")->isVisible());
    EXPECT_LT(library->tree()->x(), library->description()->x()); // vertical: tree beside the description
}

TEST_F(LibraryTest, TheSchematicFitsTheDescriptionsWidth) {
    TLibraryPage* library = openLibrary(true);
    window_->resize(700, 600);
    QApplication::processEvents();
    library->description()->showCircuit(42);
    EXPECT_TRUE(library->description()->showsPicture());
    EXPECT_LE(library->description()->pictureWidth(), library->description()->width());
    window_->resize(1400, 800);
    QApplication::processEvents();
    EXPECT_GT(library->description()->pictureWidth(), 600);
}

} // namespace
