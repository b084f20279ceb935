#pragma once
// On an X11 display the canvas keeps its pixels in memory the X server maps too, and the
// drawing area's frames go to the server straight from the game's loop, once a display frame,
// without a copy.
//
// Why not Qt's own painting: before each paint that overlaps what it sent the frame before
// (a moving picture always does), Qt's X11 backing store waits for the server to finish
// reading it, a second wake-up of the game every frame. Here that question is asked right
// after a frame is sent and its answer is long there when the canvas next draws, so a moving
// picture costs one wake-up a frame.
//
// The surface is a native child window covering the drawing area, shown while no control
// stands over the drawing area. Mouse presses pass through it to the drawing area. Where it
// cannot serve (another window system, a server without shared memory file descriptors, an
// unusual pixel format, a scaled screen) create() gives null and the drawing area paints
// through Qt as before. It serves only while a canvas pixel is a screen pixel: moved to a
// screen of another scale, it gives up at once and Qt paints the whole drawing area, scaled.
#include <memory>

#include <QWidget>

class QRegion;

namespace jumblix {

class Canvas;

class X11Surface : public QWidget {
 public:
  // A surface filling `parent` and showing `canvas`, or null where it cannot serve.
  static X11Surface* create(QWidget& parent, Canvas& canvas);
  ~X11Surface() override;

  // Has the X server show these rectangles of the canvas. False when the surface cannot (the
  // screen's scale changed, the server refused the memory): it hides for good, the canvas
  // takes back its pixels, and the caller paints through Qt.
  bool show_rects(const QRegion& region);
  // False once the surface has given up (see show_rects).
  bool serving() const { return server_ != nullptr; }

 protected:
  QPaintEngine* paintEngine() const override { return nullptr; }
  // The server asks for what a window over it uncovered.
  void paintEvent(QPaintEvent* event) override;
  // Looks at the scale whenever the window's screen or size changes.
  bool event(QEvent* event) override;

 private:
  struct Server;
  X11Surface(QWidget& parent, Canvas& canvas);
  bool usable() const;
  void retire();
  // Gives up when the scale is no longer 1, and has Qt paint the whole drawing area.
  void check_scale();

  Canvas& canvas_;
  std::unique_ptr<Server> server_;
  bool usable_ = true;  // as of the last look
  unsigned shown_ = 0;
};

}  // namespace jumblix
