// TLibraryPage (AdvPanelLibrary): the circuit library: the 42 circuits as a gallery of blocks filtered by
// category, or as a tree with the saved configurations, laid out horizontally or vertically, searched by
// title or number, with the description and schematic of the circuit under the mouse.
#pragma once

#include <QWidget>

#include <vector>

class PictureStream;
class QBoxLayout;
class QButtonGroup;
class QGroupBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QToolButton;
class TCircuitDescription;
class TFrameLib;
class TIniPosDim;
class TLibraryTree;
class TPageBar;

class TLibraryPage : public QWidget {
    Q_OBJECT
public:
    // settings: the main window's settings object, where the view and layout choices are stored.
    explicit TLibraryPage(TIniPosDim& settings, QWidget* parent = nullptr);

    TPageBar* bar() const { return TopPanelLibrary; }
    TLibraryTree* tree() const { return VSTL; }
    TCircuitDescription* description() const { return MemoCircuit; }

    // créerBlocsGalerie: the 42 blocks with the thumbnails of the stream (record n for circuit n).
    void createGalleryBlocks(const PictureStream& miniatures);
    bool hasGalleryBlocks() const { return !blocks_.empty(); }
    // displayBlocsGalerie: exactly these circuits' blocks, in number order.
    void displayBlocsGalerie(const std::vector<int>& circuits);
    // The circuits whose blocks are shown, in display order.
    std::vector<int> shownBlocks() const;

    // What the main window's showing restores: the layout, the view, category "All", the tree, the
    // arrangement (nothing is stored).
    void restoreChoices(bool horizontal, bool gallery);
    bool horizontal() const { return horizontal_; }
    bool galleryView() const;
    // RGlibClick: the blocks of category index (0 = "All" ... 12 = "power stage").
    void RGlibClick(int index);
    // setLayoutLibrary: arranges the page for the view and the layout.
    void setLayoutLibrary();
    // butLayoutToggleClick: the other layout, stored in "displayhor".
    void butLayoutToggleClick();
    // RBgalleryClick: gallery (true) or tree, stored in "flat".
    void chooseView(bool gallery);

    // EditSearchKeyUp with the box's current text; butSearchCancelClick.
    void EditSearchKeyUp();
    void butSearchCancelClick();

signals:
    // A solver window asked for: request code (circuit + 1024 x configuration id) and configuration name.
    void openSolver(int requestCode, const QString& configName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildBar();
    QGroupBox* buildCategories();
    void placeCategoryButtons();
    void updateLayoutToggle();
    void Image6MouseEnter(int circuit);

    TIniPosDim& settings_;
    bool horizontal_ = true;
    int categoryColumns_ = 0;

    TPageBar* TopPanelLibrary = nullptr;
    QLineEdit* EditSearch = nullptr;
    QToolButton* butSearchCancel = nullptr;
    QToolButton* butLayoutToggle = nullptr;
    QRadioButton* RBtree = nullptr;
    QRadioButton* RBgallery = nullptr;
    QLabel* LabelAction = nullptr;
    QBoxLayout* body_ = nullptr;
    QGroupBox* RGlib = nullptr;
    QGridLayout* categoryGrid_ = nullptr;
    QButtonGroup* categoryButtons_ = nullptr;
    QScrollArea* ScrollBoxLibrary = nullptr;
    QBoxLayout* blockRow_ = nullptr;
    std::vector<TFrameLib*> blocks_;
    TLibraryTree* VSTL = nullptr;
    TCircuitDescription* MemoCircuit = nullptr;
};
