#include <gtest/gtest.h>

#include "platform/picture.h"
#include "platform/test_support.h"

namespace jumblix::testing {
namespace {

// `colours` different colours spread over a picture of odd width (rows need padding).
Picture colourful(int colours) {
  Picture p(37, 23);
  for (std::size_t i = 0; i < p.pixels.size(); ++i)
    p.pixels[i] = 0xFF000000u | (static_cast<std::uint32_t>(i * 7919 % colours) * 0x10307u & 0xFFFFFFu);
  return p;
}

class BitmapRoundTrip : public ::testing::TestWithParam<BitmapDepth> {};

TEST_P(BitmapRoundTrip, IsLossless) {
  TempDir dir;
  const Picture p = colourful(GetParam() == BitmapDepth::palette8 ? 256 : 100000);
  ASSERT_TRUE(save_bitmap(dir.file("a.bmp"), p, GetParam()));
  EXPECT_EQ(dir.read("a.bmp")[28], GetParam() == BitmapDepth::palette8 ? 8 : 24);  // bits per pixel
  const auto back = load_bitmap(dir.file("a.bmp"));
  ASSERT_TRUE(back);
  EXPECT_TRUE(*back == p);
  EXPECT_FALSE(save_bitmap(dir.file("missing/a.bmp"), p, GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapRoundTrip,
                         ::testing::Values(BitmapDepth::palette8, BitmapDepth::rgb24));

// A 24-bit bitmap header claiming w x h pixels, followed by a little pixel data.
std::string header_claiming(std::uint32_t w, std::uint32_t h) {
  std::string b(54, '\0');
  for (auto [at, v] : {std::pair{0, 0x4D42u}, {2, 118u}, {10, 54u}, {14, 40u}, {18, w}, {22, h}, {26, 0x180001u}})
    for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(at + i)] = static_cast<char>(v >> (8 * i));
  return b + std::string(64, 'U');
}

const unsigned char kPng[] = {  // a valid 1 x 1 PNG
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00,
    0x0c, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0xc9,
    0xfe, 0x92, 0xef, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

TEST(BitmapFile, BadFilesAreRefused) {
  TempDir dir;
  ASSERT_TRUE(save_bitmap(dir.file("good.bmp"), colourful(5000)));
  const std::string good = dir.read("good.bmp");
  const std::pair<const char*, std::string> cases[] = {
      {"empty.bmp", ""},
      {"header-only.bmp", good.substr(0, 54)},
      {"truncated.bmp", good.substr(0, good.size() / 2)},
      {"notes.bmp", "These are not pixels.\r\n"},
      {"png.bmp", std::string(reinterpret_cast<const char*>(kPng), sizeof kPng)},
      {"huge.bmp", header_claiming(20000, 20000)},
      {"long.bmp", header_claiming(100000, 1)},
  };
  for (const auto& [name, bytes] : cases) {
    dir.write(name, bytes);
    EXPECT_FALSE(load_bitmap(dir.file(name))) << name;
  }
  EXPECT_FALSE(load_bitmap(dir.file("missing.bmp")));
  EXPECT_FALSE(load_bitmap(dir.path()));
  EXPECT_TRUE(load_bitmap(dir.file("good.bmp")));
}

}  // namespace
}  // namespace jumblix::testing
