// TVoltageStacks: the DC voltages along one series branch, from the supply side down to ground,
// each with the colour of its bar.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TItem {
    std::string nom;     // element name as shown: "Ra", "T1", "Rk"
    double valeur = 0;   // DC voltage across the element, V
    std::uint32_t color; // 0xAARRGGBB
};

using TItems = std::vector<TItem>;

struct TVoltageStacks {
    TItems Items;
    void Add(const std::string& nom, double valeur, std::uint32_t couleur) {
        Items.push_back({nom, valeur, couleur});
    }
};

constexpr std::uint32_t kStackRed = 0xFFFF0000;
constexpr std::uint32_t kStackYellow = 0xFFFFFF00;
constexpr std::uint32_t kStackGreen = 0xFF008000;
// Further bars of a branch, and the grid-bias supply bars.
constexpr std::uint32_t kStackNavy = 0xFF000080;
constexpr std::uint32_t kStackOlive = 0xFF808000;
constexpr std::uint32_t kStackPurple = 0xFF800080;
constexpr std::uint32_t kStackGrey = 0xFFC0C0C0;
