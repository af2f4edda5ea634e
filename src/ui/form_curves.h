// TFormCurves: the anode-curves window. It draws the anode or transfer characteristics, the gm, ρ, µ
// chart and the table of points of a model of the database with the chart computations of the core,
// reads the operating point under a click and computes Ia for typed voltages; it computes nothing
// itself.
#pragma once

#include "model/anode_charts.h"
#include "model/tube_params.h"
#include "storage/settings.h"

#include <QWidget>

#include <optional>

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableView;
class Telemetry;
class TAnodeTableModel;
class TDisplayMiniHTML;
class TPictureView;

class TFormCurves : public QWidget {
    Q_OBJECT
public:
    // A hidden window; "tube" goes to the telemetry (when given) after each drawing the user asks for.
    explicit TFormCurves(Telemetry* telemetry = nullptr, QWidget* parent = nullptr);
    ~TFormCurves() override;

    // Refills the model list after the tube-models window changed the models: the selection stays on
    // its model and follows a renamed one (oldName -> newName). A drawn model that was changed or
    // renamed is drawn again (without a usage report); one that was removed is taken off the charts.
    // Empty names: a plain refresh.
    void refreshModelList(const QString& oldName = {}, const QString& newName = {});

    // What the last drawing computed; empty charts before the first one.
    const AnodeChart& anodeChart() const { return anode_; }
    const MultiChart& multiChart() const { return multi_; }
    // The model drawn, empty when none.
    QString drawnModel() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (form_curves.cpp).
    QWidget* buildSidePanel();
    QTabWidget* buildPages();
    QFrame* buildComputePanel();
    void storeState();

    // Drawing and read-outs (form_curves_draw.cpp).
    void LBtubeClick(bool userRequest);
    void clearCharts();
    void EdVsKeyUp();
    void ImageAnodeMouseUp(const QPoint& at);
    void EdVakKeyUp();
    void butSpecifyClick();
    void keepPanelInside();
    void butCopyClipboardClick();
    void butCopyVSTClick();
    void TabSheet1Show();

    Telemetry* telemetry_;
    TIniPosDim IniPosDim;
    QChar separator_;
    bool panelPlaced_ = false;
    std::optional<TubeParams> drawn_; // the model of the charts on screen
    AnodeChart anode_;
    MultiChart multi_;

    QListWidget* LBtubes = nullptr;
    QWidget* vsRow_ = nullptr;
    QLineEdit* EdVs = nullptr;
    QButtonGroup* RGparm = nullptr;
    QPushButton* butCopyClipboard = nullptr;
    QPushButton* butSpecify = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    TPictureView* ImageAnode = nullptr;
    TDisplayMiniHTML* DMH = nullptr;
    TPictureView* ImageMulti = nullptr;
    QTableView* VST = nullptr;
    TAnodeTableModel* table_ = nullptr;
    QPushButton* butCopyVST = nullptr;

    QFrame* AdvPanel1 = nullptr;
    QLabel* panelCaption_ = nullptr;
    QLineEdit* EdVak = nullptr;
    QLineEdit* EdVgk = nullptr;
    QLabel* vskLabel_ = nullptr;
    QLineEdit* EdVsk = nullptr;
    QLabel* LabelResult = nullptr;
    QPushButton* butClosePanel = nullptr;
};
