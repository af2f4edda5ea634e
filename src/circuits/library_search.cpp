// Matching the search text against the catalogue's titles and numbers.
#include "circuits/library_search.h"

#include "circuits/catalogue.h"

namespace {
std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
} // namespace

std::string normalizedSearchText(std::string_view typed) {
    std::size_t begin = 0, end = typed.size();
    while (begin < end && blank(typed[begin]))
        ++begin;
    while (end > begin && blank(typed[end - 1]))
        --end;
    return lowerAscii(typed.substr(begin, end - begin));
}

std::vector<int> circuitsMatching(std::string_view typed) {
    const std::string text = normalizedSearchText(typed);
    std::vector<int> found;
    if (text.empty())
        return found;
    for (int n = 1; n <= kCircuitCount; ++n)
        if (lowerAscii(Titres()[static_cast<std::size_t>(n)]).find(text) != std::string::npos ||
            text == std::to_string(n))
            found.push_back(n);
    return found;
}
