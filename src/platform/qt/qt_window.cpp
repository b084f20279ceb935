#include "platform/qt/qt_window.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegion>
#include <QScreen>
#include <QStatusBar>
#include <QThread>

#include "platform/qt/canvas_view.h"
#include "platform/qt/form_widgets.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/qt_loop.h"
#if JUMBLIX_X11_SURFACE
#include "platform/qt/x11_surface.h"
#endif

namespace jumblix {

QtWindow::QtWindow(WindowForm& form, QWidget* parent) : QMainWindow(parent), form_(form) {
  canvas_ = new CanvasView(*this);
  setCentralWidget(canvas_);
  for (MenuItem* item : form_.menu_items())
    if (!item->parent()) build_menu(*item, menuBar());
  for (Control* control : form_.controls()) build_control(*control);
  order_tabs();
  sync_[&form_] = [this] { setWindowTitle(text_of(form_.caption())); };
  build_status_line();
  install_accessibility();

  form_.set_all_observers(this);
  form_.on_maximize = [this] { maximize_now(); };
  form_.on_choose_picture_files = [this] { return ask_for_picture_files(); };
  setAcceptDrops(true);
  form_.on_restore_size = [this] { restore_size_now(); };
  form_.on_show_about = [this](const std::string& text) { show_about(text_of(text)); };
  form_.on_copy_to_clipboard = [](const std::string& text) { QGuiApplication::clipboard()->setText(text_of(text)); };
  add_desktop_keys();
  sync_all();

  // The window grows by the menu bar and the status line: the drawing area keeps its size.
  const int menu_height = menuBar()->isNativeMenuBar() ? 0 : menuBar()->sizeHint().height();
  resize(form_.canvas.width(), form_.canvas.height() + menu_height + statusBar()->minimumHeight());
  canvas_->setFocus();
  create_surface();

  // What the game draws reaches the screen once a display frame, when the loop is about to
  // sleep: a game waiting for the player costs no wake-ups here.
  show_each_frame(this, [this] { return form_.canvas.has_changes(); }, [this] { flush_canvas(); });
}

QtWindow::~QtWindow() {
  stop_showing(this);
  form_.set_all_observers(nullptr);
  form_.on_maximize = nullptr;
  form_.on_choose_picture_files = nullptr;
  form_.on_restore_size = nullptr;
  form_.on_show_about = nullptr;
  form_.on_copy_to_clipboard = nullptr;
}

QWidget* QtWindow::canvas_widget() const { return canvas_; }

// A plain label in the window's own font along the lower edge; it never takes the focus.
void QtWindow::build_status_line() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  status_label_ = new QLabel(bar);
  status_label_->setTextFormat(Qt::PlainText);
  // A long text is cut at the window's edge rather than widening the window.
  status_label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  bar->addWidget(status_label_, 1);
  // One line high even while it is empty, and of a fixed height, so the window's size tells
  // the drawing area's exactly.
  bar->setFixedHeight(std::max(bar->sizeHint().height(), status_label_->fontMetrics().height() + 6));
  sync_[&form_.status_line] = [this] { sync_status_line(); };
}

