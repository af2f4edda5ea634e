// The sheet as a user sees it: every control of the catalogue placed once, inside the sheet, none
// over another and none cut; colours by control name; the options of the settings file.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "circuits/catalogue.h"
#include "storage/settings.h"
#include "ui/log_grid.h"
#include "ui/sheet_cosmetics.h"
#include "ui/sheet_frame.h"
#include "ui/sheet_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
bool near(const QColor& a, const QColor& b, int tol = 12) {
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
           std::abs(a.blue() - b.blue()) <= tol;
}
} // namespace

TEST_F(UiTest, EverySheetPlacesEachControlOnceInsideWithoutOverlap) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        SCOPED_TRACE("C" + std::to_string(n));
        const SheetLayout layout = sheetLayout(n, 1.0);
        const QRect sheet(QPoint(0, 0), layout.size);
        const CircuitInfo& info = circuitInfo(n);
        ASSERT_EQ(layout.placements.size(), info.controls.size());
        for (const SheetControl& c : info.controls) {
            const SheetPlacement* p = layout.placement(c.name);
            ASSERT_NE(p, nullptr) << c.name;
            EXPECT_TRUE(sheet.contains(p->rect)) << c.name;
        }
        for (std::size_t i = 0; i < layout.placements.size(); ++i)
            for (std::size_t j = i + 1; j < layout.placements.size(); ++j)
                EXPECT_FALSE(layout.placements[i].rect.intersects(layout.placements[j].rect))
                    << layout.placements[i].control << " and " << layout.placements[j].control;
    }
}

TEST_F(UiTest, NoLabelOrCaptionOfASheetIsCut) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        SCOPED_TRACE("C" + std::to_string(n));
        TSheetFrame frame(n, '.');
        for (QLabel* label : frame.findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue;
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                << label->objectName().toStdString() << " \"" << label->text().toStdString() << "\"";
        }
        for (QCheckBox* box : frame.findChildren<QCheckBox*>())
            EXPECT_LE(box->sizeHint().width(), box->width()) << box->objectName().toStdString();
        for (QLineEdit* box : frame.findChildren<QLineEdit*>())
            EXPECT_LE(box->fontMetrics().horizontalAdvance("100k"), box->width() - 6);
    }
}

TEST_F(UiTest, ColoursFollowTheControlNames) {
    struct Case {
        const char* name;
        bool labelled;
        std::optional<QColor> colour;
    } edits[] = {
        {"EdVb", true, QColor(0xFF, 0, 0)},   {"EdRa", true, QColor(0x80, 0, 0)},
        {"EdCk", true, QColor(0, 0x80, 0)},   {"EdIcs", true, QColor(0x80, 0, 0x80)},
        {"EdVref", true, QColor(0xFF, 0, 0)}, {"EdZaa", true, QColor(0x80, 0, 0)},
        {"EdZaa", false, std::nullopt},       {"Edxx", true, std::nullopt},
    };
    for (const Case& c : edits)
        EXPECT_EQ(editTextColour(c.name, c.labelled), c.colour) << c.name;

    EXPECT_EQ(labelTextColour("LabelVa"), QColor(0xFF, 0, 0));
    EXPECT_EQ(labelTextColour("LabelIa"), QColor(0x80, 0, 0x80));
    EXPECT_EQ(labelTextColour("LabelVR"), QColor(0x80, 0, 0));
    EXPECT_EQ(labelTextColour("Caption1"), std::nullopt);

    const std::pair<const char*, std::optional<QColor>> columns[] = {
        {"Vb (V)", QColor(0xFF, 0, 0)},
        {"Ia (mA)", QColor(0, 0, 0x80)},
        {"Ra (\u03a9)", QColor(0x80, 0, 0)},
        {"Ptot (mW)", QColor(0xDD, 0x55, 0x55)},
        {"T1", QColor(0x22, 0xAA, 0x22)},
        {"Tubes", QColor(0x22, 0xAA, 0x22)},
        {"Gain", std::nullopt},
        {"-", std::nullopt},
    };
    for (const auto& [title, colour] : columns)
        EXPECT_EQ(logCellColour(title), colour) << title;
}

TEST_F(UiTest, EditBoxesFollowTheBorderAndBackgroundSettings) {
    struct Case {
        const char* name;
        int borders;
        bool grey;
    } cases[] = {{"first use: grey, no border", 0, true}, {"window colour, single border", 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TIniPosDim settings;
        settings.Open();
        settings.setEditBorders(c.borders);
        settings.setCkbBackground(c.grey);
        TFormSolver w(1);
        auto* box = child<QLineEdit>(&w, "EdRa");
        box->setText("");
        const QImage image = box->grab().toImage();
        const QColor window = w.palette().color(QPalette::Window);
        EXPECT_TRUE(
            near(image.pixelColor(image.width() / 2, image.height() / 2), c.grey ? kEditGrey : window));
        const QColor edge = image.pixelColor(image.width() / 2, 0);
        EXPECT_EQ(near(edge, c.grey ? kEditGrey : window), c.borders == 0) << edge.name().toStdString();
    }
}

TEST_F(UiTest, ResultLabelsAreEmptiedAndCaptionsKeptByTheCosmetics) {
    TFormSolver w(1);
    w.ButtonSolverClick();
    EXPECT_FALSE(text(&w, "LabelVa").empty());
    w.sheetFrame()->setFrameCosmetics(SheetCosmetics{});
    EXPECT_EQ(text(&w, "LabelVa"), "");
    EXPECT_EQ(text(&w, "Caption1"), "T1");
}
