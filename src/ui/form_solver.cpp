// Building the solver window: top strip, sheet panel and result tabs, and its place on the screen.
#include "ui/form_solver.h"

#include "solver/advanced_power.h"
#include "ui/bode_tab.h"
#include "ui/key_filters.h"
#include "ui/log_grid.h"
#include "ui/markup_display.h"
#include "ui/picture_view.h"
#include "ui/sheet_frame.h"
#include "ui/sweep_dialog.h"
#include "ui/tools_window.h"
#include "ui/ui_fonts.h"
#include "ui/wave_tab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The solver window created last, while it is open: the next one is placed from it.
QPointer<TFormSolver>& lastCreated() {
    static QPointer<TFormSolver> window;
    return window;
}

NumberLocale userLocale() {
    const QLocale locale;
    NumberLocale n;
    const QString point = locale.decimalPoint();
    n.decimalSeparator = point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
    n.thousandsSeparator = locale.groupSeparator().toStdString();
    return n;
}

// A tab page: the copy buttons in a row at the top right, the content below.
QWidget* tabPage(const char* name, QWidget* content, std::initializer_list<QToolButton*> buttons) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    if (buttons.size() > 0) {
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        for (QToolButton* b : buttons)
            row->addWidget(b);
        layout->addLayout(row);
    }
    layout->addWidget(content, 1);
    return page;
}
} // namespace

TFormSolver::TFormSolver(int circuit, QWidget* parent) : QWidget(parent, Qt::Window), Tag(circuit) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("FormSolver"));
    setFont(uiFont(9));
    IniPosDim.Open();
    locale_ = userLocale();

    auto* body = new QHBoxLayout;
    body->setSpacing(4);
    LabelSplit = new QLabel(QStringLiteral("\u00ab\n\u00ab\n\u00ab"));
    LabelSplit->setObjectName(QStringLiteral("LabelSplit"));
    LabelSplit->setAlignment(Qt::AlignCenter);
    LabelSplit->setFixedWidth(12);
    LabelSplit->setCursor(Qt::PointingHandCursor);
    LabelSplit->setToolTip(QStringLiteral("Narrow or widen the diagram"));
    LabelSplit->installEventFilter(this);
    body->addWidget(LabelSplit);
    body->addWidget(buildParamsPanel());
    body->addWidget(buildTabs(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildTopStrip());
    layout->addLayout(body, 1);

    setUpForCircuit();
    placeWindow();
    lastCreated() = this;
}

TFormSolver::~TFormSolver() {
    IniPosDim.Close();
}