QAction* QtWindow::action_for(const MenuItem& item) const {
  const auto it = actions_.find(&item);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* QtWindow::menu_for(const MenuItem& item) const {
  const auto it = menus_.find(&item);
  return it == menus_.end() ? nullptr : it->second;
}

QWidget* QtWindow::widget_for(const Control& control) const {
  const auto it = widgets_.find(&control);
  return it == widgets_.end() ? nullptr : it->second;
}

void QtWindow::changed(FormObject& object) {
  const auto it = sync_.find(&object);
  if (it == sync_.end()) return;
  const bool was_syncing = syncing_;
  syncing_ = true;
  it->second();
  syncing_ = was_syncing;
}

void QtWindow::sync_all() {
  changed(form_);
  changed(form_.status_line);
  changed(form_.board);
  for (MenuItem* item : form_.menu_items()) changed(*item);
  for (Control* control : form_.controls()) changed(*control);
}

void QtWindow::canvas_resized(int width, int height) {
  // Moved to a screen of another scale, the window keeps its size in the screen's pixels, so
  // the drawing area would shrink or grow: the window is resized to keep the drawing area.
  const qreal scale = devicePixelRatioF();
  const bool rescaled = shown_scale_ > 0 && scale != shown_scale_;
  shown_scale_ = scale;
  const QSize kept(form_.canvas.width(), form_.canvas.height());
  if (rescaled && !changing_size_ && !isMaximized() && !isFullScreen() && !kept.isEmpty() &&
      kept != QSize(width, height)) {
    resize(size() + kept - QSize(width, height));
    return;
  }
  form_.canvas.resize(width, height);
#if JUMBLIX_X11_SURFACE
  if (surface_) surface_->setGeometry(0, 0, width, height);
#endif
}

void QtWindow::create_surface() {
#if JUMBLIX_X11_SURFACE
  surface_ = X11Surface::create(*canvas_, form_.canvas);
  if (surface_) surface_->setAccessibleName(QStringLiteral("Puzzle picture"));
  choose_canvas_painter();
#endif
}

void QtWindow::choose_canvas_painter() {
#if JUMBLIX_X11_SURFACE
  if (!surface_ || !surface_->serving()) return;
  bool covered = false;
  for (const auto& [control, widget] : widgets_) covered = covered || !widget->isHidden();
  if (covered == surface_->isHidden()) return;
  surface_->setVisible(!covered);  // shown again, the server asks it for the whole area
  if (covered) canvas_->update();
#endif
}

bool QtWindow::flush_canvas() {
  const std::vector<DirtyRect> changed = form_.canvas.take_dirty();
  if (changed.empty()) return false;
  QRegion region;
  for (const DirtyRect& d : changed) region += QRect(QPoint(d.x1, d.y1), QPoint(d.x2, d.y2));
#if JUMBLIX_X11_SURFACE
  if (surface_ && surface_->serving() && surface_->isVisible()) {
    if (surface_->show_rects(region)) return true;
    // The surface cannot serve any longer (say, the screen's scale changed): Qt paints.
    surface_ = nullptr;
    canvas_->update();
  }
#endif
  canvas_->update(region);
  return true;
}

bool QtWindow::save_screenshot(const QString& path) {
  flush_canvas();
  // The surface shows the canvas on the server only; the picture comes from the canvas view.
  QWidget* surface = nullptr;
#if JUMBLIX_X11_SURFACE
  if (surface_ && surface_->isVisible()) surface = surface_;
#endif
  if (surface) surface->hide();
  const bool saved = grab().save(path, "PNG");
  if (surface) surface->show();
  return saved;
}

// The window system answers a maximize or restore with a resize; wait a little for it (user
// input stays queued for the game's next yield).
bool QtWindow::wait_for_resize(QSize before) {
  QElapsedTimer waited;
  waited.start();
  do {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (canvas_->size() != before) return true;
    QThread::msleep(1);
  } while (waited.elapsed() < 250);
  return false;
}

void QtWindow::maximize_now() {
  if (full_screen_) return canvas_resized(canvas_->width(), canvas_->height());  // as large as it gets
  const QSize before = canvas_->size();
  const bool fills_screen = screen() && frameGeometry() == screen()->availableGeometry();
  if (!isVisible() || !(isMaximized() || fills_screen)) {
    changing_size_ = true;
    normal_geometry_ = geometry();
    showMaximized();
    // Without a window manager nobody maximizes the window: fill the screen ourselves.
    if (!wait_for_resize(before) && screen()) {
      const QRect area = screen()->availableGeometry();
      const QRect outer = frameGeometry(), inner = geometry();
      const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
      setGeometry(area.marginsRemoved(frame));
      wait_for_resize(before);
    }
    changing_size_ = false;
    game_maximized_ = true;
    maximized_canvas_ = canvas_->size();
  }
  canvas_resized(canvas_->width(), canvas_->height());
}

void QtWindow::restore_size_now() {
  if (!game_maximized_ || full_screen_) return;  // full screen stays until F11
  game_maximized_ = false;
  if (canvas_->size() != maximized_canvas_) return;  // resized by the player since
  const QSize before = canvas_->size();
  changing_size_ = true;
  showNormal();
  setGeometry(normal_geometry_);
  wait_for_resize(before);
  changing_size_ = false;
  canvas_resized(canvas_->width(), canvas_->height());
}

void QtWindow::changeEvent(QEvent* event) {
  // The player leaving the maximized state: the window is his to size from then on.
  if (event->type() == QEvent::WindowStateChange && !changing_size_ && !isMaximized()) {
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (change->oldState() & Qt::WindowMaximized) game_maximized_ = false;
  }
  QMainWindow::changeEvent(event);
}

void QtWindow::key_to_game(QKeyEvent* event) {
  const int code = game_key_code(*event);
  event->accept();
  // Alt belongs to the menu bar (pressed and released alone, it opens it).
  if (code == 0 || event->key() == Qt::Key_Alt) return;
  const int shift = game_shift_mask(event->modifiers());
  run_from_qt([&] {
    if (form_.on_key_down) form_.on_key_down(code, shift);
  });
}

void QtWindow::keyPressEvent(QKeyEvent* event) { key_to_game(event); }

void QtWindow::show_about(const QString& text) {
  if (!about_) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("About Jumblix"), text,
                                QMessageBox::Close, this);
    box->setIconPixmap(windowIcon().pixmap(64, 64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    about_ = box;
  }
  static_cast<QMessageBox*>(about_.data())->setText(text);
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void QtWindow::closeEvent(QCloseEvent* event) {
  run_from_qt([this] {
    if (form_.on_unload) form_.on_unload();
  });
  event->accept();
}

}  // namespace jumblix
