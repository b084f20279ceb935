// The computer solving the puzzle: it plays back the player's own slides, last one first,
// then the scramble's inverse, turning each piece upright before sliding it.
#include "app/puzzlemaker.h"
#include "play/move_rules.h"

namespace jumblix {

void Puzzlemaker::solver_step() {
  PuzzleState& s = puzzle;
  forget_steps();  // the computer takes over the lists: the player's steps no longer fit them
  // 1. Take over the player's slides, last one on top. Whenever the computer solves, every
  // recorded slide is taken over, also when the mode changed while the solver was not running
  // (a stopped moving picture, an open panel): dropping them would leave the lists leading
  // nowhere.
  if (solve_mode != prev_solve_mode || solver_reset == 1) {
    solver_reset = 0;
    s.move_dir = 0;
  }
  for (int i = 1; i <= s.user_moves_len(); ++i) s.solution_moves.push(s.user_moves.at(i));
  s.user_moves.clear();

  // 3. The next slide and the piece it moves (with nothing left to slide: a cell still
  // turned, see stray_turn()).
  // With the shortest way taken, its next slide instead, while the search has an answer.
  std::optional<int> shortest = shortest_way_slide();
  int d = shortest ? *shortest : s.solution_moves.top();
  s.move_dir = d;
  Cell n = d != 0 ? s.neighbour(d) : stray_turn();

  // 4. Arm the wait before the next change.
  if (rotatable == 1 && s.turn(n) == kUpright) {
    if (move_time > 0) arm(Timer1, 10 * move_time);
  } else if (rotatable == 1) {
    if (rotate_time > 0 && tick_due == 0 && !Timer1.enabled()) arm(Timer2, 10 * rotate_time);
  } else if (move_time > 0 && tick_due == 0) {
    arm(Timer1, 10 * move_time);
  }
  if (move_time == 0) {
    tick_due = 1;
    move_ready = 1;
  }

  // 5. Still waiting.
  if ((Timer1.enabled() || Timer2.enabled()) && tick_due == 0) return;

  // 6. Start the change.
  tick_due = 0;
  Timer1.stop();
  Timer2.stop();
  shortest = shortest_way_slide();
  d = shortest ? *shortest : s.solution_moves.top();
  s.move_dir = d;
  n = d != 0 ? s.neighbour(d) : stray_turn();

  // 7-9. Slide an upright piece once the move timer has fired, else turn it one step.
  if (s.turn(n) == kUpright && (move_ready == 1 || move_time == 0)) {
    move_ready = 0;
    tick_due = 0;
    Timer1.stop();
    const Cell g = s.gap();
    const bool moved = d != 0 && s.slide(d);
    // The entry is used up whether or not its slide could be made, so one entry that points
    // off the board can never hold the solver up for good.
    if (d != 0 && shortest) {
      if (moved) record_cancelling_move(s, d);  // the history still leads back
    } else if (d != 0) {
      s.solution_moves.pop();
    }
    if (moved) {
      erase_cell(n);
      draw_piece(g);
      score_computer_change(true);
      coach_board_changed(d);
    }
    return;
  }
  if (s.turn(n) != kUpright) {
    move_ready = 0;
    s.turn(n) = next_orientation(s.turn(n));
    // The gap's own code is stepped on silently: it has no picture to redraw.
    if (n != s.gap()) draw_piece(n, 0, true);
    score_computer_change(false);
    coach_board_changed(0);
  }
  // 10. An upright piece waits the move time before it slides.
  if (move_time > 0 && s.turn(n) == kUpright && rotatable == 1) arm(Timer1, 10 * move_time);
}

// With both lists used up the computer turns what is still turned, one step per wait: first
// the gap's own code (left there by the last piece that moved out of it), then any piece that
// was turned after it had come home, so that the picture always gets finished.
Cell Puzzlemaker::stray_turn() const {
  const PuzzleState& s = puzzle;
  if (s.turn(s.gap()) != kUpright) return s.gap();
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x)
      if (s.turn(x, y) != kUpright && s.turn(x, y) >= kUpright && s.turn(x, y) <= kMirroredLeftRight)
        return {x, y};
  return s.gap();
}

void Puzzlemaker::Timer1_Timer() {
  picture_due = 1;
  if (phase == 3 || phase == 4) {
    tick_due = 1;
    move_ready = 1;
    if (phase == 4) phase = 3;
  }
}

void Puzzlemaker::Timer2_Timer() { tick_due = 1; }

void Puzzlemaker::usolve_Click() {
  usolve.set_checked(true);
  csolve.set_checked(false);
  csolves.set_checked(false);
  solve_mode = 0;
  update_status();
}

void Puzzlemaker::csolve_Click() {
  usolve.set_checked(false);
  csolve.set_checked(true);
  csolves.set_checked(false);
  // A finished screensaver-mode picture now stays until the player clicks.
  if (solve_mode != 1 && phase == 4) Timer1.stop();
  solve_mode = 1;
  update_status();
}

void Puzzlemaker::csolves_Click() {
  usolve.set_checked(false);
  csolve.set_checked(false);
  csolves.set_checked(true);
  // A finished picture now waits only the new-picture time.
  if (solve_mode != 2 && phase == 4) Timer1.start();
  solve_mode = 2;
  update_status();
}

}  // namespace jumblix
