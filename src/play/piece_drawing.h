#pragma once
// Where cells lie on the drawing area and how single pieces, blank cells, whole boards and
// the moving picture are drawn.
#include "platform/canvas.h"
#include "platform/picture.h"
#include "puzzle/puzzle_state.h"

namespace jumblix {

// The moving picture of an animated puzzle: its picture, left/top in window pixels, outer
// size (bounds the bounce) and inner drawing size (the cells it covers).
struct SpriteView {
  const Picture* picture = nullptr;
  int left = 0, top = 0;
  int width = 0, height = 0;
  int scale_width = 0, scale_height = 0;
};

// What pieces are cut from: the whole regular picture (window background) or the sprite.
struct PieceSources {
  const Picture& background;
  SpriteView sprite;
};

struct CellRange {
  int c0 = 1, c1 = 0, r0 = 1, r1 = 0;  // empty when c1 < c0
  bool contains(Cell c) const { return c.x >= c0 && c.x <= c1 && c.y >= r0 && c.y <= r1; }
};

// Columns and rows of cells the moving picture covers (they may reach past the board).
CellRange sprite_range(const PuzzleState& s, const SpriteView& sprite);

// Draws the piece standing on `cell` in its orientation; source_shrink (keyboard slides)
// cuts it from a region one pixel narrower and shorter, stretched over the piece area.
// after_turn: an animated piece whose home lies outside the picture is left as it is.
void draw_piece(Canvas& canvas, const PuzzleState& s, const PieceSources& src, Cell cell,
                int source_shrink = 0, bool after_turn = false);

// Fills a cell, grid lines included, with the puzzle background; extra_right (keyboard
// slides) also covers the first pixel column of the cell to the right.
void erase_cell(Canvas& canvas, const PuzzleState& s, Cell cell, int extra_right = 0);

// The scrambled board as first shown: every piece (regular pictures) or a plain picture
// background (animated ones), the grid lines and the gap.
void draw_new_board(Canvas& canvas, const PuzzleState& s, const Picture& background);

// Redraws the pieces whose home cells lie under the moving picture (one animation frame).
void draw_sprite_pieces(Canvas& canvas, const PuzzleState& s, const PieceSources& src);

// One pixel's step of the moving picture, reversing at the edges of a bound_w x bound_h area.
void step_sprite(int& left, int& top, int& dx, int& dy, int width, int height, double bound_w,
                 double bound_h);

// The grid lines and the gap in the puzzle background colour.
void repaint_grid(Canvas& canvas, const PuzzleState& s);

}  // namespace jumblix
