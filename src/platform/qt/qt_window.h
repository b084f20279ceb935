#pragma once
// The real window: a QMainWindow built from the game's form. The menu bar mirrors the
// menu tree, real widgets stand at the controls' pixel positions over a widget that shows
// the canvas, every property change reaches the widgets at once, and the user's clicks,
// keys and typing come back to the form's handlers. The menu bar is built in menu_bar.cpp,
// the controls' widgets in form_widgets.cpp, the drawing area is canvas_view.*, and the
// key table is key_codes.*.
#include <functional>
#include <unordered_map>

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "platform/form.h"
#include "platform/qt/key_codes.h"
#include "platform/window_form.h"

class QKeyEvent;
class QLabel;
class QMenu;
class QAction;
class QKeySequence;

namespace jumblix {

class CanvasView;
class X11Surface;

class QtWindow : public QMainWindow, public FormObserver {
  Q_OBJECT

 public:
  // The form must outlive the window. The client area starts at the canvas's size.
  explicit QtWindow(WindowForm& form, QWidget* parent = nullptr);
  ~QtWindow() override;

  void changed(FormObject& object) override;

  WindowForm& form() const { return form_; }
  QWidget* canvas_widget() const;
  QLabel* status_label() const { return status_label_; }
  // The action standing for a menu item (a submenu's own action for items with children).
  QAction* action_for(const MenuItem& item) const;
  QMenu* menu_for(const MenuItem& item) const;  // null for items without children
  QWidget* widget_for(const Control& control) const;  // null for picture boxes

  // Repaints the rectangles of the canvas drawn since the last call (the loop calls it once a
  // display frame while the game draws); false when nothing was drawn.
  bool flush_canvas();
  // Saves what the window shows (menu bar, canvas and visible controls) as a PNG file.
  bool save_screenshot(const QString& path);

  // Maximizes the window and resizes the form's canvas to the new client area before
  // returning, so the game reads the new drawing size at once.
  void maximize_now();
  // Gives the window back the size it had before maximize_now() maximized it; a window the
  // player maximized or resized himself since is left as it is.
  void restore_size_now();
  // F11: the window fills the screen, or gives it back; the game's drawing area follows, so
  // the next puzzle is cut for it. Works also where no window manager acts on the request.
  void toggle_full_screen();
  bool full_screen() const { return full_screen_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Image files dropped on the window (own_pictures_dialog.cpp).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Enter and Escape in the panels' controls, Escape in the menus (accessibility.cpp).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The file dialog and the regular-or-animated choice (own_pictures_dialog.cpp).
  PictureFilesChoice ask_for_picture_files();
  friend class CanvasView;
  // accessibility.cpp: names and descriptions, Tab order, the panels' and menus' keys.
  void install_accessibility();
  void sync_accessible_text(const FormObject& object, QWidget& widget);
  void sync_status_line();
  void order_tabs();
  void one_tab_stop_for_options();
  bool controls_shown() const;
  bool panel_key(QObject* watched, const QKeyEvent& key);
  bool menu_escape(QMenu& menu, const QKeyEvent& key);
  void build_menu(MenuItem& item, QWidget* container);
  void build_control(Control& control);
  void build_status_line();
  void sync_all();
  void place(Control& control, QWidget* widget);
  void canvas_resized(int width, int height);
  // The surface where it can serve (x11_surface.h).
  void create_surface();
  // The surface shows the canvas while no control stands over it; otherwise the canvas view
  // paints it through Qt, which blends the controls' edges into the picture beneath.
  void choose_canvas_painter();
  void key_to_game(QKeyEvent* event);
  // The keys of desktop_keys.cpp: shortcuts that belong to the window, never to the game.
  void add_desktop_keys();
  QAction* add_window_key(const QKeySequence& keys, std::function<void()> act);
  // "About Jumblix", beside the game, which plays on.
  void show_about(const QString& text);
  // Waits a little for the window system to resize the canvas away from `before`.
  bool wait_for_resize(QSize before);

  WindowForm& form_;
  CanvasView* canvas_ = nullptr;
  // Shows the canvas on X11 displays (x11_surface.h); null where the canvas view paints it.
  X11Surface* surface_ = nullptr;
  QLabel* status_label_ = nullptr;
  std::unordered_map<const MenuItem*, QAction*> actions_;
  std::unordered_map<const MenuItem*, QMenu*> menus_;
  std::unordered_map<const Control*, QWidget*> widgets_;
  // How to bring each object's widget up to date with the object.
  std::unordered_map<const FormObject*, std::function<void()>> sync_;
  bool syncing_ = false;  // widget signals raised by our own updates are not user actions
  // Set while the window is maximized only because the game maximized it.
  bool game_maximized_ = false;
  bool changing_size_ = false;  // our own maximize or restore is under way
  QRect normal_geometry_;
  QSize maximized_canvas_;
  bool full_screen_ = false;
  bool maximized_before_full_screen_ = false;
  QRect normal_geometry_before_full_screen_;
  QPointer<QWidget> about_;
  qreal shown_scale_ = 0;  // the screen's scale as of the drawing area's last resize
};

}  // namespace jumblix
