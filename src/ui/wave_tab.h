// TWaveTab: the "Waveform" tab of the power stages: the anode voltage, current or both over one
// period of the swing picked with the track bar.
#pragma once

#include "power/power_types.h"
#include "power/waveforms.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QLabel;
class QSlider;
class TPictureView;

class TWaveTab : public QWidget {
    Q_OBJECT
public:
    explicit TWaveTab(QWidget* parent = nullptr);

    // The cycles of the last analysis: the track bar goes to the last cycle and the picture follows.
    // Null empties the tab.
    void setPowerData(std::shared_ptr<const PowerData> data);

    WaveDisplay display() const;
    TPictureView* picture() const { return image_; }

private:
    // Captions and picture for the track bar's position and the display choice.
    void TrackBarSwingChanged();

    std::shared_ptr<const PowerData> data_;
    QSlider* track_;
    QButtonGroup* display_;
    QLabel* trackLabel_;
    QLabel* vinLabel_;
    QLabel* quantityLabel_;
    QLabel* harmonicsLabel_;
    TPictureView* image_;
};
