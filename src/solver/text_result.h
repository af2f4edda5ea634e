// TTextResult: the accumulator of one report text (DC or AC) in the report markup.
#pragma once

#include <string>
#include <utility>

class TTextResult {
public:
    explicit TTextResult(std::string initial = {}) : texte(std::move(initial)) {}

    void Add(const std::string& text) { texte += text; }
    void Clear() { texte.clear(); }

    std::string texte;
};
