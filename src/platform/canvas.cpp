#include "platform/canvas.h"

#include <algorithm>
#include <cstdlib>

#include "platform/palette.h"

namespace jumblix {

void DirtyRect::add(int ax1, int ay1, int ax2, int ay2) {
  if (ax2 < ax1 || ay2 < ay1) return;
  if (empty()) {
    *this = {ax1, ay1, ax2, ay2};
    return;
  }
  x1 = std::min(x1, ax1);
  y1 = std::min(y1, ay1);
  x2 = std::max(x2, ax2);
  y2 = std::max(y2, ay2);
}

Canvas::Canvas(int width, int height) : image_(std::max(width, 0), std::max(height, 0)) {
  dirty_.add(0, 0, image_.width - 1, image_.height - 1);
}

void Canvas::resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == image_.width && height == image_.height) return;
  Picture grown(width, height);
  for (int y = 0; y < std::min(height, image_.height); ++y)
    std::copy_n(&image_.pixels[static_cast<std::size_t>(y) * image_.width],
                std::min(width, image_.width), &grown.pixels[static_cast<std::size_t>(y) * width]);
  image_ = std::move(grown);
  dirty_ = {};
  dirty_.add(0, 0, width - 1, height - 1);
}

void Canvas::fill_box(int colour_index, int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, image_.width - 1);
  y2 = std::min(y2, image_.height - 1);
  if (x1 > x2 || y1 > y2) return;
  const std::uint32_t rgb = palette_rgb(colour_index);
  for (int y = y1; y <= y2; ++y)
    std::fill_n(&image_.pixels[static_cast<std::size_t>(y) * image_.width + x1], x2 - x1 + 1, rgb);
  dirty_.add(x1, y1, x2, y2);
}

bool Canvas::stretch_copy(const Picture& source, int sx, int sy, int sw, int sh,
                          int dx, int dy, int dw, int dh) {
  if (sw <= 0 || sh <= 0 || dw == 0 || dh == 0) return false;
  if (sx < 0 || sy < 0 || sx + sw > source.width || sy + sh > source.height) return false;
  const bool mirror_x = dw < 0, mirror_y = dh < 0;
  const int aw = std::abs(dw), ah = std::abs(dh);
  const int left = mirror_x ? dx - aw + 1 : dx;
  const int top = mirror_y ? dy - ah + 1 : dy;
  const int cx1 = std::max(left, 0), cx2 = std::min(left + aw - 1, image_.width - 1);
  const int cy1 = std::max(top, 0), cy2 = std::min(top + ah - 1, image_.height - 1);
  if (cx1 > cx2 || cy1 > cy2) return true;
  // Destination offset i (0 at the anchor) samples source offset floor(i * sw / aw).
  for (int y = cy1; y <= cy2; ++y) {
    const int iy = mirror_y ? dy - y : y - top;
    const int src_y = sy + static_cast<int>(static_cast<long long>(iy) * sh / ah);
    const std::uint32_t* src_row = &source.pixels[static_cast<std::size_t>(src_y) * source.width];
    std::uint32_t* dst_row = &image_.pixels[static_cast<std::size_t>(y) * image_.width];
    if (sw == aw && !mirror_x) {  // the common unstretched copy: one row at a time
      std::copy_n(src_row + sx + (cx1 - left), cx2 - cx1 + 1, dst_row + cx1);
    } else if (sw == aw) {
      for (int x = cx1; x <= cx2; ++x) dst_row[x] = src_row[sx + (dx - x)];
    } else {
      for (int x = cx1; x <= cx2; ++x) {
        const int ix = mirror_x ? dx - x : x - left;
        dst_row[x] = src_row[sx + static_cast<int>(static_cast<long long>(ix) * sw / aw)];
      }
    }
  }
  dirty_.add(cx1, cy1, cx2, cy2);
  return true;
}

void Canvas::draw_picture(const Picture& picture, int x, int y) {
  if (picture.empty()) return;
  const int cx1 = std::max(x, 0), cx2 = std::min(x + picture.width - 1, image_.width - 1);
  const int cy1 = std::max(y, 0), cy2 = std::min(y + picture.height - 1, image_.height - 1);
  if (cx1 > cx2 || cy1 > cy2) return;
  for (int row = cy1; row <= cy2; ++row)
    std::copy_n(&picture.pixels[static_cast<std::size_t>(row - y) * picture.width + (cx1 - x)],
                cx2 - cx1 + 1, &image_.pixels[static_cast<std::size_t>(row) * image_.width + cx1]);
  dirty_.add(cx1, cy1, cx2, cy2);
}

DirtyRect Canvas::take_dirty() {
  DirtyRect d = dirty_;
  dirty_ = {};
  return d;
}

}  // namespace jumblix
