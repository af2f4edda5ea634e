// Picture streams: records found by skipping lengths from the start, PNG and ICO records decoded,
// and streams that are cut short, lie about a length or hold something else than an image.
#include "storage/icon_file.h"
#include "storage/picture_stream.h"
#include "temp_data_folder.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QImage filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray lengthBytes(std::int32_t length) {
    char b[4];
    qToLittleEndian(length, b);
    return QByteArray(b, 4);
}

// Three PNGs of different sizes, so that a picture shows which record it came from.
struct ThreePictures {
    QByteArray a = png(filled(11, 7, qRgb(200, 0, 0)));
    QByteArray b = png(filled(13, 9, qRgb(0, 200, 0)));
    QByteArray c = png(filled(17, 5, qRgb(0, 0, 200)));
    PictureStream stream{encodePictureStream({a, b, c})};
};

TEST(PictureStream, RecordsStartAfterTheirLengths) {
    ThreePictures p;
    const QByteArray& bytes = p.stream.bytes();
    // Picture 1 starts at byte 4; picture 3 after two skips.
    EXPECT_EQ(qFromLittleEndian<std::int32_t>(bytes.constData()), p.a.size());
    EXPECT_EQ(bytes.mid(4, p.a.size()), p.a);
    const qsizetype third = 4 + p.a.size() + 4 + p.b.size() + 4;
    EXPECT_EQ(bytes.mid(third), p.c);
    EXPECT_EQ(p.stream.record(1), p.a);
    EXPECT_EQ(p.stream.record(2), p.b);
    EXPECT_EQ(p.stream.record(3), p.c);
    EXPECT_EQ(p.stream.recordCount(), 3);
}

TEST(PictureStream, PictureNIsTheNthImage) {
    ThreePictures p;
    const struct {
        int n;
        QSize size;
        QRgb colour;
    } cases[] = {{1, {11, 7}, qRgb(200, 0, 0)}, {2, {13, 9}, qRgb(0, 200, 0)}, {3, {17, 5}, qRgb(0, 0, 200)}};
    for (const auto& c : cases) {
        const QImage image = p.stream.picture(c.n, "PNG");
        ASSERT_FALSE(image.isNull()) << "picture " << c.n;
        EXPECT_EQ(image.size(), c.size) << "picture " << c.n;
        EXPECT_EQ(image.pixel(0, 0), c.colour) << "picture " << c.n;
    }
    for (int n : {0, -1, 4, 1000})
        EXPECT_TRUE(p.stream.picture(n, "PNG").isNull()) << "picture " << n;
}

TEST(PictureStream, IconsOfSeveralSizesDecode) {
    QImage big = filled(48, 48, qRgba(10, 20, 30, 255));
    big.setPixel(0, 0, qRgba(0, 0, 0, 0)); // transparent corner, top left
    big.setPixel(47, 47, qRgba(250, 128, 3, 255));
    const QByteArray icon = encodeIcon({big, filled(32, 32, qRgb(1, 2, 3)), filled(16, 16, qRgb(4, 5, 6))});
    const PictureStream stream(encodePictureStream({png(filled(3, 3, qRgb(0, 0, 0))), icon}));

    const QImage first = stream.picture(2, "ICO");
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), QSize(48, 48));
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);
    EXPECT_EQ(first.pixel(5, 5), qRgba(10, 20, 30, 255));
    EXPECT_EQ(first.pixel(47, 47), qRgba(250, 128, 3, 255)); // rows are not upside down

    // Each record decodes only as its own format.
    EXPECT_TRUE(stream.picture(1, "ICO").isNull());
    EXPECT_TRUE(stream.picture(2, "PNG").isNull());
}

TEST(PictureStream, BadStreamsNeverReadPastTheEnd) {
    const QByteArray good = png(filled(5, 5, qRgb(9, 9, 9)));
    const struct {
        const char* name;
        QByteArray bytes;
        int count;           // complete records
        bool firstIsPicture; // record 1 decodes as PNG
    } cases[] = {
        {"empty file", QByteArray(), 0, false},
        {"three bytes, no whole length", QByteArray("\x05\x00\x00", 3), 0, false},
        {"length past the end", lengthBytes(100) + QByteArray(10, 'x'), 0, false},
        {"negative length", lengthBytes(-1) + good, 0, false},
        {"huge length", lengthBytes(0x7fffffff) + good, 0, false},
        {"second record truncated", encodePictureStream({good}) + lengthBytes(good.size()) + good.left(20), 1,
         true},
        {"second length cut", encodePictureStream({good}) + QByteArray("\x10\x00", 2), 1, true},
        {"record of text", encodePictureStream({QByteArray("not a picture")}), 1, false},
        {"empty record", encodePictureStream({QByteArray()}), 1, false},
        {"truncated PNG in a whole record", encodePictureStream({good.left(good.size() / 2)}), 1, false},
    };
    for (const auto& c : cases) {
        const PictureStream stream(c.bytes);
        EXPECT_EQ(stream.recordCount(), c.count) << c.name;
        EXPECT_EQ(!stream.picture(1, "PNG").isNull(), c.firstIsPicture) << c.name;
        EXPECT_TRUE(stream.picture(2, "PNG").isNull()) << c.name;
        EXPECT_FALSE(stream.record(c.count + 1).has_value()) << c.name;
    }
}

class PictureStreamFiles : public TempDataFolder {};

TEST_F(PictureStreamFiles, LoadsTheWholeFileOrNamesIt) {
    const QByteArray bytes = encodePictureStream({png(filled(4, 4, qRgb(1, 1, 1)))});
    QFile file(QString::fromStdString(path("stream-schemas.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const PictureStreamFile loaded = loadPictureStream("stream-schemas.bin");
    ASSERT_TRUE(loaded.stream.has_value()) << loaded.error;
    EXPECT_EQ(loaded.stream->bytes(), bytes);
    EXPECT_EQ(loaded.stream->picture(1, "PNG").size(), QSize(4, 4));

    const PictureStreamFile missing = loadPictureStream("stream-ec86.bin");
    EXPECT_FALSE(missing.stream.has_value());
    EXPECT_EQ(missing.error, "Cannot load " + folder() + "stream-ec86.bin");
}

} // namespace
