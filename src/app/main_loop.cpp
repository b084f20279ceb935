// The endless main loop: one pass does a little work and yields twice.
#include "app/puzzlemaker.h"

namespace jumblix {

void Puzzlemaker::run_pass() {
  if (started == 0) title_puzzle_setup();
  poll_fewest();
  prev_solve_mode = solve_mode;
  yield_input();
  if (started == 5) click_to_begin();
  if (puzzle.pic_kind == 1 && phase == 3 && anim_off == 0) animation_frame();
  yield_input();
  if (solve_mode > 0 && phase == 3 && (puzzle.pic_kind != 1 || anim_off == 0)) solver_step();
  if (finish_check()) finish_handling();
}

void Puzzlemaker::animation_frame() {
  sprite_frames.board_frame(canvas, puzzle, sprite_view());
  if (anim_slow != 0) {
    // Slow: wait for one tick of the animation timer, letting events through meanwhile.
    anim_tick = 0;
    Timer4.set_interval(anim_slow);
    Timer4.start();
    try {
      do yield_input();
      while (anim_tick != 1);
    } catch (...) {
      Timer4.stop();
      throw;
    }
  }
  Timer4.stop();
  if (anim_off != 0) return;  // Enter during the wait stops the picture before it moves
  int left = Picture1.left(), top = Picture1.top();
  step_sprite(left, top, puzzle.sprite_dx, puzzle.sprite_dy, Picture1.width(), Picture1.height(),
              puzzle.W * puzzle.piece_w, puzzle.H * puzzle.piece_h);
  Picture1.move(left, top);
  ++sprite_steps;
}

void Puzzlemaker::Timer4_Timer() { anim_tick = 1; }

// What the main loop will do next by itself, without a click, a key or a timer tick: the loop
// may sleep until then. When in doubt the answer is "at once".
Work Puzzlemaker::next_work() const {
  // A Slow wait ends with the animation timer's tick (or a regular picture chosen meanwhile).
  if (Timer4.enabled())
    return anim_tick == 1 || (puzzle_finished == 1 && regular_chosen != 0) ? Work::now : Work::none;

  if (puzzle_finished == 1) {
    // The finished picture stays until a click, a new puzzle or the new-picture timer.
    if (phase == 3 || (picture_due == 1 && phase == 4)) return Work::now;
    if (puzzle.pic_kind != 1) return Work::none;
    if (anim_slow != 0) return Work::now;  // the next frame's Slow wait starts
    return panel_shown() || anim_off != 0 ? Work::none : Work::paced;  // the picture glides each pass
  }

  if (started == 0 || started == 5) return Work::now;  // a title puzzle or the chooser to show
  if (finish_check()) return Work::now;                // the finish handling of this pass
  const bool solving = solve_mode > 0 && phase == 3 && (puzzle.pic_kind != 1 || anim_off == 0);
  // A timer has run out: the computer's change is due now, so that it keeps its time (also
  // between the frames of a moving picture).
  if (solving && move_time > 0 && tick_due == 1) return Work::now;
  if (puzzle.pic_kind == 1 && phase == 3 && anim_off == 0)
    return anim_slow != 0 ? Work::now : Work::paced;  // a frame of the moving picture
  if (solving) {
    if (move_time == 0) return Work::paced;  // one change a pass, no timer
    // With no timer running, arming one is due.
    if (!(Timer1.enabled() || Timer2.enabled())) return Work::now;
  }
  return Work::none;
}

void Puzzlemaker::quit_Click() { loop.end_program(); }
void Puzzlemaker::Form_Unload() { loop.end_program(); }
void Puzzlemaker::Form_Terminate() { loop.end_program(); }

}  // namespace jumblix
