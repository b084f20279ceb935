#include "platform/canvas.h"

#include <algorithm>
#include <cstdlib>

#include "platform/palette.h"

namespace jumblix {

namespace {

DirtyRect bounding(const DirtyRect& a, const DirtyRect& b) {
  return {std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::max(a.x2, b.x2), std::max(a.y2, b.y2)};
}

long long overlap(const DirtyRect& a, const DirtyRect& b) {
  return DirtyRect{std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)}
      .area();
}

// Pixels a merged rectangle would push that neither rectangle changed.
long long waste(const DirtyRect& a, const DirtyRect& b) {
  return bounding(a, b).area() - a.area() - b.area() + overlap(a, b);
}

// Two rectangles become one when that pushes few pixels more: neighbouring cells (apart by a
// grid line) or overlapping boxes, but not cells across the board from one another.
bool worth_merging(const DirtyRect& a, const DirtyRect& b) {
  const long long extra = waste(a, b);
  return extra <= 256 || extra * 8 <= bounding(a, b).area();
}

// Beyond this many rectangles a new one joins the one it grows least.
constexpr std::size_t kMaxRects = 32;

}  // namespace

void DirtyRegion::add(DirtyRect r) {
  if (r.empty()) return;
  for (const DirtyRect& e : rects_)
    if (e.contains(r)) return;
  // Merging may make the rectangle worth merging with another: go on until none is.
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < rects_.size(); ++i)
      if (worth_merging(rects_[i], r)) {
        r = bounding(rects_[i], r);
        rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(i));
        merged = true;
        break;
      }
  }
  if (rects_.size() >= kMaxRects) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < rects_.size(); ++i)
      if (waste(rects_[i], r) < waste(rects_[best], r)) best = i;
    const DirtyRect joined = bounding(rects_[best], r);
    rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(best));
    return add(joined);
  }
  rects_.push_back(r);
}

Canvas::Canvas(int width, int height) : image_(std::max(width, 0), std::max(height, 0)) {
  changed(0, 0, image_.width - 1, image_.height - 1);
}

void Canvas::defer(std::function<void()> draw) { pending_ = std::move(draw); }

void Canvas::settle() const {
  if (!pending_) return;
  // Taken out first: the pending drawing draws through this canvas itself.
  const std::function<void()> draw = std::move(pending_);
  pending_ = nullptr;
  draw();
}

void Canvas::resize(int width, int height) {
  settle();
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == image_.width && height == image_.height) return;
  Picture grown(width, height);
  for (int y = 0; y < std::min(height, image_.height); ++y)
    std::copy_n(&image_.pixels[static_cast<std::size_t>(y) * image_.width],
                std::min(width, image_.width), &grown.pixels[static_cast<std::size_t>(y) * width]);
  image_ = std::move(grown);
  dirty_.clear();
  changed(0, 0, width - 1, height - 1);
}

void Canvas::fill_box(int colour_index, int x1, int y1, int x2, int y2) {
  settle();
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
  changed(x1, y1, x2, y2);
}

bool Canvas::stretch_copy(const Picture& source, int sx, int sy, int sw, int sh,
                          int dx, int dy, int dw, int dh) {
  if (sw <= 0 || sh <= 0 || dw == 0 || dh == 0) return false;
  if (sx < 0 || sy < 0 || sx + sw > source.width || sy + sh > source.height) return false;
  settle();
  const bool mirror_x = dw < 0, mirror_y = dh < 0;
  const int aw = std::abs(dw), ah = std::abs(dh);
  const int left = mirror_x ? dx - aw + 1 : dx;
  const int top = mirror_y ? dy - ah + 1 : dy;
  const int cx1 = std::max(left, 0), cx2 = std::min(left + aw - 1, image_.width - 1);
  const int cy1 = std::max(top, 0), cy2 = std::min(top + ah - 1, image_.height - 1);
  if (cx1 > cx2 || cy1 > cy2) return true;
  // Destination offset i (0 at the anchor) samples source offset floor(i * sw / aw); the
  // source column of each destination column is worked out once for all rows.
  const bool plain_rows = sw == aw && !mirror_x;
  std::vector<int> src_x;
  if (!plain_rows) {
    src_x.resize(static_cast<std::size_t>(cx2 - cx1 + 1));
    for (int x = cx1; x <= cx2; ++x) {
      const int ix = mirror_x ? dx - x : x - left;
      src_x[static_cast<std::size_t>(x - cx1)] = sx + static_cast<int>(static_cast<long long>(ix) * sw / aw);
    }
  }
  for (int y = cy1; y <= cy2; ++y) {
    const int iy = mirror_y ? dy - y : y - top;
    const int src_y = sy + static_cast<int>(static_cast<long long>(iy) * sh / ah);
    const std::uint32_t* src_row = &source.pixels[static_cast<std::size_t>(src_y) * source.width];
    std::uint32_t* dst_row = &image_.pixels[static_cast<std::size_t>(y) * image_.width];
    if (plain_rows) {  // the common unstretched copy: one row at a time
      std::copy_n(src_row + sx + (cx1 - left), cx2 - cx1 + 1, dst_row + cx1);
    } else {
      for (int x = cx1; x <= cx2; ++x) dst_row[x] = src_row[src_x[static_cast<std::size_t>(x - cx1)]];
    }
  }
  changed(cx1, cy1, cx2, cy2);
  return true;
}

void Canvas::draw_picture(const Picture& picture, int x, int y) {
  if (picture.empty()) return;
  settle();
  const int cx1 = std::max(x, 0), cx2 = std::min(x + picture.width - 1, image_.width - 1);
  const int cy1 = std::max(y, 0), cy2 = std::min(y + picture.height - 1, image_.height - 1);
  if (cx1 > cx2 || cy1 > cy2) return;
  for (int row = cy1; row <= cy2; ++row)
    std::copy_n(&picture.pixels[static_cast<std::size_t>(row - y) * picture.width + (cx1 - x)],
                cx2 - cx1 + 1, &image_.pixels[static_cast<std::size_t>(row) * image_.width + cx1]);
  changed(cx1, cy1, cx2, cy2);
}

std::vector<DirtyRect> Canvas::take_dirty() {
  settle();
  std::vector<DirtyRect> rects = dirty_.rects();
  dirty_.clear();
  return rects;
}

}  // namespace jumblix
