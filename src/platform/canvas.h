#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/picture.h"

namespace jumblix {

struct DirtyRect {
  int x1 = 0, y1 = 0, x2 = -1, y2 = -1;  // inclusive; empty when x2 < x1
  bool empty() const { return x2 < x1 || y2 < y1; }
  long long area() const { return empty() ? 0 : 1LL * (x2 - x1 + 1) * (y2 - y1 + 1); }
  bool contains(const DirtyRect& r) const {
    return r.x1 >= x1 && r.x2 <= x2 && r.y1 >= y1 && r.y2 <= y2;
  }
};

// The parts of the drawing area changed since a view last showed it, as a few rectangles:
// boxes drawn next to or over one another become one rectangle, boxes far apart (the pieces
// of a scrambled board) stay apart, so that a view pushes little more than what changed.
class DirtyRegion {
 public:
  void add(DirtyRect r);
  bool empty() const { return rects_.empty(); }
  const std::vector<DirtyRect>& rects() const { return rects_; }
  void clear() { rects_.clear(); }

 private:
  std::vector<DirtyRect> rects_;
};

// What the canvas shows, to read: valid until the canvas next draws, resizes or moves to
// other memory.
struct CanvasPixels {
  int width = 0;
  int height = 0;
  std::span<const std::uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom, packed

  bool empty() const { return width <= 0 || height <= 0; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Memory for the canvas's pixels, lent by a view that shares it with the window system, so
// that showing a frame copies nothing.
class PixelMemory {
 public:
  virtual ~PixelMemory() = default;
  // Memory for width x height pixels (both above 0), or null: the canvas keeps its own then.
  virtual std::uint32_t* lend(int width, int height) = 0;
  // Memory lent earlier that the canvas no longer uses.
  virtual void give_back(std::uint32_t* pixels) = 0;
  // The canvas is about to draw after a take_dirty(): the window system may still be
  // reading what was taken.
  virtual void before_drawing() = 0;
};

// The window's drawing area: a pixel buffer the game draws into and a view shows.
//
// Drawing may be left for later (defer): frames of a moving picture that follow one another
// faster than the screen shows them need not all be drawn. What is pending is drawn before
// anything else draws on the canvas or reads it, so nobody sees the difference.
class Canvas {
 public:
  Canvas(int width = 0, int height = 0);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Canvas(Canvas&& other) noexcept;
  Canvas& operator=(Canvas&& other) noexcept;

  int width() const { return width_; }
  int height() const { return height_; }
  CanvasPixels image() const {
    settle();
    return {width_, height_, {pixels_, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)}};
  }
  std::uint32_t pixel(int x, int y) const {
    settle();
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
  }

  // Keeps what fits of the old content; new area is black.
  void resize(int width, int height);

  // Moves the pixels into memory the view lends (null: back into the canvas's own). The
  // memory must outlive its use: the view calls use_memory(nullptr) before it goes.
  void use_memory(PixelMemory* memory);

  // Filled box in a palette colour; both corners are included, the corners may be
  // given in any order, and the box is clipped to the canvas.
  void fill_box(int colour_index, int x1, int y1, int x2, int y2);

  // Nearest-neighbour copy of source rectangle (sx, sy, sw, sh) onto the canvas.
  // A negative dw covers columns dx-|dw|+1 .. dx and mirrors left-to-right; likewise dh.
  // A source rectangle reaching outside the picture (or an empty one) draws nothing and
  // returns false.
  bool stretch_copy(const Picture& source, int sx, int sy, int sw, int sh,
                    int dx, int dy, int dw, int dh);

  // The picture at its natural size with its top-left corner at (x, y), clipped.
  void draw_picture(const Picture& picture, int x = 0, int y = 0);

  // Leaves `draw` (drawing on this canvas) for later: it runs once, before the next drawing
  // by anyone else or the next read, or at settle(). Deferring again replaces the pending
  // drawing, so the new `draw` must paint everything the pending one would have.
  void defer(std::function<void()> draw);
  // Draws what is pending now.
  void settle() const;

  // Counts every drawing on the canvas: unchanged means nothing was drawn meanwhile.
  std::uint64_t draws() const { return draws_; }

  // Whether anything was drawn (or is pending) since the last take.
  bool has_changes() const { return pending_ || !dirty_.empty(); }
  // The rectangles changed since the last take, pending drawing included; views repaint
  // just those.
  std::vector<DirtyRect> take_dirty();

 private:
  void changed(int x1, int y1, int x2, int y2) {
    ++draws_;
    dirty_.add({x1, y1, x2, y2});
  }
  // Before every change of pixels: settles what is pending, and lets lent memory's reader
  // finish first.
  void prepare_drawing() {
    settle();
    if (taken_) {  // only set while memory is lent
      taken_ = false;
      memory_->before_drawing();
    }
  }
  std::uint32_t* row(int y) { return pixels_ + static_cast<std::size_t>(y) * width_; }
  // Pixels for a width x height canvas, the old content copied where it fits.
  void store(int width, int height);

  int width_ = 0;
  int height_ = 0;
  std::uint32_t* pixels_ = nullptr;  // own_.data() or lent memory
  std::vector<std::uint32_t> own_;
  PixelMemory* memory_ = nullptr;
  bool lent_ = false;   // pixels_ is memory_'s
  bool taken_ = false;  // a view took the changes and nothing was drawn since
  DirtyRegion dirty_;
  // Drawing left for later; a read (const) does it first, through the owner's own canvas.
  mutable std::function<void()> pending_;
  std::uint64_t draws_ = 0;
};

}  // namespace jumblix
