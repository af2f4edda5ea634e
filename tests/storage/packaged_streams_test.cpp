// The picture streams that the build draws into build/share/valvenix, read back through the data
// folder's readers as the main window reads them at start-up.
#include "circuits/catalogue.h"
#include "storage/data_folder.h"
#include "storage/packaged_files.h"
#include "storage/picture_stream.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {

class BuiltStreams : public ::testing::Test {
protected:
    void SetUp() override { setDataFolderOverride(VALVENIX_PACKAGED_DIR); }
    void TearDown() override { setDataFolderOverride(""); }

    static PictureStream load(const char* name) {
        PictureStreamFile file = loadPictureStream(name);
        EXPECT_TRUE(file.stream.has_value()) << file.error;
        return file.stream.value_or(PictureStream());
    }
};

TEST_F(BuiltStreams, HoldOneValidPicturePerCircuitAndPerTubeCount) {
    const struct {
        const char* file;
        const char* format;
        int records;
        QSize minimum; // every picture at least this large
    } streams[] = {
        {kSchemasStreamFile, "PNG", kCircuitCount, {300, 200}},
        {kMiniaturesStreamFile, "PNG", kCircuitCount, {64, 48}},
        {kIconsStreamFile, "ICO", 4, {32, 32}},
    };
    for (const auto& s : streams) {
        SCOPED_TRACE(s.file);
        const PictureStream stream = load(s.file);
        EXPECT_EQ(stream.recordCount(), s.records);
        for (int n = 1; n <= s.records; ++n) {
            const QImage picture = stream.picture(n, s.format);
            ASSERT_FALSE(picture.isNull()) << "record " << n;
            EXPECT_GE(picture.width(), s.minimum.width()) << "record " << n;
            EXPECT_GE(picture.height(), s.minimum.height()) << "record " << n;
        }
        EXPECT_TRUE(stream.picture(s.records + 1, s.format).isNull());
    }
}

TEST_F(BuiltStreams, ThumbnailsShareOneSizeAndDifferPerCircuit) {
    const PictureStream stream = load(kMiniaturesStreamFile);
    const QImage first = stream.picture(1, "PNG");
    for (int n = 2; n <= kCircuitCount; ++n) {
        const QImage thumbnail = stream.picture(n, "PNG");
        EXPECT_EQ(thumbnail.size(), first.size()) << "C" << n;
        EXPECT_NE(thumbnail, first) << "C" << n;
    }
}

TEST_F(BuiltStreams, EachCircuitTakesTheIconOfItsTubeCount) {
    const PictureStream icons = load(kIconsStreamFile);
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        EXPECT_EQ(info.icon, info.tubeCount) << info.code;
        EXPECT_FALSE(icons.picture(info.icon, "ICO").isNull()) << info.code;
    }
    // The two four-tube circuits.
    EXPECT_EQ(circuitInfo(21).icon, 4);
    EXPECT_EQ(circuitInfo(23).icon, 4);
    // Icons differ by their number of envelopes.
    EXPECT_NE(icons.picture(1, "ICO"), icons.picture(4, "ICO"));
}

TEST_F(BuiltStreams, TextsAndManualAreBesideThem) {
    for (const std::string& name : packagedFileNames())
        EXPECT_TRUE(QFile::exists(QString::fromStdString(dataFilePath(name)))) << name;
    const PackagedText c21 = readCircuitDescription(21);
    ASSERT_TRUE(c21.ok) << c21.error;
    EXPECT_EQ(c21.text.rfind("<css=h1>C21 ", 0), 0u);
    EXPECT_TRUE(readIntroduction().ok);
}

} // namespace
