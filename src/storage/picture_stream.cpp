// Reading and writing picture streams; every length is checked against what is left of the stream.
#include "storage/picture_stream.h"

#include "storage/data_folder.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <cstdint>

namespace {
constexpr qsizetype kLengthBytes = 4;

// Walks the records from the start. Calls visit(index, offset, length) for each complete record and
// stops when visit returns false or the next record is truncated or malformed.
template <class Visit> void walkRecords(const QByteArray& bytes, Visit visit) {
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    for (int index = 1; size - pos >= kLengthBytes; ++index) {
        const std::int32_t length = qFromLittleEndian<std::int32_t>(bytes.constData() + pos);
        pos += kLengthBytes;
        if (length < 0 || length > size - pos)
            return;
        if (!visit(index, pos, static_cast<qsizetype>(length)))
            return;
        pos += length;
    }
}
} // namespace

std::optional<QByteArray> PictureStream::record(int n) const {
    std::optional<QByteArray> found;
    if (n < 1)
        return found;
    walkRecords(bytes_, [&](int index, qsizetype offset, qsizetype length) {
        if (index < n)
            return true;
        found = bytes_.mid(offset, length);
        return false;
    });
    return found;
}

int PictureStream::recordCount() const {
    int count = 0;
    walkRecords(bytes_, [&](int index, qsizetype, qsizetype) {
        count = index;
        return true;
    });
    return count;
}

QImage PictureStream::picture(int n, const char* format) const {
    std::optional<QByteArray> data = record(n);
    if (!data || data->isEmpty())
        return {};
    QBuffer buffer(&*data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QByteArray encodePictureStream(const std::vector<QByteArray>& records) {
    QByteArray out;
    for (const QByteArray& r : records) {
        char length[kLengthBytes];
        qToLittleEndian<std::int32_t>(static_cast<std::int32_t>(r.size()), length);
        out.append(length, kLengthBytes);
        out.append(r);
    }
    return out;
}

PictureStreamFile loadPictureStream(const std::string& fileName) {
    PictureStreamFile result;
    QFile file(QString::fromStdString(dataFilePath(fileName)));
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = "Cannot load " + dataFolder() + fileName;
        return result;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = "Cannot load " + dataFolder() + fileName;
        return result;
    }
    result.stream = PictureStream(std::move(bytes));
    return result;
}
