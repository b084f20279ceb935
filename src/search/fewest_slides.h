#pragma once
// The fewest slides that solve a board, as the player's score to beat.
//
// Boards of up to 16 cells get the exact figure: an IDA* search over additive pattern tables
// (see pattern_heuristic.h), built the first time a board shape needs them and kept in the
// user's cache folder. Larger boards get the shortest solution found within a short budget,
// which is only an upper bound: the fewest slides are at most that many.
//
// The search runs on the caller's thread and may take a while (seconds for the first 4 x 4
// board while its tables are built); the game runs it through FewestSlidesWorker.
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace jumblix {

struct FewestSlidesLimits {
  const std::atomic<bool>* cancel = nullptr;  // another thread sets it to stop the search
  // Boards of more than 16 cells: how long to look for a short solution.
  std::chrono::milliseconds bound_budget{1000};
  // Boards of up to 16 cells: how long the exact search may run before the shortest solution
  // known is given as a bound instead; none: until the exact figure is found.
  std::optional<std::chrono::milliseconds> exact_budget;
};

struct FewestSlides {
  enum class Kind { kExact, kBound, kCancelled, kNoBoard };
  Kind kind = Kind::kCancelled;
  int slides = 0;            // kExact: the fewest slides; kBound: the fewest are at most this
  std::vector<int> solution; // slides of that length that solve the board: the gap's direction
                             // codes (1 left, 2 right, 3 up, 4 down)
  std::string problem;       // kNoBoard: why the cells make no solvable board
};

// Whether boards of this size get an exact figure.
constexpr bool fewest_slides_exact(int w, int h) { return w * h <= 16; }

// W x H cells in row order, numbered as in the game: 0 the gap, the piece whose home is cell
// (x, y) counted from 1 numbered (y - 1) * W + x. `known_solution` may hold slides known to
// solve the board (such as the scramble's way back): its loops cut out, it is a bound to beat.
FewestSlides find_fewest_slides(int w, int h, const std::vector<int>& cells, const FewestSlidesLimits& limits = {},
                                const std::vector<int>& known_solution = {});

// Loads or builds the tables a board of this size needs, so that a later search starts at
// once. False when `abort` stopped it (or the size needs none).
bool prepare_fewest_slides_tables(int w, int h, const std::atomic<bool>* abort = nullptr);

}  // namespace jumblix
