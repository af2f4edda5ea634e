// UTF-8 checks and repairs for text that leaves the program: JSON output, terminal messages and
// names read from a database file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The code point of the well-formed UTF-8 sequence at text[at] and its length in bytes, or a length
// of 0 when the bytes there are not one (overlong forms, surrogates and values past U+10FFFF included).
struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 0;
};
Utf8Char decodeUtf8(std::string_view text, std::size_t at);

bool isValidUtf8(std::string_view text);

// The text with each byte that does not start a well-formed sequence replaced by U+FFFD.
std::string repairUtf8(std::string_view text);

// The text as it may be printed on a terminal: control characters (C0, DEL and C1) and invalid bytes
// are written as escapes ("\n", "\t", "\x1b", "\u0085"); a backslash stays as it is. Line feeds are
// kept as they are when keepLineFeeds is set (for multi-line messages).
std::string escapeControls(std::string_view text, bool keepLineFeeds = false);
