#include "play/piece_drawing.h"

#include <algorithm>

#include "platform/palette.h"

namespace jumblix {

namespace {

bool mirrors_x(int orientation) { return orientation == kTurned180 || orientation == kMirroredLeftRight; }
bool mirrors_y(int orientation) { return orientation == kTurned180 || orientation == kMirroredTopBottom; }

bool inside(const Picture& p, int sx, int sy, int w, int h) {
  return sx >= 0 && sy >= 0 && sx + w <= p.width && sy + h <= p.height;
}

// Copies the w x h source rectangle at (sx, sy) one to one onto the w x h area at (dx, dy),
// mirrored as the orientation asks (a mirrored copy runs back from the area's far edge).
// Only the part of the rectangle inside the picture is copied, at the place it would stand
// in the whole copy, so a piece cut from the edge of a picture shows what there is of it.
void copy_part(Canvas& canvas, const Picture& source, int sx, int sy, int w, int h, int dx, int dy,
               int orientation) {
  if (orientation < kUpright || orientation > kMirroredLeftRight) return;
  const int x0 = std::max(sx, 0), y0 = std::max(sy, 0);
  const int x1 = std::min(sx + w, source.width), y1 = std::min(sy + h, source.height);
  if (x0 >= x1 || y0 >= y1) return;
  const int a = x0 - sx, b = y0 - sy;  // where the visible part starts within the rectangle
  const int cw = x1 - x0, ch = y1 - y0;
  const bool mx = mirrors_x(orientation), my = mirrors_y(orientation);
  canvas.stretch_copy(source, x0, y0, cw, ch, mx ? dx + w - 1 - a : dx + a, my ? dy + h - 1 - b : dy + b,
                      mx ? -cw : cw, my ? -ch : ch);
}

// Where copy_part puts what it copies (empty when it copies nothing).
DirtyRect copied_area(const Picture& source, int sx, int sy, int w, int h, int dx, int dy, int orientation) {
  if (orientation < kUpright || orientation > kMirroredLeftRight) return {};
  const int x0 = std::max(sx, 0), y0 = std::max(sy, 0);
  const int x1 = std::min(sx + w, source.width), y1 = std::min(sy + h, source.height);
  if (x0 >= x1 || y0 >= y1) return {};
  const int a = x0 - sx, b = y0 - sy;
  const int cw = x1 - x0, ch = y1 - y0;
  const int left = mirrors_x(orientation) ? dx + w - a - cw : dx + a;
  const int top = mirrors_y(orientation) ? dy + h - b - ch : dy + b;
  return {left, top, left + cw - 1, top + ch - 1};
}

// A piece's image in its piece area at (dx, dy); whatever of the area the picture does not
// reach is a plain tile in the picture background, never what the cell showed before.
void draw_piece_image(Canvas& canvas, const PuzzleState& s, const Picture& source, int sx, int sy,
                      int dx, int dy, int orientation, int source_shrink) {
  const int w = s.piece_w - 1, h = s.piece_h - 1;
  if (source_shrink == 0) {
    if (!inside(source, sx, sy, w, h)) canvas.fill_box(s.picture_bg, dx, dy, dx + w - 1, dy + h - 1);
    copy_part(canvas, source, sx, sy, w, h, dx, dy, orientation);
    return;
  }
  // After a keyboard slide the image comes from a region one pixel smaller, stretched.
  const int sw = w - source_shrink, sh = h - source_shrink;
  const bool mx = mirrors_x(orientation), my = mirrors_y(orientation);
  if (orientation < kUpright || orientation > kMirroredLeftRight) return;
  const int ax = mx ? dx + w - 1 : dx, ay = my ? dy + h - 1 : dy;
  const int aw = mx ? -w : w, ah = my ? -h : h;
  if (sw <= 0 || sh <= 0) {
    canvas.fill_box(s.picture_bg, dx, dy, dx + w - 1, dy + h - 1);
  } else if (inside(source, sx, sy, sw, sh)) {
    canvas.stretch_copy(source, sx, sy, sw, sh, ax, ay, aw, ah);
  } else {
    // A region reaching past the picture: what the picture has of it, the rest in the picture
    // background, stretched together so the piece looks as the other redraws show it.
    Picture region(sw, sh, palette_rgb(s.picture_bg));
    for (int y = std::max(sy, 0); y < std::min(sy + sh, source.height); ++y)
      for (int x = std::max(sx, 0); x < std::min(sx + sw, source.width); ++x)
        region.at(x - sx, y - sy) = source.at(x, y);
    canvas.stretch_copy(region, 0, 0, sw, sh, ax, ay, aw, ah);
  }
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
    draw_piece_image(canvas, s, src.background, 1 + (home.x - 1) * s.piece_w,
                     1 + (home.y - 1) * s.piece_h, o.x, o.y, orientation, source_shrink);
    return;
  }

