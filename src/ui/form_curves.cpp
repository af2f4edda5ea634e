// Building the anode-curves window: the model list and its options, the three pages and the floating
// "Compute Ia" panel; its place and screen-grid voltage kept in the settings file.
#include "ui/form_curves.h"

#include "markup/css_classes.h"
#include "ui/form_curves_table.h"
#include "ui/markup_display.h"
#include "ui/picture_view.h"
#include "ui/screen_placement.h"
#include "ui/typed_key_filter.h"
#include "ui/ui_fonts.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr const char* kWindowName = "FormAnode";
constexpr const char* kFirstCaption = "Tubes curves";

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}
} // namespace

TFormCurves::TFormCurves(Telemetry* telemetry, QWidget* parent)
    : QWidget(parent, Qt::Window), telemetry_(telemetry), separator_(userDecimalSeparator()) {
    setObjectName(QString::fromLatin1(kWindowName));
    setWindowTitle(QString::fromLatin1(kFirstCaption));
    setFont(uiFont(9));
    IniPosDim.Open();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildSidePanel());
    layout->addWidget(buildPages(), 1);
    AdvPanel1 = buildComputePanel();
    resize(1000, 700);
}

TFormCurves::~TFormCurves() {
    if (isVisible())
        storeState();
    IniPosDim.Close();
}

QWidget* TFormCurves::buildSidePanel() {
    auto* panel = new QWidget;
    panel->setFixedWidth(240);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto* group = named(new QGroupBox(QStringLiteral("Select tube model")), "GroupBox1");
    auto* groupLayout = new QVBoxLayout(group);
    LBtubes = named(new QListWidget, "LBtubes");
    groupLayout->addWidget(LBtubes, 1);
    vsRow_ = new QWidget;
    auto* vsLayout = new QVBoxLayout(vsRow_);
    vsLayout->setContentsMargins(0, 0, 0, 0);
    vsLayout->setSpacing(2);
    auto* vsLabel = new QLabel(QStringLiteral("Screen grid voltage (10V min)"));
    vsLayout->addWidget(vsLabel);
    EdVs = named(new QLineEdit, "EdVs");
    EdVs->setFixedWidth(80);
    EdVs->setToolTip(QStringLiteral("Screen-grid voltage of the pentode curves, 10 to 800 V"));
    vsLabel->setBuddy(EdVs);
    vsLayout->addWidget(EdVs);
    vsRow_->hide();
    groupLayout->addWidget(vsRow_);
    column->addWidget(group, 1);

    auto* parameter = named(new QGroupBox(QStringLiteral("Parameter")), "RGparm");
    auto* parameterLayout = new QHBoxLayout(parameter);
    RGparm = new QButtonGroup(this);
    auto* vgk = named(new QRadioButton(QStringLiteral("Vgk")), "RGparmVgk");
    auto* vak = named(new QRadioButton(QStringLiteral("Vak")), "RGparmVak");
    vgk->setToolTip(QStringLiteral("Anode characteristics Ia(Va), one curve per grid voltage"));
    vak->setToolTip(QStringLiteral("Transfer characteristics Ia(Vg), one curve per anode voltage"));
    RGparm->addButton(vgk, 0);
    RGparm->addButton(vak, 1);
    vgk->setChecked(true);
    parameterLayout->addWidget(vgk);
    parameterLayout->addWidget(vak);
    parameterLayout->addStretch(1);
    column->addWidget(parameter);

    butSpecify = named(new QPushButton(QStringLiteral("Specify Vak and Vgk ...")), "butSpecify");
    butSpecify->hide();
    column->addWidget(butSpecify);
    butCopyClipboard =
        named(new QPushButton(QStringLiteral("Copy diagram to clipboard")), "butCopyClipboard");
    column->addWidget(butCopyClipboard);

    // A model chosen by a click or the arrow keys; the list's own changes of its current row (when it
    // takes the focus) draw nothing.
    connect(LBtubes, &QListWidget::itemSelectionChanged, this, [this] { LBtubeClick(true); });
    connect(RGparm, &QButtonGroup::idClicked, this, [this] { LBtubeClick(true); });
    connect(EdVs, &QLineEdit::textEdited, this, &TFormCurves::EdVsKeyUp);
    connect(butSpecify, &QPushButton::clicked, this, &TFormCurves::butSpecifyClick);
    connect(butCopyClipboard, &QPushButton::clicked, this, &TFormCurves::butCopyClipboardClick);
    return panel;
}

