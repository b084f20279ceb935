#pragma once
#include <functional>
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

// The window's drawing area: a pixel buffer the game draws into and a view shows.
//
// Drawing may be left for later (defer): frames of a moving picture that follow one another
// faster than the screen shows them need not all be drawn. What is pending is drawn before
// anything else draws on the canvas or reads it, so nobody sees the difference.
class Canvas {
 public:
  Canvas(int width = 0, int height = 0);

  int width() const { return image_.width; }
  int height() const { return image_.height; }
  const Picture& image() const {
    settle();
    return image_;
  }
  std::uint32_t pixel(int x, int y) const {
    settle();
    return image_.at(x, y);
  }

  // Keeps what fits of the old content; new area is black.
  void resize(int width, int height);

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
  Picture image_;
  DirtyRegion dirty_;
  // Drawing left for later; a read (const) does it first, through the owner's own canvas.
  mutable std::function<void()> pending_;
  std::uint64_t draws_ = 0;
};

}  // namespace jumblix
