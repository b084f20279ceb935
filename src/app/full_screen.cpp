// Leaving full screen: a puzzle cut for the whole screen stays whole and playable in the
// smaller window.
#include <algorithm>

#include "app/puzzlemaker.h"

namespace jumblix {

bool Puzzlemaker::board_fits_window() const {
  return puzzle.W * puzzle.piece_w <= canvas.width() && puzzle.H * puzzle.piece_h <= canvas.height();
}

void Puzzlemaker::Form_FullScreenChanged(bool full) {
  // The title screen shows its next puzzle at once, cut for the new size.
  if (was_started == 0) {
    started = 0;
    return;
  }
  // The start panel stands over the whole title picture.
  if (begun == 0) return canvas.draw_picture(background);
  if (full || board_fits_window()) return;
  // As for a large picture: the window is maximized (and given back its size with the next
  // regular puzzle). Where even that is smaller than the screen, the same puzzle is cut again
  // for the drawing area: every piece where it was, each a little smaller.
  maximize();
  if (!board_fits_window()) recut_board();
}

void Puzzlemaker::recut_board() {
  canvas.settle();
  puzzle.board_px_w = canvas.width();
  puzzle.board_px_h = canvas.height();
  puzzle.piece_w = static_cast<int>(puzzle.board_px_w / puzzle.W);
  puzzle.piece_h = static_cast<int>(puzzle.board_px_h / puzzle.H);
  if (puzzle.pic_kind == 1) {
    // The moving picture stays inside the smaller board.
    const int right = std::max(2, puzzle.W * puzzle.piece_w - Picture1.width() - 2);
    const int bottom = std::max(2, puzzle.H * puzzle.piece_h - Picture1.height() - 2);
    Picture1.move(std::clamp(Picture1.left(), 2, right), std::clamp(Picture1.top(), 2, bottom));
  }
  if (puzzle_finished == 1) {
    if (puzzle.pic_kind == 0)
      canvas.draw_picture(background);
    else
      canvas.fill_box(puzzle.picture_bg, 0, 0, static_cast<int>(puzzle.board_px_w),
                      static_cast<int>(puzzle.board_px_h));
    return;
  }
  // A new board's drawing has its gap in the top-left corner; this one's may be elsewhere.
  draw_new_board(canvas, puzzle, background);
  if (puzzle.gap() != Cell{1, 1}) {
    draw_piece(Cell{1, 1});
    erase_cell(puzzle.gap());
  }
  if (puzzle.pic_kind == 1) draw_sprite_pieces(canvas, puzzle, piece_sources());
}

}  // namespace jumblix
