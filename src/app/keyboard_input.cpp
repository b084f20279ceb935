// The keyboard: Enter stops the moving picture, I/J/K/L turn, arrows slide, B asks the
// computer for one change.
#include "app/puzzlemaker.h"
#include "play/move_rules.h"

namespace jumblix {

namespace {

int direction_for_arrow(int key) {
  switch (key) {
    case kKeyLeft: return kGapRight;
    case kKeyUp: return kGapDown;
    case kKeyRight: return kGapLeft;
    case kKeyDown: return kGapUp;
    default: return kNoMove;
  }
}

int direction_for_turn_key(int key) {
  switch (key) {
    case kKeyI: return kGapUp;
    case kKeyJ: return kGapLeft;
    case kKeyK: return kGapDown;
    case kKeyL: return kGapRight;
    default: return kNoMove;
  }
}

}  // namespace

void Puzzlemaker::Form_KeyDown(int key, int /*shift*/) {
  dismiss_message();
  // Escape closes the chooser, a colour panel or the best results as their Cancel or Close
  // does, and goes on as any other key.
  if (key == kKeyEscape) press_cancel_button();
  if (coach_player_action()) return;
  if (input_latch != 0) return;
  if (anim_off != 0 && key != kKeyEnter) return;
  if (was_started == 0) {
    input_latch = 1;
    return;
  }
  if (key == kKeyEnter && puzzle.pic_kind == 1) anim_off = anim_off == 0 ? 1 : 0;
  if (!handle_key_action(key)) return;  // pointed off the board: the next key acts at once
  input_latch = 1;
}

// Turn and move keys; false when the key points off the board.
bool Puzzlemaker::handle_key_action(int key) {
  if (rotatable == 1) {
    if (const int side = direction_for_turn_key(key)) {
      const Cell n = puzzle.neighbour(side);
      if (!puzzle.on_board(n)) return false;
      turn_piece(n);
    }
  }
  if (phase == 3 && solve_mode == 0) {
    computer_move = 0;
    if (const int d = direction_for_arrow(key)) {
      if (!puzzle.on_board(puzzle.neighbour(d))) return false;
      player_slide(d, true);
    } else if (key == kKeyB) {
      computer_step();
    }
  }
  return true;
}

void Puzzlemaker::computer_step() {
  computer_move = 1;
  if (const auto shortest = shortest_way_slide()) {
    // Along a shortest way: the piece turned upright first, then slid, the slide recorded as
    // the player's own so that the way back still holds.
    const Cell n = *shortest != 0 ? puzzle.neighbour(*shortest) : stray_turn();
    if (puzzle.turn(n) != kUpright) {
      if (rotatable == 1 && n != puzzle.gap()) turn_piece(n);
      score_help();
    } else if (*shortest != 0) {
      const int gap_turn = puzzle.turn(puzzle.gap());
      const HistoryEffect effect = record_cancelling_move(puzzle, *shortest);
      player_slide(*shortest, true);
      remember_step(PlayStep::slide(*shortest, effect, gap_turn));
      score_help();
    }
    return;
  }
  MoveList* list = !puzzle.user_moves.empty()       ? &puzzle.user_moves
                   : !puzzle.solution_moves.empty() ? &puzzle.solution_moves
                                                    : nullptr;
  if (!list) return;
  // The turn key and the arrow key for d both act on the neighbour a slide in d moves.
  const int d = list->top();
  const Cell n = puzzle.neighbour(d);
  // Counted like the player's own slides and turns, and the puzzle counts as helped.
  if (puzzle.turn(n) != kUpright) {
    if (rotatable == 1) {
      turn_piece(n);  // one orientation step; the list stays as it is
      score_help();
    }
    return;
  }
  list->pop();
  const Cell gap = puzzle.gap();
  const int gap_turn = puzzle.turn(gap);
  player_slide(d, true);  // drawn like any keyboard slide; computer_move keeps it unrecorded
  if (puzzle.gap() != gap)
    remember_step(PlayStep::slide(d, list == &puzzle.user_moves ? HistoryEffect::popped_user
                                                                 : HistoryEffect::popped_solution,
                                  gap_turn));
  score_help();
}

}  // namespace jumblix
