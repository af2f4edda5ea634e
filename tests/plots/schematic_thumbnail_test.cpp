// Gallery thumbnails drawn from the schematics: their size and resolution at each scale, ink where the
// symbols are, the code in its corner, a different drawing for every circuit, and the title-strip glyphs.
#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "plot_test_support.h"
#include "plots/schematic_thumbnail.h"
#include "plots/title_bar_glyphs.h"

#include <QImage>
#include <gtest/gtest.h>

#include <set>

namespace {

// Share of the pixels of a rectangle that are clearly darker than the white canvas.
double inkShare(const QImage& image, const QRect& r) {
    int ink = 0, all = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x, ++all)
            ink += qGray(image.pixel(x, y)) < 200;
    return all ? double(ink) / all : 0;
}

TEST(SchematicThumbnail, EveryCircuitGetsItsOwnSharpDrawingAtEachScale) {
    ensureGuiApp();
    std::set<QByteArray> distinct;
    for (int n = 1; n <= kCircuitCount; ++n) {
        SCOPED_TRACE("C" + std::to_string(n));
        for (double scale : {1.0, 2.0}) {
            const QImage t =
                drawSchematicThumbnail(schematicOf(n), circuitInfo(n).code, kThumbnailLogicalSize, scale);
            ASSERT_EQ(t.size(), kThumbnailLogicalSize * scale);
            EXPECT_DOUBLE_EQ(pictureScale(t), scale);
            // The code in the top-left corner, the drawing below and beside it.
            EXPECT_GT(inkShare(t, QRect(QPoint(4, 3) * scale, QSize(22, 12) * scale)), 0.08);
            const double drawing = inkShare(t, QRect(QPoint(0, 20) * scale, QSize(200, 110) * scale));
            EXPECT_GT(drawing, 0.02); // lines thick enough to be seen...
            EXPECT_LT(drawing, 0.30); // ...and not a blot
            if (scale == 1.0)
                distinct.insert(QByteArray(reinterpret_cast<const char*>(t.constBits()), t.sizeInBytes()));
        }
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kCircuitCount));
}

TEST(SchematicThumbnail, PictureScaleReadsTheResolution) {
    const struct {
        int dotsPerMetre;
        double scale;
    } cases[] = {{0, 1.0}, {2835, 1.0}, {3780, 1.0}, {7559, 2.0}, {5669, 1.5}};
    for (const auto& c : cases) {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.setDotsPerMeterX(c.dotsPerMetre);
        EXPECT_NEAR(pictureScale(image), c.scale, 0.01) << c.dotsPerMetre;
    }
}

TEST(TitleGlyphs, EachGlyphIsDrawnAtTheScaleAskedAndDiffers) {
    ensureGuiApp();
    std::set<QByteArray> distinct;
    for (TitleGlyph g : {TitleGlyph::Close, TitleGlyph::Maximise, TitleGlyph::Restore, TitleGlyph::Minimise,
                         TitleGlyph::Menu, TitleGlyph::LayoutHor, TitleGlyph::LayoutVert}) {
        const QImage image = drawTitleGlyph(g, 24, 2.0, Qt::black);
        ASSERT_EQ(image.size(), QSize(48, 48));
        EXPECT_DOUBLE_EQ(image.devicePixelRatio(), 2.0);
        distinct.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(distinct.size(), 7u);
}

} // namespace
