#pragma once
// Making a long solution shorter piece by piece: each short stretch of it (a window of a few
// dozen slides) is replaced by the shortest way between the two boards at its ends, when that
// is shorter. The search for it is IDA* over the pieces' distances to where the stretch
// leaves them, so it stays near the few pieces the stretch moves.
#include <vector>

#include "search/exact_search.h"
#include "search/slide_board.h"

namespace jumblix::fewest {

// The slides, shortened window by window until the solution stops getting shorter or `stop`
// says so. They must solve the board, and so does the result.
std::vector<int> shorten_by_windows(const SlideBoard& board, std::vector<int> slides, const SearchStop& stop);

}  // namespace jumblix::fewest
