// Compact text form of parsed markup runs for table-driven markup tests.
#pragma once

#include "markup/markup.h"

#include <cstdio>
#include <string>
#include <vector>

// "text{attrs}" per run joined by "|"; attrs are "b", "i", "u", "x" (strike-out), "s=<size>",
// "c=RRGGBB" and "f=<face>" separated by commas; an empty pair of braces is the default look.
inline std::string describeRuns(const std::vector<TextRun>& runs) {
    std::string out;
    for (const TextRun& run : runs) {
        if (!out.empty())
            out += '|';
        const TextAttributes& a = run.attributes;
        std::vector<std::string> parts;
        if (a.bold())
            parts.push_back("b");
        if (a.italic())
            parts.push_back("i");
        if (a.style & fsUnderline)
            parts.push_back("u");
        if (a.style & fsStrikeOut)
            parts.push_back("x");
        if (a.size != 0)
            parts.push_back("s=" + std::to_string(a.size));
        if (a.color) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "c=%06X", static_cast<unsigned>(*a.color));
            parts.push_back(buf);
        }
        if (!a.face.empty())
            parts.push_back("f=" + a.face);
        out += run.text + "{";
        for (std::size_t i = 0; i < parts.size(); ++i)
            out += (i ? "," : "") + parts[i];
        out += "}";
    }
    return out;
}
