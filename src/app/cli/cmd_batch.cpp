// valvenix-cli batch: one solve per line of standard input, one JSON object per line of output, so
// that a script pays the program's start-up once. A line holds the words of `solve` (C1 EdRa=100k
// --freqmin 1 ..., quoted as in a shell) or a JSON object {"circuit": 1, "values": {...},
// "options": {...}}; blank lines and lines starting with '#' are skipped. A line that cannot be
// solved gives {"line": N, "error": "..."} and the batch goes on.
#include "cli.h"
#include "json_text.h"
#include "solve_output.h"
#include "solve_request.h"

#include "circuits/solve_command.h"
#include "util/utf8.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <map>
#include <stdexcept>

namespace cli {

namespace {

// Words of a line split as a shell would for plain words: blanks separate, '...' and "..." group
// (a backslash in double quotes takes the next character as it is).
std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else if (c == '\'' || c == '"') {
            inWord = true;
            const std::size_t close = line.find(c, i + 1);
            for (++i; i < line.size() && line[i] != c; ++i) {
                if (c == '"' && line[i] == '\\' && i + 1 < line.size())
                    ++i;
                word += line[i];
            }
            if (close == std::string::npos || i >= line.size())
                throw UsageError(std::string("a quote ") + c + " is not closed");
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord)
        words.push_back(word);
    if (!words.empty() && words[0] == "solve")
        words.erase(words.begin());
    return words;
}

// The shortest text that reads back as d, with a '.' whatever the C locale says.
std::string numberText(double d) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, res.ptr);
}

// The text a JSON value stands for on a sheet or as an option's value.
std::string valueText(const QJsonValue& v, const std::string& name) {
    if (v.isString())
        return v.toString().toStdString();
    if (v.isBool())
        return v.toBool() ? "1" : "0";
    if (v.isDouble())
        return numberText(v.toDouble());
    throw UsageError(name + " takes a text, a number or true/false");
}

// The words of `solve` that a JSON line stands for.
std::vector<std::string> jsonWords(const std::string& line) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    if (error.error != QJsonParseError::NoError)
        throw UsageError("not a JSON object: " + error.errorString().toStdString() + " at character " +
                         std::to_string(error.offset));
    if (!doc.isObject())
        throw UsageError("a JSON line holds one object: {\"circuit\": 1, \"values\": {...}}");
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it)
        if (it.key() != "circuit" && it.key() != "values" && it.key() != "options")
            throw UsageError("unknown key " + quoted(it.key().toStdString()) +
                             " (a line has \"circuit\", \"values\" and \"options\")");
    const QJsonValue circuit = o.value("circuit");
    std::vector<std::string> words;
    if (circuit.isDouble() && circuit.toDouble() == static_cast<int>(circuit.toDouble()))
        words.push_back("C" + std::to_string(static_cast<int>(circuit.toDouble())));
    else if (circuit.isString())
        words.push_back(circuit.toString().toStdString());
    else
        throw UsageError("\"circuit\" is a number 1 ... 42 or a code \"C1\" ... \"C42\"");
    for (const char* part : {"values", "options"}) {
        const QJsonValue v = o.value(part);
        if (v.isUndefined())
            continue;
        if (!v.isObject())
            throw UsageError(std::string("\"") + part + "\" is an object of names and values");
        const QJsonObject items = v.toObject();
        for (auto it = items.begin(); it != items.end(); ++it) {
            const std::string name = it.key().toStdString();
            if (part == std::string("values")) {
                words.push_back(name + "=" + valueText(it.value(), name));
            } else if (it.value().isBool()) { // a flag: --ignore-miller, --trace
                if (it.value().toBool())
                    words.push_back("--" + name);
            } else {
                words.push_back("--" + name);
                words.push_back(valueText(it.value(), name));
            }
        }
    }
    return words;
}

std::string errorLine(long number, const std::string& message) {
    Json j = Json::object();
    j["line"] = number;
    j["error"] = message;
    return jsonText(std::move(j)) + "\n";
}

// The output line of one input line; a line that cannot be solved throws (UsageError when it is refused).
std::string solveLine(const std::string& line, const ModelLister& models) {
    const bool json = line.front() == '{' || line.front() == '[';
    const std::vector<std::string> words = json ? jsonWords(line) : splitWords(line);
    SolveWords solve = readSolveWords(words, models);
    if (solve.pngDir)
        throw UsageError("a batch writes no pictures: --png-dir is for solve");
    if (solve.save)
        throw UsageError("a batch stores no sheet: --save is for solve");
    const SolveOutcome outcome = solveCommand(solve.request);
    if (!outcome.solved) {
        std::string text;
        for (const std::string& m : outcome.messages)
            text += (text.empty() ? "" : "\n") + m;
        throw UsageError(text);
    }
    return solveJson(solve.request, outcome.result);
}

std::string trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

} // namespace

int runBatch(const std::vector<std::string>& words) {
    if (!words.empty())
        throw UsageError("batch takes no argument: it reads one solve per line from standard input");
    // The model lists are read once for the whole batch.
    std::map<int, std::vector<std::string>> lists;
    const ModelLister database = databaseModelLister();
    const ModelLister models = [&](int kind) {
        auto it = lists.find(kind);
        if (it == lists.end())
            it = lists.emplace(kind, database(kind)).first;
        return it->second;
    };
    int status = kOk;
    std::string raw;
    for (long number = 1; std::getline(std::cin, raw); ++number) {
        const std::string line = trimmed(raw);
        if (line.empty() || line.front() == '#')
            continue;
        std::string out;
        try {
            out = solveLine(line, models);
        } catch (const UsageError& e) {
            out = errorLine(number, e.what());
            if (status == kOk)
                status = kUsage;
        } catch (const std::exception& e) {
            out = errorLine(number, e.what());
            status = kInternal;
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
    }
    return status;
}

} // namespace cli
