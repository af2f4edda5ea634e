// Settings file access through QSettings in INI format, one short-lived QSettings per operation so
// that every write is flushed at once and no pending change outlives the call.
#include "storage/settings.h"

#include "frequency/bode_options.h"
#include "storage/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <algorithm>

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString fullKey(const std::string& section, const std::string& key) {
    return qs(section) + "/" + qs(key);
}

// The raw text of a value. An unquoted value with commas reads back as a list: join it again.
std::optional<QString> rawValue(const std::string& path, const std::string& section, const std::string& key) {
    if (path.empty())
        return std::nullopt;
    QSettings file(qs(path), QSettings::IniFormat);
    const QVariant value = file.value(fullKey(section, key));
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(",");
    return value.toString();
}

std::optional<int> asInteger(const std::optional<QString>& text) {
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Whether the INI reader takes the whole file: 0 when it does (or there is no file), else the 1-based
// number of the line to blame ("[" without "]", no "=" in a line that is not a ";" comment, a NUL
// byte), or -1 when no single line stands out (a quote left open). A file the reader refuses is never
// written: QSettings keeps the files it has parsed and would, on a later write, rewrite one without its
// malformed lines (it keeps what it parsed, not that the parse failed). So it is asked on a private
// copy, for a fresh parse.
int malformedLine(const std::string& path) {
    QFile file(qs(path));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray content = file.readAll();
    QTemporaryFile copy(QDir::tempPath() + "/valvenix-settings-XXXXXX.ini");
    if (!copy.open() || copy.write(content) != content.size() || !copy.flush())
        return 0;
    QSettings probe(copy.fileName(), QSettings::IniFormat);
    probe.allKeys();
    if (probe.status() != QSettings::FormatError)
        return 0;
    const QList<QByteArray> lines = content.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const bool fine = line.isEmpty() || line.startsWith(';') ||
                          (line.startsWith('[') ? line.contains(']') : line.contains('='));
        if (!fine || line.contains('\0'))
            return static_cast<int>(i + 1);
    }
    return -1;
}

// Whether writing the entries would leave a file the INI reader still takes whole. QSettings escapes
// the keys it writes, but a key it read from a damaged file (control characters, bytes that are not
// UTF-8) may come back in a form its own reader refuses, after which no save would go through. The
// write is tried on a private copy first.
bool writeReadsBack(const std::string& path, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& entries) {
    QByteArray content;
    QFile file(qs(path));
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return true; // the real write will fail and say so
        content = file.readAll();
    }
    QTemporaryFile copy(QDir::tempPath() + "/valvenix-settings-XXXXXX.ini");
    if (!copy.open() || copy.write(content) != content.size() || !copy.flush())
        return true;
    copy.close();
    {
        QSettings probe(copy.fileName(), QSettings::IniFormat);
        for (const auto& [key, value] : entries)
            probe.setValue(fullKey(section, key), qs(value));
        probe.sync();
    }
    return malformedLine(copy.fileName().toStdString()) == 0;
}

const char* const kLastCircuit = "lastcircuit";
const char* const kDisplayHor = "displayhor";
const char* const kFlat = "flat";
const char* const kEditBorders = "editborders";
const char* const kCkbBackground = "ckbbackground";
const char* const kRgBorders = "rgborders";
const char* const kStrayCaps = "straycaps";
const char* const kAcMode = "acmode";
const char* const kVs = "vs";
const char* const kDefaultVs = "100";
constexpr int kStrayCapChoices = 5;

} // namespace

std::string circuitSection(int circuit) {
    return "C" + std::to_string(circuit);
}

void TIniPosDim::Open(const std::string& fileName) {
    path_ = dataFilePath(fileName);
}

void TIniPosDim::Close() {
    path_.clear();
}

bool TIniPosDim::hasKey(const std::string& section, const std::string& key) const {
    return rawValue(path_, section, key).has_value();
}

