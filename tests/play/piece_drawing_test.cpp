#include "play/piece_drawing.h"

#include <algorithm>
#include <array>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/test_support.h"
#include "play/sprite_frames.h"
#include "puzzle/scramble.h"

namespace jumblix::testing {
namespace {

constexpr int kPuzzleBg = 12, kPictureBg = 10;

// A solved board of pw x ph cells, every piece upright.
PuzzleState solved(int W, int H, int pw, int ph) {
  PuzzleState s;
  s.reset_solved(W, H);
  s.piece_w = pw;
  s.piece_h = ph;
  s.puzzle_bg = kPuzzleBg;
  s.picture_bg = kPictureBg;
  for (int y = 1; y <= H; ++y)
    for (int x = 1; x <= W; ++x) s.turn(x, y) = kUpright;
  return s;
}

bool flips_x(int turn) { return turn == kTurned180 || turn == kMirroredLeftRight; }
bool flips_y(int turn) { return turn == kTurned180 || turn == kMirroredTopBottom; }

TEST(NewBoard, FiveByThreeInA754By385Window) {
  PuzzleState s = solved(5, 3, 150, 128);  // 754 / 5 and 385 / 3
  Random random(5);
  build_solved_grid(s, 5, 3, true, random);
  scramble(s, random);
  s.board_px_w = 754;
  s.board_px_h = 385;
  Canvas canvas = blank_canvas(754, 385);
  draw_new_board(canvas, s, coded_picture(754, 385));
  EXPECT_EQ(0, mismatches(canvas, [&](int x, int y) {
              if (x > 750 || y > 384) return code(x, y);  // beyond the board: the picture itself
              if (x % 150 == 0 || y % 128 == 0 || (x < 150 && y < 128)) return palette_rgb(kPuzzleBg);
              const Cell cell{x / 150 + 1, y / 128 + 1}, home = s.home_cell(s.board(cell));
              const int t = s.turn(cell), i = x % 150, j = y % 128;
              return code(1 + (home.x - 1) * 150 + (flips_x(t) ? 149 - i : i),
                          1 + (home.y - 1) * 128 + (flips_y(t) ? 127 - j : j));
            }));
}

class DrawPiece : public ::testing::TestWithParam<std::tuple<int, int>> {};

// With 40-pixel cells the piece on (2, 3) fills columns 41..79, rows 81..119 and nothing
// else, cut from the piece area of its home (3, 2) at (81, 41): a source one pixel smaller
// after a keyboard slide is stretched over the same area.
TEST_P(DrawPiece, FillsThePieceAreaInItsOrientation) {
  const auto [turn, shrink] = GetParam();
  PuzzleState s = solved(3, 3, 40, 40);
  std::swap(s.board(2, 3), s.board(3, 2));
  s.turn(2, 3) = turn;
  const Picture background = coded_picture(120, 120);
  Canvas canvas = blank_canvas(120, 120);
  draw_piece(canvas, s, {background, {}}, {2, 3}, shrink);
  EXPECT_EQ(0, mismatches(canvas, [&](int x, int y) {
              if (x < 41 || x > 79 || y < 81 || y > 119) return palette_rgb(kBlank);
              const int i = flips_x(turn) ? 79 - x : x - 41, j = flips_y(turn) ? 119 - y : y - 81;
              return code(81 + i * (39 - shrink) / 39, 41 + j * (39 - shrink) / 39);
            }));
}

INSTANTIATE_TEST_SUITE_P(TurnAndShrink, DrawPiece,
                         ::testing::Combine(::testing::Values(1, 2, 3, 4), ::testing::Values(0, 1)));

TEST(EraseCell, FillsTheCellAndForKeysOneColumnMore) {
  const struct {
    Cell cell;
    int extra_right, x1, y1, x2, y2;
  } cases[] = {{{1, 1}, 0, 0, 0, 39, 29}, {{1, 1}, 1, 0, 0, 40, 29}, {{3, 2}, 1, 80, 30, 120, 59}};
  for (const auto& c : cases) {
    Canvas canvas = blank_canvas(130, 100);
    erase_cell(canvas, solved(3, 3, 40, 30), c.cell, c.extra_right);
    EXPECT_EQ(0, mismatches(canvas, [&](int x, int y) {
                return palette_rgb(x >= c.x1 && x <= c.x2 && y >= c.y1 && y <= c.y2 ? kPuzzleBg : kBlank);
              })) << c.cell.x << ", " << c.cell.y << " extra " << c.extra_right;
  }
}

// Animated 4 x 4 puzzle, 40-pixel cells, a 100 x 100 sprite: piece 2 (home (2, 1)) stands
// on (3, 3) mirrored left-to-right, piece 9 (home (1, 3)) on (4, 4).
TEST(AnimatedPiece, ShowsTheSpriteOnlyWhileItCoversItsHome) {
  PuzzleState s = solved(4, 4, 40, 40);
  s.pic_kind = 1;
  std::swap(s.board(3, 3), s.board(2, 1));
  std::swap(s.board(4, 4), s.board(1, 3));
  s.turn(3, 3) = kMirroredLeftRight;
  const Picture sprite = coded_picture(100, 100), none;
  auto at = [&](int left, int top) { return PieceSources{none, {&sprite, left, top, 100, 100, 100, 100}}; };
  // Pixel of the piece area starting at (o, o): the sprite from (sx, sy) on, or a plain tile.
  auto area = [](int x, int y, int o, int sx, int sy, bool mirrored) {
    return sx < 0 ? palette_rgb(kPictureBg) : code(sx + (mirrored ? o + 38 - x : x - o), sy + y - o);
  };
  // Expects piece 2's area to show the sprite from (sx2, sy2) on and piece 9's from (sx9, sy9),
  // a negative sx meaning a plain tile, and nothing else drawn.
  auto expect = [&](const Canvas& canvas, int sx2, int sy2, int sx9, int sy9) {
    EXPECT_EQ(0, mismatches(canvas, [&](int x, int y) {
                if (x >= 81 && x <= 119 && y >= 81 && y <= 119) return area(x, y, 81, sx2, sy2, true);
                if (x >= 121 && y >= 121) return area(x, y, 121, sx9, sy9, false);
                return palette_rgb(kBlank);
              }));
  };
  Canvas canvas = blank_canvas(160, 160);
  draw_piece(canvas, s, at(0, -60), {4, 4}, 0, true);  // after a turn, out of range: untouched
  draw_piece(canvas, s, at(0, -60), {3, 3});            // the sprite covers row 1 only
  EXPECT_EQ(canvas.pixel(140, 140), palette_rgb(kBlank));
  draw_piece(canvas, s, at(0, -60), {4, 4});
  expect(canvas, 41, 61, -1, 0);
  draw_piece(canvas, s, at(0, 45), {3, 3});  // the sprite has moved down to rows 2..4
  draw_piece(canvas, s, at(0, 45), {4, 4}, 0, true);
  expect(canvas, -1, 0, 1, 36);
}

// A regular picture smaller than the board: a piece cut from beyond its edge is a plain
// tile, one cut across the edge shows what there is of it, and nothing stale remains.
TEST(RegularPiece, PictureSmallerThanTheBoardLeavesPlainTiles) {
  PuzzleState s = solved(3, 3, 40, 40);
  std::swap(s.board(1, 2), s.board(3, 3));  // piece 9 (home (3, 3)) now on (1, 2)
  std::swap(s.board(2, 2), s.board(3, 1));  // piece 3 (home (3, 1)) now on (2, 2)
  const Picture small = coded_picture(100, 80);  // ends inside column 3 and before row 3
  Canvas canvas = blank_canvas(120, 120);
  draw_piece(canvas, s, {small, {}}, {1, 2});
  EXPECT_EQ(canvas.pixel(1, 41), palette_rgb(kPictureBg));
  EXPECT_EQ(canvas.pixel(39, 79), palette_rgb(kPictureBg));
  draw_piece(canvas, s, {small, {}}, {2, 2});
  EXPECT_EQ(canvas.pixel(41, 41), code(81, 1));
  EXPECT_EQ(canvas.pixel(59, 41), code(99, 1));
  EXPECT_EQ(canvas.pixel(60, 41), palette_rgb(kPictureBg));
  draw_new_board(canvas, s, small);  // copies whole cells, one pixel further up and left
  EXPECT_EQ(canvas.pixel(41, 41), code(82, 2));
  EXPECT_EQ(canvas.pixel(61, 41), palette_rgb(kPictureBg));
  EXPECT_EQ(canvas.pixel(20, 60), palette_rgb(kPictureBg));
}

// A piece whose home cell the moving picture only partly covers shows just that part, in
// place and mirrored with the piece; the rest of its area is the plain background.
TEST(AnimatedPiece, ShowsThePartOfTheSpriteOverItsHome) {
  PuzzleState s = solved(4, 4, 40, 40);
  s.pic_kind = 1;
  const Picture sprite = coded_picture(50, 50), none;
  const PieceSources src{none, {&sprite, 60, 70, 52, 52, 50, 50}};  // covers x 60..109, y 70..119
  Canvas canvas = blank_canvas(160, 160);
  draw_piece(canvas, s, src, {2, 2});  // home (2, 2): piece area 41..79 x 41..79
  EXPECT_EQ(canvas.pixel(59, 75), palette_rgb(kPictureBg));
  EXPECT_EQ(canvas.pixel(60, 70), code(0, 0));
  EXPECT_EQ(canvas.pixel(79, 79), code(19, 9));
  s.turn(2, 2) = kTurned180;
  draw_piece(canvas, s, src, {2, 2});
  EXPECT_EQ(canvas.pixel(60, 50), code(0, 0)) << "the visible corner lands mirrored both ways";
  EXPECT_EQ(canvas.pixel(41, 41), code(19, 9));
  EXPECT_EQ(canvas.pixel(61, 41), palette_rgb(kPictureBg));
}

// Frames left for later, of which only some are drawn (the screen shows only some), give the
// pictures drawing every frame gives: on the board, with slides and turns in between, and for
// the finished picture gliding whole.
TEST(SpriteFrames, PendingFramesDrawWhatEveryFrameWouldHave) {
  PuzzleState s = solved(5, 4, 40, 30);
  s.pic_kind = 1;
  Random random(3);
  build_solved_grid(s, 5, 4, true, random);
  scramble(s, random);
  const Picture sprite = coded_picture(90, 70), none;
  SpriteView view{&sprite, 3, 5, 92, 72, 90, 70};
  Canvas every = blank_canvas(200, 120), later = blank_canvas(200, 120);
  SpriteFrames frames;
  for (int frame = 1; frame <= 400; ++frame) {
    draw_sprite_pieces(every, s, {none, view});
    frames.board_frame(later, s, view);
    step_sprite(view.left, view.top, s.sprite_dx, s.sprite_dy, view.width, view.height, 200, 120);
    if (frame % 23 == 0) {  // a slide: the cell left and the piece's new one drawn at once
      const int d = s.on_board(s.neighbour(kGapRight)) ? kGapRight : kGapLeft;
      const Cell to = s.gap();
      s.slide(d);
      for (Canvas* canvas : {&every, &later}) {
        erase_cell(*canvas, s, s.gap());
        draw_piece(*canvas, s, {none, view}, to);
      }
    }
    if (frame % 31 == 0 && s.gap() != Cell{3, 2}) {  // a turn, drawn only under the picture
      s.turn(3, 2) = next_orientation(s.turn(3, 2));
      for (Canvas* canvas : {&every, &later}) draw_piece(*canvas, s, {none, view}, {3, 2}, 0, true);
    }
    if (frame == 200)  // drawing over the board: the next frame draws every piece afresh
      for (Canvas* canvas : {&every, &later}) canvas->fill_box(kPuzzleBg, 0, 0, 199, 119);
    if (frame % 40 == 0) {
      ASSERT_TRUE(std::ranges::equal(every.image().pixels, later.image().pixels)) << "board frame " << frame;
    }
  }
  for (int frame = 1; frame <= 300; ++frame) {
    every.fill_box(kPictureBg, view.left - 2, view.top - 2, view.left + 94, view.top + 74);
    every.stretch_copy(sprite, 0, 0, 90, 70, view.left, view.top, 92, 72);
    frames.finished_frame(later, sprite, view.left, view.top, 92, 72, kPictureBg);
    step_sprite(view.left, view.top, s.sprite_dx, s.sprite_dy, view.width, view.height, 200, 120);
    if (frame % 30 == 0) {
      ASSERT_TRUE(std::ranges::equal(every.image().pixels, later.image().pixels)) << "finished frame " << frame;
    }
  }
}

TEST(SpriteRange, CellsTheMovingPictureCovers) {
  const PuzzleState s = solved(4, 4, 40, 30);
  const std::array<int, 8> cases[] = {  // left, top, width, height -> c0, c1, r0, r1
      {0, 0, 100, 100, 1, 3, 1, 4}, {40, 30, 0, 0, 1, 1, 1, 1}, {41, 31, 39, 29, 2, 2, 2, 2},
      {-60, -60, 40, 40, 1, 1, 1, 1}, {150, 100, 100, 50, 4, 7, 4, 5}};
  for (const auto& c : cases) {
    const CellRange r = sprite_range(s, {nullptr, c[0], c[1], 0, 0, c[2], c[3]});
    EXPECT_EQ((std::array{r.c0, r.c1, r.r0, r.r1}), (std::array{c[4], c[5], c[6], c[7]})) << c[0] << ", " << c[1];
  }
}

TEST(StepSprite, GlidesOnePixelAndBouncesOffTheBoardEdges) {
  std::array<int, 8> cases[] = {  // left, top, dx, dy before and after, a 50 x 30 sprite on 160 x 160
      {0, 0, -1, -1, 1, 1, 1, 1}, {50, 50, 1, -1, 51, 49, 1, -1}, {110, 20, 1, 1, 109, 21, -1, 1},
      {20, 130, -1, 1, 19, 129, -1, -1}};
  for (auto& c : cases) {
    step_sprite(c[0], c[1], c[2], c[3], 50, 30, 160, 160);
    EXPECT_EQ((std::array{c[0], c[1], c[2], c[3]}), (std::array{c[4], c[5], c[6], c[7]}));
  }
}

TEST(TinyWindow, CellsUnderTwoPixelsDrawWithoutHarm) {
  for (int side : {30, 10, 1}) {
    PuzzleState s = solved(20, 20, side / 20, side / 20);
    s.board_px_w = s.board_px_h = side;
    const Picture picture = coded_picture(side, side);
    Canvas canvas(side, side);
    for (int kind : {0, 1}) {
      s.pic_kind = kind;
      const PieceSources src{picture, {&picture, 2, 2, side, side, side, side}};
      draw_new_board(canvas, s, picture);
      for (int y = 1; y <= 20; ++y)
        for (int x = 1; x <= 20; ++x) {
          draw_piece(canvas, s, src, {x, y}, 1);
          erase_cell(canvas, s, {x, y}, 1);
        }
      draw_sprite_pieces(canvas, s, src);
      repaint_grid(canvas, s);
    }
    EXPECT_EQ(canvas.image().pixels.size(), static_cast<std::size_t>(side * side));
  }
}

}  // namespace
}  // namespace jumblix::testing
