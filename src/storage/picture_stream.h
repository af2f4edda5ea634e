// Picture streams: files of records, each a 32-bit little-endian length followed by one PNG or ICO
// image, numbered from 1. Reading skips through the lengths from the start; writing appends records.
#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>
#include <string>
#include <vector>

class PictureStream {
public:
    PictureStream() = default;
    explicit PictureStream(QByteArray bytes) : bytes_(std::move(bytes)) {}

    const QByteArray& bytes() const { return bytes_; }

    // The bytes of record n (n >= 1). None when n < 1, when the stream ends before the record, or
    // when a length on the way is negative or runs past the end of the stream.
    std::optional<QByteArray> record(int n) const;
    // The complete records counted from the start, up to the first truncated or malformed one.
    int recordCount() const;
    // Record n decoded as format ("PNG", "ICO"; for an icon, its first image). A null image when the
    // record does not exist or does not hold an image of that format.
    QImage picture(int n, const char* format) const;

private:
    QByteArray bytes_;
};

// The stream made of these records in order.
QByteArray encodePictureStream(const std::vector<QByteArray>& records);

// A stream read whole from a file of the data folder, or the failure text shown at start-up:
// "Cannot load " followed by the data folder and the file name.
struct PictureStreamFile {
    std::optional<PictureStream> stream;
    std::string error;
};
PictureStreamFile loadPictureStream(const std::string& fileName);
