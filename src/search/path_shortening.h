#pragma once
// Making a known solution shorter without searching: every stretch of slides that comes back
// to a board already passed is cut out.
#include <vector>

#include "search/slide_board.h"

namespace jumblix::fewest {

// The slides without their loops. They must solve the board; the result solves it too (it is
// checked, and the slides come back unchanged in the unlikely case it does not).
std::vector<int> cut_loops(const SlideBoard& board, const std::vector<int>& slides);

}  // namespace jumblix::fewest
