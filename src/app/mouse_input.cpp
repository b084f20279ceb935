// The mouse: leaving the title screen, sliding and turning pieces, leaving a finished picture.
#include "app/puzzlemaker.h"
#include "play/move_rules.h"

namespace jumblix {

void Puzzlemaker::player_slide(int d, bool by_keyboard) {
  const Cell g = puzzle.gap();
  const Cell n = puzzle.neighbour(d);
  const int gap_turn = puzzle.turn(g);
  if (!puzzle.slide(d)) return;
  score_slide();
  erase_cell(n, by_keyboard ? 1 : 0);
  draw_piece(g, by_keyboard ? 1 : 0);
  // The B key's slide was taken from the lists before it was made; it records its own step.
  if (!(by_keyboard && computer_move == 1))
    remember_step(PlayStep::slide(d, record_move(puzzle, d, by_keyboard, rotatable == 1), gap_turn));
  coach_board_changed(d);
}

void Puzzlemaker::turn_piece(Cell cell) {
  if (rotatable != 1 || !puzzle.next_to_gap(cell)) return;
  puzzle.turn(cell) = next_orientation(puzzle.turn(cell));
  draw_piece(cell, 0, true);
  score_turn();
  remember_step(PlayStep::turn(cell));
  coach_board_changed(0);
}

void Puzzlemaker::Form_MouseDown(int button, int /*shift*/, double x, double y) {
  dismiss_message();
  if (coach_player_action()) return;
  if (input_latch != 0 || anim_off != 0) return;
  if (was_started == 0 && button == kLeftButton) return leave_title_screen();
  if (phase == 3 && solve_mode == 0 && rotatable == 1 && button == kRightButton) {
    if (const auto cell = cell_at_point(puzzle, x, y)) turn_piece(*cell);
  } else if (phase == 3 && solve_mode == 0 && button == kLeftButton) {
    if (const auto cell = cell_at_point(puzzle, x, y); cell && *cell != puzzle.gap())
      if (const int d = slide_direction_for(puzzle, *cell)) player_slide(d, false);
  }
  if (phase == 4 && button == kLeftButton) phase = 3;
  input_latch = 1;
}

}  // namespace jumblix
