// UTF-8 decoding by the rules of RFC 3629: shortest form only, no surrogates, at most U+10FFFF.
#include "util/utf8.h"

#include <cstdio>

Utf8Char decodeUtf8(std::string_view text, std::size_t at) {
    if (at >= text.size())
        return {};
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length;
    char32_t code;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return {}; // a continuation byte or 0xF8 ... 0xFF
    }
    if (text.size() - at < length)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char b = byte(at + i);
        if ((b & 0xC0) != 0x80)
            return {};
        code = (code << 6) | (b & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {};
    return {code, length};
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char c = decodeUtf8(text, i);
        if (c.length == 0)
            return false;
        i += c.length;
    }
    return true;
}

std::string repairUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char c = decodeUtf8(text, i);
        if (c.length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, c.length));
            i += c.length;
        }
    }
    return out;
}

std::string escapeControls(std::string_view text, bool keepLineFeeds) {
    std::string out;
    out.reserve(text.size());
    char buf[16];
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char c = decodeUtf8(text, i);
        if (c.length == 0) {
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(text[i]));
            out += buf;
            ++i;
            continue;
        }
        i += c.length;
        if (c.code == '\n') {
            out += keepLineFeeds ? "\n" : "\\n";
        } else if (c.code == '\t') {
            out += "\\t";
        } else if (c.code == '\r') {
            out += "\\r";
        } else if (c.code < 0x20 || c.code == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(c.code));
            out += buf;
        } else if (c.code >= 0x80 && c.code <= 0x9F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c.code));
            out += buf;
        } else {
            out.append(text.substr(i - c.length, c.length));
        }
    }
    return out;
}
