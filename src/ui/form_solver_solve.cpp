// The solve command of a solver window: the request from the widgets, the same solve command as the
// command line, and the result onto the tabs.
#include "ui/form_solver.h"

#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "plots/load_line_plot.h"
#include "plots/power_plots.h"
#include "plots/stack_bars.h"
#include "solver/advanced_power.h"
#include "solver/field_reader.h"
#include "solver/sheet_validation.h"
#include "storage/model_database.h"
#include "storage/sheet_persistence.h"
#include "ui/bode_tab.h"
#include "ui/convergence_window.h"
#include "ui/log_grid.h"
#include "ui/markup_display.h"
#include "ui/message_boxes.h"
#include "ui/picture_view.h"
#include "ui/sheet_frame.h"
#include "ui/wave_tab.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QTime>

namespace {
// The hourglass for the length of a solve, restored before any message box.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { restore(); }
    void restore() {
        if (active_)
            QApplication::restoreOverrideCursor();
        active_ = false;
    }

private:
    bool active_ = true;
};

const char* const kNotConvergedWarning = "Some steps did not converge properly";

// A solver that found the circuit impossible ends with its dialog and no report.
bool endedWithDialog(const SolveResult& r) {
    return r.dcReport.empty() && !r.messages.empty();
}
} // namespace

SolveRequest TFormSolver::buildRequest() const {
    SolveRequest rq;
    rq.circuit = Tag;
    rq.sheet = frame_->sheet();
    if (circuitInfo(Tag).advanced)
        setAdvancedPowerControls(rq.sheet, LEDkza->text().toStdString(), LEDkzb->text().toStdString(),
                                 RGfonction->checkedId());
    rq.bode = Bode->options();
    rq.tubes = databaseTubeFactory();
    rq.traceConvergence = CheckBoxShowConvergence->isChecked();
    rq.locale = locale_;
    rq.timeOfDay = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
    rq.configTitle = ContainerSchema->title().toStdString();
    rq.legendsShown = Bode->legendsShown();
    rq.thdLevel = Bode->thdLevel();
    return rq;
}

void TFormSolver::showReports(const std::string& dc, const std::string& ac) {
    DMHDC->clearDisplay();
    DMHDC->AddString(dc);
    DMHAC->clearDisplay();
    DMHAC->AddString(ac);
    shownDc_ = dc;
    shownAc_ = ac;
}

void TFormSolver::closeConvergenceWindows() {
    for (TConvergenceWindow* w : findChildren<TConvergenceWindow*>(QString(), Qt::FindDirectChildrenOnly))
        delete w;
}

void TFormSolver::openConvergenceWindows(const std::vector<TFormConvergence>& traces) {
    const QPoint corner = frameGeometry().topRight();
    int k = 0;
    for (const TFormConvergence& trace : traces) {
        auto* w = new TConvergenceWindow(trace, this);
        w->setObjectName(QStringLiteral("Convergence%1").arg(++k));
        w->move(corner + QPoint(8, 8 + (k - 1) * 150));
        w->show();
    }
}

void TFormSolver::ButtonSolverClick() {
    BusyCursor busy;
    Bode->collapsePanels();
    closeConvergenceWindows();
    ImgBar->clearPicture();

    const SolveRequest rq = buildRequest();
    const Sheet stored = frame_->sheet();
    SolveOutcome outcome;
    try {
        // Between the validation and the solver: what the window does for a sheet that passed.
        outcome = solveCommand(rq, [&] {
            DMHDC->clearDisplay();
            DMHDC->AddString("Running...");
            DMHAC->clearDisplay();
            DMHDC->repaint();
            SaveAutoParams(stored, rq.bode, IniPosDim);
        });
    } catch (const std::exception& e) { // a model database that cannot be read ("SQLite3 error: ...")
        showReports(shownDc_, shownAc_);
        busy.restore();
        showError(this, QString::fromUtf8(e.what()));
        return;
    }
    if (!outcome.solved) {
        busy.restore();
        showError(this, qstr(validationText(outcome.messages)));
        return;
    }

    const SolveResult& r = outcome.result;
    if (endedWithDialog(r))
        showReports(shownDc_, shownAc_);
    else
        showResult(rq, r);
    if (IniPosDim.lastCircuit() != Tag) // a write costs a flush of the file; most solves repeat the circuit
        IniPosDim.setLastCircuit(Tag);
    emit solved(Tag); // the usage log ("schema%d") and the main window's last-circuit link connect here
    Bode->revealStagePanel();
    busy.restore();
    // The solvers' dialogs are errors, but for the warning of a power analysis that kept going.
    for (const std::string& message : r.messages) {
        if (message == kNotConvergedWarning)
            showWarning(this, qstr(message));
        else
            showError(this, qstr(message));
    }
}

void TFormSolver::showResult(const SolveRequest& rq, const SolveResult& r) {
    showReports(r.dcReport, r.acReport);
    frame_->setResultLabels(r.labels);

    // Voltage stacks, from the top of the picture for the supply of the sheet.
    if (!r.stacks.empty()) {
        const double Vb = clampSupply(fieldNumber(rq.sheet, "EdVb", rq.locale));
        const std::vector<TVoltageStacks> stacks = r.stacks;
        ImgBar->setPainter([stacks, Vb](QSize size, double scale) {
            return drawStackBars(stacks, size.height(), Vb, scale);
        });
    }

    // DC load lines, ImgLL1 … ImgLL4 as the solver numbers them.
    for (TPictureView* view : ImgLL)
        view->hide();
    for (const LoadLineData& line : r.loadLines) {
        if (line.image < 1 || line.image > static_cast<int>(ImgLL.size()))
            continue;
        TPictureView* view = ImgLL[static_cast<std::size_t>(line.image - 1)];
        view->show();
        view->setPainter([line](QSize size, double scale) { return drawLoadLine(line, size, scale); });
    }

    if (!r.gridRow.empty())
        VSTL->addRecord(r.gridRow);
    Bode->showResult(r.bode, rq.locale);

    // Power stages: the output power, the load line and the waveform of the largest swing.
    if (r.power) {
        Cycles = std::make_shared<const PowerData>(*r.power);
        const std::shared_ptr<const PowerData> data = Cycles;
        ImagePower->setPainter([data](QSize size, double scale) { return drawPower(*data, size, scale); });
        IMLL->setPainter([data](QSize size, double scale) {
            return data->pushPull ? drawLoadlinePP(*data, size, scale) : drawLoadlineSE(*data, size, scale);
        });
        Wave->setPowerData(data);
    }
    openConvergenceWindows(r.traces);

    const bool power = Tag >= 37 && Tag <= 42;
    setTabShown(TabSheetAC, !power && !r.acReport.empty());
    setTabShown(TabSheetGrid, true);
    for (QWidget* page : {TSwavePP, TSpowerPP, TSloadlinePP})
        PageControl->setTabEnabled(PageControl->indexOf(page), true);
}
