#include "platform/qt/canvas_view.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QRegion>

#include "platform/qt/key_codes.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace jumblix {

CanvasView::CanvasView(QtWindow& window) : QWidget(&window), window_(window) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize CanvasView::sizeHint() const {
  const Canvas& canvas = window_.form().canvas;
  return {canvas.width(), canvas.height()};
}

void CanvasView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const CanvasPixels picture = window_.form().canvas.image();
  QRegion rest = event->region();
  if (!picture.empty()) {
    const QImage view(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                      picture.height, picture.width * 4, QImage::Format_RGB32);
    // Only the rectangles asked for: the few the game changed since the last frame. Each in
    // bands of a few rows: Qt hands a taller copy to worker threads, and waiting for them
    // would wake the game more often than the copy is worth.
    constexpr int kBandRows = 64;
    for (const QRect& r : event->region()) {
      const QRect drawn = r & view.rect();
      for (int y = drawn.top(); y <= drawn.bottom(); y += kBandRows) {
        const QRect band(drawn.left(), y, drawn.width(), std::min(kBandRows, drawn.bottom() - y + 1));
        painter.drawImage(band.topLeft(), view, band);
      }
    }
    rest -= view.rect();
  }
  // Anything beyond the canvas (only while a resize is under way) is black.
  for (const QRect& r : rest) painter.fillRect(r, Qt::black);
  // While a panel's controls share the keyboard with the board, a frame shows when the board
  // has it. Drawn on the screen only: the canvas's pixels stay as the game drew them.
  if (hasFocus() && window_.controls_shown()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

void CanvasView::focusInEvent(QFocusEvent*) { update_focus_frame(); }
void CanvasView::focusOutEvent(QFocusEvent*) { update_focus_frame(); }

void CanvasView::update_focus_frame() { update(QRegion(rect()) - rect().adjusted(4, 4, -4, -4)); }

void CanvasView::resizeEvent(QResizeEvent*) { window_.canvas_resized(width(), height()); }

void CanvasView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);  // keys go back to the game after typing into a box
  const int button = game_mouse_button(event->button());
  if (button == 0) return;
  const int shift = game_shift_mask(event->modifiers());
  const double x = event->position().x(), y = event->position().y();
  WindowForm& form = window_.form();
  run_from_qt([&] {
    if (form.on_mouse_down) form.on_mouse_down(button, shift, x, y);
  });
  event->accept();
}

void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) return event->accept();
  mousePressEvent(event);
}

void CanvasView::keyPressEvent(QKeyEvent* event) { window_.key_to_game(event); }

}  // namespace jumblix
