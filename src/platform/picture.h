#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jumblix {

// An RGB32 image (0xAARRGGBB per pixel, rows top to bottom).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  Picture() = default;
  Picture(int w, int h, std::uint32_t fill = 0xFF000000)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

  bool empty() const { return width <= 0 || height <= 0; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  bool operator==(const Picture&) const = default;
};

// The largest picture the game takes: at most this many pixels a side, and at most
// kMaxPicturePixels in all. Anything bigger is refused before any memory is set aside.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr long long kMaxPicturePixels = 64000000;

enum class PictureError { none, unreadable, too_large };

// Reads a Windows bitmap file (any header, depth and compression the file format has, bottom-up
// or top-down). Missing, truncated, non-bitmap or non-regular files, and pictures over the
// limits above, give nullopt and the reason in `error`; so does memory too short for the
// picture. Pixels a valid file skips (run-length pictures may end early) are palette colour 0.
// A file is read no further than its picture needs, however long it is.
std::optional<Picture> load_bitmap(const std::string& path, PictureError* error = nullptr);

enum class BitmapDepth { palette8, rgb24 };

// The bitmap file's bytes; palette8 quantises to at most 256 colours. Empty for an empty picture.
std::string encode_bitmap(const Picture& picture, BitmapDepth depth = BitmapDepth::rgb24);

// Writes a bitmap file by replacing the old one whole (see replace_file): on failure the old
// file stays. False when it cannot be written, with the system's reason in `error`.
bool save_bitmap(const std::string& path, const Picture& picture,
                 BitmapDepth depth = BitmapDepth::rgb24, std::string* error = nullptr);

}  // namespace jumblix
