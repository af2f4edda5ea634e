// Setting a solver window up for its circuit: tabs, sheet, selectors, saved values, captions.
#include "ui/form_solver.h"

#include "circuits/catalogue.h"
#include "markup/css_classes.h"
#include "plots/tool_pictures.h"
#include "solver/distortion.h"
#include "storage/builtin_configs.h"
#include "storage/configurations.h"
#include "storage/model_database.h"
#include "storage/sheet_persistence.h"
#include "ui/bode_tab.h"
#include "ui/log_grid.h"
#include "ui/markup_display.h"
#include "ui/message_boxes.h"
#include "ui/picture_view.h"
#include "ui/sheet_frame.h"
#include "util/format.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolButton>

namespace {
// Numbers the captions of the solver windows, process-wide, from 1.
int& sheetCounter() {
    static int counter = 1;
    return counter;
}

bool isPowerStage(int n) {
    return n >= 37 && n <= 42;
}
} // namespace

void TFormSolver::setTabShown(QWidget* page, bool shown) {
    PageControl->setTabVisible(PageControl->indexOf(page), shown);
}

void TFormSolver::fillTubeSelectors() {
    const CircuitInfo& info = circuitInfo(Tag);
    for (const TubeSelector& selector : info.tubeSelectors) {
        std::vector<std::string> models;
        guarded(this, [&] { models = listModelNamesByType(selector.kind); });
        frame_->setSelectorItems(selector.name, models);
    }
}

void TFormSolver::refreshTubeSelectors(const QString& oldName, const QString& newName) {
    const CircuitInfo& info = circuitInfo(Tag);
    const std::string from = oldName.toStdString(), to = newName.toStdString();
    for (const TubeSelector& selector : info.tubeSelectors) {
        std::vector<std::string> models;
        if (!guarded(this, [&] { models = listModelNamesByType(selector.kind); }))
            return; // the selectors keep what they show
        std::string keep = frame_->selectedItem(selector.name);
        if (!from.empty() && !to.empty() && keep == from)
            keep = to;
        frame_->setSelectorItems(selector.name, models, keep);
    }
}

void TFormSolver::refreshConfigCount() {
    int count = 0;
    guarded(this, [&] { count = getCountConfigs(configCode(Tag)); });
    butSchemaLoad->setText(QString::number(count));
}

void TFormSolver::applyCosmetics() {
    const SheetCosmetics cosmetics = readSheetCosmetics(IniPosDim);
    frame_->setFrameCosmetics(cosmetics);
    schemaScroll_->setFrameShape(cosmetics.diagramBorder != 0 ? QFrame::Box : QFrame::NoFrame);
}

void TFormSolver::setUpForCircuit() {
    const CircuitInfo& info = circuitInfo(Tag);
    const bool power = isPowerStage(Tag);

    // Tabs: the power tabs only for the power stages, disabled until a solve, "Waveform" in front;
    // the DC load lines for the others; the Bode tab where the circuit has a bandwidth analysis.
    setTabShown(TabSheetBode, info.bodeTab);
    setTabShown(TSwavePP, power);
    setTabShown(TSpowerPP, power);
    setTabShown(TSloadlinePP, power);
    setTabShown(TabSheetLoadline, !power);
    setTabShown(TabSheetAC, !power);
    setTabShown(TabSheetGrid, false);
    if (power) {
        // Disabled first: a tab bar leaves a current tab that gets disabled.
        for (QWidget* page : {TSwavePP, TSpowerPP, TSloadlinePP})
            PageControl->setTabEnabled(PageControl->indexOf(page), false);
        PageControl->setCurrentWidget(TSwavePP);
    }
    CheckBoxShowPowerParms->setVisible(info.advanced.has_value());

    // The sheet, its tube selectors, the icon, the grid columns and the curve legends.
    frame_ = new TSheetFrame(Tag, QChar::fromLatin1(locale_.decimalSeparator));
    schemaScroll_->setWidget(frame_);
    fillTubeSelectors();
    const double scale = devicePixelRatioF();
    QPixmap icon = QPixmap::fromImage(drawTubeCountIcon(info.icon, static_cast<int>(48 * scale)));
    icon.setDevicePixelRatio(scale);
    Image1->setPixmap(icon);
    setWindowIcon(icon);
    std::vector<std::string> columns = {"-"};
    columns.insert(columns.end(), info.gridColumns.begin(), info.gridColumns.end());
    VSTL->setColumns(columns);
    Bode->setCheckBoxLegends(info.bodeLegends, info.feedback);
    Bode->setThdLevelShown(hasDistortionLine(Tag));
    if (info.advanced) {
        LEDkza->setText(QString::fromStdString(withDecimalSeparator(info.advanced->kza, locale_)));
        LEDkzb->setText(QString::fromStdString(withDecimalSeparator(info.advanced->kzb, locale_)));
        RGfonction->button(info.advanced->fonction)->setChecked(true);
    }

    // The values of the last solve of this circuit; the first time, its worked example over the
    // first-use values (the naming rule stays for what the example leaves out).
    Sheet sheet = frame_->sheet();
    BodeOptions options;
    const bool saved = hasSavedSheet(sheet, IniPosDim);
    LoadAutoParams(sheet, options, IniPosDim, namingRuleDefault);
    const bool example = !saved && applyExampleForFirstOpening(sheet);
    frame_->setSheet(sheet);
    options.feedback = 0;
    options.ac = IniPosDim.bodeAcMode();
    Bode->setOptions(options);

    // Captions.
    sheetNumber_ = sheetCounter()++;
    setWindowTitle(QString::fromStdString(
        strFormat("Sheet %d - Circuit #%d - %s", sheetNumber_, Tag, info.title.c_str())));
    PanelParams->setTitle(QStringLiteral("C%1 interactive diagram").arg(Tag));
    ContainerSchema->setTitle(example ? QString::fromUtf8(kExampleConfigName) : QString());
    LabelCustom->setText(ContainerSchema->title());
    butSchemaLoad->setToolTip(QStringLiteral("Restore parameters of a C%1 interactive diagram").arg(Tag));
    butSchemaSave->setToolTip(QStringLiteral("Save parameters of this C%1 interactive diagram").arg(Tag));
    refreshConfigCount();

    DMH->setClassesCSS(classesFor(MarkupDisplay::SolverHeader));
    DMHDC->setClassesCSS(classesFor(MarkupDisplay::SolverDcDetails));
    DMHAC->setClassesCSS(classesFor(MarkupDisplay::SolverAcSmallSignal));
    DMH->clearDisplay();
    DMH->AddString(strFormat("<css=h1>Circuit #%d</css><br><css=h2>%s</css>", Tag, info.title.c_str()));

    // The sheet panel as wide as the sheet; the split strip narrows it to 100 pixels.
    const int margins = schemaScroll_->frameWidth() * 2 + ContainerSchema->contentsMargins().left() +
                        ContainerSchema->contentsMargins().right() + PanelParams->contentsMargins().left() +
                        PanelParams->contentsMargins().right() + 4;
    panelMaxWidth_ = std::max(frame_->width() + margins + 8, 360);
    PanelParams->setFixedWidth(panelMaxWidth_);
    applyCosmetics();

    DMHDC->clearDisplay();
    for (TPictureView* view : ImgLL)
        view->hide();
    Bode->collapsePanels();
}
