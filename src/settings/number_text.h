#pragma once
#include <string>

namespace jumblix {

// The number at the start of a text box's text: leading blanks skipped, an optional sign,
// digits with at most one decimal point; reading stops at the first other character.
// A text with no number gives 0.
double leading_number(const std::string& text);

// Shortest decimal text of a number: no leading blank, no zero before the point of a
// fraction (1 -> "1", 0.5 -> ".5", 100 -> "100", -0.25 -> "-.25").
std::string shortest_decimal(double value);

}  // namespace jumblix
