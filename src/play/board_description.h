#pragma once
// The board in words, for a player who cannot see it: its size, how many pieces are home
// (and upright, with rotation on) and where the gap is.
#include <string>

#include "puzzle/puzzle_state.h"

namespace jumblix {

std::string describe_board(const PuzzleState& state, bool rotation);

}  // namespace jumblix
