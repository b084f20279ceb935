#include "play/piece_drawing.h"

#include <algorithm>

namespace jumblix {

namespace {

// Copies source rectangle (sx, sy, sw, sh) onto the piece area at (dx, dy), mirrored as the
// orientation asks. The piece area is (piece_w - 1) x (piece_h - 1) pixels.
void copy_oriented(Canvas& canvas, const PuzzleState& s, const Picture& source, int sx, int sy,
                   int sw, int sh, int dx, int dy, int orientation) {
  const int w = s.piece_w - 1, h = s.piece_h - 1;
  const int far_x = dx + s.piece_w - 2, far_y = dy + s.piece_h - 2;
  switch (orientation) {
    case kUpright: canvas.stretch_copy(source, sx, sy, sw, sh, dx, dy, w, h); break;
    case kTurned180: canvas.stretch_copy(source, sx, sy, sw, sh, far_x, far_y, -w, -h); break;
    case kMirroredTopBottom: canvas.stretch_copy(source, sx, sy, sw, sh, dx, far_y, w, -h); break;
    case kMirroredLeftRight: canvas.stretch_copy(source, sx, sy, sw, sh, far_x, dy, -w, h); break;
    default: break;
  }
}

// An animated piece shows the part of the moving picture over its home cell: the piece's
// source rectangle is cut down to the picture, and only that part is copied, at the place
// (and mirrored the way) it would stand in the whole piece.
void copy_sprite_part(Canvas& canvas, const PuzzleState& s, const Picture& sprite, int sx, int sy,
                      int dx, int dy, int orientation) {
  const int w = s.piece_w - 1, h = s.piece_h - 1;
  const int x0 = std::max(sx, 0), y0 = std::max(sy, 0);
  const int x1 = std::min(sx + w, sprite.width), y1 = std::min(sy + h, sprite.height);
  if (x0 >= x1 || y0 >= y1) return;
  const int a = x0 - sx, b = y0 - sy;  // offsets of the visible part within the piece
  const int cw = x1 - x0, ch = y1 - y0;
  const int far_x = dx + s.piece_w - 2, far_y = dy + s.piece_h - 2;
  const bool mirror_x = orientation == kTurned180 || orientation == kMirroredLeftRight;
  const bool mirror_y = orientation == kTurned180 || orientation == kMirroredTopBottom;
  if (orientation < kUpright || orientation > kMirroredLeftRight) return;
  canvas.stretch_copy(sprite, x0, y0, cw, ch, mirror_x ? far_x - a : dx + a, mirror_y ? far_y - b : dy + b,
                      mirror_x ? -cw : cw, mirror_y ? -ch : ch);
}

// The cell a piece now stands on, searched in row order.
Cell cell_holding(const PuzzleState& s, int piece) {
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x)
      if (s.board(x, y) == piece) return {x, y};
  return {0, 0};
}

Cell piece_origin(const PuzzleState& s, Cell c) {
  return {1 + (c.x - 1) * s.piece_w, 1 + (c.y - 1) * s.piece_h};
}

}  // namespace

CellRange sprite_range(const PuzzleState& s, const SpriteView& sprite) {
  CellRange r;
  if (s.piece_w < 1 || s.piece_h < 1) return r;  // a degenerate window covers nothing
  // The smallest c >= start with c * size >= edge.
  auto first = [](int start, int size, int edge) {
    const int needed = edge <= 0 ? 1 : (edge + size - 1) / size;
    return needed > start ? needed : start;
  };
  r.c0 = first(1, s.piece_w, sprite.left);
  r.r0 = first(1, s.piece_h, sprite.top);
  r.c1 = first(r.c0, s.piece_w, sprite.left + sprite.scale_width);
  r.r1 = first(r.r0, s.piece_h, sprite.top + sprite.scale_height);
  return r;
}

void draw_piece(Canvas& canvas, const PuzzleState& s, const PieceSources& src, Cell cell,
                int source_shrink, bool after_turn) {
  if (!s.on_board(cell) || s.piece_w < 2 || s.piece_h < 2) return;
  const int piece = s.board(cell);
  const Cell home = s.home_cell(piece);
  if (home.x == 0) return;  // the gap has no image
  const Cell o = piece_origin(s, cell);
  const int orientation = s.turn(cell);

  if (s.pic_kind == 0) {
    const int sx = 1 + (home.x - 1) * s.piece_w, sy = 1 + (home.y - 1) * s.piece_h;
    copy_oriented(canvas, s, src.background, sx, sy, s.piece_w - 1 - source_shrink,
                  s.piece_h - 1 - source_shrink, o.x, o.y, orientation);
    return;
  }

  const bool shows_picture = sprite_range(s, src.sprite).contains(home);
  if (after_turn && !shows_picture) return;
  canvas.fill_box(s.picture_bg, o.x, o.y, o.x + s.piece_w - 2, o.y + s.piece_h - 2);
  if (shows_picture && src.sprite.picture)
    copy_sprite_part(canvas, s, *src.sprite.picture, 1 + (home.x - 1) * s.piece_w - src.sprite.left,
                     1 + (home.y - 1) * s.piece_h - src.sprite.top, o.x, o.y, orientation);
}

