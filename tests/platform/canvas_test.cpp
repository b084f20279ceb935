#include "platform/canvas.h"

#include <gtest/gtest.h>

#include "platform/test_support.h"

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
  EXPECT_EQ(0, mismatches(canvas, [](int x, int y) {
              if (x >= 5 && x <= 14 && y >= 5 && y <= 14) return code(3 + (x - 5) / 2, 4 + (y - 5) / 2);
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

}  // namespace
}  // namespace jumblix::testing
