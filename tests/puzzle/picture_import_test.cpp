// The player's own image files turned into picture-folder bitmaps.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <functional>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "platform/picture.h"
#include "platform/test_support.h"
#include "puzzle/picture_import.h"

namespace jumblix::testing {
namespace {

constexpr AreaSize kDesignArea{754, 385};

// Red on the left, blue on the right, a green top row: which way up it stands shows.
QImage marked_image(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, y < height / 8 ? qRgb(0, 200, 0) : x < width / 2 ? qRgb(220, 0, 0) : qRgb(0, 0, 220));
  return image;
}

std::string encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(95);
  EXPECT_TRUE(writer.write(image)) << format;
  return bytes.toStdString();
}

// A camera's JPEG: the pixels as the sensor saw them and an EXIF orientation tag saying how
// to turn them (6: turn a quarter clockwise to stand upright).
std::string jpeg_with_orientation(const QImage& image, int orientation) {
  const std::string jpeg = encoded(image, "jpeg");
  std::string tiff("MM\0\x2A\0\0\0\x08", 8);                     // big-endian, first IFD at 8
  tiff += std::string("\0\x01", 2);                              // one entry
  tiff += std::string("\x01\x12\0\x03\0\0\0\x01", 8);            // Orientation, SHORT, 1 value
  tiff += std::string("\0", 1) + char(orientation) + std::string("\0\0", 2);
  tiff += std::string("\0\0\0\0", 4);                            // no next IFD
  const std::string payload = std::string("Exif\0\0", 6) + tiff;
  const std::size_t length = payload.size() + 2;
  const std::string app1 = std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + payload;
  return jpeg.substr(0, 2) + app1 + jpeg.substr(2);
}

std::uint32_t png_crc(std::uint32_t crc, const char* bytes, std::size_t count) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  for (std::size_t i = 0; i < count; ++i) crc = table[(crc ^ static_cast<unsigned char>(bytes[i])) & 0xFF] ^ (crc >> 8);
  return crc;
}

