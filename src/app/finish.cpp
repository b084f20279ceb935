// Recognising a completed picture, showing it whole, and what follows in each mode.
#include "app/puzzlemaker.h"

namespace jumblix {

bool Puzzlemaker::finish_check() const { return puzzle.finished(); }

void Puzzlemaker::finish_handling() {
  started = was_started;
  phase = 4;
  regular_chosen = 0;
  puzzle_finished = 1;
  picture_due = 0;
  score_finish();
  if (was_started != 0) puzzle_over();
  coach_finish_shown(true);
  if (was_started != 0 && begun == 1)
    set_caption(puzzle.pic_kind == 0 ? "Jumblix: By Corvel-(Finished regular puzzle)"
                                     : "Jumblix: By Corvel-(Finished animated puzzle)");
  Timer1.set_interval(100 * new_picture_time);
  fresh_puzzle = 0;
  // Only the screensaver mode counts down to a new picture. Otherwise the step timer may still
  // run from the computer's solving before the player took over: it must not end the wait.
  if (solve_mode == 2)
    Timer1.start();
  else
    Timer1.stop();

  if (puzzle.pic_kind == 0)
    canvas.draw_picture(background);
  else
    canvas.fill_box(puzzle.picture_bg, 0, 0, static_cast<int>(puzzle.board_px_w),
                    static_cast<int>(puzzle.board_px_h));

  // The finished picture stays until a click, a new puzzle or (screensaver) the timer.
  while (!(phase == 3 || (picture_due == 1 && phase == 4))) {
    if (puzzle.pic_kind == 1) finished_sprite_frame();
    yield_input();
  }

  coach_finish_shown(false);
  puzzle_finished = 0;
  phase = 3;
  Picture1.hide();
  Timer1.stop();
  if (started == 1) {
    Timer2.stop();
    Timer1.stop();
    if (fresh_puzzle == 0) {
      // A click on the finished title behind the start panel makes the first puzzle: it
      // begins the game just as "Begin" does.
      if (begun == 0) begin_game();
      makenewpuzzle();
    }
    timer_rearm();
  }
}

// A finished animated picture glides whole over the plain background of the drawing area.
void Puzzlemaker::finished_sprite_frame() {
  if (anim_slow != 0) {
    anim_tick = 0;
    Timer4.set_interval(anim_slow);
    Timer4.start();
    try {
      do yield_input();
      while (regular_chosen == 0 && anim_tick != 1);
    } catch (...) {
      Timer4.stop();
      throw;
    }
  }
  Timer4.stop();
  if (panel_shown() || coach.showing) return;  // the shortest way shown holds the picture still
  const int left = Picture1.left(), top = Picture1.top();
  // The box around the picture cleared (with the edge the last step left), then the picture.
  if (phase != 3)
    sprite_frames.finished_frame(canvas, Picture1.picture(), left, top, Picture1.width(),
                                  Picture1.height(), puzzle.picture_bg);
  if (anim_off == 0) {
    int l = left, t = top;
    step_sprite(l, t, puzzle.sprite_dx, puzzle.sprite_dy, Picture1.width(), Picture1.height(),
                puzzle.board_px_w, puzzle.board_px_h);
    Picture1.move(l, t);
    ++sprite_steps;
  }
}

}  // namespace jumblix
