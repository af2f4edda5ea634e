// TFormSolver: the solver window of one circuit. It shows the circuit's interactive sheet and the
// result tabs, fills a solve request from its widgets, calls the same solve command as the command
// line and shows the result; it computes nothing itself.
#pragma once

#include "power/power_types.h"
#include "solver/solve.h"
#include "storage/settings.h"
#include "util/number_locale.h"

#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;
class TBodeTab;
class TDisplayMiniHTML;
class TLogGrid;
class TPictureView;
class TSheetFrame;
class TWaveTab;

class TFormSolver : public QWidget {
    Q_OBJECT
public:
    // A window for circuit 1 … 42, set up and placed (24 pixels right of and below the solver window
    // created before it while that one is open, else centred), not yet shown. Closing destroys it.
    explicit TFormSolver(int circuit, QWidget* parent = nullptr);

    // Widths of the first size: the sheet panel collapsed by the split strip, and the room the result
    // tabs get beside the sheet (at least the first, up to the second).
    static constexpr int kCollapsedPanelWidth = 100;
    static constexpr int kMinTabsWidth = 600;
    static constexpr int kWideTabsWidth = 760;
    ~TFormSolver() override;

    int circuit() const { return Tag; }
    // The number of this sheet in the caption "Sheet %d - ...": 1 for the first window of the program.
    int sheetNumber() const { return sheetNumber_; }
    TSheetFrame* sheetFrame() const { return frame_; }

    // The solve command, run by "Solve [Ent]" and by Enter anywhere in the window.
    void ButtonSolverClick();
    // Applies saved configuration id to the sheet and shows its name (the library opens a circuit
    // with a configuration this way). False when the database could not be read (already reported).
    bool applyConfiguration(long long id, const QString& name);
    // Applies the circuit's built-in example and shows its name "Example" (the library's example
    // node). False when the circuit has none or the examples file cannot be read.
    bool applyExample();
    // What a copy button puts on the clipboard, by its tag (1 … 10).
    void copyToClipboard(int tag);
    // Refills the tube selectors from the model database after the models changed (the tube-models
    // window's modelsChanged): each selector keeps its model, follows it when it was renamed
    // (oldName -> newName), and is left empty when its model is gone, so that the next solve asks for
    // that tube. Empty names: a plain refresh.
    void refreshTubeSelectors(const QString& oldName = {}, const QString& newName = {});

    // Writes the ngspice netlist of the sheet as it stands (form_solver_spice.cpp); the message says
    // what went wrong, or that the sheet does not solve (the netlist is written all the same).
    bool writeSpiceNetlist(const QString& path, QString* message) const;

signals:
    // After every solve that ran, whatever its verdicts (not after a sheet refused by validation).
    // The usage log ("schema%d") connects here.
    void solved(int circuit);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (form_solver.cpp).
    QWidget* buildTopStrip();
    QWidget* buildParamsPanel();
    QTabWidget* buildTabs();
    QToolButton* copyButton(const char* name, int tag, const QString& caption);
    void placeWindow();

    // Setting the window up for its circuit (form_solver_setup.cpp).
    void setUpForCircuit();
    void fillTubeSelectors();
    void refreshConfigCount();
    void applyCosmetics();
    void setTabShown(QWidget* page, bool shown);

    // The solve (form_solver_solve.cpp).
    SolveRequest buildRequest() const;
    void showResult(const SolveRequest& request, const SolveResult& result);
    void showReports(const std::string& dc, const std::string& ac);
    void closeConvergenceWindows();
    void openConvergenceWindows(const std::vector<TFormConvergence>& traces);

    // Buttons (form_solver_actions.cpp).
    void LabelSplitClick();
    void butSchemaLoadClick(int mode);
    void butOptionsClick();
    void butClipBrdClick(QToolButton* button);
    void ButtonSpiceClick();

    int Tag;
    int sheetNumber_ = 0;
    TIniPosDim IniPosDim;
    NumberLocale locale_;
    std::shared_ptr<const PowerData> Cycles; // the power analysis of the last solve
    std::string shownDc_, shownAc_;          // the reports on screen
    int panelMaxWidth_ = 0;

    // Top strip.
    QLabel* Image1 = nullptr;
    TDisplayMiniHTML* DMH = nullptr;
    QGroupBox* GBadvanced = nullptr;
    QLineEdit* LEDkza = nullptr;
    QLineEdit* LEDkzb = nullptr;
    QButtonGroup* RGfonction = nullptr;
    QPushButton* ButtonTools = nullptr;
    QPushButton* ButtonSpice = nullptr;
    QCheckBox* CheckBoxShowConvergence = nullptr;
    QCheckBox* CheckBoxShowPowerParms = nullptr;
    QLabel* ImageFlash = nullptr;
    QPushButton* ButtonSolver = nullptr;

    // Sheet panel.
    QLabel* LabelSplit = nullptr;
    QGroupBox* PanelParams = nullptr;
    QLabel* LabelCustom = nullptr;
    QGroupBox* ContainerSchema = nullptr;
    QScrollArea* schemaScroll_ = nullptr;
    TSheetFrame* frame_ = nullptr;
    QToolButton* butSchemaLoad = nullptr;
    QToolButton* butSchemaSave = nullptr;

    // Result tabs.
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheetDC = nullptr;
    QWidget* TabSheetLoadline = nullptr;
    QWidget* TabSheetAC = nullptr;
    QWidget* TabSheetBode = nullptr;
    QWidget* TSwavePP = nullptr;
    QWidget* TSpowerPP = nullptr;
    QWidget* TSloadlinePP = nullptr;
    QWidget* TabSheetGrid = nullptr;
    TPictureView* ImgBar = nullptr;
    TDisplayMiniHTML* DMHDC = nullptr;
    QScrollArea* SBLL = nullptr;
    std::array<TPictureView*, 4> ImgLL{};
    TDisplayMiniHTML* DMHAC = nullptr;
    TBodeTab* Bode = nullptr;
    TWaveTab* Wave = nullptr;
    TPictureView* ImagePower = nullptr;
    TPictureView* IMLL = nullptr;
    TLogGrid* VSTL = nullptr;
};
