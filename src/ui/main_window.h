// TForm1: the main window, created first and living until the program ends. It runs the start-up steps
// (settings, welcome text, packaged pictures, model database, last circuit), draws its own title strip,
// and shows three pages: the welcome text, the circuit library and the usage statistics. It opens the
// solver windows and reaches the anode-curves and tube-models windows.
#pragma once

#include "storage/picture_stream.h"
#include "storage/settings.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QMenu;
class QPushButton;
class QStackedWidget;
class Telemetry;
class TDisplayMiniHTML;
class TFormSolver;
class TLibraryPage;
class TPageBar;
class TTitleStrip;
class TUsagePage;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up steps (FormCreate); message boxes tell what failed. telemetry may be null (no
    // usage reports, and the usage page says no server is set).
    explicit TForm1(Telemetry* telemetry = nullptr, QWidget* parent = nullptr);
    // Stores the window's position and size.
    ~TForm1() override;

    // The anode-curves and tube-models windows that the menu and the title buttons show (either may be
    // null while the program has none).
    void setCompanionWindows(QWidget* curves, QWidget* models);

    // True when every start-up step ran: no packaged picture stream was missing.
    bool startupComplete() const { return startupComplete_; }

    // LoadFormSolver: opens a solver window for a request code, circuit + 1024 x configuration id (0: none),
    // applying the configuration and showing its name (looked up when not given). Null for a code that
    // names no circuit.
    TFormSolver* LoadFormSolver(int requestCode, const QString& configName = {});
    // SetLastCircuit: the link "C<n> <title>" that opens circuit n; for a number that names no circuit
    // (0 before any solve) the link shows nothing and opens nothing.
    void SetLastCircuit(int circuit);
    int lastCircuitTag() const { return lastCircuit_; }
    void butLastCircuitClick();

    // menuIntroClick, by the menu item's tag: 1 welcome page, 2 library, 3 usage page (statistics
    // fetched), 4 anode-curves window, 5 tube-models window.
    void menuIntroClick(int tag);
    // butMenu1Click, by the title button's tag: 1 tube models, 2 anode curves, 3 library.
    void butMenu1Click(int tag);
    void menuUserManualClick();
    void menuAboutClick();
    void menuWebClick();
    void menuEmailClick();

    QWidget* currentPage() const;
    TLibraryPage* library() const { return library_; }
    TUsagePage* usagePage() const { return usage_; }
    TDisplayMiniHTML* introduction() const { return MemoInfo; }
    QMenu* menu() const { return menu_; }
    TIniPosDim& settings() { return IPD; }
    const PictureStream* schematics() const { return schematics_ ? &*schematics_ : nullptr; }
    const PictureStream* icons() const { return icons_ ? &*icons_ : nullptr; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Building (main_window.cpp).
    void buildWindow();
    QWidget* buildIntroPage();
    void buildMenu();
    void toggleMaximised();
    Qt::Edges edgesAt(QPoint pos) const;

    // Start-up and showing (main_window_startup.cpp).
    void FormCreate();
    bool loadStreams();
    void prepareModels();
    void FormShow();

    TIniPosDim IPD;
    Telemetry* telemetry_;
    bool startupComplete_ = false;
    bool shownOnce_ = false;
    int lastCircuit_ = 0;
    std::optional<PictureStream> schematics_; // kept for the descriptions
    std::optional<PictureStream> icons_;      // kept for the program's icon
    QPointer<QWidget> curves_;
    QPointer<QWidget> models_;

    TTitleStrip* CTBPanel = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* AdvPanelIntro = nullptr;
    TPageBar* TopPanelIntro = nullptr;
    TDisplayMiniHTML* MemoInfo = nullptr;
    TLibraryPage* library_ = nullptr;
    TUsagePage* usage_ = nullptr;
    QPushButton* LabelLastCircuit = nullptr;
    QMenu* menu_ = nullptr;
};