int TIniPosDim::readInteger(const std::string& section, const std::string& key, int defaultValue) const {
    return asInteger(rawValue(path_, section, key)).value_or(defaultValue);
}

bool TIniPosDim::readBool(const std::string& section, const std::string& key, bool defaultValue) const {
    const std::optional<int> value = asInteger(rawValue(path_, section, key));
    return value ? *value != 0 : defaultValue;
}

std::string TIniPosDim::readString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const {
    const std::optional<QString> value = rawValue(path_, section, key);
    return value ? value->toStdString() : defaultValue;
}

std::string TIniPosDim::problem() const {
    if (path_.empty())
        return "no settings file is open";
    if (!QFileInfo(QFileInfo(qs(path_)).absolutePath()).isDir())
        return "its folder does not exist";
    const QFileInfo info(qs(path_));
    if (info.exists() && (!info.isFile() || !info.isReadable() || !info.isWritable()))
        return "it cannot be read or written";
    const int line = malformedLine(path_);
    if (line > 0)
        return "its line " + std::to_string(line) +
               " is neither [section], key=value nor a ; comment, so the file is left as it is";
    if (line < 0)
        return "it does not read as [section] and key=value lines (a quote left open?), so it is left as "
               "it is";
    if (refusedWrite_)
        return "saving would write back a key it could not read again (a key that is not plain text?), so "
               "the file is left as it is";
    return {};
}

bool TIniPosDim::writeEntries(const std::string& section,
                              const std::vector<std::pair<std::string, std::string>>& entries) {
    // QSettings would create missing folders on its own; the data folder belongs to installation.
    if (path_.empty() || !QFileInfo(QFileInfo(qs(path_)).absolutePath()).isDir() || malformedLine(path_) != 0)
        return false;
    if (!writeReadsBack(path_, section, entries)) {
        refusedWrite_ = true;
        return false;
    }
    refusedWrite_ = false;
    QSettings file(qs(path_), QSettings::IniFormat);
    for (const auto& [key, value] : entries)
        file.setValue(fullKey(section, key), qs(value));
    file.sync();
    return file.status() == QSettings::NoError;
}

bool TIniPosDim::writeString(const std::string& section, const std::string& key, const std::string& value) {
    return writeEntries(section, {{key, value}});
}

bool TIniPosDim::writeInteger(const std::string& section, const std::string& key, int value) {
    return writeString(section, key, std::to_string(value));
}

bool TIniPosDim::writeBool(const std::string& section, const std::string& key, bool value) {
    return writeString(section, key, value ? "1" : "0");
}

int TIniPosDim::lastCircuit() const {
    return readInteger(kMainSection, kLastCircuit, 0);
}
bool TIniPosDim::setLastCircuit(int circuit) {
    return writeInteger(kMainSection, kLastCircuit, circuit);
}
bool TIniPosDim::displayHor() const {
    return readBool(kMainSection, kDisplayHor, true);
}
bool TIniPosDim::setDisplayHor(bool horizontal) {
    return writeBool(kMainSection, kDisplayHor, horizontal);
}
bool TIniPosDim::flat() const {
    return readBool(kMainSection, kFlat, true);
}
bool TIniPosDim::setFlat(bool gallery) {
    return writeBool(kMainSection, kFlat, gallery);
}
int TIniPosDim::editBorders() const {
    return readInteger(kMainSection, kEditBorders, 0);
}
bool TIniPosDim::setEditBorders(int item) {
    return writeInteger(kMainSection, kEditBorders, item);
}
bool TIniPosDim::ckbBackground() const {
    return readBool(kMainSection, kCkbBackground, true);
}
bool TIniPosDim::setCkbBackground(bool grey) {
    return writeBool(kMainSection, kCkbBackground, grey);
}
int TIniPosDim::rgBorders() const {
    return readInteger(kMainSection, kRgBorders, 0);
}
bool TIniPosDim::setRgBorders(int item) {
    return writeInteger(kMainSection, kRgBorders, item);
}
std::string TIniPosDim::webSite() const {
    const QString site = QString::fromStdString(readString(kMainSection, kWebSiteKey, "")).trimmed();
    return site.isEmpty() ? kDefaultWebSite : site.toStdString();
}
std::string TIniPosDim::emailAddress() const {
    const QString address = QString::fromStdString(readString(kMainSection, kEmailKey, "")).trimmed();
    return address.isEmpty() ? kDefaultEmail : address.toStdString();
}

