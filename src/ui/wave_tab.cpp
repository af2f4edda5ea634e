// The waveform tab.
#include "ui/wave_tab.h"

#include "plots/power_plots.h"
#include "solver/distortion.h"
#include "ui/picture_view.h"
#include "ui/ui_fonts.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

TWaveTab::TWaveTab(QWidget* parent) : QWidget(parent) {
    auto* choice = new QGroupBox(QStringLiteral("Draw voltage / current"));
    choice->setObjectName(QStringLiteral("ARGdisplay"));
    auto* choiceLayout = new QHBoxLayout(choice);
    display_ = new QButtonGroup(this);
    const char* items[] = {"va", "ia", "both"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(items[i]));
        display_->addButton(radio, i);
        choiceLayout->addWidget(radio);
    }
    display_->button(static_cast<int>(WaveDisplay::Both))->setChecked(true);

    track_ = new QSlider(Qt::Horizontal);
    track_->setObjectName(QStringLiteral("TrackBarSwing"));
    track_->setRange(1, 50);
    track_->setValue(10);
    track_->setTickPosition(QSlider::TicksBelow);
    trackLabel_ = new QLabel;
    trackLabel_->setObjectName(QStringLiteral("LabelTrack"));
    trackLabel_->setMinimumWidth(110);
    vinLabel_ = new QLabel;
    vinLabel_->setObjectName(QStringLiteral("LabelVin"));
    quantityLabel_ = new QLabel;
    quantityLabel_->setObjectName(QStringLiteral("LabelVaIa"));
    quantityLabel_->setFont(uiFont(9, true));
    harmonicsLabel_ = new QLabel;
    harmonicsLabel_->setObjectName(QStringLiteral("LabelHarmonics"));
    harmonicsLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    image_ = new TPictureView;
    image_->setObjectName(QStringLiteral("ImageWave"));

    auto* top = new QHBoxLayout;
    top->addWidget(choice);
    top->addWidget(trackLabel_);
    top->addWidget(track_, 1);
    auto* captions = new QHBoxLayout;
    captions->addWidget(quantityLabel_);
    captions->addSpacing(16);
    captions->addWidget(vinLabel_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(captions);
    layout->addWidget(harmonicsLabel_);
    layout->addWidget(image_, 1);

    connect(track_, &QSlider::valueChanged, this, [this] { TrackBarSwingChanged(); });
    connect(display_, &QButtonGroup::idClicked, this, [this] { TrackBarSwingChanged(); });
}

WaveDisplay TWaveTab::display() const {
    return static_cast<WaveDisplay>(std::max(0, display_->checkedId()));
}

void TWaveTab::setPowerData(std::shared_ptr<const PowerData> data) {
    data_ = std::move(data);
    if (!data_) {
        image_->clearPicture();
        trackLabel_->clear();
        vinLabel_->clear();
        quantityLabel_->clear();
        harmonicsLabel_->clear();
        return;
    }
    const QSignalBlocker block(track_);
    track_->setRange(1, std::max(1, data_->trackMax()));
    track_->setValue(track_->maximum());
    TrackBarSwingChanged();
}

void TWaveTab::TrackBarSwingChanged() {
    if (!data_)
        return;
    const int p = track_->value();
    const WaveDisplay d = display();
    const WaveCaptions captions = waveCaptions(d, p);
    trackLabel_->setText(QString::fromStdString(captions.track));
    vinLabel_->setText(QString::fromStdString(captions.vin));
    quantityLabel_->setText(QString::fromStdString(captions.quantity));
    QPalette pal = quantityLabel_->palette();
    const std::uint32_t c = captions.colour;
    pal.setColor(QPalette::WindowText, QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    quantityLabel_->setPalette(pal);
    harmonicsLabel_->setText(
        QString::fromStdString(cycleDistortionCaption(*data_, waveCycleIndex(*data_, p))));
    std::shared_ptr<const PowerData> data = data_;
    image_->setPainter(
        [data, p, d](QSize size, double scale) { return drawWaveform(*data, p, d, size, scale); });
}
