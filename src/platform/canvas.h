#pragma once
#include "platform/picture.h"

namespace jumblix {

struct DirtyRect {
  int x1 = 0, y1 = 0, x2 = -1, y2 = -1;  // inclusive; empty when x2 < x1
  bool empty() const { return x2 < x1 || y2 < y1; }
  void add(int ax1, int ay1, int ax2, int ay2);
};

// The window's drawing area: a pixel buffer the game draws into and a view shows.
class Canvas {
 public:
  Canvas(int width = 0, int height = 0);

  int width() const { return image_.width; }
  int height() const { return image_.height; }
  const Picture& image() const { return image_; }
  std::uint32_t pixel(int x, int y) const { return image_.at(x, y); }

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

  // Region changed since the last take; views repaint just that.
  DirtyRect take_dirty();

 private:
  Picture image_;
  DirtyRect dirty_;
};

}  // namespace jumblix
