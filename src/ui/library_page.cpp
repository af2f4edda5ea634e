// The library page: its bar (search, layout, view), the gallery blocks, the tree and the description.
#include "ui/library_page.h"

#include "circuits/catalogue.h"
#include "circuits/library_search.h"
#include "plots/title_bar_glyphs.h"
#include "storage/picture_stream.h"
#include "ui/circuit_description.h"
#include "ui/gallery_block.h"
#include "ui/library_tree.h"
#include "ui/page_bar.h"
#include "ui/title_strip.h"
#include "ui/ui_fonts.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>

TLibraryPage::TLibraryPage(TIniPosDim& settings, QWidget* parent) : QWidget(parent), settings_(settings) {
    setObjectName(QStringLiteral("AdvPanelLibrary"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildBar();
    layout->addWidget(TopPanelLibrary);

    LabelAction = new QLabel;
    LabelAction->setObjectName(QStringLiteral("LabelAction"));
    LabelAction->setContentsMargins(10, 3, 10, 3);
    LabelAction->setStyleSheet(QStringLiteral("QLabel { color: #506070; font-style: italic; }"));
    layout->addWidget(LabelAction);

    body_ = new QBoxLayout(QBoxLayout::TopToBottom);
    body_->setContentsMargins(4, 0, 4, 4);
    body_->setSpacing(4);
    body_->addWidget(buildCategories());

    ScrollBoxLibrary = new QScrollArea;
    ScrollBoxLibrary->setObjectName(QStringLiteral("ScrollBoxLibrary"));
    ScrollBoxLibrary->setFrameShape(QFrame::NoFrame);
    ScrollBoxLibrary->setWidgetResizable(true);
    auto* blocks = new QWidget;
    blocks->setObjectName(QStringLiteral("GalleryBlocks"));
    blockRow_ = new QBoxLayout(QBoxLayout::LeftToRight, blocks);
    blockRow_->setContentsMargins(2, 2, 2, 2);
    blockRow_->setSpacing(6);
    blockRow_->addStretch(1);
    ScrollBoxLibrary->setWidget(blocks);
    body_->addWidget(ScrollBoxLibrary);

    VSTL = new TLibraryTree;
    body_->addWidget(VSTL);
    MemoCircuit = new TCircuitDescription;
    body_->addWidget(MemoCircuit, 1);
    layout->addLayout(body_, 1);

    connect(VSTL, &TLibraryTree::circuitClicked, this, [this](int n, const QString& comment, bool config) {
        MemoCircuit->showCircuit(n, comment, config);
        MemoCircuit->setFocus();
    });
    connect(VSTL, &TLibraryTree::openRequested, this, &TLibraryPage::openSolver);
}

void TLibraryPage::buildBar() {
    TopPanelLibrary = new TPageBar(QStringLiteral("Library of circuits"));
    TopPanelLibrary->setObjectName(QStringLiteral("TopPanelLibrary"));
    QHBoxLayout* row = TopPanelLibrary->row();
    row->addStretch(1);

    auto* searchLabel = new QLabel(QStringLiteral("Search"));
    searchLabel->setStyleSheet(QStringLiteral("background: transparent;"));
    EditSearch = new QLineEdit;
    EditSearch->setObjectName(QStringLiteral("EditSearch"));
    EditSearch->setFixedWidth(180);
    EditSearch->setPlaceholderText(QStringLiteral("title or number"));
    EditSearch->installEventFilter(this);
    searchLabel->setBuddy(EditSearch);
    butSearchCancel = new QToolButton;
    butSearchCancel->setObjectName(QStringLiteral("butSearchCancel"));
    butSearchCancel->setText(QStringLiteral("x"));
    butSearchCancel->setToolTip(QStringLiteral("Clear the search"));
    row->addWidget(searchLabel);
    row->addWidget(EditSearch);
    row->addWidget(butSearchCancel);
    row->addSpacing(12);

    butLayoutToggle = new QToolButton;
    butLayoutToggle->setObjectName(QStringLiteral("butLayoutToggle"));
    butLayoutToggle->setToolTip(QStringLiteral("layout library vertically or horizontally"));
    butLayoutToggle->setIconSize(QSize(22, 22));
    butLayoutToggle->setAutoRaise(true);
    row->addWidget(butLayoutToggle);

    RBtree = new QRadioButton(QStringLiteral("tree"));
    RBtree->setObjectName(QStringLiteral("RBtree"));
    RBgallery = new QRadioButton(QStringLiteral("gallery"));
    RBgallery->setObjectName(QStringLiteral("RBgallery"));
    RBgallery->setChecked(true);
    for (QRadioButton* b : {RBtree, RBgallery}) {
        b->setStyleSheet(QStringLiteral("background: transparent;"));
        row->addWidget(b);
    }

    connect(EditSearch, &QLineEdit::textEdited, this, &TLibraryPage::EditSearchKeyUp);
    connect(butSearchCancel, &QToolButton::clicked, this, &TLibraryPage::butSearchCancelClick);
    connect(butLayoutToggle, &QToolButton::clicked, this, &TLibraryPage::butLayoutToggleClick);
    connect(RBgallery, &QRadioButton::clicked, this, [this] { chooseView(true); });
    connect(RBtree, &QRadioButton::clicked, this, [this] { chooseView(false); });
}

void TLibraryPage::createGalleryBlocks(const PictureStream& miniatures) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        auto* block = new TFrameLib(n, miniatures.picture(n, "PNG"),
                                    QString::fromStdString(Titres()[static_cast<std::size_t>(n)]));
        connect(block, &TFrameLib::hovered, this, &TLibraryPage::Image6MouseEnter);
        connect(block, &TFrameLib::clicked, this,
                [this](int circuit) { emit openSolver(circuit, QString()); });
        blockRow_->insertWidget(n - 1, block);
        blocks_.push_back(block);
    }
}

void TLibraryPage::displayBlocsGalerie(const std::vector<int>& circuits) {
    std::vector<bool> shown(blocks_.size() + 1, false);
    for (int n : circuits)
        if (n >= 1 && n <= static_cast<int>(blocks_.size()))
            shown[static_cast<std::size_t>(n)] = true;
    for (TFrameLib* block : blocks_)
        block->setVisible(shown[static_cast<std::size_t>(block->tag())]);
}

std::vector<int> TLibraryPage::shownBlocks() const {
    std::vector<int> shown;
    for (int i = 0; i < blockRow_->count(); ++i)
        if (auto* block = qobject_cast<TFrameLib*>(blockRow_->itemAt(i)->widget()))
            if (!block->isHidden())
                shown.push_back(block->tag());
    return shown;
}

void TLibraryPage::Image6MouseEnter(int circuit) {
    MemoCircuit->showCircuit(circuit);
}

void TLibraryPage::EditSearchKeyUp() {
    const QString text = EditSearch->text().trimmed().toLower();
    if (text.isEmpty())
        return;
    const std::vector<int> found = circuitsMatching(text.toStdString());
    if (galleryView())
        displayBlocsGalerie(found);
    else
        VSTL->showSearchResult(text, found);
}

void TLibraryPage::butSearchCancelClick() {
    EditSearch->clear();
    if (!galleryView())
        VSTL->fillVSTLibrary();
    EditSearch->setFocus();
}

bool TLibraryPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EditSearch && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        butSearchCancelClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
