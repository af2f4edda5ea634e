// Arranging the library page: the category choice, the gallery or the tree, horizontal or vertical.
#include "ui/library_page.h"

#include "circuits/catalogue.h"
#include "storage/settings.h"
#include "ui/circuit_description.h"
#include "ui/gallery_block.h"
#include "ui/library_tree.h"
#include "ui/title_strip.h"
#include "ui/ui_fonts.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace {
constexpr int kCategoryWidth = 130; // the category column of the vertical layout
constexpr int kGalleryWidth = 250;  // the gallery column of the vertical layout
constexpr int kTreeHeight = 300;
constexpr int kTreeWidth = 350;

void fixHeight(QWidget* w, int height) {
    w->setMinimumWidth(0);
    w->setMaximumWidth(QWIDGETSIZE_MAX);
    w->setFixedHeight(height);
}

void fixWidth(QWidget* w, int width) {
    w->setMinimumHeight(0);
    w->setMaximumHeight(QWIDGETSIZE_MAX);
    w->setFixedWidth(width);
}
} // namespace

QGroupBox* TLibraryPage::buildCategories() {
    RGlib = new QGroupBox;
    RGlib->setObjectName(QStringLiteral("RGlib"));
    categoryGrid_ = new QGridLayout(RGlib);
    categoryGrid_->setContentsMargins(8, 4, 8, 4);
    categoryGrid_->setHorizontalSpacing(12);
    categoryGrid_->setVerticalSpacing(2);
    categoryButtons_ = new QButtonGroup(this);
    int index = 0;
    for (const Category& category : categories()) {
        auto* button = new QRadioButton(QString::fromStdString(category.galleryName));
        button->setObjectName(QStringLiteral("RGlib%1").arg(index));
        categoryButtons_->addButton(button, index++);
    }
    categoryButtons_->button(0)->setChecked(true);
    connect(categoryButtons_, &QButtonGroup::idClicked, this, &TLibraryPage::RGlibClick);
    return RGlib;
}

void TLibraryPage::placeCategoryButtons() {
    const QList<QAbstractButton*> buttons = categoryButtons_->buttons();
    int widest = 0;
    for (QAbstractButton* b : buttons)
        widest = std::max(widest, b->sizeHint().width());
    const QMargins m = categoryGrid_->contentsMargins();
    const int room = width() - 8 - m.left() - m.right();
    const int count = static_cast<int>(buttons.size());
    // Horizontally, one row when the page is wide enough, else rows of even length.
    int columns = 1;
    if (horizontal_) {
        const int spacing = categoryGrid_->horizontalSpacing();
        const int fit = std::clamp((room + spacing) / (widest + spacing), 1, count);
        const int rows = (count + fit - 1) / fit;
        columns = (count + rows - 1) / rows;
    }
    if (columns != categoryColumns_) {
        categoryColumns_ = columns;
        for (QAbstractButton* b : buttons)
            categoryGrid_->removeWidget(b);
        for (int i = 0; i < count; ++i)
            categoryGrid_->addWidget(buttons[i], i / columns, i % columns);
        // A column of choices keeps to the top.
        for (int row = 0; row <= count; ++row)
            categoryGrid_->setRowStretch(row, !horizontal_ && row == count ? 1 : 0);
    }
    if (horizontal_) {
        const int rows = (count + columns - 1) / columns;
        const int rowHeight = buttons.front()->sizeHint().height() + categoryGrid_->verticalSpacing();
        fixHeight(RGlib, rows * rowHeight + m.top() + m.bottom() + 4);
    } else {
        fixWidth(RGlib, std::max(kCategoryWidth, widest + m.left() + m.right() + 4));
    }
}

void TLibraryPage::updateLayoutToggle() {
    // Tag 0 and the picture of the vertical layout while horizontal; tag 1 and the other one while vertical.
    butLayoutToggle->setProperty("tag", horizontal_ ? 0 : 1);
    butLayoutToggle->setIcon(titleGlyphIcon(horizontal_ ? TitleGlyph::LayoutVert : TitleGlyph::LayoutHor, 22,
                                            QColor(0x30, 0x40, 0x50)));
}

bool TLibraryPage::galleryView() const {
    return RBgallery->isChecked();
}

void TLibraryPage::restoreChoices(bool horizontal, bool gallery) {
    horizontal_ = horizontal;
    updateLayoutToggle();
    (gallery ? RBgallery : RBtree)->setChecked(true);
    categoryButtons_->button(0)->setChecked(true);
    VSTL->fillVSTLibrary();
    setLayoutLibrary();
}

void TLibraryPage::RGlibClick(int index) {
    const std::vector<Category>& all = categories();
    if (index < 0 || index >= static_cast<int>(all.size()))
        return;
    if (categoryButtons_->checkedId() != index)
        categoryButtons_->button(index)->setChecked(true);
    displayBlocsGalerie(all[static_cast<std::size_t>(index)].circuits);
}

void TLibraryPage::setLayoutLibrary() {
    for (QWidget* w : {static_cast<QWidget*>(MemoCircuit), static_cast<QWidget*>(RGlib),
                       static_cast<QWidget*>(ScrollBoxLibrary), static_cast<QWidget*>(VSTL)})
        w->hide();
    body_->setDirection(horizontal_ ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    blockRow_->setDirection(horizontal_ ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    const bool gallery = galleryView();
    if (gallery) {
        categoryColumns_ = 0;
        placeCategoryButtons();
        const int blockHeight = blocks_.empty() ? 120 : blocks_.front()->sizeHint().height();
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        if (horizontal_) {
            ScrollBoxLibrary->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            ScrollBoxLibrary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            fixHeight(ScrollBoxLibrary, blockHeight + bar + 6);
        } else {
            ScrollBoxLibrary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            ScrollBoxLibrary->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            fixWidth(ScrollBoxLibrary, std::max(kGalleryWidth, TFrameLib::kWidth + bar + 8));
        }
        LabelAction->setText(
            QStringLiteral("Mouse over diagram to display comment, click to open solver window"));
        RGlibClick(categoryButtons_->checkedId());
        RGlib->show();
        ScrollBoxLibrary->show();
    } else {
        if (horizontal_)
            fixHeight(VSTL, kTreeHeight);
        else
            fixWidth(VSTL, kTreeWidth);
        LabelAction->setText(QStringLiteral("Click to display comment, double-click to open solver window"));
        VSTL->show();
    }
    MemoCircuit->show();
}

void TLibraryPage::butLayoutToggleClick() {
    const bool horizontal = !horizontal_;
    settings_.setDisplayHor(horizontal);
    horizontal_ = horizontal;
    updateLayoutToggle();
    setLayoutLibrary();
}

void TLibraryPage::chooseView(bool gallery) {
    (gallery ? RBgallery : RBtree)->setChecked(true);
    settings_.setFlat(gallery);
    if (!gallery) // configurations saved since the tree was filled appear
        VSTL->fillVSTLibrary();
    setLayoutLibrary();
}

void TLibraryPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (galleryView() && horizontal_)
        placeCategoryButtons();
}
