#include "platform/qt/qt_window.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
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
#include <QValidator>

#include "platform/palette.h"
#include "platform/qt/qt_loop.h"

namespace jumblix {

namespace {

// The key code for a punctuation key by the character it types, as on a US keyboard
// (0 for none).
int symbol_key_code(int key) {
  switch (key) {
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 186;
    case Qt::Key_Equal: case Qt::Key_Plus: return 187;
    case Qt::Key_Comma: case Qt::Key_Less: return 188;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 189;
    case Qt::Key_Period: case Qt::Key_Greater: return 190;
    case Qt::Key_Slash: case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 222;
    // The shifted digits are their digit keys.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    default: return 0;
  }
}

// The key code for a key of the typing area by its place on the keyboard (an X key code),
// whatever the layout prints on it: the digit row and the punctuation keys, where other
// layouts put national letters and dead keys. 0 for other keys.
int key_code_at(quint32 x_key_code) {
  if (x_key_code >= 10 && x_key_code <= 18) return '1' + static_cast<int>(x_key_code - 10);
  switch (x_key_code) {
    case 19: return '0';
    case 20: return 189;
    case 21: return 187;
    case 34: return 219;
    case 35: return 221;
    case 47: return 186;
    case 48: return 222;
    case 49: return 192;
    case 51: return 220;
    case 59: return 188;
    case 60: return 190;
    case 61: return 191;
    case 94: return 226;  // the extra key beside the left Shift on European keyboards
    default: return 0;
  }
}

bool native_codes_are_x_key_codes() {
  static const bool x = QGuiApplication::platformName().startsWith("xcb") ||
                        QGuiApplication::platformName().startsWith("wayland");
  return x;
}

}  // namespace

int game_key_code(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    // Num Lock on sends digits, off sends arrows; the player moves pieces either way.
    switch (key) {
      case Qt::Key_8: case Qt::Key_Up: return kKeyUp;
      case Qt::Key_4: case Qt::Key_Left: return kKeyLeft;
      case Qt::Key_6: case Qt::Key_Right: return kKeyRight;
      case Qt::Key_2: case Qt::Key_Down: return kKeyDown;
      case Qt::Key_Asterisk: return 106;
      case Qt::Key_Plus: return 107;
      case Qt::Key_Minus: return 109;
      case Qt::Key_Period: case Qt::Key_Comma: return 110;  // the decimal key, either layout
      case Qt::Key_Slash: return 111;
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
    case Qt::Key_Cancel: return 3;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: case Qt::Key_AltGr: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Select: return 41;
    case Qt::Key_Printer: return 42;
    case Qt::Key_Execute: return 43;
    case Qt::Key_Print: case Qt::Key_SysReq: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_Super_L: case Qt::Key_Meta: return 91;
    case Qt::Key_Super_R: return 92;
    case Qt::Key_Menu: return 93;
    case Qt::Key_Sleep: return 95;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Back: return 166;
    case Qt::Key_Forward: return 167;
    case Qt::Key_Refresh: return 168;
    case Qt::Key_Stop: return 169;
    case Qt::Key_Search: return 170;
    case Qt::Key_Favorites: return 171;
    case Qt::Key_HomePage: return 172;
    case Qt::Key_VolumeMute: return 173;
    case Qt::Key_VolumeDown: return 174;
    case Qt::Key_VolumeUp: return 175;
    case Qt::Key_MediaNext: return 176;
    case Qt::Key_MediaPrevious: return 177;
    case Qt::Key_MediaStop: return 178;
    case Qt::Key_MediaPlay: case Qt::Key_MediaTogglePlayPause: return 179;
    case Qt::Key_LaunchMail: return 180;
    case Qt::Key_LaunchMedia: return 181;
    case Qt::Key_Launch0: return 182;
    case Qt::Key_Launch1: return 183;
    default: break;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  return symbol_key_code(key);
}

int game_key_code(const QKeyEvent& event) {
  const int key = event.key();
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  // Letters follow the layout; the other keys of the typing area go by their place, so
  // every key there has a code whatever it prints.
  const bool letter_or_digit = (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
  if (!(modifiers & Qt::KeypadModifier) && !letter_or_digit && native_codes_are_x_key_codes())
    if (const int code = key_code_at(event.nativeScanCode())) return code;
  return game_key_code(key, modifiers);
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
    const int code = game_key_code(*event);
    if (code != 0) run_from_qt([&] { box_.key_down(code); });
    QLineEdit::keyPressEvent(event);
    event->accept();
  }
  void keyReleaseEvent(QKeyEvent* event) override {
    QLineEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) {
      const int code = game_key_code(*event);
      run_from_qt([&] { box_.key_up(code); });
    }
    event->accept();
  }

 private:
  TextBox& box_;
};

// A text box's character limit, which holds for what the player types: an edit that adds
// characters may leave at most the limit, while a longer text from the game is shown
// whole and may only be shortened. A refused edit leaves the text, cursor and selection
// as they were.
class TypingLimit : public QValidator {
 public:
  TypingLimit(const TextBox& box, QObject* parent) : QValidator(parent), box_(box) {}
  State validate(QString& input, int&) const override {
    if (input.size() <= box_.max_length()) return Acceptable;
    // The text before the edit is the box's, which the line edit mirrors.
    const QString before = text_of(box_.text());
    if (input == before) return Acceptable;  // the game's own text
    if (input.size() >= before.size()) return Invalid;
    qsizetype head = 0;
    while (head < input.size() && input[head] == before[head]) ++head;
    const bool only_removed = before.endsWith(QStringView(input).mid(head));
    return only_removed ? Acceptable : Invalid;
  }

