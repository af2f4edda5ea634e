// Command-line words of valvenix-cli: options with values, flags and positional words.
#include "cli.h"
#include "solve_output.h"

#include "util/utf8.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace cli {

Args::Args(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions,
           const std::vector<std::string>& flags) {
    auto listed = [](const std::vector<std::string>& list, const std::string& w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.rfind("--", 0) == 0) {
            if (listed(flags, w)) {
                flags_.push_back(w);
            } else if (listed(valueOptions, w)) {
                if (i + 1 >= words.size())
                    throw UsageError("option " + w + " needs a value");
                values_[w] = words[++i];
            } else {
                throw UsageError("unknown option " + quoted(w));
            }
        } else {
            positional_.push_back(w);
        }
    }
}

std::optional<std::string> Args::value(const std::string& option) const {
    auto it = values_.find(option);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

bool Args::flag(const std::string& option) const {
    return std::find(flags_.begin(), flags_.end(), option) != flags_.end();
}

double Args::number(const std::string& option) const {
    auto v = optionalNumber(option);
    if (!v)
        throw UsageError("missing option " + option);
    return *v;
}

std::optional<double> Args::optionalNumber(const std::string& option) const {
    auto v = value(option);
    if (!v)
        return std::nullopt;
    return parseNumber(*v, option);
}

std::optional<int> Args::optionalInt(const std::string& option) const {
    auto v = optionalNumber(option);
    if (!v)
        return std::nullopt;
    if (*v != std::floor(*v) || std::fabs(*v) > 1e6)
        throw UsageError(option + " takes a whole number, not " + quoted(*value(option)));
    return static_cast<int>(*v);
}

double parseNumber(const std::string& text, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v))
        throw UsageError(what + ": not a number: " + quoted(text));
    return v;
}

std::string quoted(const std::string& text) {
    return "\"" + escapeControls(text) + "\"";
}

void checkPictureFolder(const std::string& dir) {
    if (dir.empty())
        throw UsageError("--png-dir needs a folder, not an empty text");
    const QFileInfo info(QString::fromStdString(dir));
    if (!info.exists())
        throw UsageError("the folder " + quoted(dir) + " does not exist");
    if (!info.isDir())
        throw UsageError(quoted(dir) + " is a file, not a folder");
}

} // namespace cli
