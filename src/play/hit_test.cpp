#include "play/move_rules.h"

namespace jumblix {

std::optional<Cell> cell_at_point(const PuzzleState& s, double X, double Y) {
  // Row order; each cell reaches one cell size either side of its piece origin, strictly,
  // so the first match wins and grid lines belong to the cell left of / above them.
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x) {
      const double ox = 1 + (x - 1) * s.piece_w, oy = 1 + (y - 1) * s.piece_h;
      if (ox - s.piece_w < X && X < ox + s.piece_w && oy - s.piece_h < Y && Y < oy + s.piece_h)
        return Cell{x, y};
    }
  return std::nullopt;
}

}  // namespace jumblix
