// The solver window's sweep dialog (range, refused input, plot, copy) and the distortion figures of
// the windows: the Bandwidth tab's output level and the waveform tab's harmonics line.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "ui/bode_tab.h"
#include "ui/sweep_dialog.h"
#include "ui/wave_tab.h"

#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

namespace {
TSweepDialog* openSweep(TFormSolver* w) {
    child<QPushButton>(w, "ButtonSweep")->click();
    auto* dialog = w->findChild<TSweepDialog*>();
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

const Values kC1 = {
    {"LBtube", "ECC83 / 12AX7"}, {"EdVb", "300"}, {"EdRa", "100k"}, {"EdRk", "1.5k"}, {"EdRo", "1M"}};
} // namespace

TEST_F(UiTest, SweepDialogPlotsAColumnOfTheWindowsSheet) {
    auto* w = new TFormSolver(1);
    setValues(w, kC1);
    TSweepDialog* d = openSweep(w);
    ASSERT_NE(d, nullptr);
    // The range starts around the field's value on the sheet.
    EXPECT_EQ(child<QComboBox>(d, "CBsweepField")->currentData().toString(), "EdRk");
    EXPECT_EQ(text(d, "EdSweepFrom"), "750");
    EXPECT_EQ(text(d, "EdSweepTo"), "3000");
    child<QSpinBox>(d, "SESweepSteps")->setValue(5);
    // The column shown first is the anode current, which a swept part moves.
    auto* column = child<QComboBox>(d, "CBsweepColumn");
    EXPECT_EQ(column->currentText(), "Ia (mA)");
    child<QPushButton>(d, "ButtonSweepRun")->click();
    ASSERT_TRUE(d->result());
    ASSERT_EQ(d->result()->rows.size(), 6u);
    for (const SweepRow& row : d->result()->rows)
        EXPECT_TRUE(row.solved) << row.text;
    EXPECT_EQ(text(d, "LabelSweepStatus"), "6 steps solved.");
    ASSERT_TRUE(d->picture()->hasPicture());
    const QImage ia = d->picture()->image();
    // Another column redraws without solving again.
    column->setCurrentIndex(column->findText("Va (V)"));
    EXPECT_NE(d->picture()->image(), ia);
    child<QPushButton>(d, "ButtonSweepCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->image().size(), d->pictureImage().size());
    delete w;
}

TEST_F(UiTest, SweepDialogRefusesABadRangeAndSolvesNothing) {
    auto* w = new TFormSolver(1);
    setValues(w, kC1);
    TSweepDialog* d = openSweep(w);
    ASSERT_NE(d, nullptr);
    const struct {
        const char* from;
        const char* to;
        bool log;
        const char* message;
    } cases[] = {
        {"1k", "1000", false, "two different ends"},
        {"-5", "5", true, "logarithmic"},
        {"ten", "5", false, "two numbers"},
    };
    for (const auto& c : cases) {
        child<QLineEdit>(d, "EdSweepFrom")->setText(c.from);
        child<QLineEdit>(d, "EdSweepTo")->setText(c.to);
        child<QCheckBox>(d, "CheckBoxSweepLog")->setChecked(c.log);
        d->run();
        EXPECT_FALSE(d->result()) << c.from;
        EXPECT_NE(text(d, "LabelSweepStatus").find(c.message), std::string::npos)
            << text(d, "LabelSweepStatus");
    }
    delete w;
}

TEST_F(UiTest, BandwidthTabSetsTheDistortionLevel) {
    auto* w = new TFormSolver(1);
    setValues(w, kC1);
    auto* level = child<QDoubleSpinBox>(w, "EdThdLevel");
    EXPECT_EQ(level->value(), 10);
    level->setValue(5);
    w->ButtonSolverClick();
    EXPECT_NE(text(w, "DMHAC").find("Distortion at 5 V peak out"), std::string::npos) << text(w, "DMHAC");
    delete w;
    // Only the stages with a distortion line show the option.
    auto* c7 = new TFormSolver(7);
    EXPECT_FALSE(child<QDoubleSpinBox>(c7, "EdThdLevel")->isVisibleTo(c7));
    delete c7;
}

TEST_F(UiTest, WaveformTabPrintsTheHarmonicsOfTheCycleShown) {
    auto* w = new TFormSolver(42);
    setValues(w, {{"LBtube", "EL34"}, {"EdVb", "400"}, {"EdVg", "-30"}, {"EdVe", "300"}, {"EdZaa", "6k6"}});
    w->ButtonSolverClick();
    const std::string line = text(w, "LabelHarmonics");
    EXPECT_EQ(line.rfind("Primary current (ia1 − ia2): H2 ", 0), 0u) << line;
    EXPECT_NE(line.find("THD "), std::string::npos) << line;
    auto* track = child<QSlider>(w, "TrackBarSwing");
    track->setValue(1);
    EXPECT_NE(text(w, "LabelHarmonics"), line);
    delete w;
}
