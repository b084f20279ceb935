#include "puzzle/puzzle_state.h"

#include <cstdlib>

namespace jumblix {

bool PuzzleState::next_to_gap(Cell c) const {
  return on_board(c) && std::abs(c.x - gap_x) + std::abs(c.y - gap_y) == 1;
}

void PuzzleState::reset_solved(int width, int height) {
  W = width;
  H = height;
  for (int y = 1; y <= H; ++y)
    for (int x = 1; x <= W; ++x) home(x, y) = board(x, y) = (y - 1) * W + x;
  board(1, 1) = 0;
  gap_x = gap_y = 1;
  in_place = W * H - 1;
}

bool PuzzleState::slide(int d) {
  const Cell n = neighbour(d);
  if (d < 1 || d > 4 || !on_board(n)) return false;
  const Cell g = gap();
  if (board(n) == home(n)) --in_place;
  board(g) = board(n);
  turn(g) = turn(n);
  if (board(g) == home(g)) ++in_place;
  gap_x = n.x;
  gap_y = n.y;
  board(n) = 0;  // turn(n) keeps the orientation of the piece that just left
  move_dir = d;
  return true;
}

Cell PuzzleState::home_cell(int piece) const {
  if (piece < 2 || piece > W * H) return {0, 0};
  return {(piece - 1) % W + 1, (piece - 1) / W + 1};
}

bool PuzzleState::finished() const {
  if (in_place < W * H - 1) return false;
  for (int y = 1; y <= H; ++y)
    for (int x = 1; x <= W; ++x)
      if (turn(x, y) != kUpright) return false;
  return true;
}

int PuzzleState::count_in_place() const {
  int n = 0;
  for (int y = 1; y <= H; ++y)
    for (int x = 1; x <= W; ++x)
      if (Cell{x, y} != gap() && board(x, y) == home(x, y)) ++n;
  return n;
}

}  // namespace jumblix
