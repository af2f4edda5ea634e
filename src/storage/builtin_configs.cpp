// Reading the packaged examples and handing them out as built-in configurations.
#include "storage/builtin_configs.h"

#include "storage/data_folder.h"

#include <QFile>

#include <algorithm>
#include <cctype>

ExamplesRead readExamples() {
    ExamplesRead r;
    const std::string path = dataFilePath(kExamplesFile);
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = "the examples file " + path + " cannot be read: " + file.errorString().toStdString();
        return r;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        r.error = "the examples file " + path + " cannot be read: " + file.errorString().toStdString();
        return r;
    }
    r.ok = true;
    r.set = parseExamples(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return r;
}

TArrayKeyVal exampleKeyVals(const CircuitExample& example) {
    TArrayKeyVal pairs;
    for (const auto& [name, value] : example.values) {
        const bool checkBox = name.rfind("CheckBox", 0) == 0;
        pairs.push_back({0, name, checkBox ? (value == "0" ? "0" : "-1") : value});
    }
    return pairs;
}

bool isReservedConfigName(const std::string& name) {
    const std::size_t first = name.find_first_not_of(" \t");
    const std::size_t last = name.find_last_not_of(" \t");
    if (first == std::string::npos)
        return false;
    std::string word = name.substr(first, last - first + 1);
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return word == "example";
}

bool applyExampleForFirstOpening(Sheet& sheet) {
    const ExamplesRead read = readExamples();
    const CircuitExample* example = read.ok ? read.set.find(sheet.circuit) : nullptr;
    if (!example)
        return false;
    // The user may have removed or renamed the example's model: that selector keeps the first-use
    // choice rather than ending empty.
    CircuitExample usable = *example;
    std::erase_if(usable.values, [&](const auto& pair) {
        const SheetControl* c = sheet.find(pair.first);
        return c && c->kind == ControlKind::Selector &&
               std::find(c->items.begin(), c->items.end(), pair.second) == c->items.end();
    });
    applyExample(sheet, usable);
    return true;
}
