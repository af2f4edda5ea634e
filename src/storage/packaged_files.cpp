// Reading the packaged texts of the data folder and cutting one circuit's section out of the
// descriptions file.
#include "storage/packaged_files.h"

#include "storage/data_folder.h"

#include <QFile>

const std::vector<std::string>& packagedFileNames() {
    static const std::vector<std::string> names = {
        kSchemasStreamFile, kMiniaturesStreamFile, kIconsStreamFile, kDescriptionsFile,
        kIntroductionFile,  kUserManualFile,       kExamplesFile,
    };
    return names;
}

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

struct FileRead {
    bool ok = false;
    std::string bytes;
    std::string systemMessage;
};

FileRead readDataFile(const std::string& fileName) {
    FileRead r;
    QFile file(QString::fromStdString(dataFilePath(fileName)));
    if (!file.open(QIODevice::ReadOnly)) {
        r.systemMessage = file.errorString().toStdString();
        return r;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        r.systemMessage = file.errorString().toStdString();
        return r;
    }
    r.ok = true;
    r.bytes = bytes.toStdString();
    return r;
}
} // namespace

std::string extractDescription(std::string_view fileText, int circuit) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (fileText.substr(0, bom.size()) == bom)
        fileText.remove_prefix(bom.size());
    const std::string header = "#" + std::to_string(circuit);
    std::string description;
    bool inside = false;
    std::size_t start = 0;
    while (start < fileText.size()) {
        std::size_t end = fileText.find('\n', start);
        if (end == std::string_view::npos)
            end = fileText.size();
        std::string_view line = fileText.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        if (!line.empty() && line.front() == '#') {
            if (inside)
                break;
            inside = line == header;
        } else if (inside) {
            description.append(line);
            description.append("\r\n");
        }
    }
    return trimmed(description);
}

PackagedText readCircuitDescription(int circuit) {
    PackagedText result;
    FileRead file = readDataFile(kDescriptionsFile);
    if (!file.ok) {
        result.error = dataFilePath(kDescriptionsFile) + ": " + file.systemMessage;
        return result;
    }
    result.ok = true;
    result.text = extractDescription(file.bytes, circuit);
    return result;
}

PackagedText readIntroduction() {
    PackagedText result;
    FileRead file = readDataFile(kIntroductionFile);
    if (!file.ok) {
        result.error = std::string("Could not load file ") + kRemoteIntroductionFile;
        return result;
    }
    result.ok = true;
    result.text = std::move(file.bytes);
    return result;
}