QTabWidget* TFormCurves::buildPages() {
    PageControl = named(new QTabWidget, "PageControl");

    ImageAnode = named(new TPictureView, "ImageAnode");
    ImageAnode->installEventFilter(this);
    ImageAnode->setCursor(Qt::CrossCursor);
    DMH = named(new TDisplayMiniHTML(ImageAnode), "DMH");
    DMH->setFrameShape(QFrame::NoFrame);
    DMH->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DMH->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DMH->setFont(monoFont(9));
    DMH->setLineWrapMode(QTextEdit::NoWrap);
    DMH->setAttribute(Qt::WA_TransparentForMouseEvents); // a click on it reads the chart under it
    DMH->setFocusPolicy(Qt::NoFocus);
    (void)DMH->AddClasseCSS("ia", SetFontCss("", fsBold, 0x000080, 0));
    DMH->hide();
    TabSheet1 = named(new QWidget, "TabSheet1");
    auto* anodeLayout = new QVBoxLayout(TabSheet1);
    anodeLayout->setContentsMargins(0, 0, 0, 0);
    anodeLayout->addWidget(ImageAnode);
    PageControl->addTab(TabSheet1, QStringLiteral("Anode curves"));

    ImageMulti = named(new TPictureView, "ImageMulti");
    TabSheet2 = named(new QWidget, "TabSheet2");
    auto* multiLayout = new QVBoxLayout(TabSheet2);
    multiLayout->setContentsMargins(0, 0, 0, 0);
    multiLayout->addWidget(ImageMulti);
    PageControl->addTab(TabSheet2, QStringLiteral("gm, \u03c1, \u00b5"));

    table_ = new TAnodeTableModel(this);
    VST = named(new QTableView, "VST");
    VST->setModel(table_);
    VST->setFont(monoFont(9));
    VST->verticalHeader()->hide();
    VST->verticalHeader()->setDefaultSectionSize(VST->fontMetrics().height() + 4);
    VST->horizontalHeader()->setDefaultSectionSize(100);
    VST->setSelectionMode(QAbstractItemView::NoSelection);
    butCopyVST = named(new QPushButton(QStringLiteral("Copy to clipboard")), "butCopyVST");
    butCopyVST->setToolTip(
        QStringLiteral("Copy all values as a tabulation delimited array to paste into spreadsheet"));
    TabSheet3 = named(new QWidget, "TabSheet3");
    auto* tableLayout = new QVBoxLayout(TabSheet3);
    tableLayout->setContentsMargins(4, 4, 4, 4);
    auto* tableButtons = new QHBoxLayout;
    tableButtons->addWidget(butCopyVST);
    tableButtons->addStretch(1);
    tableLayout->addLayout(tableButtons);
    tableLayout->addWidget(VST, 1);
    PageControl->addTab(TabSheet3, QStringLiteral("All calculated points"));

    connect(PageControl, &QTabWidget::currentChanged, this, &TFormCurves::TabSheet1Show);
    connect(butCopyVST, &QPushButton::clicked, this, &TFormCurves::butCopyVSTClick);
    return PageControl;
}

QFrame* TFormCurves::buildComputePanel() {
    auto* panel = named(new QFrame(this), "AdvPanel1");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 4, 4, 8);

    auto* top = new QHBoxLayout;
    panelCaption_ = named(new QLabel(QStringLiteral("Compute Ia (Vak, Vgk)")), "AdvPanel1Caption");
    panelCaption_->setFont(uiFont(9, true));
    butClosePanel = named(new QPushButton(QStringLiteral("x")), "butClosePanel");
    butClosePanel->setFixedSize(24, 22);
    top->addWidget(panelCaption_, 1);
    top->addWidget(butClosePanel);
    layout->addLayout(top);

    auto* boxes = new QGridLayout;
    EdVak = named(new QLineEdit, "EdVak");
    EdVgk = named(new QLineEdit, "EdVgk");
    EdVsk = named(new QLineEdit, "EdVsk");
    for (QLineEdit* box : {EdVak, EdVgk, EdVsk})
        box->setFixedWidth(80);
    installTypedKeyFilter(EdVak, numberKeySet(separator_));
    installTypedKeyFilter(EdVgk, numberKeySet(separator_, QStringLiteral("-")));
    installTypedKeyFilter(EdVsk, numberKeySet(separator_));
    boxes->addWidget(new QLabel(QStringLiteral("Vak (> 0)")), 0, 0);
    boxes->addWidget(EdVak, 0, 1);
    boxes->addWidget(new QLabel(QStringLiteral("Vgk (<= 0)")), 1, 0);
    boxes->addWidget(EdVgk, 1, 1);
    vskLabel_ = new QLabel(QStringLiteral("Vg2 (> 0)"));
    boxes->addWidget(vskLabel_, 2, 0);
    boxes->addWidget(EdVsk, 2, 1);
    boxes->setColumnStretch(2, 1);
    vskLabel_->hide();
    EdVsk->hide();
    layout->addLayout(boxes);
    LabelResult = named(new QLabel, "LabelResult");
    LabelResult->setFont(monoFont(9));
    LabelResult->setMinimumHeight(3 * LabelResult->fontMetrics().height());
    layout->addWidget(LabelResult);

    connect(butClosePanel, &QPushButton::clicked, panel, &QWidget::hide);
    for (QLineEdit* box : {EdVak, EdVgk, EdVsk})
        connect(box, &QLineEdit::textChanged, this, &TFormCurves::EdVakKeyUp);
    panel->setFixedWidth(380);
    panel->hide();
    return panel;
}

QString TFormCurves::drawnModel() const {
    return drawn_ ? QString::fromStdString(drawn_->name) : QString();
}

void TFormCurves::storeState() {
    storeWindowPlacement(this, IniPosDim, kWindowName);
    IniPosDim.setPentodeVs(EdVs->text().toStdString());
}

void TFormCurves::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return; // a window brought back from the task bar keeps its place
    // The stored place and voltage are written when the window hides, so each showing finds them.
    restoreWindowPlacement(this, IniPosDim, kWindowName);
    EdVs->setText(QString::fromStdString(IniPosDim.pentodeVs()));
    refreshModelList();
    PageControl->setCurrentWidget(TabSheet1);
}

void TFormCurves::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        storeState();
}

void TFormCurves::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The pictures draw themselves again at their new size; a read-out placed on the old one goes.
    DMH->hide();
    if (AdvPanel1->isVisible())
        keepPanelInside();
}

bool TFormCurves::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ImageAnode && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            ImageAnodeMouseUp(mouse->position().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}
