#include "platform/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

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

Canvas::Canvas(int width, int height) {
  store(std::max(width, 0), std::max(height, 0));
  changed(0, 0, width_ - 1, height_ - 1);
}

Canvas::~Canvas() {
  if (lent_) memory_->give_back(pixels_);
}

Canvas::Canvas(Canvas&& other) noexcept { *this = std::move(other); }

// The moved canvas keeps its pixels in its own memory; the other is left empty.
Canvas& Canvas::operator=(Canvas&& other) noexcept {
  if (this == &other) return *this;
  other.settle();
  if (lent_) memory_->give_back(pixels_);
  lent_ = false;
  memory_ = nullptr;
  if (other.lent_) {
    own_.assign(other.pixels_, other.pixels_ + static_cast<std::size_t>(other.width_) * other.height_);
    other.memory_->give_back(other.pixels_);
    other.lent_ = false;
  } else {
    own_ = std::move(other.own_);
  }
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  pixels_ = own_.data();
  other.own_.clear();
  other.pixels_ = other.own_.data();
  other.memory_ = nullptr;
  dirty_ = std::move(other.dirty_);
  other.dirty_.clear();
  draws_ = other.draws_;
  taken_ = false;
  return *this;
}

void Canvas::store(int width, int height) {
  std::uint32_t* lent = memory_ && width > 0 && height > 0 ? memory_->lend(width, height) : nullptr;
  std::vector<std::uint32_t> own;
  std::uint32_t* pixels = lent;
  if (!lent) {
    own.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000);
    pixels = own.data();
  } else {
    std::fill_n(lent, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000);
  }
  for (int y = 0; y < std::min(height, height_); ++y)
    std::copy_n(row(y), std::min(width, width_), pixels + static_cast<std::size_t>(y) * width);
  if (lent_) memory_->give_back(pixels_);
  own_ = std::move(own);
  pixels_ = lent ? lent : own_.data();
  lent_ = lent != nullptr;
  width_ = width;
  height_ = height;
}

void Canvas::use_memory(PixelMemory* memory) {
  settle();
  if (memory == memory_) return;
  if (lent_) {
    // Back into the canvas's own memory first (reading it alongside the server is safe).
    std::vector<std::uint32_t> own(pixels_, pixels_ + static_cast<std::size_t>(width_) * height_);
    memory_->give_back(pixels_);
    own_ = std::move(own);
    pixels_ = own_.data();
    lent_ = false;
  }
  memory_ = memory;
  taken_ = false;
  if (memory_ && width_ > 0 && height_ > 0) store(width_, height_);
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
  if (width == width_ && height == height_) return;
  prepare_drawing();
  store(width, height);
  dirty_.clear();
  changed(0, 0, width - 1, height - 1);
}

void Canvas::fill_box(int colour_index, int x1, int y1, int x2, int y2) {
  prepare_drawing();
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, width_ - 1);
  y2 = std::min(y2, height_ - 1);
  if (x1 > x2 || y1 > y2) return;
  const std::uint32_t rgb = palette_rgb(colour_index);
  for (int y = y1; y <= y2; ++y)
    std::fill_n(row(y) + x1, x2 - x1 + 1, rgb);
  changed(x1, y1, x2, y2);
}

bool Canvas::stretch_copy(const Picture& source, int sx, int sy, int sw, int sh,
                          int dx, int dy, int dw, int dh) {
  if (sw <= 0 || sh <= 0 || dw == 0 || dh == 0) return false;
  if (sx < 0 || sy < 0 || sx + sw > source.width || sy + sh > source.height) return false;
  prepare_drawing();
  const bool mirror_x = dw < 0, mirror_y = dh < 0;
  const int aw = std::abs(dw), ah = std::abs(dh);
  const int left = mirror_x ? dx - aw + 1 : dx;
  const int top = mirror_y ? dy - ah + 1 : dy;
  const int cx1 = std::max(left, 0), cx2 = std::min(left + aw - 1, width_ - 1);
  const int cy1 = std::max(top, 0), cy2 = std::min(top + ah - 1, height_ - 1);
  if (cx1 > cx2 || cy1 > cy2) return true;
  // Destination offset i (0 at the anchor) samples source offset floor(i * sw / aw); the
  // source columns are worked out once for all rows, as runs of destination columns whose
  // source columns follow one another (a picture stretched by a few pixels is a few long
  // runs a row, each copied whole).
  struct Run {
    int dst, src, length;
  };
  const bool plain_rows = sw == aw && !mirror_x;
  std::vector<Run> runs;
  if (!plain_rows) {
    for (int x = cx1; x <= cx2; ++x) {
      const int ix = mirror_x ? dx - x : x - left;
      const int src = sx + static_cast<int>(static_cast<long long>(ix) * sw / aw);
      if (!runs.empty() && runs.back().dst + runs.back().length == x && runs.back().src + runs.back().length == src)
        ++runs.back().length;
      else
        runs.push_back({x, src, 1});
    }
  }
  for (int y = cy1; y <= cy2; ++y) {
    const int iy = mirror_y ? dy - y : y - top;
    const int src_y = sy + static_cast<int>(static_cast<long long>(iy) * sh / ah);
    const std::uint32_t* src_row = &source.pixels[static_cast<std::size_t>(src_y) * source.width];
    std::uint32_t* dst_row = row(y);
    if (plain_rows) {  // the common unstretched copy: one row at a time
      std::copy_n(src_row + sx + (cx1 - left), cx2 - cx1 + 1, dst_row + cx1);
      continue;
    }
    for (const Run& run : runs) {
      if (run.length == 1)
        dst_row[run.dst] = src_row[run.src];
      else
        std::copy_n(src_row + run.src, run.length, dst_row + run.dst);
    }
  }
  changed(cx1, cy1, cx2, cy2);
  return true;
}

void Canvas::draw_picture(const Picture& picture, int x, int y) {
  if (picture.empty()) return;
  prepare_drawing();
  const int cx1 = std::max(x, 0), cx2 = std::min(x + picture.width - 1, width_ - 1);
  const int cy1 = std::max(y, 0), cy2 = std::min(y + picture.height - 1, height_ - 1);
  if (cx1 > cx2 || cy1 > cy2) return;
  for (int row = cy1; row <= cy2; ++row)
    std::copy_n(&picture.pixels[static_cast<std::size_t>(row - y) * picture.width + (cx1 - x)],
                cx2 - cx1 + 1, this->row(row) + cx1);
  changed(cx1, cy1, cx2, cy2);
}

std::vector<DirtyRect> Canvas::take_dirty() {
  settle();
  std::vector<DirtyRect> rects = dirty_.rects();
  dirty_.clear();
  taken_ = memory_ != nullptr;
  return rects;
}

}  // namespace jumblix
