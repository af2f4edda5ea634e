// The command line's JSON: documents are built as nlohmann::ordered_json (keys keep the order they are
// set in) and turned into text by jsonText, the one place that decides how numbers and strings look.
#pragma once

#include "util/utf8.h"

#include <nlohmann/json.hpp>

#include <string>

namespace cli {

using Json = nlohmann::ordered_json;

namespace json_detail {
// Replaces, in place, each byte of a string or key that does not start a well-formed UTF-8 sequence.
inline void repairStrings(Json& j) {
    if (j.is_string()) {
        auto& s = j.get_ref<std::string&>();
        if (!isValidUtf8(s))
            s = repairUtf8(s);
        return;
    }
    if (j.is_array()) {
        for (Json& item : j)
            repairStrings(item);
        return;
    }
    if (!j.is_object())
        return;
    bool keysValid = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
        repairStrings(it.value());
        keysValid = keysValid && isValidUtf8(it.key());
    }
    if (keysValid)
        return;
    Json repaired = Json::object();
    for (auto it = j.begin(); it != j.end(); ++it)
        repaired[repairUtf8(it.key())] = std::move(it.value());
    j = std::move(repaired);
}
} // namespace json_detail

// The document as one line of JSON text, without a line feed. Numbers are written in a form that
// reads back to the same double, with a '.' whatever the C locale says; NaN and infinities as null.
// Every string and key comes out as valid UTF-8: a byte that does not start a well-formed sequence
// is written as U+FFFD (as repairUtf8 does).
inline std::string jsonText(Json document) {
    json_detail::repairStrings(document);
    // No string is invalid any more; "replace" only keeps the writer from ever throwing.
    return document.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace cli