// Writes `png` with a well-formed text chunk of `text_bytes` bytes after its header chunk.
void write_png_with_text(const std::string& path, const std::string& png, std::size_t text_bytes) {
  std::ofstream out(path, std::ios::binary);
  constexpr std::size_t kAfterHeader = 8 + 25;  // signature and IHDR
  out << png.substr(0, kAfterHeader);
  const std::size_t length = 8 + text_bytes;
  const char length_bytes[4] = {char(length >> 24), char(length >> 16), char(length >> 8), char(length)};
  out.write(length_bytes, 4);
  const std::string start("tEXtComment\0", 12);
  std::uint32_t crc = png_crc(0xFFFFFFFFu, start.data(), start.size());
  out << start;
  const std::string block(1 << 20, 'x');
  for (std::size_t left = text_bytes; left > 0;) {
    const std::size_t n = std::min(left, block.size());
    crc = png_crc(crc, block.data(), n);
    out.write(block.data(), static_cast<std::streamsize>(n));
    left -= n;
  }
  crc ^= 0xFFFFFFFFu;
  const char crc_bytes[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
  out.write(crc_bytes, 4);
  out << png.substr(kAfterHeader);
}

// Runs `work`: what it answered and the most memory, in kB, that it took beyond what the
// process held before. Measured in this process (its peak is reset first) rather than in a
// forked child, which could stop on a lock another thread of the tests held at the fork.
struct Measured {
  bool answer = false;
  long grown_kb = -1;
};
Measured measured(const std::function<bool()>& work) {
  auto status_kb = [](const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    return -1L;
  };
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts from here
  const long before = status_kb("VmRSS:");
  Measured m;
  m.answer = work();
  m.grown_kb = status_kb("VmHWM:") - before;
  return m;
}

class PictureImportTest : public ::testing::Test {
 protected:
  std::string folder() const { return dir.file("regular pictures"); }
  ImportResult import(const std::string& name, const std::string& bytes,
                      PictureKind kind = PictureKind::regular, AreaSize cover = kDesignArea) {
    source.write(name, bytes);
    return import_picture(source.file(name), kind, folder(), cover);
  }
  Picture written(const ImportResult& result) const {
    EXPECT_TRUE(result.added) << result.detail;
    auto picture = load_bitmap(folder() + "/" + result.picture_name);
    EXPECT_TRUE(picture.has_value()) << result.picture_name;
    return picture.value_or(Picture());
  }
  int files_written() const {
    std::error_code ec;
    int n = 0;
    for (std::filesystem::directory_iterator it(folder(), ec), end; !ec && it != end; it.increment(ec)) ++n;
    return n;
  }

  TempDir dir, source;
};

TEST_F(PictureImportTest, RegularPicturesCoverTheDrawingAreaKeepingTheirProportions) {
  const ImportResult photo = import("holiday photo.jpg", encoded(marked_image(600, 400), "jpeg"));
  EXPECT_EQ(photo.picture_name, "holiday photo.bmp");
  const Picture p = written(photo);
  EXPECT_EQ(p.width, 754);
  EXPECT_NEAR(p.height, 400.0 * 754 / 600, 1.0);
  EXPECT_GE(p.height, 385);
  const std::string bytes = dir.read("regular pictures/holiday photo.bmp");
  ASSERT_GT(bytes.size(), 30u);
  EXPECT_EQ(bytes[28], 24) << "a 24-bit bitmap";
  EXPECT_EQ(p.at(100, 300) & 0xFFFFFF, 0xDC0000u) << "colours come through (red half)";

  // A tall drawing area is covered by height; a tiny picture is scaled up just the same.
  EXPECT_EQ(written(import("wide.jpg", encoded(marked_image(600, 400), "jpeg"), PictureKind::regular,
                           {400, 1000})).width, 1500);
  const Picture tiny = written(import("tiny.png", encoded(marked_image(8, 6), "png")));
  EXPECT_EQ(tiny.width, 754);
  EXPECT_NEAR(tiny.height, 6.0 * 754 / 8, 1.0);
  // A long thin strip cannot cover the area within the largest picture the game loads.
  const Picture strip = written(import("strip.png", encoded(marked_image(2, 3000), "png")));
  EXPECT_LE(strip.height, kMaxPictureSide);
}

TEST_F(PictureImportTest, PhonePhotoStandsUprightAsItsOrientationTagSays) {
  // Stored 1800 x 1200 with the green row on top; turned a quarter clockwise the green row is on
  // the right, red on the top, blue at the bottom, and the picture is taller than wide.
  const Picture p = written(import("phone.jpg", jpeg_with_orientation(marked_image(1800, 1200), 6)));
  EXPECT_LT(p.width, p.height);
  EXPECT_EQ(p.width, 754);
  auto red = [](std::uint32_t c) { return int(c >> 16 & 0xFF); };
  auto green = [](std::uint32_t c) { return int(c >> 8 & 0xFF); };
  auto blue = [](std::uint32_t c) { return int(c & 0xFF); };
  EXPECT_GT(green(p.at(p.width - 5, p.height / 2)), 150);
  EXPECT_GT(red(p.at(p.width / 3, 20)), 150);
  EXPECT_GT(blue(p.at(p.width / 3, p.height - 20)), 150);
}

TEST_F(PictureImportTest, AnimatedPicturesFitTheMovingPictureAndSmallOnesStay) {
  const Picture big = written(import("kite.png", encoded(marked_image(600, 300), "png"), PictureKind::animated));
  EXPECT_EQ(big.width, 267);
  EXPECT_NEAR(big.height, 133.5, 1.0);
  const Picture tall = written(import("tower.png", encoded(marked_image(100, 500), "png"), PictureKind::animated));
  EXPECT_EQ(tall.height, 236);
  EXPECT_LE(tall.width, 267);
  const Picture small = written(import("bee.webp", encoded(marked_image(40, 30), "webp"), PictureKind::animated));
  EXPECT_EQ(small.width, 40);
  EXPECT_EQ(small.height, 30);
}

TEST_F(PictureImportTest, ANameInUseIsNeverOverwritten) {
  EXPECT_EQ(import("sunset.png", encoded(marked_image(30, 20), "png")).picture_name, "sunset.bmp");
  const std::string first = dir.read("regular pictures/sunset.bmp");
  EXPECT_EQ(import("sunset.jpg", encoded(marked_image(60, 20), "jpeg")).picture_name, "sunset 2.bmp");
  EXPECT_EQ(dir.read("regular pictures/sunset.bmp"), first);
  // The built-in pictures are written afresh at every start: their names are always taken.
  EXPECT_EQ(import("title1.png", encoded(marked_image(30, 20), "png")).picture_name, "title1 2.bmp");
}

TEST_F(PictureImportTest, WhatIsNotAReadablePictureIsRefusedWithItsReasonAndWritesNothing) {
  const std::string png = encoded(marked_image(300, 200), "png");
  QImage huge(16385, 2, QImage::Format_RGB32);
  huge.fill(Qt::white);
  const std::pair<std::string, std::string> cases[] = {
      {"notes.txt", "Shopping: eggs, milk, a new kite\n"},
      {"cut.png", png.substr(0, png.size() / 2)},
      {"huge.png", encoded(huge, "png")},
  };
  for (const auto& [name, bytes] : cases) {
    const ImportResult result = import(name, bytes);
    EXPECT_FALSE(result.added) << name;
    EXPECT_FALSE(result.detail.empty()) << name;
  }
  EXPECT_NE(import("huge.png", encoded(huge, "png")).detail.find("16384"), std::string::npos);
  EXPECT_FALSE(import_picture(source.file("missing.jpg"), PictureKind::regular, folder(), kDesignArea).added);
  ASSERT_EQ(::mkfifo(source.file("pipe.jpg").c_str(), 0600), 0);  // refused at once, never waited on
  EXPECT_FALSE(import_picture(source.file("pipe.jpg"), PictureKind::regular, folder(), kDesignArea).added);
  EXPECT_EQ(files_written(), 0) << "no bitmap and no half-written temporary file";
}

// A camera's large photo is decoded at about the size it is made, not at its own; a picture
// larger than the game loads is refused from its header, before anything is decoded.
TEST_F(PictureImportTest, LargePhotosCostTheMemoryOfWhatIsMade) {
  const ImportResult photo = import("camera.jpg", encoded(marked_image(3200, 2400), "jpeg"));
  const Picture p = written(photo);
  EXPECT_EQ(p.width, 754);
  EXPECT_LE(photo.decoded.width * photo.decoded.height, 2 * p.width * p.height)
      << photo.decoded.width << " x " << photo.decoded.height;

  // 9000 x 8000 pixels by its header: within 16384 a side, but over 64 million in all.
  std::string jpeg = encoded(marked_image(16, 16), "jpeg");
  const auto frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  jpeg.replace(frame + 5, 4, "\x1F\x40\x23\x28");
  const ImportResult huge = import("huge.jpg", jpeg);
  EXPECT_FALSE(huge.added);
  EXPECT_NE(huge.detail.find("9000 x 8000"), std::string::npos) << huge.detail;
  EXPECT_NE(huge.detail.find("64 million"), std::string::npos) << huge.detail;
}

// Qt's PNG reader keeps every text chunk in memory: a huge comment is left out before it
// reads, and the picture comes in as any other.
TEST_F(PictureImportTest, AHugeTextInAPngCostsNoMemoryOfItsOwn) {
  const std::string path = source.file("commented.png");
  write_png_with_text(path, encoded(marked_image(64, 64), "png"), 100u << 20);
  const Measured m = measured([&] {
    const ImportResult r = import_picture(path, PictureKind::regular, folder(), kDesignArea);
    return r.added && r.decoded == AreaSize{64, 64};
  });
  EXPECT_TRUE(m.answer) << "imported";
  EXPECT_GE(m.grown_kb, 0) << "measured";
  EXPECT_LT(m.grown_kb, 100 * 1024) << "kB";
}

TEST(DrawingAreaTest, WithoutADisplayTheDesignDrawingAreaIsCovered) {
  EXPECT_EQ(largest_drawing_area(std::nullopt, 20), kDesignArea);
  EXPECT_EQ(player_drawing_area(), kDesignArea) << "these tests run without a GUI application";
  EXPECT_EQ(largest_drawing_area(AreaSize{1280, 800}, 20), (AreaSize{1280, 780}));
  EXPECT_EQ(largest_drawing_area(AreaSize{640, 400}, 20), kDesignArea) << "never less than the design area";
}

}  // namespace
}  // namespace jumblix::testing
