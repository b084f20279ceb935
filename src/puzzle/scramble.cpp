#include "puzzle/scramble.h"

namespace jumblix {

void build_solved_grid(PuzzleState& s, int width, int height, bool rotatable, Random& random) {
  s.reset_solved(width, height);
  for (int y = 1; y <= height; ++y)
    for (int x = 1; x <= width; ++x) {
      if (x == 1 && y == 1) continue;  // the gap takes the code of the first piece moved in
      const int drawn = random.pick(4);
      s.turn(x, y) = rotatable ? drawn : kUpright;
    }
}

void scramble(PuzzleState& s, Random& random) {
  s.solution_moves.clear();
  s.user_moves.clear();
  s.gap_x = s.gap_y = 1;
  s.move_dir = 0;
  const int pieces = s.W * s.H - 1;
  int displaced = 0;
  do {
    s.prev_move_dir = s.move_dir;
    int d;
    do {
      d = random.pick(4);
    } while ((s.prev_move_dir != 0 && d == inverse(s.prev_move_dir)) || !s.on_board(s.neighbour(d)));
    const Cell n = s.neighbour(d);
    if (s.board(n) == s.home(n)) ++displaced;
    s.slide(d);
    const Cell g{n.x - direction_offset(d).x, n.y - direction_offset(d).y};
    if (s.board(g) == s.home(g)) --displaced;
    s.solution_moves.push(inverse(d));
  } while (!(s.gap_x == 1 && s.gap_y == 1 && displaced >= pieces));
  s.in_place = 0;
}

}  // namespace jumblix
