#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/test_support.h"
#include "play/piece_drawing.h"

namespace jumblix::testing {
namespace {

struct Anchor {
  int x, y, dw, dh;
};

class CanvasMirror : public ::testing::TestWithParam<Anchor> {};

// With 40-pixel cells a piece area is columns 41..79, rows 81..119; each orientation's
// anchor and signed size covers exactly that area, mirrored as the signs say.
TEST_P(CanvasMirror, CopyCoversThePieceAreaOnly) {
  const Anchor a = GetParam();
  Canvas canvas = blank_canvas(160, 160);
  ASSERT_TRUE(canvas.stretch_copy(coded_picture(200, 200), 121, 41, 39, 39, a.x, a.y, a.dw, a.dh));
  EXPECT_EQ(0, mismatches(canvas, [&](int x, int y) {
              if (x < 41 || x > 79 || y < 81 || y > 119) return palette_rgb(kBlank);
              return code(121 + (a.dw < 0 ? 79 - x : x - 41), 41 + (a.dh < 0 ? 119 - y : y - 81));
            }));
}

INSTANTIATE_TEST_SUITE_P(Orientations, CanvasMirror,
                         ::testing::Values(Anchor{41, 81, 39, 39}, Anchor{79, 119, -39, -39},
                                           Anchor{41, 119, 39, -39}, Anchor{79, 81, -39, 39}));

TEST(Canvas, StretchesByNearestNeighbourAndClipsAtTheEdges) {
  const Picture src = coded_picture(40, 40);
  Canvas canvas = blank_canvas(40, 40);
  ASSERT_TRUE(canvas.stretch_copy(src, 3, 4, 5, 5, 5, 5, 10, 10));     // doubled
  ASSERT_TRUE(canvas.stretch_copy(src, 0, 0, 20, 20, 39, 20, -10, 10)); // halved, mirrored
  ASSERT_TRUE(canvas.stretch_copy(src, 0, 0, 30, 30, 2, 36, -30, 30));  // mostly off-canvas
  ASSERT_TRUE(canvas.stretch_copy(src, 1, 1, 9, 3, 16, 0, 12, 3));      // widened by a third
  EXPECT_EQ(0, mismatches(canvas, [](int x, int y) {
              if (x >= 5 && x <= 14 && y >= 5 && y <= 14) return code(3 + (x - 5) / 2, 4 + (y - 5) / 2);
              if (x >= 16 && x <= 27 && y <= 2) return code(1 + (x - 16) * 9 / 12, 1 + y);
              if (x >= 30 && y >= 20 && y <= 29) return code(2 * (39 - x), 2 * (y - 20));
              if (x <= 2 && y >= 36) return code(2 - x, y - 36);
              return palette_rgb(kBlank);
            }));
}

TEST(Canvas, FillBoxIncludesBothCornersInAnyOrderAndClips) {
  Canvas canvas = blank_canvas(10, 8);
  canvas.fill_box(12, 7, 5, 2, 1);
  canvas.fill_box(4, -5, 6, 3, 100);
  canvas.fill_box(4, 20, 20, 30, 30);
  EXPECT_EQ(0, mismatches(canvas, [](int x, int y) {
              if (x <= 3 && y >= 6) return palette_rgb(4);
              return palette_rgb(x >= 2 && x <= 7 && y >= 1 && y <= 5 ? 12 : kBlank);
            }));
}

struct Source {
  int sx, sy, sw, sh;
};

class CanvasBadSource : public ::testing::TestWithParam<Source> {};

TEST_P(CanvasBadSource, IsRefusedAndDrawsNothing) {
  const Source b = GetParam();
  const Picture src = coded_picture(10, 10);
  Canvas canvas = blank_canvas(30, 30);
  EXPECT_FALSE(canvas.stretch_copy(src, b.sx, b.sy, b.sw, b.sh, 5, 5, 20, 20));
  EXPECT_FALSE(canvas.stretch_copy(src, b.sx, b.sy, b.sw, b.sh, 25, 25, -20, -20));
  EXPECT_FALSE(canvas.stretch_copy(Picture(), 0, 0, 1, 1, 5, 5, 20, 20));
  EXPECT_EQ(0, mismatches(canvas, [](int, int) { return palette_rgb(kBlank); }));
}

INSTANTIATE_TEST_SUITE_P(OutsideThePicture, CanvasBadSource,
                         ::testing::Values(Source{-1, 0, 5, 5}, Source{0, -3, 5, 5}, Source{6, 0, 5, 5},
                                           Source{0, 8, 5, 3}, Source{0, 0, 11, 1}, Source{2, 2, 0, 0}));

// What a view is told to repaint after a slide: the two cells and nothing beyond them; a
// piece drawn far away is a rectangle of its own, not a box over the board between.
TEST(CanvasChanges, ASlideMarksExactlyItsTwoCells) {
  PuzzleState s;
  s.reset_solved(4, 4);
  s.piece_w = 40;
  s.piece_h = 30;
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 4; ++x) s.turn(x, y) = kUpright;
  const Picture picture = coded_picture(160, 120);
  Canvas canvas = blank_canvas(160, 120);
  draw_new_board(canvas, s, picture);
  canvas.take_dirty();
  const Cell to = s.gap();
  ASSERT_TRUE(s.slide(kGapRight));
  const Cell from = s.gap();
  erase_cell(canvas, s, from);
  draw_piece(canvas, s, {picture, {}}, to);
  const auto changed = [&] {
    std::vector<bool> marked(160 * 120);
    for (const DirtyRect& r : canvas.take_dirty())
      for (int y = r.y1; y <= r.y2; ++y)
        for (int x = r.x1; x <= r.x2; ++x) marked[static_cast<std::size_t>(y * 160 + x)] = true;
    return marked;
  };
  auto in_cell = [&](Cell c, int x, int y, int inset) {
    return x >= (c.x - 1) * 40 + inset && x < c.x * 40 && y >= (c.y - 1) * 30 + inset && y < c.y * 30;
  };
  std::vector<bool> marked = changed();
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      const bool in_piece_areas = in_cell(to, x, y, 1) || in_cell(from, x, y, 1);
      const bool in_cells = in_cell(to, x, y, 0) || in_cell(from, x, y, 0);
      // Inside the piece areas: marked; outside both cells: not; the grid lines between: either.
      if (in_piece_areas || !in_cells) {
        ASSERT_EQ(marked[static_cast<std::size_t>(y * 160 + x)], in_piece_areas) << x << ", " << y;
      }
    }
  draw_piece(canvas, s, {picture, {}}, {4, 4});
  draw_piece(canvas, s, {picture, {}}, to);
  const std::vector<DirtyRect> rects = canvas.take_dirty();
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].area() + rects[1].area(), 2 * 39 * 29);
}


