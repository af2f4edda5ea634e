// A small streaming JSON writer for the command line's JSON output. What it writes is valid JSON by
// construction: a key only inside an object and before each of its values, values only where a value
// may stand, numbers in the shortest form that reads back to the same double (std::to_chars, a '.'
// whatever the C locale says), NaN and infinities as null, and strings always valid UTF-8 (a byte that
// does not belong to a well-formed sequence is written as U+FFFD). Misuse throws std::logic_error.
#pragma once

#include "util/utf8.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

class JsonWriter {
public:
    JsonWriter& beginObject() {
        open('{', true);
        return *this;
    }
    void endObject() { close('}', true); }
    JsonWriter& beginArray() {
        open('[', false);
        return *this;
    }
    void endArray() { close(']', false); }

    JsonWriter& key(const std::string& k) {
        if (levels_.empty() || !levels_.back().object || afterKey_)
            throw std::logic_error("JSON: a key outside an object or after a key");
        comma();
        out_ += quote(k);
        out_ += ':';
        afterKey_ = true;
        return *this;
    }
    void value(const std::string& s) { scalar(quote(s)); }
    void value(const char* s) { scalar(quote(s)); }
    void value(bool b) { scalar(b ? "true" : "false"); }
    void value(int i) { scalar(std::to_string(i)); }
    void value(double d) { scalar(number(d)); }
    void null() { scalar("null"); }
    template <typename T> void array(const std::vector<T>& items) {
        beginArray();
        for (const auto& i : items)
            value(i);
        endArray();
    }

    // The text written so far; whole once every object and array is closed (complete()).
    const std::string& str() const { return out_; }
    bool complete() const { return levels_.empty() && !out_.empty(); }

    // The shortest text that reads back as d; "null" for NaN and infinities.
    static std::string number(double d) {
        if (!std::isfinite(d))
            return "null";
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, d);
        if (res.ec != std::errc())
            throw std::logic_error("JSON: a number that does not fit");
        return std::string(buf, res.ptr);
    }

    static std::string quote(const std::string& text) {
        static const char* const hex = "0123456789abcdef";
        const std::string s = repairUtf8(text);
        std::string q = "\"";
        for (unsigned char c : s) {
            switch (c) {
            case '"':
                q += "\\\"";
                break;
            case '\\':
                q += "\\\\";
                break;
            case '\n':
                q += "\\n";
                break;
            case '\r':
                q += "\\r";
                break;
            case '\t':
                q += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7f) {
                    q += "\\u00";
                    q += hex[c >> 4];
                    q += hex[c & 15];
                } else {
                    q += static_cast<char>(c);
                }
            }
        }
        return q + "\"";
    }

private:
    struct Level {
        bool object = false;
        bool empty = true;
    };

    void comma() {
        if (!levels_.empty()) {
            if (!levels_.back().empty)
                out_ += ',';
            levels_.back().empty = false;
        }
    }
    // Where a value stands: after a key in an object, anywhere in an array, or as the whole text.
    void place() {
        if (levels_.empty()) {
            if (!out_.empty())
                throw std::logic_error("JSON: a second value after the whole text");
            return;
        }
        if (levels_.back().object) {
            if (!afterKey_)
                throw std::logic_error("JSON: a value in an object without its key");
            afterKey_ = false;
            return;
        }
        comma();
    }
    void scalar(const std::string& text) {
        place();
        out_ += text;
    }
    void open(char c, bool object) {
        place();
        out_ += c;
        levels_.push_back({object, true});
    }
    void close(char c, bool object) {
        if (levels_.empty() || levels_.back().object != object || afterKey_)
            throw std::logic_error("JSON: a close that matches nothing open, or a key without its value");
        out_ += c;
        levels_.pop_back();
    }

    std::string out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};
