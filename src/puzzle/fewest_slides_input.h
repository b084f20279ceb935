#pragma once
// What the fewest-slides search takes from the puzzle in play: its cells in row order, in the
// game's numbering, and the way back the game already knows, which the search has to beat:
// the player's own slides undone (last first), then the scramble's steps back.
#include <vector>

#include "puzzle/puzzle_state.h"

namespace jumblix {

struct FewestSlidesInput {
  int w = 0, h = 0;
  std::vector<int> cells;
  std::vector<int> way_back;
};

FewestSlidesInput fewest_slides_input(const PuzzleState& s);

}  // namespace jumblix
