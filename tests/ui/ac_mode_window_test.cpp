// The Bandwidth tab's choice of arithmetic: "exact (phase)" for a new user, "classic (magnitudes)"
// for a settings file from before the choice, stored at once when picked, used by the next solve.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "frequency/bode_options.h"
#include "storage/settings.h"
#include "ui/form_solver.h"
#include "ui/picture_view.h"

#include <QComboBox>

#include <fstream>

TEST_F(UiTest, AcModeChoiceComesFromTheSettingsAndIsStoredWhenPicked) {
    auto* w = new TFormSolver(1);
    auto* mode = child<QComboBox>(w, "CBacmode");
    ASSERT_EQ(mode->count(), 2);
    EXPECT_EQ(mode->itemText(0), "classic (magnitudes)");
    EXPECT_EQ(mode->itemText(1), "exact (phase)");
    EXPECT_EQ(mode->currentIndex(), kAcExact); // no settings file yet: a new user

    w->resize(1200, 800);
    w->ButtonSolverClick();
    const QImage exact = child<TPictureView>(w, "ImageBode")->image();
    mode->setCurrentIndex(kAcClassic);
    emit mode->activated(kAcClassic);
    TIniPosDim settings;
    settings.Open();
    EXPECT_EQ(settings.bodeAcMode(), kAcClassic);
    w->ButtonSolverClick();
    EXPECT_NE(child<TPictureView>(w, "ImageBode")->image(), exact);

    // Another window opens on the stored choice.
    auto* other = new TFormSolver(3);
    EXPECT_EQ(child<QComboBox>(other, "CBacmode")->currentIndex(), kAcClassic);
}

TEST_F(UiTest, AcModeOfAnOlderSettingsFileIsClassic) {
    std::ofstream(path(kSettingsFileName)) << "[Korvessa]\nlastcircuit=1\n";
    auto* w = new TFormSolver(1);
    EXPECT_EQ(child<QComboBox>(w, "CBacmode")->currentIndex(), kAcClassic);
}
