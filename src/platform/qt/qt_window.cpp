#include "platform/qt/qt_window.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScreen>
#include <QThread>

#include "platform/palette.h"
#include "platform/qt/qt_loop.h"

namespace jumblix {

int game_key_code(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    // Num Lock on sends digits, off sends arrows; the player moves pieces either way.
    switch (key) {
      case Qt::Key_8: case Qt::Key_Up: return kKeyUp;
      case Qt::Key_4: case Qt::Key_Left: return kKeyLeft;
      case Qt::Key_6: case Qt::Key_Right: return kKeyRight;
      case Qt::Key_2: case Qt::Key_Down: return kKeyDown;
      default:
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);  // keypad digits
        break;
    }
  }
  switch (key) {
    case Qt::Key_Return: case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: break;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  return 0;
}

int game_shift_mask(Qt::KeyboardModifiers modifiers) {
  return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
         ((modifiers & Qt::AltModifier) ? 4 : 0);
}

int game_mouse_button(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return kLeftButton;
    case Qt::RightButton: return kRightButton;
    case Qt::MiddleButton: return kMiddleButton;
    default: return 0;
  }
}

namespace {

QString text_of(const std::string& s) { return QString::fromStdString(s); }

// Menu and button captions are shown exactly as given: '&' is not a mnemonic marker.
QString caption_of(const std::string& s) { return text_of(s).replace('&', "&&"); }

QColor palette_colour(int index) { return QColor::fromRgb(static_cast<QRgb>(palette_rgb(index))); }

// The small type the panels were laid out for.
QFont control_font() {
  QFont font = QApplication::font();
  font.setPixelSize(11);
  return font;
}

// Prompts have fixed widths; a long one is set narrower, then smaller, rather than cut off.
QFont font_to_fit(const QString& text, int width) {
  QFont font = control_font();
  auto fits = [&] { return QFontMetrics(font).horizontalAdvance(text) <= width - 2; };
  for (int stretch = 100; stretch >= 75 && !fits(); stretch -= 5) font.setStretch(stretch);
  for (int px = 10; px >= 8 && !fits(); --px) font.setPixelSize(px);
  return font;
}

// Text colour on a background it reads well against: bright prompts on black, dark ones on grey.
void set_prompt_colours(QWidget& widget, int colour) {
  QPalette palette = QApplication::palette();
  if (is_colour_index(colour)) {
    const QColor text = palette_colour(colour);
    const double luminance = 0.299 * text.red() + 0.587 * text.green() + 0.114 * text.blue();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, luminance >= 60 ? QColor(Qt::black) : QColor(0xC0, 0xC0, 0xC0));
  }
  widget.setPalette(palette);
}

// A text box: typing edits the form's text, and key presses and releases reach the
// box's own handlers, never the game's keyboard handler.
class TextBoxEdit : public QLineEdit {
 public:
  TextBoxEdit(TextBox& box, QWidget* parent) : QLineEdit(parent), box_(box) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int code = game_key_code(event->key(), event->modifiers());
    if (code != 0) run_from_qt([&] { box_.key_down(code); });
    QLineEdit::keyPressEvent(event);
    event->accept();
  }
  void keyReleaseEvent(QKeyEvent* event) override {
    QLineEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) {
      const int code = game_key_code(event->key(), event->modifiers());
      run_from_qt([&] { box_.key_up(code); });
    }
    event->accept();
  }

 private:
  TextBox& box_;
};

// A colour choice: the whole coloured button answers a click, not just its small circle.
class ColourOption : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace

