#pragma once
// Shared by the unit tests: a scratch folder per test, pictures whose pixel colours tell
// where they came from, and a whole-canvas pixel check.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/canvas.h"
#include "platform/palette.h"

namespace jumblix::testing {

// A scratch folder per test, removed afterwards (even when a test took its rights away).
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "jumblix-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (path_.empty()) return;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
  // Writes the bytes, creating the folders on the way.
  void write(const std::string& name, const std::string& bytes) const {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path(), ec);
    std::ofstream(file(name), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::string path_;
};

// The colour a coded picture holds at (x, y); for x, y < 1024 it is none of the palette
// colours 4..8 and 10..15, which the tests use as backgrounds.
constexpr std::uint32_t code(int x, int y) { return 0xFF000000u | std::uint32_t(x) << 12 | std::uint32_t(y); }

inline Picture coded_picture(int width, int height) {
  Picture p(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.at(x, y) = code(x, y);
  return p;
}

constexpr int kBlank = 13;  // light magenta, the colour a test canvas starts with

inline Canvas blank_canvas(int width, int height) {
  Canvas c(width, height);
  c.fill_box(kBlank, 0, 0, width - 1, height - 1);
  return c;
}

// Number of canvas pixels that differ from expected(x, y); the first one is reported.
inline int mismatches(const Canvas& canvas, const std::function<std::uint32_t(int, int)>& expected) {
  int bad = 0;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.pixel(x, y) != expected(x, y) && bad++ == 0)
        ADD_FAILURE() << "first wrong pixel at (" << x << ", " << y << ")";
  return bad;
}

}  // namespace jumblix::testing
