// The waveform tab of the power stages: the track bar goes to the largest swing after an analysis,
// the captions follow the position and the choice, and a stage without cycles shows nothing.
#include "ui_test_support.h"

#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "model/builtin_models.h"
#include "ui/picture_view.h"
#include "ui/wave_tab.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

namespace {
std::shared_ptr<const PowerData> pushPull(const char* bias) {
    SolveRequest rq;
    rq.circuit = 41;
    rq.sheet = newSheet(41);
    SheetControl* tube = rq.sheet.find("LBtube");
    tube->items = {"300B"};
    tube->selected = 0;
    rq.sheet.find("EdVb")->text = "400";
    rq.sheet.find("EdVg")->text = bias;
    rq.sheet.find("EdZaa")->text = "5k";
    rq.tubes = builtinTubeFactory();
    const SolveOutcome out = solveCommand(rq);
    EXPECT_TRUE(out.solved);
    EXPECT_TRUE(out.result.power.has_value());
    return std::make_shared<const PowerData>(*out.result.power);
}

std::string labelText(const QWidget& w, const char* name) {
    return w.findChild<QLabel*>(name)->text().toStdString();
}
} // namespace

TEST_F(UiTest, WaveformFollowsTheTrackBarAndTheChoice) {
    TWaveTab tab;
    tab.resize(900, 500);
    const auto data = pushPull("-80");
    tab.setPowerData(data);
    auto* track = tab.findChild<QSlider*>("TrackBarSwing");
    EXPECT_EQ(track->maximum(), data->trackMax());
    EXPECT_EQ(track->value(), data->trackMax());
    EXPECT_EQ(labelText(tab, "LabelTrack"), "Vg swing " + std::to_string(data->trackMax()) + "V");
    EXPECT_EQ(labelText(tab, "LabelVaIa"), "va ia waveforms");
    const QImage both = tab.picture()->image();

    track->setValue(5);
    EXPECT_EQ(labelText(tab, "LabelTrack"), "Vg swing 5V");
    EXPECT_NE(tab.picture()->image(), both);

    struct Case {
        int item;
        const char* quantity;
        const char* vin;
        QColor colour;
    } cases[] = {
        {0, "Anode voltage", "Thin line: Vin swing shape (inverted) 5V", QColor(255, 0, 0)},
        {1, "Anode current", "Thin line: Vin swing shape 5V", QColor(255, 127, 0)},
    };
    auto* choice = tab.findChild<QWidget*>("ARGdisplay");
    for (const Case& c : cases) {
        choice->findChildren<QRadioButton*>().at(c.item)->click();
        EXPECT_EQ(labelText(tab, "LabelVaIa"), c.quantity);
        EXPECT_EQ(labelText(tab, "LabelVin"), c.vin);
        EXPECT_EQ(tab.findChild<QLabel*>("LabelVaIa")->palette().color(QPalette::WindowText), c.colour);
    }
}

TEST_F(UiTest, PushPullWithoutCyclesShowsAnEmptyScale) {
    TWaveTab tab;
    tab.resize(600, 400);
    const auto data = pushPull("-1");
    ASSERT_TRUE(data->cycles.empty());
    tab.setPowerData(data);
    EXPECT_EQ(tab.findChild<QSlider*>("TrackBarSwing")->maximum(), 1);
    EXPECT_FALSE(tab.picture()->image().isNull());
    tab.setPowerData(nullptr);
    EXPECT_FALSE(tab.picture()->hasPicture());
    EXPECT_EQ(labelText(tab, "LabelTrack"), "");
}
