// The model database on any table contents. The input is text: a first line "v1" or "v2" naming the
// file version, optionally followed by the table's column names (else the version's own columns);
// then one row per line, fields separated by "|": "N" is NULL, "i<integer>", "d<number>", anything
// else is text (the bytes after a leading "t", or the whole field). Start-up (migration and seeding),
// listing and loading must end in models or in a reported database error, never in an unusable name.
#include "fuzz_check.h"
#include "fuzz_data_folder.h"

#include "storage/model_database.h"
#include "util/utf8.h"

#include <QFile>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {
const char* const kV1Columns = "id name comment kp mu kvb ex kg1 pmax imax vmax";
const char* const kV2Columns =
    "id name comment kp mu kvb ex kg1 pmax imax vmax kg2 cgk cga cak t35 pemax vemax";
constexpr std::size_t kMaxColumns = 24;
constexpr std::size_t kMaxRows = 40;

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

bool isIdentifier(const std::string& w) {
    if (w.empty() || w.size() > 16 || !(std::isalpha(static_cast<unsigned char>(w[0])) || w[0] == '_'))
        return false;
    for (char c : w)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

void bindField(TSQLite3Statement& s, int index, const std::string& field) {
    if (field == "N") {
        s.BindNull(index);
    } else if (!field.empty() && field[0] == 'i') {
        s.BindInt(index, std::strtoll(field.c_str() + 1, nullptr, 10));
    } else if (!field.empty() && field[0] == 'd') {
        s.BindDouble(index, std::strtod(field.c_str() + 1, nullptr));
    } else {
        s.BindText(index, !field.empty() && field[0] == 't' ? field.substr(1) : field);
    }
}

// Writes the table the input describes; false when the input describes none.
bool writeTable(const std::string& input, int& version) {
    const std::vector<std::string> lines = split(input, '\n');
    if (lines.empty() || lines[0].size() < 2 || lines[0][0] != 'v' ||
        (lines[0][1] != '1' && lines[0][1] != '2'))
        return false;
    version = lines[0][1] - '0';
    std::vector<std::string> columns;
    for (const auto& w : split(lines[0].substr(2), ' '))
        if (isIdentifier(w) && columns.size() < kMaxColumns)
            columns.push_back(w);
    if (columns.empty())
        columns = split(version == 1 ? kV1Columns : kV2Columns, ' ');

    std::string create = "CREATE TABLE triodes (", insert = "INSERT INTO triodes VALUES (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        create += (i ? "," : "") + columns[i];
        insert += i ? ",?" : "?";
    }
    TSQLite3Database db(fuzzDataFolder() + modelDatabaseFileName(version));
    try {
        db.Execute(create + ")");
    } catch (const SQLiteError&) { // a column name twice, or a keyword
        return false;
    }
    auto row = db.Prepare(insert + ")");
    db.Execute("BEGIN TRANSACTION");
    for (std::size_t r = 1; r < lines.size() && r <= kMaxRows; ++r) {
        const std::vector<std::string> fields = split(lines[r], '|');
        for (std::size_t c = 0; c < columns.size(); ++c)
            bindField(*row, static_cast<int>(c + 1), c < fields.size() ? fields[c] : "N");
        try {
            row->Step();
        } catch (const SQLiteError&) { // e.g. an id used twice
        }
        row->Reset();
    }
    db.Execute("END TRANSACTION");
    return true;
}

void checkLists() {
    for (int kind : {0, 3, 5}) {
        const ModelNameList list = readModelNameList(kind);
        for (std::size_t i = 0; i < list.names.size(); ++i) {
            const std::string& name = list.names[i];
            FUZZ_CHECK(unusableNameReason(false, name).empty());
            if (i >= 6) // loading opens the file each time: a few names are enough
                continue;
            ModelRow row;
            FUZZ_CHECK(readModel(name, row));
            FUZZ_CHECK(kind == 0 || loadTubeParams(name).t35 == kind);
        }
        for (const auto& skipped : list.skipped)
            FUZZ_CHECK(isValidUtf8(skippedRowMessage(skipped)));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (int version : {1, 2}) {
        removeFuzzFile(modelDatabaseFileName(version));
        removeFuzzFile(modelDatabaseFileName(version) + "-journal");
    }
    int version = 0;
    if (!writeTable(std::string(reinterpret_cast<const char*>(data), size), version))
        return 0;
    const std::string oldFile = fuzzDataFolder() + modelDatabaseFileName(1);
    try {
        const ModelDatabaseStart start = prepareModelDatabase();
        if (version == 1) // the first-version file goes only when every one of its rows was copied
            FUZZ_CHECK(QFile::exists(QString::fromStdString(oldFile)) == !start.problems.empty());
        for (const auto& problem : start.problems)
            FUZZ_CHECK(problem.find(oldFile) != std::string::npos);
    } catch (const SQLiteError&) { // a current file whose table is not the program's: reported
        return 0;
    }
    try {
        checkLists();
    } catch (const SQLiteError&) {
    }
    return 0;
}
