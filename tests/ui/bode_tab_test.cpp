// The bandwidth tab: the per-stage table's formats and colours, the panels over the picture, the
// curve check boxes and the options.
#include "ui_test_support.h"

#include "frequency/bode_options.h"
#include "ui/bode_tab.h"
#include "ui/collapsible_panel.h"
#include "ui/picture_view.h"

#include <QCheckBox>
#include <QTableWidget>

namespace {
TDataQP row(double f, double av, double zin) {
    TDataQP r;
    r.titre = "T1";
    r.nature = "Cat-com";
    r.couleur = 0xFFFF7F50;
    r.freq = f;
    r.av = av;
    r.zin = zin;
    return r;
}

BodeData tableOnly(std::vector<TDataQP> rows) {
    BodeData d;
    d.freqs = {1, 10, 100};
    d.overall = {1, 1, 1};
    d.legends = {{"T1", true, 0xFF8A2BE2}};
    d.table = std::move(rows);
    return d;
}
} // namespace

TEST_F(UiTest, StageTableCellsFollowTheirFormats) {
    struct Case {
        const char* name;
        TDataQP row;
        std::vector<std::string> cells;
    } cases[] = {
        {"20 kHz", row(20000, 12.5, 1500), {"T1", "Cat-com", "20kHz", "12.50", "21.9dB", "1.5 k\u03a9"}},
        {"2 MHz has no MHz form",
         row(2e6, 1, 2.2e6),
         {"T1", "Cat-com", "2000000Hz", "1.00", "0.0dB", "2.2 M\u03a9"}},
        {"below 1 kHz", row(100, 0, 0), {"T1", "Cat-com", "100Hz", "0.00", "", ""}},
        {"ohms", row(999, 2, 470), {"T1", "Cat-com", "999Hz", "2.00", "6.0dB", "470 \u03a9"}},
    };
    TBodeTab tab;
    for (const Case& c : cases) {
        tab.showResult(tableOnly({c.row}), NumberLocale{});
        auto* table = tab.findChild<QTableWidget*>("VSTQ");
        ASSERT_EQ(table->rowCount(), 1) << c.name;
        for (int col = 0; col < 6; ++col) {
            EXPECT_EQ(table->item(0, col)->text().toStdString(), c.cells[col]) << c.name << " column " << col;
            EXPECT_EQ(table->item(0, col)->foreground().color(), QColor(0xFF, 0x7F, 0x50));
        }
    }
}

TEST_F(UiTest, SeparatorRowsShowNothingAndTheStagePanelNeedsRows) {
    TBodeTab tab;
    tab.resize(900, 600);
    TDataQP separator;
    separator.separator = true;
    tab.showResult(tableOnly({row(1000, 2, 0), separator}), NumberLocale{});
    auto* table = tab.findChild<QTableWidget*>("VSTQ");
    for (int col = 0; col < 6; ++col)
        EXPECT_TRUE(table->item(1, col)->text().isEmpty());

    tab.collapsePanels();
    EXPECT_FALSE(tab.optionsPanel()->isExpanded());
    EXPECT_FALSE(tab.stagePanel()->isExpanded());
    tab.revealStagePanel();
    EXPECT_FALSE(tab.stagePanel()->isHidden());
    tab.showResult(std::nullopt, NumberLocale{});
    tab.revealStagePanel();
    EXPECT_TRUE(tab.stagePanel()->isHidden());
    EXPECT_FALSE(tab.picture()->hasPicture());
}

TEST_F(UiTest, OpenPanelsStayInsideTheTab) {
    TBodeTab tab;
    tab.resize(700, 500);
    tab.showResult(tableOnly(std::vector<TDataQP>(40, row(1000, 2, 1000))), NumberLocale{});
    tab.collapsePanels();
    for (TCollapsiblePanel* panel : {tab.optionsPanel(), tab.stagePanel()}) {
        panel->setExpanded(true);
        EXPECT_TRUE(tab.rect().contains(panel->geometry())) << panel->objectName().toStdString();
        panel->setExpanded(false);
    }
}

TEST_F(UiTest, LegendsBecomeColouredCheckBoxesAndOptionsRoundTrip) {
    TBodeTab tab;
    tab.setCheckBoxLegends({"RC input", "T1", "RC output", "Overall gain"}, false);
    std::vector<std::string> shown;
    for (int i = 1; i <= 7; ++i) {
        auto* box = tab.findChild<QCheckBox*>(QStringLiteral("CheckBoxG%1").arg(i));
        if (box->isHidden())
            continue;
        shown.push_back(box->text().toStdString());
        EXPECT_TRUE(box->isChecked());
        const std::uint32_t c = legendColour(static_cast<std::size_t>(i - 1));
        EXPECT_EQ(box->palette().color(QPalette::WindowText),
                  QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"RC input", "T1", "RC output", "Overall gain"}));
    tab.findChild<QCheckBox*>("CheckBoxG2")->setChecked(false);
    EXPECT_EQ(tab.legendsShown(), (std::vector<bool>{true, false, true, true}));

    const BodeOptions options{0, 3, true, 4, 0};
    tab.setOptions(options);
    const BodeOptions back = tab.options();
    EXPECT_EQ(back.freqmin, 0);
    EXPECT_EQ(back.freqmax, 3);
    EXPECT_TRUE(back.ignoreMiller);
    EXPECT_EQ(back.straycaps, 4);
    EXPECT_EQ(back.feedback, 0);
}
