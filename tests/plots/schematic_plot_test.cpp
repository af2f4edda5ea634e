// Schematic pictures: every description drawn at 100 % and 200 % with and without its controls, the
// colours of parts and controls, and the widget sizes measured against the real fonts.
// VALVENIX_PLOT_SAMPLES=<folder> also writes the pictures as PNG files to look at.
#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "circuits/schematic_geometry.h"
#include "circuits/schematic_parser.h"
#include "plot_test_support.h"
#include "plots/schematic_plot.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace schematic_geometry;

namespace {

// Share of the pixels that are not white.
double inkShare(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    long ink = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            ink += qRed(line[x]) < 252 || qGreen(line[x]) < 252 || qBlue(line[x]) < 252;
    }
    return static_cast<double>(ink) / (static_cast<double>(image.width()) * image.height());
}

// The font the sheet uses, measured on a 96 dpi image.
QFontMetricsF sheetMetrics(double points, bool bold = false, bool mono = false) {
    static QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    QFont font(mono ? "Noto Mono" : "Noto Sans");
    font.setPointSizeF(points);
    font.setBold(bold);
    return QFontMetricsF(font, &device);
}

void saveSample(const QImage& image, const std::string& name) {
    if (const char* dir = std::getenv("VALVENIX_PLOT_SAMPLES")) {
        EXPECT_TRUE(image.save(QString(dir) + "/" + QString::fromStdString(name) + ".png")) << name;
    }
}

QPoint centreOf(const SchematicRect& r) {
    return {r.x + r.width / 2, r.y + r.height / 2};
}

} // namespace

TEST(SchematicPlot, EveryDescriptionDrawsAtBothScales) {
    ensureGuiApp();
    for (int n = 1; n <= kCircuitCount; ++n) {
        if (!hasSchematic(n))
            continue;
        const Schematic& s = schematicOf(n);
        for (double scale : {1.0, 2.0}) {
            for (SchematicControls controls : {SchematicControls::Hidden, SchematicControls::Drawn}) {
                SCOPED_TRACE("C" + std::to_string(n) + " at " + std::to_string(scale));
                const QImage image = drawSchematic(s, scale, controls);
                ASSERT_EQ(image.width(), static_cast<int>(std::ceil(s.width * scale)));
                ASSERT_EQ(image.height(), static_cast<int>(std::ceil(s.height * scale)));
                const double ink = inkShare(image);
                EXPECT_GT(ink, 0.005);
                EXPECT_LT(ink, 0.5);
                const bool drawn = controls == SchematicControls::Drawn;
                saveSample(image, "schematic-c" + std::to_string(n) + (drawn ? "" : "-bare") +
                                      (scale > 1 ? "-x2" : ""));
            }
        }
    }
}

TEST(SchematicPlot, HiddenControlsLeaveTheirPlacesToTheWidgets) {
    ensureGuiApp();
    for (int n = 1; n <= kCircuitCount; ++n) {
        if (!hasSchematic(n))
            continue;
        const Schematic& s = schematicOf(n);
        const QImage bare = drawSchematic(s, 1, SchematicControls::Hidden);
        for (const SchematicPlacement& p : s.placements) {
            SCOPED_TRACE("C" + std::to_string(n) + " " + p.control);
            for (int y = p.y; y < p.y + p.height; ++y)
                for (int x = p.x; x < p.x + p.width; ++x)
                    ASSERT_TRUE(isWhite(bare, x, y)) << x << "," << y;
        }
    }
    // The drawn sheet shows the grey box of an edit field (its right end, past the value).
    const Schematic& s = schematicOf(1);
    const QImage drawn = drawSchematic(s, 1, SchematicControls::Drawn);
    const SchematicRect ra = s.placement("EdRa")->widgetRect();
    EXPECT_TRUE(pixelNear(drawn, ra.right() - 3, ra.y + ra.height / 2, QColor(0xEB, 0xEB, 0xEB), 2));
}

