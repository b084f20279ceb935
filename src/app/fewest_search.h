#pragma once
// The fewest slides that solve a puzzle as it was dealt, worked out away from the window's
// thread. The game starts a search when it makes a puzzle and asks after the figure in
// every pass of its main loop; asking never waits, and a new puzzle drops the old search.
#include <memory>
#include <optional>

#include "play/scorecard.h"
#include "puzzle/fewest_slides_input.h"

namespace jumblix {

// A board as dealt (fewest_slides_input of the new puzzle): its cells in row order and the
// computer's way back, a bound to beat.
using DealtBoard = FewestSlidesInput;

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