 private:
  const TextBox& box_;
};

// A file list where a left click on an entry picks it, selected or not; the keyboard
// picks an entry by moving to it.
class FileList : public QListWidget {
 public:
  using QListWidget::QListWidget;
  std::function<void(int row)> on_pick;
  bool mouse_picking() const { return mouse_picking_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return event->accept();  // other buttons pick nothing
    mouse_picking_ = true;
    QListWidget::mousePressEvent(event);
    mouse_picking_ = false;
    const QModelIndex at = indexAt(event->position().toPoint());
    if (!at.isValid()) return;
    if (!item(at.row())->isSelected()) item(at.row())->setSelected(true);  // Ctrl does not unselect
    on_pick(at.row());
  }

 private:
  bool mouse_picking_ = false;
};

// A colour choice: the whole coloured button answers a click, not just its small circle.
// A greyed one shows its colour washed out and hatched, so it reads as not selectable.
class ColourOption : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

  void set_colour(int colour_index) {
    QPalette palette = QApplication::palette();
    if (is_colour_index(colour_index)) {
      const QColor colour = palette_colour(colour_index);
      const QColor washed = QColor::fromRgbF(0.35f * colour.redF() + 0.65f * 0.75f,
                                             0.35f * colour.greenF() + 0.65f * 0.75f,
                                             0.35f * colour.blueF() + 0.65f * 0.75f);
      for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button}) {
        palette.setColor(role, colour);
        palette.setColor(QPalette::Disabled, role, washed);
      }
    }
    setPalette(palette);
  }

 protected:
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
  void paintEvent(QPaintEvent* event) override {
    QRadioButton::paintEvent(event);
    if (isEnabled()) return;
    QPainter painter(this);
    painter.fillRect(rect(), QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
  }
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
  // The second press of a left double-click is a double-click, not a button going down:
  // the game has nothing for it. Quick presses of the other buttons stay presses.
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) return event->accept();
    mousePressEvent(event);
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
  form_.on_choose_picture_files = [this] { return ask_for_picture_files(); };
  setAcceptDrops(true);
  form_.on_restore_size = [this] { restore_size_now(); };
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
  form_.on_choose_picture_files = nullptr;
  form_.on_restore_size = nullptr;
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
      if (label.clicks_through()) w->setAttribute(Qt::WA_TransparentForMouseEvents);
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
      if (box.max_length() > 0) {
        w->setMaxLength(box.max_length());
        w->setValidator(new TypingLimit(box, w));
      }
      // Only the game's own texts reach the line edit here: the player's typing is already
      // in it, with the cursor, selection and undo where the player left them.
      sync_[&control] = [w, &box] {
        const QString text = text_of(box.text());
        if (w->text() == text) return;
        // A longer text from the game is shown whole (TypingLimit keeps the typing short).
        if (box.max_length() > 0) w->setMaxLength(std::max<int>(box.max_length(), static_cast<int>(text.size())));
        w->setText(text);
        // Shown from its first character, as "1000" in a box two digits wide, unless the
        // player is typing there.
        if (!w->hasFocus()) w->setCursorPosition(0);
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
        w->set_colour(option.background());
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
      auto* w = new FileList(canvas_);
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
      // A pick by mouse or keyboard is the player's choice of that entry, also when the
      // mouse picks the entry that is already selected.
      w->on_pick = [this, &list](int row) {
        if (syncing_ || row < 0) return;
        run_from_qt([&list, row] { list.click(row); });
      };
      connect(w, &QListWidget::currentRowChanged, this, [w](int row) {
        if (!w->mouse_picking()) w->on_pick(row);
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
  if (!game_maximized_) return;
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