// Memory a view lends the canvas, as the X11 view does: it may still be reading what it took
// until the canvas says it draws again.
class LentMemory : public PixelMemory {
 public:
  std::uint32_t* lend(int width, int height) override {
    blocks.push_back(std::make_unique<std::uint32_t[]>(static_cast<std::size_t>(width) * height));
    return blocks.back().get();
  }
  void give_back(std::uint32_t* pixels) override {
    std::erase_if(blocks, [pixels](const auto& b) { return b.get() == pixels; });
  }
  void before_drawing() override { ++readers_waited_for; }
  std::vector<std::unique_ptr<std::uint32_t[]>> blocks;
  int readers_waited_for = 0;
};

TEST(CanvasMemory, LentMemoryHoldsThePixelsAndIsWaitedForOnlyAfterATake) {
  LentMemory memory;
  Canvas canvas = blank_canvas(8, 6);
  canvas.fill_box(4, 0, 0, 1, 1);
  canvas.use_memory(&memory);
  ASSERT_EQ(memory.blocks.size(), 1u);
  EXPECT_EQ(canvas.image().pixels.data(), memory.blocks[0].get());
  EXPECT_EQ(canvas.pixel(1, 1), palette_rgb(4));
  EXPECT_EQ(canvas.pixel(2, 2), palette_rgb(kBlank));

  canvas.fill_box(5, 2, 2, 3, 3);  // nothing taken yet: nobody reads
  canvas.take_dirty();
  canvas.fill_box(6, 4, 4, 4, 4);
  canvas.fill_box(6, 5, 5, 5, 5);
  EXPECT_EQ(memory.readers_waited_for, 1);
  canvas.take_dirty();
  canvas.image();  // reading is no drawing
  EXPECT_EQ(memory.readers_waited_for, 1);

  // A resize moves into new memory with the content and gives the old back.
  canvas.resize(10, 6);
  EXPECT_EQ(memory.readers_waited_for, 2);
  ASSERT_EQ(memory.blocks.size(), 1u);
  EXPECT_EQ(canvas.image().pixels.data(), memory.blocks[0].get());
  EXPECT_EQ(canvas.pixel(3, 3), palette_rgb(5));
  EXPECT_EQ(canvas.pixel(9, 0), 0xFF000000u);

  canvas.use_memory(nullptr);
  EXPECT_TRUE(memory.blocks.empty());
  EXPECT_EQ(canvas.pixel(4, 4), palette_rgb(6));
}

}  // namespace
}  // namespace jumblix::testing