TEST(SchematicPlot, PartsAndControlsTakeTheSheetColours) {
    ensureGuiApp();
    const Schematic s = parseSchematic("size 40 24\n"
                                       "resistor R1 4,4 14,4\n"
                                       "capacitor C1 4,10 14,10\n"
                                       "supply 30,20\n"
                                       "edit EdVb 20,4\n"
                                       "edit EdRk 20,10\n"
                                       "check CheckBoxCkconnected 2,16\n",
                                       "c01.txt", 1);
    for (double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        const QImage image = drawSchematic(s, scale, SchematicControls::Drawn);
        auto at = [&](double x, double y) { return QPoint(std::lround(x * scale), std::lround(y * scale)); };
        // Resistor body (the zigzag crosses its axis in the middle), capacitor plate, supply bar.
        const QPoint r = at(9 * kSchematicGrid, 4 * kSchematicGrid);
        EXPECT_TRUE(pixelNearAround(image, r.x(), r.y(), QColor(0x80, 0, 0), 2, 60));
        const QPoint c = at(9 * kSchematicGrid - kCapacitorGap / 2.0, 10 * kSchematicGrid + 4);
        EXPECT_TRUE(pixelNearAround(image, c.x(), c.y(), QColor(0, 0x80, 0), 1, 60));
        const QPoint v = at(30 * kSchematicGrid, 20 * kSchematicGrid - 7.5);
        EXPECT_TRUE(pixelNearAround(image, v.x(), v.y(), QColor(0xFF, 0, 0), 1, 60));
        // Red value text in the supply's box, dark red in the cathode resistor's; teal caption.
        auto hasColour = [&](const SchematicRect& rect, const QColor& colour) {
            for (int y = std::lround(rect.y * scale); y < std::lround(rect.bottom() * scale); ++y)
                for (int x = std::lround(rect.x * scale); x < std::lround(rect.right() * scale); ++x)
                    if (pixelNear(image, x, y, colour, 50))
                        return true;
            return false;
        };
        EXPECT_TRUE(hasColour(s.placement("EdVb")->widgetRect(), QColor(0xFF, 0, 0)));
        EXPECT_FALSE(hasColour(s.placement("EdVb")->widgetRect(), QColor(0x80, 0, 0)));
        EXPECT_TRUE(hasColour(s.placement("EdRk")->widgetRect(), QColor(0x80, 0, 0)));
        EXPECT_TRUE(hasColour(s.placement("CheckBoxCkconnected")->widgetRect(), QColor(0, 0x80, 0x80)));
    }
}

TEST(SchematicPlot, PowerStagePartsDrawWhereTheirPinsSay) {
    ensureGuiApp();
    const Schematic s = parseSchematic("size 40 40\n"
                                       "triode T1 8,10\n"
                                       "triode T2 8,30 flip\n"
                                       "transformer OT 24,20 centretap\n"
                                       "speaker SP 34,18 34,22\n",
                                       "c39.txt", 39);
    const double k = 2;
    const QImage image = drawSchematic(s, k, SchematicControls::Hidden);
    const QColor ink(0x1A, 0x1A, 0x1A);
    auto dark = [&](double x, double y) {
        return pixelNear(image, static_cast<int>(x * k), static_cast<int>(y * k), ink, 90);
    };
    // The cathode's turned-up ends lie below the centre of an upright tube and above that of a
    // flipped one, where the upright tube has nothing (its anode plate ends a pixel higher).
    const double x1 = 8 * kSchematicGrid + 9, y1 = 10 * kSchematicGrid, y2 = 30 * kSchematicGrid;
    EXPECT_TRUE(dark(x1, y1 + 9));
    EXPECT_FALSE(dark(x1, y1 - 9));
    EXPECT_TRUE(dark(x1, y2 - 9));
    EXPECT_FALSE(dark(x1, y2 + 9));
    // The two lines of iron, the centre tap's lead and the speaker cone's mouth.
    const double cx = 24 * kSchematicGrid, cy = 20 * kSchematicGrid;
    EXPECT_TRUE(dark(cx - kCoreGap, cy + 20));
    EXPECT_TRUE(dark(cx + kCoreGap, cy - 20));
    EXPECT_TRUE(dark(cx - kTransformerPin + 1, cy));
    EXPECT_FALSE(dark(cx + kTransformerPin - 1, cy)); // the secondary has no tap
    EXPECT_TRUE(dark(34 * kSchematicGrid + kSpeakerHalfWidth + kSpeakerCone, 20 * kSchematicGrid));
}

