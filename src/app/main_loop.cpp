// The endless main loop: one pass does a little work and yields twice.
#include "app/puzzlemaker.h"

namespace jumblix {

void Puzzlemaker::run_pass() {
  if (started == 0) title_puzzle_setup();
  prev_solve_mode = solve_mode;
  yield_input();
  if (started == 5) click_to_begin();
  if (puzzle.pic_kind == 1 && phase == 3 && anim_off == 0) animation_frame();
  yield_input();
  if (solve_mode > 0 && phase == 3 && (puzzle.pic_kind != 1 || anim_off == 0)) solver_step();
  if (finish_check()) finish_handling();
}

void Puzzlemaker::animation_frame() {
  draw_sprite_pieces(canvas, puzzle, piece_sources());
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

void Puzzlemaker::quit_Click() { loop.end_program(); }
void Puzzlemaker::Form_Unload() { loop.end_program(); }
void Puzzlemaker::Form_Terminate() { loop.end_program(); }

}  // namespace jumblix
