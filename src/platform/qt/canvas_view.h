#pragma once
// The drawing area: shows the game's canvas pixel for pixel and passes mouse presses and
// keys to the game.
#include <QWidget>

namespace jumblix {

class QtWindow;

class CanvasView : public QWidget {
 public:
  explicit CanvasView(QtWindow& window);
  QSize sizeHint() const override;
  // The frame that shows the board has the keyboard while a panel is shown, drawn again.
  void update_focus_frame();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  // The second press of a left double-click is a double-click, not a button going down:
  // the game has nothing for it. Quick presses of the other buttons stay presses.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent*) override;
  void focusOutEvent(QFocusEvent*) override;

 private:
  QtWindow& window_;
};

}  // namespace jumblix
