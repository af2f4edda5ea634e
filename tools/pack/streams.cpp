// The picture streams: record n of the schematic and thumbnail streams is circuit n, record n of the
// icon stream the icon for circuits of n tubes.
#include "streams.h"

#include "circuit_pictures.h"
#include "tube_glyph.h"

#include "circuits/catalogue.h"
#include "storage/icon_file.h"
#include "storage/packaged_files.h"
#include "storage/picture_stream.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>

namespace {
QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString save(const QDir& folder, const char* name, const std::vector<QByteArray>& records) {
    QSaveFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return "cannot write " + file.fileName() + ": " + file.errorString();
    file.write(encodePictureStream(records));
    if (!file.commit())
        return "cannot write " + file.fileName() + ": " + file.errorString();
    return {};
}
} // namespace

QString writeStreams(const QString& folder) {
    const QDir dir(folder);
    if (!QDir().mkpath(folder))
        return "cannot create " + folder;
    std::vector<QByteArray> schematics;
    std::vector<QByteArray> thumbnails;
    for (int n = 1; n <= kCircuitCount; ++n) {
        const QImage schematic = schematicPicture(n, 2);
        const QImage thumbnail = thumbnailPicture(n);
        if (schematic.isNull() || thumbnail.isNull())
            return QString("no picture for C%1").arg(n);
        schematics.push_back(png(schematic));
        thumbnails.push_back(png(thumbnail));
    }
    std::vector<QByteArray> icons;
    for (int tubes = 1; tubes <= 4; ++tubes)
        icons.push_back(encodeIcon({tubeIcon(tubes, 48), tubeIcon(tubes, 32), tubeIcon(tubes, 16)}));
    for (const auto& [name, records] :
         {std::pair{kSchemasStreamFile, &schematics}, std::pair{kMiniaturesStreamFile, &thumbnails},
          std::pair{kIconsStreamFile, &icons}}) {
        const QString error = save(dir, name, *records);
        if (!error.isEmpty())
            return error;
    }
    return {};
}
