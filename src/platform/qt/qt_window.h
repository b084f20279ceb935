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

class QKeyEvent;
class QMenu;
class QAction;

namespace jumblix {

// The game's key code for a Qt key (0 for keys the game has no code for): Enter 13,
// Escape 27, arrows 37-40, letters as their upper-case ASCII code, digits 48-57, and the
// classic virtual key codes for the rest (keypad * + - . / 106-111, punctuation 186-192
// and 219-222 as on a US keyboard, Super 91/92, Menu 93, ...). The numeric keypad's 8, 4,
// 6 and 2 are the arrows whether Num Lock is on or off.
int game_key_code(int qt_key, Qt::KeyboardModifiers modifiers);
// The same for a key event; the keys of the typing area other than letters and digits go
// by their place on the keyboard where the window system tells it, so that national
// letters and dead keys have a code too.
int game_key_code(const QKeyEvent& event);
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
  // Gives the window back the size it had before maximize_now() maximized it; a window the
  // player maximized or resized himself since is left as it is.
  void restore_size_now();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Image files dropped on the window (own_pictures_dialog.cpp).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The file dialog and the regular-or-animated choice (own_pictures_dialog.cpp).
  PictureFilesChoice ask_for_picture_files();
  friend class CanvasView;
  void build_menu(MenuItem& item, QWidget* container);
  void build_control(Control& control);
  void sync_all();
  void place(Control& control, QWidget* widget);
  void canvas_resized(int width, int height);
  void key_to_game(QKeyEvent* event);
  // Waits a little for the window system to resize the canvas away from `before`.
  bool wait_for_resize(QSize before);

  WindowForm& form_;
  CanvasView* canvas_ = nullptr;
  std::unordered_map<const MenuItem*, QAction*> actions_;
  std::unordered_map<const MenuItem*, QMenu*> menus_;
  std::unordered_map<const Control*, QWidget*> widgets_;
  // How to bring each object's widget up to date with the object.
  std::unordered_map<const FormObject*, std::function<void()>> sync_;
  bool syncing_ = false;  // widget signals raised by our own updates are not user actions
  QTimer repaint_;
  // Set while the window is maximized only because the game maximized it.
  bool game_maximized_ = false;
  bool changing_size_ = false;  // our own maximize or restore is under way
  QRect normal_geometry_;
  QSize maximized_canvas_;
};

}  // namespace jumblix