TEST(SchematicPlot, SheetValuesReplaceTheFirstUseTexts) {
    ensureGuiApp();
    const Schematic s =
        parseSchematic("size 30 12\ncheck CheckBoxCkconnected 2,3\nlabel LabelVa 2,8\n", "c01.txt", 1);
    Sheet sheet = newSheet(1);
    const QImage before = drawSchematic(s, 1, SchematicControls::Drawn, sheet);
    sheet.find("CheckBoxCkconnected")->checked = true;
    sheet.find("LabelVa")->text = "154.6V";
    const QImage after = drawSchematic(s, 1, SchematicControls::Drawn, sheet);
    // A tick in the square; the solved value in full red where the placeholder was pale.
    const QPoint square = centreOf({s.placement("CheckBoxCkconnected")->x + 2, s.placements[0].y, 13, 20});
    EXPECT_TRUE(pixelNearAround(after, square.x(), square.y(), Qt::black, 3, 80));
    EXPECT_FALSE(pixelNearAround(before, square.x(), square.y(), Qt::black, 3, 80));
    auto reds = [](const QImage& image, const SchematicRect& r) {
        int n = 0;
        for (int y = r.y; y < r.bottom(); ++y)
            for (int x = r.x; x < r.right(); ++x)
                n += pixelNear(image, x, y, QColor(0xFF, 0, 0), 30);
        return n;
    };
    EXPECT_EQ(reds(before, s.placement("LabelVa")->rect()), 0);
    EXPECT_GT(reds(after, s.placement("LabelVa")->rect()), 10);
}

TEST(SchematicPlot, WidgetSizesHoldTheirTextsInTheSheetFonts) {
    ensureGuiApp();
    const QFontMetricsF sans = sheetMetrics(kSheetPointSize);
    const QFontMetricsF sansBold = sheetMetrics(kSheetPointSize, true);
    const QFontMetricsF mono = sheetMetrics(kEditPointSize, true, true);
    // Six characters of any value fit an edit box, past its frame.
    EXPECT_LE(mono.horizontalAdvance("470.5k") + 6, kEditBoxWidth);
    EXPECT_LE(mono.height() + 4, kEditHeight);
    EXPECT_LE(sans.horizontalAdvance("123.45mA"), kResultLabelWidth);
    EXPECT_LE(sans.height(), kTextHeight);
    EXPECT_LE(sans.ascent(), kTextAscent);
    EXPECT_LE(sans.descent(), kTextDescent);

    // Every label, caption and selector item of the 42 sheets.
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        for (const auto& [name, label] : info.fieldLabels)
            EXPECT_LE(sans.horizontalAdvance(QString::fromStdString(label)), textWidth(label))
                << info.code << " " << name << " \"" << label << "\"";
        for (const SheetControl& c : info.controls) {
            if (c.kind == ControlKind::Caption || c.kind == ControlKind::CheckBox) {
                EXPECT_LE(sans.horizontalAdvance(QString::fromStdString(c.text)), textWidth(c.text))
                    << info.code << " " << c.name;
            }
            for (const std::string& item : c.items)
                EXPECT_LE(sansBold.horizontalAdvance(QString::fromStdString(item)), textWidth(item, true))
                    << info.code << " " << c.name;
        }
    }
    for (const char* text : {"in", "out", "out A", "out K", "T1 and T2", "Transformer power yield (%)", "µΩ"})
        EXPECT_LE(sans.horizontalAdvance(QString::fromUtf8(text)), textWidth(text)) << text;
    // Texts and terminal captions of the descriptions.
    for (int n = 1; n <= kCircuitCount; ++n) {
        if (!hasSchematic(n))
            continue;
        for (const SchematicSymbol& sym : schematicOf(n).symbols) {
            EXPECT_LE(sans.horizontalAdvance(QString::fromStdString(sym.text)), textWidth(sym.text))
                << "C" << n << " line " << sym.line;
        }
    }
}

TEST(SchematicPlot, OddScalesStillGiveAPicture) {
    ensureGuiApp();
    const Schematic& s = schematicOf(1);
    for (double scale : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        const QImage image = drawSchematic(s, scale, SchematicControls::Drawn);
        EXPECT_EQ(image.width(), s.width);
    }
    const QImage small = drawSchematic(s, 0.25, SchematicControls::Drawn);
    EXPECT_EQ(small.width(), static_cast<int>(std::ceil(s.width * 0.25)));
}
