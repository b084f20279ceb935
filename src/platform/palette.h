#pragma once
#include <array>
#include <cstdint>

namespace jumblix {

// The 16 standard colours every colour setting indexes into, as 0xAARRGGBB.
inline constexpr std::array<std::uint32_t, 16> kPalette = {
    0xFF000000, 0xFF000080, 0xFF008000, 0xFF008080,  // black, blue, green, cyan
    0xFF800000, 0xFF800080, 0xFF808000, 0xFFC0C0C0,  // red, magenta, olive, light grey
    0xFF808080, 0xFF0000FF, 0xFF00FF00, 0xFF00FFFF,  // grey, light blue, light green, light cyan
    0xFFFF0000, 0xFFFF00FF, 0xFFFFFF00, 0xFFFFFFFF,  // light red, light magenta, light yellow, white
};

inline constexpr bool is_colour_index(int index) { return index >= 0 && index < 16; }

// RGB of a colour index; anything outside 0..15 gets `fallback`'s colour so that
// a bad settings file can never read outside the table.
inline constexpr std::uint32_t palette_rgb(int index, int fallback = 0) {
  return kPalette[static_cast<std::size_t>(is_colour_index(index) ? index
                                           : is_colour_index(fallback) ? fallback : 0)];
}

}  // namespace jumblix
