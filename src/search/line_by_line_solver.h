#pragma once
// A short (not shortest) solution for a board of any size, built the way people solve large
// boards: the bottom row or the right column of the unsolved part is put in place piece by
// piece, which shrinks that part, until at most 9 cells remain; those are solved exactly.
// Each piece takes the fewest slides that bring it home without disturbing the pieces already
// placed (a breadth-first search over the piece's and the gap's cells).
#include <optional>
#include <vector>

#include "search/exact_search.h"
#include "search/slide_board.h"

namespace jumblix::fewest {

// Which end of each line is placed first: the end nearer the gap's home, the far end, or for
// each line whichever of the two (and on a square part, row or column) takes fewer slides.
enum class LineOrder { kNearEndFirst, kFarEndFirst, kCheapest };

// The slides (the gap's direction codes), or nothing when `stop` came first.
std::optional<std::vector<int>> solve_line_by_line(const SlideBoard& board, const SearchStop& stop,
                                                   LineOrder order = LineOrder::kCheapest);

}  // namespace jumblix::fewest