QWidget* TFormSolver::buildTopStrip() {
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("PanelControl"));
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);

    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(48, 48);
    row->addWidget(Image1);

    DMH = new TDisplayMiniHTML;
    DMH->setObjectName(QStringLiteral("DMH"));
    DMH->setFont(uiFont(9));
    DMH->setFrameShape(QFrame::NoFrame);
    DMH->setFixedHeight(56);
    // A header, not a text to edit or select: no caret, no focus.
    DMH->setTextInteractionFlags(Qt::NoTextInteraction);
    DMH->setFocusPolicy(Qt::NoFocus);
    DMH->viewport()->setCursor(Qt::ArrowCursor);
    DMH->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DMH->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = DMH->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Window));
    DMH->setPalette(pal);
    row->addWidget(DMH, 1);

    GBadvanced = new QGroupBox(QStringLiteral("Advanced parameters"));
    GBadvanced->setObjectName(QStringLiteral("GBadvanced"));
    auto* advanced = new QGridLayout(GBadvanced);
    advanced->setContentsMargins(6, 2, 6, 2);
    advanced->setVerticalSpacing(2);
    LEDkza = new QLineEdit(QStringLiteral("1") + QChar::fromLatin1(locale_.decimalSeparator) + "0");
    LEDkza->setObjectName(QString::fromLatin1(kKzaControl));
    LEDkzb = new QLineEdit(QStringLiteral("2") + QChar::fromLatin1(locale_.decimalSeparator) + "0");
    LEDkzb->setObjectName(QString::fromLatin1(kKzbControl));
    for (QLineEdit* box : {LEDkza, LEDkzb}) {
        box->setFixedWidth(56);
        installKeyFilter(box, KeyFilterKind::Kza, QChar::fromLatin1(locale_.decimalSeparator));
    }
    advanced->addWidget(new QLabel(QStringLiteral("stiffness coefficient (kza)")), 0, 0);
    advanced->addWidget(LEDkza, 0, 1);
    advanced->addWidget(new QLabel(QStringLiteral("bias shift  (kzb)")), 1, 0);
    advanced->addWidget(LEDkzb, 1, 1);
    auto* functionBox = new QWidget;
    functionBox->setObjectName(QString::fromLatin1(kLoadFunctionControl));
    auto* functions = new QGridLayout(functionBox);
    functions->setContentsMargins(12, 0, 0, 0);
    functions->setVerticalSpacing(2);
    functions->addWidget(new QLabel(QStringLiteral("Function")), 0, 0, 2, 1);
    RGfonction = new QButtonGroup(this);
    const auto& items = loadFunctionItems();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        auto* radio = new QRadioButton(QString::fromStdString(items[static_cast<std::size_t>(i)]));
        RGfonction->addButton(radio, i);
        functions->addWidget(radio, i / 2, 1 + i % 2);
    }
    RGfonction->button(3)->setChecked(true);
    advanced->addWidget(functionBox, 0, 2, 2, 1);
    GBadvanced->hide();
    row->addWidget(GBadvanced);

    auto* options = new QVBoxLayout;
    options->setSpacing(2);
    ButtonTools = new QPushButton(QStringLiteral("Tools"));
    ButtonTools->setObjectName(QStringLiteral("ButtonTools"));
    CheckBoxShowConvergence = new QCheckBox(QStringLiteral("convergence"));
    CheckBoxShowConvergence->setObjectName(QStringLiteral("CheckBoxShowConvergence"));
    CheckBoxShowPowerParms = new QCheckBox(QStringLiteral("advanced parms"));
    CheckBoxShowPowerParms->setObjectName(QStringLiteral("CheckBoxShowPowerParms"));
    ButtonSpice = new QPushButton(QStringLiteral("Export SPICE netlist…"));
    ButtonSpice->setObjectName(QStringLiteral("ButtonSpice"));
    options->addWidget(ButtonTools);
    auto* ButtonSweep = new QPushButton(QStringLiteral("Sweep…"));
    ButtonSweep->setObjectName(QStringLiteral("ButtonSweep"));
    ButtonSweep->setToolTip(QStringLiteral("Solve over a range of one field and plot a result column"));
    options->addWidget(ButtonSweep);
    options->addWidget(ButtonSpice);
    options->addWidget(CheckBoxShowConvergence);
    options->addWidget(CheckBoxShowPowerParms);
    row->addLayout(options);

    ImageFlash = new QLabel(QStringLiteral("Copied"));
    ImageFlash->setObjectName(QStringLiteral("ImageFlash"));
    ImageFlash->setStyleSheet(
        QStringLiteral("QLabel { background: #ffe070; color: #402000; padding: 2px 6px; }"));
    ImageFlash->hide();
    row->addWidget(ImageFlash);

    ButtonSolver = new QPushButton(QStringLiteral("Solve [Ent]"));
    ButtonSolver->setObjectName(QStringLiteral("ButtonSolver"));
    ButtonSolver->setDefault(true);
    ButtonSolver->setFont(uiFont(10, true));
    ButtonSolver->setMinimumSize(120, 44);
    row->addWidget(ButtonSolver);

    connect(ButtonSolver, &QPushButton::clicked, this, &TFormSolver::ButtonSolverClick);
    connect(ButtonTools, &QPushButton::clicked, this, [this] { TFormTools::showTools(this); });
    connect(ButtonSpice, &QPushButton::clicked, this, &TFormSolver::ButtonSpiceClick);
    connect(ButtonSweep, &QPushButton::clicked, this, [this] {
        auto* dialog = new TSweepDialog(buildRequest(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
    });
    connect(CheckBoxShowPowerParms, &QCheckBox::toggled, GBadvanced, &QWidget::setVisible);
    return strip;
}

QWidget* TFormSolver::buildParamsPanel() {
    PanelParams = new QGroupBox;
    PanelParams->setObjectName(QStringLiteral("PanelParams"));
    auto* layout = new QVBoxLayout(PanelParams);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* heading = new QHBoxLayout;
    auto* Label4 = new QLabel(QStringLiteral("Interactive electrical diagram"));
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(uiFont(9, true));
    LabelCustom = new QLabel;
    LabelCustom->setObjectName(QStringLiteral("LabelCustom"));
    LabelCustom->setFont(uiFont(9, true));
    QPalette pal = LabelCustom->palette();
    pal.setColor(QPalette::WindowText, QColor(0x00, 0x60, 0xA0));
    LabelCustom->setPalette(pal);
    heading->addWidget(Label4);
    heading->addWidget(LabelCustom, 1);
    layout->addLayout(heading);

    ContainerSchema = new QGroupBox;
    ContainerSchema->setObjectName(QStringLiteral("ContainerSchema"));
    auto* containerLayout = new QVBoxLayout(ContainerSchema);
    containerLayout->setContentsMargins(2, 2, 2, 2);
    schemaScroll_ = new QScrollArea;
    schemaScroll_->setWidgetResizable(false);
    schemaScroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    containerLayout->addWidget(schemaScroll_);
    layout->addWidget(ContainerSchema, 1);

    auto* buttons = new QHBoxLayout;
    QToolButton* butCopySchema = copyButton("butCopySchema", 1, QStringLiteral("Copy diagram"));
    butSchemaLoad = new QToolButton;
    butSchemaLoad->setObjectName(QStringLiteral("butSchemaLoad"));
    butSchemaLoad->setProperty("tag", -1);
    butSchemaLoad->setToolButtonStyle(Qt::ToolButtonTextOnly);
    butSchemaSave = new QToolButton;
    butSchemaSave->setObjectName(QStringLiteral("butSchemaSave"));
    butSchemaSave->setProperty("tag", 1);
    butSchemaSave->setText(QStringLiteral("Save"));
    auto* Button2 = new QToolButton;
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setText(QStringLiteral("Options"));
    Button2->setToolTip(QStringLiteral("schematics options"));
    buttons->addWidget(butCopySchema);
    buttons->addStretch(1);
    buttons->addWidget(new QLabel(QStringLiteral("Configurations:")));
    buttons->addWidget(butSchemaLoad);
    buttons->addWidget(butSchemaSave);
    buttons->addSpacing(8);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);

    connect(butSchemaLoad, &QToolButton::clicked, this, [this] { butSchemaLoadClick(-1); });
    connect(butSchemaSave, &QToolButton::clicked, this, [this] { butSchemaLoadClick(1); });
    connect(Button2, &QToolButton::clicked, this, &TFormSolver::butOptionsClick);
    return PanelParams;
}