void erase_cell(Canvas& canvas, const PuzzleState& s, Cell cell, int extra_right) {
  const Cell o = piece_origin(s, cell);
  canvas.fill_box(s.puzzle_bg, o.x - 1, o.y - 1, o.x + s.piece_w - 2 + extra_right,
                  o.y + s.piece_h - 2);
}

void draw_new_board(Canvas& canvas, const PuzzleState& s, const Picture& background) {
  const int pw = s.piece_w, ph = s.piece_h;
  if (s.pic_kind == 0) {
    for (int cy = 1; cy <= s.H; ++cy)
      for (int cx = 1; cx <= s.W; ++cx) {
        const Cell home = s.home_cell(s.board(cx, cy));
        if (home.x == 0) continue;
        const int sx = 1 + (home.x - 1) * pw, sy = 1 + (home.y - 1) * ph;
        const int X = (cx - 1) * pw, Y = (cy - 1) * ph;
        switch (s.turn(cx, cy)) {
          case kUpright: canvas.stretch_copy(background, sx, sy, pw, ph, X, Y, pw, ph); break;
          case kTurned180:
            canvas.stretch_copy(background, sx, sy, pw, ph, X + pw - 1, Y + ph - 1, -pw, -ph);
            break;
          case kMirroredTopBottom:
            canvas.stretch_copy(background, sx, sy, pw, ph, X, Y + ph - 1, pw, -ph);
            break;
          case kMirroredLeftRight:
            canvas.stretch_copy(background, sx, sy, pw, ph, X + pw - 1, Y, -pw, ph);
            break;
          default: break;
        }
      }
  } else {
    canvas.fill_box(s.picture_bg, 0, 0, static_cast<int>(s.board_px_w) + 2,
                    static_cast<int>(s.board_px_h) + 2);
  }
  if (pw >= 1 && ph >= 1) {
    for (int x = 0; x <= s.board_px_w; x += pw) canvas.fill_box(s.puzzle_bg, x, 0, x, ph * s.H);
    for (int y = 0; y <= s.board_px_h; y += ph) canvas.fill_box(s.puzzle_bg, 0, y, pw * s.W, y);
  }
  canvas.fill_box(s.puzzle_bg, 0, 0, pw - 1, ph - 1);
}

void draw_sprite_pieces(Canvas& canvas, const PuzzleState& s, const PieceSources& src) {
  const CellRange range = sprite_range(s, src.sprite);
  for (int r = range.r0; r <= range.r1; ++r)
    for (int c = range.c0; c <= range.c1; ++c) {
      if (!s.on_board({c, r}) || (c == 1 && r == 1)) continue;
      const Cell at = cell_holding(s, s.home(c, r));
      if (at.x != 0) draw_piece(canvas, s, src, at);
    }
}

void step_sprite(int& left, int& top, int& dx, int& dy, int width, int height, double bound_w,
                 double bound_h) {
  if (left + width >= bound_w || left <= 0) dx = -dx;
  if (top + height >= bound_h || top <= 0) dy = -dy;
  left += dx;
  top += dy;
}

void repaint_grid(Canvas& canvas, const PuzzleState& s) {
  const int pw = s.piece_w, ph = s.piece_h;
  if (pw < 1 || ph < 1) return;
  int x = 0;
  do {
    canvas.fill_box(s.puzzle_bg, x, 0, x, s.H * ph);
    x += pw;
  } while (x <= s.board_px_w + pw);
  int y = 0;
  do {
    canvas.fill_box(s.puzzle_bg, 0, y, s.W * pw, y);
    y += ph;
  } while (y <= s.board_px_h + ph);
  canvas.fill_box(s.puzzle_bg, (s.gap_x - 1) * pw, (s.gap_y - 1) * ph, s.gap_x * pw - 1,
                  s.gap_y * ph - 1);
}

}  // namespace jumblix
