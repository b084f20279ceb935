#pragma once
// The fewest slides that solve a puzzle as it was dealt, worked out away from the window's
// thread. The game starts a search when it makes a puzzle and asks after the figure in
// every pass of its main loop; asking never waits, and a new puzzle drops the old search.
#include <memory>
#include <optional>
#include <vector>

#include "play/scorecard.h"

namespace jumblix {

// A board as dealt: width, height and the cells in row order, 0 for the gap and each piece
// numbered by its home cell (x, y) as (y - 1) * width + x; and the scramble played back,
// which solves it (direction codes in the order they are played), a bound to start from.
struct DealtBoard {
  int width = 0, height = 0;
  std::vector<int> cells;
  std::vector<int> way_back;
};

class FewestSearch {
 public:
  virtual ~FewestSearch() = default;
  // Starts working out `board`; a search still running is dropped.
  virtual void start(const DealtBoard& board) = 0;
  // Drops the search running, if any.
  virtual void cancel() = 0;
  // Whether a figure may still come for the board last started.
  virtual bool pending() const = 0;
  // The figure once it is ready (the search is then no longer pending); never waits.
  virtual std::optional<FewestFigure> poll() = 0;
};

// The search the game uses.
std::unique_ptr<FewestSearch> make_fewest_search();

}  // namespace jumblix
