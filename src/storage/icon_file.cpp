// ICO container: a directory of entries, each a bottom-up 32-bit device-independent bitmap followed
// by its 1-bit transparency mask (all rows of the mask are zero: the alpha channel carries it).
#include "storage/icon_file.h"

#include <QtEndian>
#include <cstdint>

namespace {
void put16(QByteArray& out, std::uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

QByteArray bitmapEntry(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    put32(out, 40); // header size
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(2 * h)); // colour rows and mask rows
    put16(out, 1);                                 // planes
    put16(out, 32);                                // bits per pixel
    put32(out, 0);                                 // no compression
    put32(out, static_cast<std::uint32_t>(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            put32(out, row[x]); // B, G, R, A in memory order
    }
    out.append(QByteArray(maskStride * h, '\0'));
    return out;
}
} // namespace

QByteArray encodeIcon(const std::vector<QImage>& images) {
    std::vector<QByteArray> entries;
    for (const QImage& image : images)
        entries.push_back(bitmapEntry(image));
    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].width();
        const int h = images[i].height();
        out.append(static_cast<char>(w >= 256 ? 0 : w)); // 0 stands for 256
        out.append(static_cast<char>(h >= 256 ? 0 : h));
        out.append('\0'); // no palette
        out.append('\0');
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, static_cast<std::uint32_t>(entries[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const QByteArray& e : entries)
        out.append(e);
    return out;
}
