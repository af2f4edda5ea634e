// The fuzz entry points of the packaged-file readers over generated inputs: random bytes, and valid
// streams and description files with bytes flipped, cut short or lengths rewritten.
#include "packaged_files_fuzz.h"
#include "storage/picture_stream.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>
#include <random>

namespace {

QByteArray validStream() {
    std::vector<QByteArray> records;
    for (int side : {3, 8, 17}) {
        QImage image(side, side, QImage::Format_ARGB32);
        image.fill(qRgb(side, 2 * side, 3 * side));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        records.push_back(png);
    }
    return encodePictureStream(records);
}

int feed(int (*entry)(const std::uint8_t*, std::size_t), const QByteArray& bytes) {
    return entry(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                 static_cast<std::size_t>(bytes.size()));
}

// Variants of a valid input: each a copy with a few random bytes changed, or cut at a random place.
std::vector<QByteArray> mutations(const QByteArray& valid, int count, std::mt19937& random) {
    std::vector<QByteArray> out;
    for (int i = 0; i < count; ++i) {
        QByteArray copy = valid;
        if (i % 3 == 0) {
            copy.truncate(static_cast<qsizetype>(random() % (valid.size() + 1)));
        } else {
            for (int k = 0; k < 1 + i % 4; ++k)
                copy[static_cast<qsizetype>(random() % valid.size())] = static_cast<char>(random());
        }
        out.push_back(copy);
    }
    return out;
}

TEST(PackagedFuzzInputs, StreamsAndDescriptionsSurviveDamage) {
    std::mt19937 random(20261210);
    const QByteArray stream = validStream();
    const QByteArray descriptions = "\x0c#12\r\n<css=h1>Twelve</css>\r\n\r\n#1\nOne.\n#121\nNot twelve.\n";
    std::vector<QByteArray> streams = mutations(stream, 300, random);
    std::vector<QByteArray> texts = mutations(descriptions, 300, random);
    for (int i = 0; i < 200; ++i) {
        QByteArray noise(static_cast<qsizetype>(random() % 64), '\0');
        for (char& c : noise)
            c = static_cast<char>(random());
        streams.push_back(noise);
        texts.push_back(noise);
    }
    for (const QByteArray& s : streams)
        EXPECT_EQ(feed(fuzzPictureStream, s), 0);
    for (const QByteArray& t : texts)
        EXPECT_EQ(feed(fuzzDescriptionExtractor, t), 0);
}

} // namespace
