#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

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

// Little-endian fields for hand-made bitmap files.
std::string le(std::uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
  return s;
}

// "BM", the file size, the pixel offset, then the given header, palette and pixel bytes.
std::string bitmap_file(const std::string& header, const std::string& palette, const std::string& pixels) {
  const auto offset = static_cast<std::uint32_t>(14 + header.size() + palette.size());
  return "BM" + le(offset + static_cast<std::uint32_t>(pixels.size()), 4) + le(0, 4) + le(offset, 4) +
         header + palette + pixels;
}

std::string info_header(std::int32_t w, std::int32_t h, int bits, int compression, int colours = 0) {
  return le(40, 4) + le(static_cast<std::uint32_t>(w), 4) + le(static_cast<std::uint32_t>(h), 4) + le(1, 2) +
         le(static_cast<std::uint32_t>(bits), 2) + le(static_cast<std::uint32_t>(compression), 4) + le(0, 4) +
         le(2835, 4) + le(2835, 4) + le(static_cast<std::uint32_t>(colours), 4) + le(0, 4);
}

// Two palette colours: index 0 a dark teal no file below paints with, index 1 white.
const std::string kTwoColours = le(0x00336655, 4) + le(0x00FFFFFF, 4);
constexpr std::uint32_t kColourZero = 0xFF336655;

TEST(BitmapFile, TruncatedBitmapsOfEveryKindAreRefused) {
  TempDir dir;
  const std::pair<const char*, std::string> cases[] = {
      // The old 12-byte header: 100 x 100 x 24 bits, but only 100 bytes of pixels.
      {"os2.bmp", bitmap_file(le(12, 4) + le(100, 2) + le(100, 2) + le(1, 2) + le(24, 2), "",
                              std::string(100, '\x80'))},
      // Run-length encoded pixels that stop before the end-of-picture code.
      {"rle8.bmp", bitmap_file(info_header(64, 64, 8, 1, 2), kTwoColours, std::string(40, '\x01'))},
      {"rle4.bmp", bitmap_file(info_header(64, 64, 4, 2, 2), kTwoColours, std::string(40, '\x11'))},
      {"rle8-absolute.bmp",  // an absolute run of 200 pixels with only 10 of them in the file
       bitmap_file(info_header(200, 2, 8, 1, 2), kTwoColours, std::string("\0\xC8", 2) + std::string(10, '\1'))},
      // A 24-bit top-down picture one row short.
      {"top-down.bmp", bitmap_file(info_header(4, -4, 24, 0), "", std::string(48 - 16, '\x40'))},
  };
  for (const auto& [name, bytes] : cases) {
    dir.write(name, bytes);
    EXPECT_FALSE(load_bitmap(dir.file(name))) << name;
  }
}

