#pragma once
// Where cells lie on the drawing area and how single pieces, blank cells, whole boards and
// the moving picture are drawn.
#include <optional>
#include <vector>

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

// An animated piece as it is drawn: where, which, how turned, the piece size and background,
// and where the moving picture stood (everything a frame needs, taken when it is made).
struct MovingPiece {
  Cell cell, home;
  int orientation = 0;
  int piece_w = 0, piece_h = 0, colour = 0;
  SpriteView sprite;
  bool shows_picture = false;  // the home cell lies under the moving picture
};

// The animated piece standing on `cell` as draw_piece draws it; nothing for the gap, a cell off
// the board or pieces too small to draw.
std::optional<MovingPiece> moving_piece(const PuzzleState& s, const SpriteView& sprite, Cell cell);
// Its piece area in the picture background, with the part of the moving picture over its home
// cell when it shows the picture.
void draw_moving_piece(Canvas& canvas, const MovingPiece& piece);
// The same pixels, for a piece area that shows `before` as draw_moving_piece drew it: only
// what changes is drawn (the picture's part moves; the rest stays plain background).
void redraw_moving_piece(Canvas& canvas, const MovingPiece& before, const MovingPiece& after);

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

// The cells holding the pieces whose home cells lie under the moving picture, in the order a
// frame draws them.
std::vector<Cell> sprite_piece_cells(const PuzzleState& s, const SpriteView& sprite);
// Redraws the pieces whose home cells lie under the moving picture (one animation frame).
void draw_sprite_pieces(Canvas& canvas, const PuzzleState& s, const PieceSources& src);

// One pixel's step of the moving picture, reversing at the edges of a bound_w x bound_h area.
void step_sprite(int& left, int& top, int& dx, int& dy, int width, int height, double bound_w,
                 double bound_h);

// The grid lines and the gap in the puzzle background colour.
void repaint_grid(Canvas& canvas, const PuzzleState& s);

}  // namespace jumblix
