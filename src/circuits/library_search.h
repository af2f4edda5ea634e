// The library's search: which circuits a text typed in the search box finds. The text is plain text
// (no pattern characters), matched against the titles and the circuit numbers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The search text as the box's text is taken: leading and trailing blanks removed, ASCII letters
// lower-cased.
std::string normalizedSearchText(std::string_view typed);

// The circuits, in number order, whose lower-cased title contains the normalized text, or whose number
// written in decimal equals it. Empty for an empty text.
std::vector<int> circuitsMatching(std::string_view typed);
