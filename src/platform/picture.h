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

// Largest side a bitmap may have; anything bigger is refused rather than allocated.
inline constexpr int kMaxPictureSide = 16384;

// Reads any Windows bitmap file. Missing, truncated, non-bitmap or oversized files give nullopt.
std::optional<Picture> load_bitmap(const std::string& path);

enum class BitmapDepth { palette8, rgb24 };

// Writes a bitmap file; palette8 quantises to at most 256 colours. False when it cannot be written.
bool save_bitmap(const std::string& path, const Picture& picture,
                 BitmapDepth depth = BitmapDepth::rgb24);

}  // namespace jumblix
