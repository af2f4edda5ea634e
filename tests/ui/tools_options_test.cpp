// The tools window (divider, RC corner), one per program and not modal, and the sheet options
// dialog with its settings.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "storage/settings.h"
#include "ui/options_dialog.h"
#include "ui/tools_calc.h"
#include "ui/tools_window.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

TEST_F(UiTest, DividerReadsV2AndBothResistors) {
    const QLocale c(QLocale::C);
    const auto r = dividerReadout("300", "1E6", 100, 300, c);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->V2, "100.0 V");
    EXPECT_EQ(r->R2, "333.33 k\u03a9");
    EXPECT_EQ(r->R1, "666.67 k\u03a9");
    EXPECT_FALSE(dividerReadout("300", "lots", 100, 300, c).has_value());
    EXPECT_FALSE(dividerReadout("0", "1E6", 1, 300, c).has_value());
    EXPECT_EQ(dividerMaximum("450", c), 450);
    EXPECT_FALSE(dividerMaximum("4.5", c).has_value());
    EXPECT_FALSE(dividerMaximum("0", c).has_value());
    EXPECT_EQ(dividerReadout("300", "1E6", 100, 300, QLocale(QLocale::French))->V2, "100,0 V");
}

TEST_F(UiTest, RcCornerNeedsTwoPositiveNumbers) {
    const QLocale c(QLocale::C);
    const RcReadout r = rcReadout("220e3", "47e-6", c);
    ASSERT_TRUE(r.F.endsWith(" Hz"));
    EXPECT_NEAR(c.toDouble(r.F.chopped(3)), 0.0154, 0.00005);
    EXPECT_EQ(r.Tau, "10.34 s");
    for (const char* C : {"", "0", "-1e-6", "e"}) {
        const RcReadout empty = rcReadout("220e3", C, c);
        EXPECT_TRUE(empty.F.isEmpty()) << C;
        EXPECT_TRUE(empty.Tau.isEmpty()) << C;
    }
}

TEST_F(UiTest, ToolsWindowIsOneNonModalWindowThatReadsItsBoxes) {
    auto* solver = new TFormSolver(1);
    QTest::mouseClick(child<QPushButton>(solver, "ButtonTools"), Qt::LeftButton);
    TFormTools* tools = TFormTools::instance();
    EXPECT_TRUE(tools->isVisible());
    EXPECT_EQ(tools->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    TFormTools::showTools(solver);
    EXPECT_EQ(TFormTools::instance(), tools);

    child<QLineEdit>(tools, "EdV1")->setText("300");
    child<QLineEdit>(tools, "EdR12")->setText("1E6");
    auto* bar = child<QScrollBar>(tools, "ScrollBar1");
    EXPECT_EQ(bar->maximum(), 300);
    bar->setValue(100);
    EXPECT_EQ(text(tools, "LabV2"), "100.0 V");
    EXPECT_EQ(text(tools, "Lab2"), "333.33 k\u03a9");
    EXPECT_EQ(text(tools, "Lab1"), "666.67 k\u03a9");

    auto* C = child<QLineEdit>(tools, "LEDC");
    child<QLineEdit>(tools, "LEDR")->setText("220e3");
    QTest::keyClicks(C, "47e-6");
    EXPECT_EQ(text(tools, "LabTau"), "10.34 s");
    C->clear();
    EXPECT_EQ(text(tools, "LabF"), "");
    EXPECT_EQ(text(tools, "LabTau"), "");
}

TEST_F(UiTest, SheetOptionsAreStoredAndShownAgain) {
    auto* w = new TFormSolver(1);
    boxes().onDialog([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>("CKBbackground")->setChecked(false);
        dialog->findChild<QGroupBox*>("RGEditBorders")->findChildren<QRadioButton*>().at(1)->setChecked(true);
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(child<QToolButton>(w, "Button2"), Qt::LeftButton);
    TIniPosDim settings;
    settings.Open();
    EXPECT_FALSE(settings.ckbBackground());
    EXPECT_EQ(settings.editBorders(), 1);
    EXPECT_EQ(settings.rgBorders(), 0);

    TFormSolverOptions again(readSheetCosmetics(settings), w);
    EXPECT_FALSE(child<QCheckBox>(&again, "CKBbackground")->isChecked());
    EXPECT_TRUE(child<QGroupBox>(&again, "RGEditBorders")->findChildren<QRadioButton*>().at(1)->isChecked());

    // Discard leaves the settings alone.
    boxes().onDialog([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>("CKBbackground")->setChecked(true);
        static_cast<QDialog*>(dialog)->reject();
    });
    QTest::mouseClick(child<QToolButton>(w, "Button2"), Qt::LeftButton);
    EXPECT_FALSE(settings.ckbBackground());
}