// A small picture followed by a long tail (a disk image, a damaged download): only what the
// picture can need is read, and a stream that never ends is refused without reading on.
TEST(BitmapFile, ALongTailCostsNoMoreThanThePicture) {
  TempDir dir;
  // 13 x 7, each row one run of 13 white pixels; the rows end but the picture's end code
  // does not come: the tail's zero bytes read as further ends of rows.
  std::string rows;
  for (int y = 0; y < 7; ++y) rows += std::string("\x0D\x01\0\0", 4);
  dir.write("tail.bmp", bitmap_file(info_header(13, 7, 8, 1, 2), kTwoColours, rows));
  if (::truncate(dir.file("tail.bmp").c_str(), 100LL << 30) != 0) GTEST_SKIP() << "no sparse files here";
  const auto p = load_bitmap(dir.file("tail.bmp"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 13);
  EXPECT_EQ(p->at(12, 6), 0xFFFFFFFFu);
  ::truncate(dir.file("tail.bmp").c_str(), 0);
  // Runs that never reach the end of a row.
  dir.write("endless.bmp", bitmap_file(info_header(13, 7, 8, 1, 2), kTwoColours, std::string(1 << 16, '\x01')));
  EXPECT_FALSE(load_bitmap(dir.file("endless.bmp")));
}

// Headers and compressions other programs write and read: 52 and 56 bytes (the colour
// masks, and the alpha mask, inside the header), alpha bit fields after a 40-byte header.
TEST(BitmapFile, EveryHeaderTheFileFormatHasIsRead) {
  TempDir dir;
  auto header = [](std::uint32_t size, int bits, int compression, int planes = 1) {
    std::string h = info_header(2, 1, bits, compression);
    h.replace(0, 4, le(size, 4));
    h.replace(12, 2, le(static_cast<std::uint32_t>(planes), 2));
    return h;
  };
  const std::string rgba_masks = le(0xFF0000, 4) + le(0xFF00, 4) + le(0xFF, 4) + le(0xFF000000, 4);
  const std::string opaque_pixels = le(0xFF102030, 4) + le(0xFF405060, 4);
  const std::pair<const char*, std::string> cases[] = {
      {"v2-565.bmp", bitmap_file(header(52, 16, 3, 0) + le(0xF800, 4) + le(0x07E0, 4) + le(0x001F, 4), "",
                                 le(0xF800, 2) + le(0x001F, 2))},
      {"v3-alpha.bmp", bitmap_file(header(56, 32, 3) + rgba_masks, "", opaque_pixels)},
      {"alpha-bit-fields.bmp", bitmap_file(header(40, 32, 6), rgba_masks, opaque_pixels)},
  };
  for (const auto& [name, bytes] : cases) {
    dir.write(name, bytes);
    const auto p = load_bitmap(dir.file(name));
    ASSERT_TRUE(p) << name;
    ASSERT_EQ(p->pixels.size(), 2u) << name;
    if (std::string(name) == "v2-565.bmp") {
      EXPECT_EQ(p->at(0, 0), 0xFFF80000u);
      EXPECT_EQ(p->at(1, 0), 0xFF0000F8u);
    } else {
      EXPECT_EQ(p->at(0, 0), 0xFF102030u) << name;
      EXPECT_EQ(p->at(1, 0), 0xFF405060u) << name;
    }
  }
}

TEST(BitmapFile, PixelsAFileLeavesOutAreColourZeroNeverStaleMemory) {
  TempDir dir;
  // 64 x 64, one run of 8 white pixels, then the end-of-picture code: the rest is skipped.
  dir.write("short.bmp", bitmap_file(info_header(64, 64, 8, 1, 2), kTwoColours, std::string("\x08\x01\0\x01", 4)));
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto p = load_bitmap(dir.file("short.bmp"));
    ASSERT_TRUE(p);
    int white = 0, other = 0;
    for (std::uint32_t px : p->pixels) (px == 0xFFFFFFFF ? white : px == kColourZero ? other : other += 1000) += 1;
    EXPECT_EQ(white, 8);
    EXPECT_EQ(other, 64 * 64 - 8);
  }
}

TEST(BitmapFile, TopDownBitmapLoadsUpright) {
  TempDir dir;
  // 2 x 2, rows stored top first: red, green / blue, white (24-bit rows padded to 8 bytes).
  const std::string rows = std::string("\0\0\xFF\0\xFF\0\0\0", 8) + std::string("\xFF\0\0\xFF\xFF\xFF\0\0", 8);
  dir.write("down.bmp", bitmap_file(info_header(2, -2, 24, 0), "", rows));
  const auto p = load_bitmap(dir.file("down.bmp"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->at(0, 0), 0xFFFF0000u);
  EXPECT_EQ(p->at(1, 0), 0xFF00FF00u);
  EXPECT_EQ(p->at(0, 1), 0xFF0000FFu);
  EXPECT_EQ(p->at(1, 1), 0xFFFFFFFFu);
}

TEST(BitmapFile, PictureOverTheLimitIsReportedAsTooLarge) {
  TempDir dir;
  dir.write("huge.bmp", header_claiming(20000, 20000));
  dir.write("notes.bmp", "not a picture");
  PictureError error = PictureError::none;
  EXPECT_FALSE(load_bitmap(dir.file("huge.bmp"), &error));
  EXPECT_EQ(error, PictureError::too_large);
  EXPECT_FALSE(load_bitmap(dir.file("notes.bmp"), &error));
  EXPECT_EQ(error, PictureError::unreadable);
}

// A FIFO named like a picture is refused at once instead of waiting for a writer; a name
// that is not valid UTF-8 is opened by its exact bytes.
TEST(BitmapFile, OnlyRegularFilesAreReadWhateverTheirName) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
  auto reading = std::async(std::launch::async, [&] { return load_bitmap(dir.file("pipe.bmp")).has_value(); });
  if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "reading a FIFO blocks";
    ::close(::open(dir.file("pipe.bmp").c_str(), O_WRONLY | O_NONBLOCK));  // lets the reader go
  }
  EXPECT_FALSE(reading.get());
  const std::string latin1_name = "caf\xE9.bmp";
  ASSERT_TRUE(save_bitmap(dir.file(latin1_name), colourful(3)));
  EXPECT_TRUE(load_bitmap(dir.file(latin1_name)));
}

}  // namespace
}  // namespace jumblix::testing