// Shows the game's canvas pixel for pixel and passes mouse presses and keys to the game.
class CanvasView : public QWidget {
 public:
  explicit CanvasView(QtWindow& window) : QWidget(&window), window_(window) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  QSize sizeHint() const override {
    return {window_.form_.canvas.width(), window_.form_.canvas.height()};
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    const Picture& picture = window_.form_.canvas.image();
    QRect drawn;
    if (!picture.empty()) {
      const QImage view(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                        picture.height, picture.width * 4, QImage::Format_RGB32);
      drawn = event->rect() & view.rect();
      if (!drawn.isEmpty()) painter.drawImage(drawn.topLeft(), view, drawn);
    }
    // Anything beyond the canvas (only while a resize is under way) is black.
    const QRegion rest = QRegion(event->rect()).subtracted(drawn);
    for (const QRect& r : rest) painter.fillRect(r, Qt::black);
  }
  void resizeEvent(QResizeEvent*) override { window_.canvas_resized(width(), height()); }
  void mousePressEvent(QMouseEvent* event) override {
    setFocus(Qt::MouseFocusReason);  // keys go back to the game after typing into a box
    const int button = game_mouse_button(event->button());
    if (button == 0) return;
    const int shift = game_shift_mask(event->modifiers());
    const double x = event->position().x(), y = event->position().y();
    WindowForm& form = window_.form_;
    run_from_qt([&] {
      if (form.on_mouse_down) form.on_mouse_down(button, shift, x, y);
    });
    event->accept();
  }
  void keyPressEvent(QKeyEvent* event) override { window_.key_to_game(event); }

 private:
  QtWindow& window_;
};

QtWindow::QtWindow(WindowForm& form, QWidget* parent) : QMainWindow(parent), form_(form) {
  canvas_ = new CanvasView(*this);
  setCentralWidget(canvas_);
  for (MenuItem* item : form_.menu_items())
    if (!item->parent()) build_menu(*item, menuBar());
  for (Control* control : form_.controls()) build_control(*control);
  sync_[&form_] = [this] { setWindowTitle(text_of(form_.caption())); };

  form_.set_all_observers(this);
  form_.on_maximize = [this] { maximize_now(); };
  sync_all();

  const int menu_height = menuBar()->isNativeMenuBar() ? 0 : menuBar()->sizeHint().height();
  resize(form_.canvas.width(), form_.canvas.height() + menu_height);
  canvas_->setFocus();

  // While the game draws, its changes reach the screen once a frame; a frame with nothing
  // new stops the timer, and the first drawing after a pause is shown before the event
  // loop next sleeps, so a game waiting for the player costs no wake-ups here.
  repaint_.setTimerType(Qt::PreciseTimer);
  repaint_.setInterval(16);
  connect(&repaint_, &QTimer::timeout, this, [this] {
    if (!flush_canvas()) repaint_.stop();
  });
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
      if (!repaint_.isActive() && flush_canvas()) repaint_.start();
    });
  repaint_.start();
}

QtWindow::~QtWindow() {
  form_.set_all_observers(nullptr);
  form_.on_maximize = nullptr;
}

QWidget* QtWindow::canvas_widget() const { return canvas_; }

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

void QtWindow::build_menu(MenuItem& item, QWidget* container) {
  auto* bar = qobject_cast<QMenuBar*>(container);
  auto* parent_menu = qobject_cast<QMenu*>(container);
  QAction* action = nullptr;
  if (!item.children().empty()) {
    auto* menu = new QMenu(caption_of(item.caption()), container);
    action = bar ? bar->addMenu(menu) : parent_menu->addMenu(menu);
    menus_[&item] = menu;
    for (MenuItem* child : item.children()) build_menu(*child, menu);
    sync_[&item] = [action, &item] {
      action->setVisible(item.visible());
      action->setEnabled(item.enabled());
    };
  } else {
    action = bar ? bar->addAction(caption_of(item.caption()))
                 : parent_menu->addAction(caption_of(item.caption()));
    // Only a checked item is checkable, so unchecked commands look like plain commands.
    auto sync = [action, &item] {
      action->setVisible(item.visible());
      action->setEnabled(item.enabled());
      action->setCheckable(item.checked());
      action->setChecked(item.checked());
    };
    sync_[&item] = sync;
    connect(action, &QAction::triggered, this, [sync, &item] {
      sync();  // Qt flips a check mark by itself; only the game decides what is checked
      run_from_qt([&item] { item.click(); });
    });
  }
  actions_[&item] = action;
}

