// A small streaming JSON writer for the command line's --json output. Its output is always valid
// UTF-8: a byte that does not belong to a well-formed sequence is written as U+FFFD.
#pragma once

#include "util/utf8.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

class JsonWriter {
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    JsonWriter& key(const std::string& k) {
        separate();
        out_ += quote(k) + ':';
        afterKey_ = true;
        return *this;
    }
    void value(const std::string& s) { scalar(quote(s)); }
    void value(const char* s) { scalar(quote(s)); }
    void value(bool b) { scalar(b ? "true" : "false"); }
    void value(int i) { scalar(std::to_string(i)); }
    void value(double d) {
        if (!std::isfinite(d)) {
            scalar("null");
            return;
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.10g", d);
        scalar(buf);
    }
    void null() { scalar("null"); }
    template <typename T> void array(const std::vector<T>& items) {
        beginArray();
        for (const auto& i : items)
            value(i);
        endArray();
    }

    const std::string& str() const { return out_; }

    static std::string quote(const std::string& text) {
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
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    q += buf;
                } else {
                    q += static_cast<char>(c);
                }
            }
        }
        return q + "\"";
    }

private:
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back())
                out_ += ',';
            first_.back() = false;
        }
    }
    void scalar(const std::string& text) {
        separate();
        out_ += text;
    }
    void open(char c) {
        separate();
        out_ += c;
        first_.push_back(true);
    }
    void close(char c) {
        out_ += c;
        first_.pop_back();
    }

    std::string out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};
