// Numbers of the tube-models window's boxes and the checks of a model before it is stored.
#include "model/model_entry.h"

#include "util/number_locale.h"

#include "util/format.h"
#include "util/utf8.h"

#include <charconv>
#include <cmath>

namespace {

std::string trimmed(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool holdsControlCharacter(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char c = decodeUtf8(text, i);
        if (c.length == 0)
            return true; // not UTF-8 at all: no list could show it either
        if (c.code < 0x20 || c.code == 0x7F || (c.code >= 0x80 && c.code <= 0x9F))
            return true;
        i += c.length;
    }
    return false;
}

// One numeric box: its caption for the messages, its text, where its value goes, and whether the
// equations need it above zero.
struct NumberBox {
    const char* caption;
    const std::string* text;
    double* value;
    bool positive;
};

} // namespace

std::string formatModelNumber(double value, char decimalSeparator) {
    std::string text = strFormat("%.15G", value);
    // "1E-05" -> "1E-5", "1E+20" -> "1E20": the exponent without sign padding.
    const std::size_t e = text.find('E');
    if (e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = !exponent.empty() && exponent[0] == '-';
        if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+'))
            exponent.erase(0, 1);
        while (exponent.size() > 1 && exponent[0] == '0')
            exponent.erase(0, 1);
        text = text.substr(0, e + 1) + (negative ? "-" : "") + exponent;
    }
    return withDecimalSeparator(text, decimalSeparator);
}

void normaliseModelEntry(ModelEntryTexts& t) {
    if (t.t35 == 3)
        t.kg2 = t.pemax = t.vemax = "0";
    for (std::string* s : {&t.name, &t.comment, &t.kp, &t.mu, &t.kvb, &t.ex, &t.kg1, &t.kg2, &t.pmax, &t.imax,
                           &t.vmax, &t.pemax, &t.vemax, &t.cgk, &t.cga, &t.cak})
        *s = trimmed(*s);
}

ModelEntryCheck readModelEntry(const ModelEntryTexts& t, char decimalSeparator) {
    TubeParams p;
    const bool pentode = t.t35 == 5;
    const NumberBox boxes[] = {
        {"Kp", &t.kp, &p.kp, true},
        {"\u00b5", &t.mu, &p.mu, true},
        {"Kvb", &t.kvb, &p.kvb, false},
        {"X", &t.ex, &p.ex, false},
        {"Kg1", &t.kg1, &p.kg1, true},
        {"Pa max (W)", &t.pmax, &p.pmax, false},
        {"Ia max (A)", &t.imax, &p.imax, true},
        {"Va max (V)", &t.vmax, &p.vmax, false},
        {"Kg2", &t.kg2, &p.kg2, pentode},
        {"Pg2 max (W)", &t.pemax, &p.pemax, false},
        {"Vg2 max (V)", &t.vemax, &p.vemax, false},
        {"Cgk", &t.cgk, &p.cgk, false},
        {"Cga", &t.cga, &p.cga, false},
        {"Cak", &t.cak, &p.cak, false},
    };

    ModelEntryCheck check;
    bool complete = (t.t35 == 3 || pentode) && !t.name.empty();
    for (const NumberBox& box : boxes)
        complete = complete && !box.text->empty();
    if (!complete) {
        check.message = kIncompleteModelMessage;
        return check;
    }

    std::string problems;
    const auto problem = [&](const std::string& text) { problems += (problems.empty() ? "" : "\n") + text; };
    if (holdsControlCharacter(t.name))
        problem("The model name must not hold control characters");
    for (const NumberBox& box : boxes) {
        const auto value = readTypedNumber(*box.text, decimalSeparator);
        if (!value) {
            problem(strFormat("%s: \"%s\" is not a number", box.caption, box.text->c_str()));
            continue;
        }
        *box.value = *value == 0 ? 0.0 : *value; // no -0 in the table
        if (*value < 0)
            problem(strFormat("%s must not be negative", box.caption));
        else if (box.positive && *value == 0)
            problem(strFormat(box.value == &p.kg2 ? "%s must be greater than 0 for a pentode"
                                                  : "%s must be greater than 0",
                              box.caption));
    }
    if (!problems.empty()) {
        check.message = problems;
        return check;
    }
    p.name = t.name;
    p.comment = commentForStorage(t.comment);
    p.t35 = t.t35;
    check.params = p;
    return check;
}

std::string commentForDisplay(const std::string& stored) {
    std::string shown;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n')
            continue;
        shown += stored[i];
    }
    return shown;
}

std::string commentForStorage(const std::string& shown) {
    std::string stored;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\n' && (i == 0 || shown[i - 1] != '\r'))
            stored += '\r';
        stored += shown[i];
    }
    return stored;
}