void QtWindow::place(Control& control, QWidget* widget) {
  widget->setFont(control_font());
  widget->hide();
  widgets_[&control] = widget;
  auto specific = std::move(sync_[&control]);
  sync_[&control] = [this, &control, widget, specific] {
    if (specific) specific();
    const Rect& r = control.rect();
    widget->setGeometry(r.left, r.top, r.width, r.height);
    widget->setEnabled(control.enabled());
    const bool shown = control.visible();
    if (shown == widget->isHidden()) {
      QWidget* focus = QApplication::focusWidget();
      const bool had_focus = focus && (focus == widget || widget->isAncestorOf(focus));
      widget->setVisible(shown);
      if (shown) widget->raise();
      if (!shown && had_focus) canvas_->setFocus(Qt::OtherFocusReason);
    } else if (!control.enabled() && widget->hasFocus()) {
      canvas_->setFocus(Qt::OtherFocusReason);
    }
  };
}

void QtWindow::build_control(Control& control) {
  switch (control.kind()) {
    case ControlKind::label: {
      auto& label = static_cast<Label&>(control);
      auto* w = new QLabel(canvas_);
      w->setAutoFillBackground(true);
      w->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      w->setTextFormat(Qt::PlainText);
      set_prompt_colours(*w, label.colour());
      sync_[&control] = [w, &label] {
        const QString text = text_of(label.caption());
        if (w->text() != text) w->setText(text);
        w->setFont(font_to_fit(text, label.width()));
      };
      place(control, w);
      break;
    }
    case ControlKind::text_box: {
      auto& box = static_cast<TextBox&>(control);
      auto* w = new TextBoxEdit(box, canvas_);
      w->setTextMargins(0, 0, 0, 0);
      sync_[&control] = [w, &box] {
        const QString text = text_of(box.text());
        // The limit holds for typing only: a longer text set by the game is shown whole,
        // and the player may shorten it but not lengthen it.
        if (box.max_length() > 0)
          w->setMaxLength(std::max<int>(box.max_length(), static_cast<int>(text.size())));
        if (w->text() != text) w->setText(text);
      };
      connect(w, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
        if (syncing_) return;
        box.set_text(text.toStdString());
      });
      place(control, w);
      break;
    }
    case ControlKind::command_button: {
      auto& button = static_cast<CommandButton&>(control);
      auto* w = new QPushButton(caption_of(button.caption()), canvas_);
      w->setFocusPolicy(Qt::NoFocus);
      connect(w, &QPushButton::clicked, this, [&button] { run_from_qt([&button] { button.click(); }); });
      place(control, w);
      break;
    }
    case ControlKind::option_button: {
      auto& option = static_cast<OptionButton&>(control);
      auto* w = new ColourOption(canvas_);
      w->setAutoExclusive(false);  // the form keeps the group exclusive
      w->setAutoFillBackground(true);
      w->setBackgroundRole(QPalette::Window);
      w->setFocusPolicy(Qt::NoFocus);
      sync_[&control] = [w, &option] {
        QPalette palette = QApplication::palette();
        if (is_colour_index(option.background())) {
          palette.setColor(QPalette::Window, palette_colour(option.background()));
          palette.setColor(QPalette::Button, palette_colour(option.background()));
        }
        w->setPalette(palette);
        w->setChecked(option.value());
      };
      connect(w, &QRadioButton::clicked, this, [this, w, &option] {
        if (syncing_) return;
        option.set_value(true);
        w->setChecked(option.value());  // clicking the selected button keeps it selected
      });
      place(control, w);
      break;
    }
    case ControlKind::check_box: {
      auto& check = static_cast<CheckBox&>(control);
      auto* w = new QCheckBox(caption_of(check.caption()), canvas_);
      w->setFocusPolicy(Qt::NoFocus);
      sync_[&control] = [w, &check] {
        w->setCheckState(check.value() == 0 ? Qt::Unchecked
                         : check.value() == 1 ? Qt::Checked : Qt::PartiallyChecked);
      };
      connect(w, &QCheckBox::clicked, this, [this, &check](bool on) {
        if (syncing_) return;
        check.set_value(on ? 1 : 0);
      });
      place(control, w);
      break;
    }
    case ControlKind::file_list: {
      auto& list = static_cast<FileListBox&>(control);
      auto* w = new QListWidget(canvas_);
      w->setFocusPolicy(Qt::ClickFocus);
      w->setSelectionMode(QAbstractItemView::SingleSelection);
      w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // more rows; long names are cut off
      sync_[&control] = [w, &list] {
        QStringList entries;
        for (const std::string& e : list.entries()) entries << text_of(e);
        QStringList shown;
        for (int i = 0; i < w->count(); ++i) shown << w->item(i)->text();
        if (shown != entries) {
          w->clear();
          w->addItems(entries);
        }
        if (w->currentRow() != list.selected()) w->setCurrentRow(list.selected());
        if (list.selected() < 0) w->clearSelection();
      };
      // A pick by mouse or keyboard is the player's choice of that entry.
      connect(w, &QListWidget::currentRowChanged, this, [this, &list](int row) {
        if (syncing_ || row < 0) return;
        run_from_qt([&list, row] { list.click(row); });
      });
      place(control, w);
      break;
    }
    case ControlKind::picture_box:
      break;  // pictures to draw from, never shown
  }
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
  for (MenuItem* item : form_.menu_items()) changed(*item);
  for (Control* control : form_.controls()) changed(*control);
}

