// TBodeTab: the "Bandwidth" tab of a solver window: the Bode picture, the options panel (sweep,
// stray capacitance, Miller effects, feedback, the seven curve check boxes) and the per-stage table.
#pragma once

#include "frequency/bode_data.h"
#include "frequency/bode_options.h"
#include "util/number_locale.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QTableWidget;
class TCollapsiblePanel;
class TPictureView;

class TBodeTab : public QWidget {
    Q_OBJECT
public:
    explicit TBodeTab(QWidget* parent = nullptr);

    // The legends as check boxes (checked, coloured; boxes beyond the list hidden) and the feedback
    // choice back to "None", enabled or not.
    void setCheckBoxLegends(const std::vector<std::string>& legends, bool feedbackEnabled);
    // Checked state of each visible curve check box, in order.
    std::vector<bool> legendsShown() const;

    void setOptions(const BodeOptions& options);
    BodeOptions options() const;

    // The output level (V peak) of a gain stage's "Distortion" line; its row is shown only for the
    // circuits that print one.
    double thdLevel() const;
    void setThdLevel(double volts);
    void setThdLevelShown(bool shown);

    // Shows a bandwidth run (picture and table), or empties the tab when there is none.
    void showResult(const std::optional<BodeData>& data, const NumberLocale& locale);
    bool hasRows() const;

    // Both panels shown and reduced to their caption bars (before a solve).
    void collapsePanels();
    // After a solve: the per-stage panel stays shown only when its table has rows.
    void revealStagePanel();

    // A widget for the right end of the strip above the picture (the copy button).
    void setCornerWidget(QWidget* widget);

    TPictureView* picture() const { return image_; }
    TCollapsiblePanel* optionsPanel() const { return options_; }
    TCollapsiblePanel* stagePanel() const { return stages_; }

signals:
    // The stray-capacitance choice was picked by the user (its item index).
    void strayCapsChosen(int index);
    // The arithmetic choice was picked by the user (kAcClassic or kAcExact).
    void acModeChosen(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildOptions();
    void redrawPicture();
    void placePanels();

    TPictureView* image_;
    TCollapsiblePanel* options_;
    TCollapsiblePanel* stages_;
    QWidget* corner_ = nullptr;
    int stagesX_ = 0;
    QTableWidget* table_;
    QComboBox* freqMin_;
    QComboBox* freqMax_;
    QComboBox* strayCap_;
    QComboBox* feedback_;
    QComboBox* acMode_;
    QCheckBox* ignoreMiller_;
    QGroupBox* distortion_;
    QDoubleSpinBox* thdLevel_;
    std::array<QCheckBox*, 7> legends_{};
    std::optional<BodeData> data_;
    NumberLocale locale_;
};
