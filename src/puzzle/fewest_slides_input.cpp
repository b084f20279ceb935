#include "puzzle/fewest_slides_input.h"

namespace jumblix {

FewestSlidesInput fewest_slides_input(const PuzzleState& s) {
  FewestSlidesInput in{s.W, s.H, {}, {}};
  in.cells.reserve(static_cast<std::size_t>(s.W * s.H));
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x) in.cells.push_back(s.board(x, y));
  in.way_back.reserve(static_cast<std::size_t>(s.user_moves_len() + s.solution_len()));
  for (int k = s.user_moves_len(); k >= 1; --k) in.way_back.push_back(s.user_moves.at(k));
  for (int k = s.solution_len(); k >= 1; --k) in.way_back.push_back(s.solution_moves.at(k));
  return in;
}

}  // namespace jumblix
