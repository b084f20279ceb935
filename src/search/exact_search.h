#pragma once
// The exact fewest slides of a board of at most 16 cells: iterative-deepening A* (IDA*) over
// the pattern tables, which never overestimate, so the first solution found is a shortest one.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "search/pattern_heuristic.h"
#include "search/slide_board.h"

namespace jumblix::fewest {

// When a search gives up: a cancel flag set by another thread, or a point in time.
struct SearchStop {
  const std::atomic<bool>* cancel = nullptr;
  std::optional<std::chrono::steady_clock::time_point> deadline;
  bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
  bool due() const { return cancelled() || (deadline && std::chrono::steady_clock::now() >= *deadline); }
};

struct ExactOutcome {
  bool solved = false;      // false: stopped before the end
  std::vector<int> slides;  // a shortest solution, as the gap's direction codes
  int at_least = 0;         // the fewest slides are at least this many
  std::uint64_t nodes = 0;  // boards visited
};

// The board must have the heuristic's shape.
ExactOutcome solve_exactly(const SlideBoard& board, const PatternHeuristic& heuristic, const SearchStop& stop);

struct WithinOutcome {
  bool stopped = true;                    // stopped before the end: nothing is known
  std::optional<std::vector<int>> slides;  // a solution of at most the bound's length, if any
};

// One round of the search with a fixed bound: whether some solution takes at most `bound`
// slides, and one when it does. When the board's distance is known to be bound or bound + 2,
// the solution found is a shortest one.
WithinOutcome solve_within(const SlideBoard& board, const PatternHeuristic& heuristic, const SearchStop& stop,
                           int bound);

}  // namespace jumblix::fewest
