#pragma once
// On an X11 display the drawing area's frames go to the X server from a shared-memory copy
// of the canvas, straight from the game's loop, once a display frame.
//
// Why not Qt's own painting: before each paint that overlaps what it sent the frame before
// (a moving picture always does), Qt's X11 backing store waits for the server to finish
// reading it, a second wake-up of the game every frame. Here that question is asked right
// after a frame is sent and its answer is long there when the next frame comes, so a moving
// picture costs one wake-up a frame.
//
// The surface is a native child window covering the drawing area, below the panels' widgets
// (which become native windows too, so the server keeps them on top). Mouse presses pass
// through it to the drawing area. Everywhere it cannot serve (another window system, a
// server without shared memory file descriptors, an unusual pixel format, a scaled screen)
// create() gives null and the drawing area paints through Qt as before.
#include <memory>

#include <QWidget>

class QRegion;

namespace jumblix {

class Canvas;

class X11Surface : public QWidget {
 public:
  // A surface filling `parent` and showing `canvas`, or null where it cannot serve.
  static X11Surface* create(QWidget& parent, const Canvas& canvas);
  ~X11Surface() override;

  // Sends these rectangles of the canvas to the screen. False when the surface cannot show
  // them (the screen's scale changed, the server refused the memory): paint through Qt then.
  bool show_rects(const QRegion& region);

 protected:
  QPaintEngine* paintEngine() const override { return nullptr; }
  void paintEvent(QPaintEvent* event) override;
  // Qt's grab() of the window asks the widgets beneath for the picture; this one draws
  // nothing into it.

 private:
  struct Server;
  X11Surface(QWidget& parent, const Canvas& canvas, std::unique_ptr<Server> server);
  bool usable() const;

  const Canvas& canvas_;
  std::unique_ptr<Server> server_;
};

}  // namespace jumblix
