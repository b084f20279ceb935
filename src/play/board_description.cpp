#include "play/board_description.h"

namespace jumblix {

std::string describe_board(const PuzzleState& s, bool rotation) {
  const int pieces = s.W * s.H - 1;
  int home = 0, turned = 0;
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x) {
      if (Cell{x, y} == s.gap()) continue;
      if (s.board(x, y) == s.home(x, y)) ++home;
      if (s.turn(x, y) != kUpright) ++turned;
    }
  std::string text = std::to_string(s.W) + " by " + std::to_string(s.H) + " puzzle, " +
                     std::to_string(home) + " of " + std::to_string(pieces) + " pieces home";
  if (rotation) text += ", " + std::to_string(turned) + (turned == 1 ? " piece" : " pieces") + " turned";
  return text + ", gap at column " + std::to_string(s.gap_x) + " row " + std::to_string(s.gap_y);
}

}  // namespace jumblix
