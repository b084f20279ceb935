#include "puzzle/builtin_pictures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace jumblix {
namespace {

struct PictureCase {
  const char* name;
  Picture (*make)();
  int width, height;       // full size
  int puzzle_w, puzzle_h;  // the part cut into pieces
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.name; }

const PictureCase kCases[] = {
    {"title", make_title_picture, 800, 600, kTitleShownWidth, kTitleShownHeight},
    {"moving", make_moving_picture, 267, 236, kMovingPictureWidth, kMovingPictureHeight},
};

class BuiltinPicture : public ::testing::TestWithParam<PictureCase> {
 protected:
  static const Picture& picture() {
    static std::map<std::string, Picture> cache;
    auto [it, added] = cache.try_emplace(GetParam().name);
    if (added) it->second = GetParam().make();
    return it->second;
  }
};

struct Cell {
  int x0, y0, x1, y1;
};

// The pieces of a 4 x 4 puzzle over the top-left w x h of a picture, split as evenly as
// whole pixels allow.
std::vector<Cell> cells_4x4(int w, int h) {
  std::vector<Cell> cells;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      cells.push_back({c * w / 4, r * h / 4, (c + 1) * w / 4, (r + 1) * h / 4});
  return cells;
}

std::map<std::uint32_t, int> colour_counts(const Picture& p, const Cell& c) {
  std::map<std::uint32_t, int> counts;
  for (int y = c.y0; y < c.y1; ++y)
    for (int x = c.x0; x < c.x1; ++x) ++counts[p.at(x, y)];
  return counts;
}

TEST_P(BuiltinPicture, HasItsFixedSize) {
  const Picture& p = picture();
  EXPECT_EQ(p.width, GetParam().width);
  EXPECT_EQ(p.height, GetParam().height);
  EXPECT_EQ(p.pixels.size(), static_cast<std::size_t>(p.width) * p.height);
}

TEST_P(BuiltinPicture, UsesAtMost256OpaqueColours) {
  const Picture& p = picture();
  const std::set<std::uint32_t> colours(p.pixels.begin(), p.pixels.end());
  EXPECT_LE(colours.size(), 256u);
  EXPECT_GE(colours.size(), 16u) << "expected a colourful picture";
  for (std::uint32_t c : colours) ASSERT_EQ(c >> 24, 0xFFu) << std::hex << c;
}

TEST_P(BuiltinPicture, IsTheSameEveryTime) { EXPECT_EQ(GetParam().make(), picture()); }

// Every piece must be recognisable by eye: busy enough not to be one flat colour, and
// clearly unlike every other piece.
TEST_P(BuiltinPicture, PiecesOfA4x4PuzzleCanBeToldApart) {
  const Picture& p = picture();
  const std::vector<Cell> cells = cells_4x4(GetParam().puzzle_w, GetParam().puzzle_h);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    const auto counts = colour_counts(p, c);
    int most = 0;
    for (const auto& [colour, n] : counts) most = std::max(most, n);
    const int area = (c.x1 - c.x0) * (c.y1 - c.y0);
    EXPECT_GE(counts.size(), 4u) << "piece " << i;
    EXPECT_LT(most, area * 85 / 100) << "piece " << i << " is nearly one colour";
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    for (std::size_t j = i + 1; j < cells.size(); ++j) {
      const Cell& a = cells[i];
      const Cell& b = cells[j];
      const int w = std::min(a.x1 - a.x0, b.x1 - b.x0), h = std::min(a.y1 - a.y0, b.y1 - b.y0);
      int differ = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) differ += p.at(a.x0 + x, a.y0 + y) != p.at(b.x0 + x, b.y0 + y);
      EXPECT_GT(differ, w * h / 5) << "pieces " << i << " and " << j << " look alike";
    }
  }
}

TEST_P(BuiltinPicture, SurvivesAnEightBitPaletteBitmap) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() /
                       ("jumblix_builtin_" + std::to_string(::getpid()) + "_" + GetParam().name);
  fs::create_directories(dir);
  const std::string path = (dir / "picture.bmp").string();
  ASSERT_TRUE(save_bitmap(path, picture(), BitmapDepth::palette8));
  const auto loaded = load_bitmap(path);
  fs::remove_all(dir);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_TRUE(*loaded == picture()) << "colours changed on the way through the palette";
}

INSTANTIATE_TEST_SUITE_P(Builtin, BuiltinPicture, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Beyond the window's start-up area the title picture goes on with the scene rather than
// stopping at a blank edge, so a larger window still shows a whole picture.
TEST(TitlePicture, ContinuesBeyondTheShownArea) {
  const Picture p = make_title_picture();
  const auto right = colour_counts(p, {kTitleShownWidth, 0, p.width, p.height});
  const auto below = colour_counts(p, {0, kTitleShownHeight, p.width, p.height});
  EXPECT_GE(right.size(), 8u);
  EXPECT_GE(below.size(), 8u);
}

}  // namespace
}  // namespace jumblix