QToolButton* TFormSolver::copyButton(const char* name, int tag, const QString& caption) {
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("tag", tag);
    button->setText(caption);
    button->setToolTip(caption + QStringLiteral(" to the clipboard"));
    connect(button, &QToolButton::clicked, this, [this, button] { butClipBrdClick(button); });
    return button;
}

QTabWidget* TFormSolver::buildTabs() {
    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));

    ImgBar = new TPictureView;
    ImgBar->setObjectName(QStringLiteral("ImgBar"));
    ImgBar->setFixedWidth(70);
    connect(ImgBar, &TPictureView::redrawn, this,
            [this] { ImgBar->setFixedWidth(std::max(70, ImgBar->pictureWidth())); });
    DMHDC = new TDisplayMiniHTML;
    DMHDC->setObjectName(QStringLiteral("DMHDC"));
    DMHDC->setFont(monoFont(9));
    auto* dc = new QWidget;
    auto* dcLayout = new QHBoxLayout(dc);
    dcLayout->setContentsMargins(0, 0, 0, 0);
    dcLayout->addWidget(ImgBar);
    dcLayout->addWidget(DMHDC, 1);
    TabSheetDC = tabPage("TabSheetDC", dc,
                         {copyButton("butCopyStacks", 3, QStringLiteral("Copy bars")),
                          copyButton("butCopyDC", 4, QStringLiteral("Copy report"))});
    PageControl->addTab(TabSheetDC, QStringLiteral("DC details"));

    SBLL = new QScrollArea;
    SBLL->setObjectName(QStringLiteral("SBLL"));
    SBLL->setWidgetResizable(true);
    auto* lines = new QWidget;
    auto* linesLayout = new QVBoxLayout(lines);
    linesLayout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < ImgLL.size(); ++i) {
        ImgLL[i] = new TPictureView;
        ImgLL[i]->setObjectName(QStringLiteral("ImgLL%1").arg(i + 1));
        ImgLL[i]->setFixedHeight(400);
        ImgLL[i]->hide();
        linesLayout->addWidget(ImgLL[i]);
    }
    linesLayout->addStretch(1);
    SBLL->setWidget(lines);
    TabSheetLoadline = tabPage("TabSheetLoadline", SBLL,
                               {copyButton("butCopyLoadline", 2, QStringLiteral("Copy load lines"))});
    PageControl->addTab(TabSheetLoadline, QStringLiteral("DC loadlines"));

    DMHAC = new TDisplayMiniHTML;
    DMHAC->setObjectName(QStringLiteral("DMHAC"));
    DMHAC->setFont(monoFont(9));
    TabSheetAC = tabPage("TabSheetAC", DMHAC, {copyButton("butCopyAC", 5, QStringLiteral("Copy report"))});
    PageControl->addTab(TabSheetAC, QStringLiteral("AC small signal"));

    Bode = new TBodeTab;
    Bode->setCornerWidget(copyButton("Button3", 7, QStringLiteral("Copy plot")));
    TabSheetBode = tabPage("TabSheetBode", Bode, {});
    PageControl->addTab(TabSheetBode, QStringLiteral("Bandwidth"));
    connect(Bode, &TBodeTab::strayCapsChosen, this, [this](int index) { IniPosDim.setBodeStrayCaps(index); });
    connect(Bode, &TBodeTab::acModeChosen, this, [this](int index) { IniPosDim.setBodeAcMode(index); });

    Wave = new TWaveTab;
    TSwavePP = tabPage("TSwavePP", Wave, {copyButton("Button4", 8, QStringLiteral("Copy picture"))});
    PageControl->addTab(TSwavePP, QStringLiteral("Waveform"));

    ImagePower = new TPictureView;
    ImagePower->setObjectName(QStringLiteral("ImagePower"));
    TSpowerPP = tabPage("TSpowerPP", ImagePower, {copyButton("Button5", 9, QStringLiteral("Copy picture"))});
    PageControl->addTab(TSpowerPP, QStringLiteral("Output power"));

    IMLL = new TPictureView;
    IMLL->setObjectName(QStringLiteral("IMLL"));
    TSloadlinePP = tabPage("TSloadlinePP", IMLL, {copyButton("Button6", 10, QStringLiteral("Copy picture"))});
    PageControl->addTab(TSloadlinePP, QStringLiteral("Loadline"));

    VSTL = new TLogGrid;
    VSTL->setObjectName(QStringLiteral("VSTL"));
    TabSheetGrid = tabPage("TabSheetGrid", VSTL, {copyButton("Button1", 6, QStringLiteral("Copy table"))});
    PageControl->addTab(TabSheetGrid, QStringLiteral("Logged results"));
    return PageControl;
}

void TFormSolver::placeWindow() {
    const QRect screen = this->screen()->availableGeometry();
    const int available = static_cast<int>(screen.width() * 0.95);
    // The split strip, the spacings and the margins beside the sheet panel and the tabs.
    const int chrome = LabelSplit->width() + 3 * layout()->spacing() + 16;
    // The result tabs get their room first (the DC report's lines, the waveform's track bar); on a
    // narrow screen the sheet panel is narrower and its sheet scrolls.
    const int tabs = std::max(kMinTabsWidth, std::min(kWideTabsWidth, available - chrome - panelMaxWidth_));
    panelMaxWidth_ = std::max(kCollapsedPanelWidth, std::min(panelMaxWidth_, available - chrome - tabs));
    PanelParams->setFixedWidth(panelMaxWidth_);
    const QSize wanted(panelMaxWidth_ + chrome + tabs, std::max(700, frame_->height() + 190));
    resize(wanted.boundedTo(QSize(available, static_cast<int>(screen.height() * 0.95))));
    const QPointer<TFormSolver>& previous = lastCreated();
    if (previous && previous != this)
        move(previous->pos() + QPoint(24, 24));
    else
        move(screen.center() - QPoint(width() / 2, height() / 2));
}
