#include "play/move_rules.h"

namespace jumblix {

HistoryEffect record_move(PuzzleState& s, int d, bool by_keyboard, bool rotatable) {
  const bool may_cancel = by_keyboard ? rotatable : !rotatable;
  if (may_cancel) return record_cancelling_move(s, d);
  s.user_moves.push(inverse(d));
  return HistoryEffect::pushed_user;
}

HistoryEffect record_cancelling_move(PuzzleState& s, int d) {
  if (s.user_moves.empty() && s.solution_moves.top() == d) {
    s.solution_moves.pop();
    return HistoryEffect::popped_solution;
  }
  if (!s.user_moves.empty() && s.user_moves.top() == d) {
    s.user_moves.pop();
    return HistoryEffect::popped_user;
  }
  s.user_moves.push(inverse(d));
  return HistoryEffect::pushed_user;
}

int slide_direction_for(const PuzzleState& s, Cell c) {
  if (Cell{c.x - 1, c.y} == s.gap()) return kGapRight;  // piece travels left
  if (Cell{c.x + 1, c.y} == s.gap()) return kGapLeft;   // travels right
  if (Cell{c.x, c.y - 1} == s.gap()) return kGapDown;   // travels up
  if (Cell{c.x, c.y + 1} == s.gap()) return kGapUp;     // travels down
  return kNoMove;
}

}  // namespace jumblix