std::string TIniPosDim::usageServer() const {
    return QString::fromStdString(readString(kMainSection, kUsageServerKey, "")).trimmed().toStdString();
}
bool TIniPosDim::setUsageServer(const std::string& url) {
    return writeString(kMainSection, kUsageServerKey, url);
}
bool TIniPosDim::usageOff() const {
    // A privacy switch: beside integers, the words a hand-edited file may hold are understood, and a
    // value that cannot be read switches reports off rather than on.
    const QString text = QString::fromStdString(readString(kMainSection, kUsageOffKey, "")).trimmed();
    if (const std::optional<int> value = asInteger(text))
        return *value != 0;
    static const QStringList notOff = {"", "false", "no", "off"};
    return !notOff.contains(text, Qt::CaseInsensitive);
}
bool TIniPosDim::setUsageOff(bool off) {
    return writeBool(kMainSection, kUsageOffKey, off);
}

int TIniPosDim::bodeStrayCaps() const {
    return readInteger(kBodeSection, kStrayCaps, 0);
}
bool TIniPosDim::setBodeStrayCaps(int item) {
    return writeInteger(kBodeSection, kStrayCaps, item);
}
double TIniPosDim::bodeStrayCapFarads() const {
    // A hand-edited index outside the choices would give zero or negative capacitance.
    const int item = std::clamp(bodeStrayCaps(), 0, kStrayCapChoices - 1);
    return (item + 1) * 1e-12;
}

int TIniPosDim::bodeAcMode() const {
    if (!hasKey(kBodeSection, kAcMode))
        return isOpen() && !QFileInfo::exists(qs(path_)) ? kAcExact : kAcClassic;
    return readInteger(kBodeSection, kAcMode, kAcClassic) == kAcExact ? kAcExact : kAcClassic;
}
bool TIniPosDim::setBodeAcMode(int item) {
    return writeInteger(kBodeSection, kAcMode, item == kAcExact ? kAcExact : kAcClassic);
}
bool TIniPosDim::settleBodeAcMode() {
    return hasKey(kBodeSection, kAcMode) || setBodeAcMode(bodeAcMode());
}

std::string TIniPosDim::pentodeVs() const {
    const std::string text = readString(kPentodeSection, kVs, kDefaultVs);
    return QString::fromStdString(text).trimmed().isEmpty() ? kDefaultVs : text;
}
bool TIniPosDim::setPentodeVs(const std::string& text) {
    return writeString(kPentodeSection, kVs, text);
}

SavedPlacement TIniPosDim::readPlacement(const std::string& windowName) const {
    auto key = [&](const char* suffix) {
        return asInteger(rawValue(path_, kFormPosDimSection, windowName + suffix));
    };
    return SavedPlacement{key("_l"), key("_t"), key("_w"), key("_h")};
}

ScreenRect TIniPosDim::readForm(const std::string& windowName, int currentWidth, int currentHeight,
                                const ScreenLayout& screens, bool fixedSize) const {
    return resolvePlacement(readPlacement(windowName), currentWidth, currentHeight, screens, fixedSize);
}

bool TIniPosDim::storeForm(const std::string& windowName, const ScreenRect& geometry) {
    return writeEntries(kFormPosDimSection, {{windowName + "_l", std::to_string(geometry.left)},
                                             {windowName + "_t", std::to_string(geometry.top)},
                                             {windowName + "_w", std::to_string(geometry.width)},
                                             {windowName + "_h", std::to_string(geometry.height)}});
}
