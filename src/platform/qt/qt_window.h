#pragma once
// The real window: a QMainWindow built from the game's form. The menu bar mirrors the
// menu tree, real widgets stand at the controls' pixel positions over a widget that shows
// the canvas, every property change reaches the widgets at once, and the user's clicks,
// keys and typing come back to the form's handlers.
#include <functional>
#include <unordered_map>

#include <QMainWindow>
#include <QTimer>

#include "platform/form.h"
#include "platform/window_form.h"

class QMenu;
class QAction;

namespace jumblix {

// The game's key code for a Qt key (0 for keys the game has no code for): Enter 13,
// Escape 27, arrows 37-40, letters as their upper-case ASCII code, digits 48-57. The
// numeric keypad's 8, 4, 6 and 2 are the arrows whether Num Lock is on or off.
int game_key_code(int qt_key, Qt::KeyboardModifiers modifiers);
// Shift 1, Ctrl 2, Alt 4, added together.
int game_shift_mask(Qt::KeyboardModifiers modifiers);
// Left 1, right 2, middle 4; 0 for other buttons.
int game_mouse_button(Qt::MouseButton button);

class CanvasView;

class QtWindow : public QMainWindow, public FormObserver {
  Q_OBJECT

 public:
  // The form must outlive the window. The client area starts at the canvas's size.
  explicit QtWindow(WindowForm& form, QWidget* parent = nullptr);
  ~QtWindow() override;

  void changed(FormObject& object) override;

  WindowForm& form() const { return form_; }
  QWidget* canvas_widget() const;
  // The action standing for a menu item (a submenu's own action for items with children).
  QAction* action_for(const MenuItem& item) const;
  QMenu* menu_for(const MenuItem& item) const;  // null for items without children
  QWidget* widget_for(const Control& control) const;  // null for picture boxes

  // Repaints the part of the canvas drawn since the last call (every frame while the game
  // draws); false when nothing was drawn.
  bool flush_canvas();
  // Saves what the window shows (menu bar, canvas and visible controls) as a PNG file.
  bool save_screenshot(const QString& path);

  // Maximizes the window and resizes the form's canvas to the new client area before
  // returning, so the game reads the new drawing size at once.
  void maximize_now();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class CanvasView;
  void build_menu(MenuItem& item, QWidget* container);
  void build_control(Control& control);
  void sync_all();
  void place(Control& control, QWidget* widget);
  void canvas_resized(int width, int height);
  void key_to_game(QKeyEvent* event);

  WindowForm& form_;
  CanvasView* canvas_ = nullptr;
  std::unordered_map<const MenuItem*, QAction*> actions_;
  std::unordered_map<const MenuItem*, QMenu*> menus_;
  std::unordered_map<const Control*, QWidget*> widgets_;
  // How to bring each object's widget up to date with the object.
  std::unordered_map<const FormObject*, std::function<void()>> sync_;
  bool syncing_ = false;  // widget signals raised by our own updates are not user actions
  QTimer repaint_;
};

}  // namespace jumblix
