// Small text helpers of the test suites: searching a text and reading a whole file.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1))
        ++n;
    return n;
}

// The bytes of a file, empty when it cannot be read.
inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