  const MovingPiece moving{cell, home, orientation, s.piece_w, s.piece_h, s.picture_bg, src.sprite,
                           sprite_range(s, src.sprite).contains(home)};
  if (after_turn && !moving.shows_picture) return;
  draw_moving_piece(canvas, moving);
}

std::optional<MovingPiece> moving_piece(const PuzzleState& s, const SpriteView& sprite, Cell cell) {
  if (!s.on_board(cell) || s.piece_w < 2 || s.piece_h < 2) return std::nullopt;
  const Cell home = s.home_cell(s.board(cell));
  if (home.x == 0) return std::nullopt;  // the gap has no image
  return MovingPiece{cell, home, s.turn(cell), s.piece_w, s.piece_h, s.picture_bg, sprite,
                     sprite_range(s, sprite).contains(home)};
}

namespace {

Cell moving_origin(const MovingPiece& p) { return {1 + (p.cell.x - 1) * p.piece_w, 1 + (p.cell.y - 1) * p.piece_h}; }

// Where the piece shows the moving picture: the part of its piece area the picture is copied to.
DirtyRect picture_part(const MovingPiece& p) {
  if (!p.shows_picture || !p.sprite.picture) return {};
  const Cell o = moving_origin(p);
  return copied_area(*p.sprite.picture, 1 + (p.home.x - 1) * p.piece_w - p.sprite.left,
                     1 + (p.home.y - 1) * p.piece_h - p.sprite.top, p.piece_w - 1, p.piece_h - 1, o.x, o.y,
                     p.orientation);
}

void copy_picture_part(Canvas& canvas, const MovingPiece& p) {
  if (!p.shows_picture || !p.sprite.picture) return;
  const Cell o = moving_origin(p);
  copy_part(canvas, *p.sprite.picture, 1 + (p.home.x - 1) * p.piece_w - p.sprite.left,
            1 + (p.home.y - 1) * p.piece_h - p.sprite.top, p.piece_w - 1, p.piece_h - 1, o.x, o.y,
            p.orientation);
}

}  // namespace

void draw_moving_piece(Canvas& canvas, const MovingPiece& p) {
  const Cell o = moving_origin(p);
  canvas.fill_box(p.colour, o.x, o.y, o.x + p.piece_w - 2, o.y + p.piece_h - 2);
  copy_picture_part(canvas, p);
}

void redraw_moving_piece(Canvas& canvas, const MovingPiece& before, const MovingPiece& after) {
  if (before.cell != after.cell || before.piece_w != after.piece_w || before.piece_h != after.piece_h ||
      before.colour != after.colour)
    return draw_moving_piece(canvas, after);
  // Both are plain background but for their picture parts: clear what only the old one had.
  const DirtyRect was = picture_part(before), now = picture_part(after);
  const DirtyRect both{std::max(was.x1, now.x1), std::max(was.y1, now.y1), std::min(was.x2, now.x2),
                       std::min(was.y2, now.y2)};
  if (both.empty()) {
    if (!was.empty()) canvas.fill_box(after.colour, was.x1, was.y1, was.x2, was.y2);
  } else {
    const DirtyRect strips[] = {{was.x1, was.y1, was.x2, both.y1 - 1},
                                {was.x1, both.y2 + 1, was.x2, was.y2},
                                {was.x1, both.y1, both.x1 - 1, both.y2},
                                {both.x2 + 1, both.y1, was.x2, both.y2}};
    for (const DirtyRect& r : strips)
      if (!r.empty()) canvas.fill_box(after.colour, r.x1, r.y1, r.x2, r.y2);
  }
  copy_picture_part(canvas, after);
}

void erase_cell(Canvas& canvas, const PuzzleState& s, Cell cell, int extra_right) {
  const Cell o = piece_origin(s, cell);
  canvas.fill_box(s.puzzle_bg, o.x - 1, o.y - 1, o.x + s.piece_w - 2 + extra_right,
                  o.y + s.piece_h - 2);
}

// The window's background picture as it stands, over the box (x1, y1)-(x2, y2) of the
// drawing area; where the picture does not reach, the picture background.
void show_background(Canvas& canvas, const PuzzleState& s, const Picture& background, int x1, int y1,
                     int x2, int y2) {
  x2 = std::min(x2, canvas.width() - 1);
  y2 = std::min(y2, canvas.height() - 1);
  if (x1 > x2 || y1 > y2) return;
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  if (!inside(background, x1, y1, w, h)) canvas.fill_box(s.picture_bg, x1, y1, x2, y2);
  copy_part(canvas, background, x1, y1, w, h, x1, y1, kUpright);
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
        if (!inside(background, sx, sy, pw, ph)) canvas.fill_box(s.picture_bg, X, Y, X + pw - 1, Y + ph - 1);
        copy_part(canvas, background, sx, sy, pw, ph, X, Y, s.turn(cx, cy));
      }
    // The strip beyond the board of whole cells shows the new picture, not an earlier one.
    const int board_w = std::max(pw, 0) * s.W, board_h = std::max(ph, 0) * s.H;
    show_background(canvas, s, background, board_w, 0, canvas.width() - 1, canvas.height() - 1);
    show_background(canvas, s, background, 0, board_h, board_w - 1, canvas.height() - 1);
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

std::vector<Cell> sprite_piece_cells(const PuzzleState& s, const SpriteView& sprite) {
  std::vector<Cell> cells;
  const CellRange range = sprite_range(s, sprite);
  for (int r = range.r0; r <= range.r1; ++r)
    for (int c = range.c0; c <= range.c1; ++c) {
      if (!s.on_board({c, r}) || (c == 1 && r == 1)) continue;
      const Cell at = cell_holding(s, s.home(c, r));
      if (at.x != 0) cells.push_back(at);
    }
  return cells;
}

void draw_sprite_pieces(Canvas& canvas, const PuzzleState& s, const PieceSources& src) {
  for (Cell at : sprite_piece_cells(s, src.sprite)) draw_piece(canvas, s, src, at);
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