void QtWindow::canvas_resized(int width, int height) { form_.canvas.resize(width, height); }

bool QtWindow::flush_canvas() {
  const DirtyRect d = form_.canvas.take_dirty();
  if (d.empty()) return false;
  canvas_->update(QRect(QPoint(d.x1, d.y1), QPoint(d.x2, d.y2)));
  return true;
}

bool QtWindow::save_screenshot(const QString& path) {
  flush_canvas();
  return grab().save(path, "PNG");
}

void QtWindow::maximize_now() {
  const QSize before = canvas_->size();
  // The window system answers with a resize; wait a little for it (user input stays
  // queued for the game's next yield).
  auto wait_for_resize = [&] {
    QElapsedTimer waited;
    waited.start();
    do {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      if (canvas_->size() != before) return true;
      QThread::msleep(1);
    } while (waited.elapsed() < 250);
    return false;
  };
  const bool fills_screen = screen() && frameGeometry() == screen()->availableGeometry();
  if (!isVisible() || !(isMaximized() || fills_screen)) {
    showMaximized();
    // Without a window manager nobody maximizes the window: fill the screen ourselves.
    if (!wait_for_resize() && screen()) {
      const QRect area = screen()->availableGeometry();
      const QRect outer = frameGeometry(), inner = geometry();
      const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
      setGeometry(area.marginsRemoved(frame));
      wait_for_resize();
    }
  }
  canvas_resized(canvas_->width(), canvas_->height());
}

void QtWindow::key_to_game(QKeyEvent* event) {
  const int code = game_key_code(event->key(), event->modifiers());
  event->accept();
  if (code == 0) return;
  const int shift = game_shift_mask(event->modifiers());
  run_from_qt([&] {
    if (form_.on_key_down) form_.on_key_down(code, shift);
  });
}

void QtWindow::keyPressEvent(QKeyEvent* event) { key_to_game(event); }

void QtWindow::closeEvent(QCloseEvent* event) {
  run_from_qt([this] {
    if (form_.on_unload) form_.on_unload();
  });
  event->accept();
}

}  // namespace jumblix
