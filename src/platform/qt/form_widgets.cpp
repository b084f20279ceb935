// The form's controls as real widgets over the canvas: labels, text boxes, buttons, the
// colour options, the check box and the file lists, each kept in step with its control.
#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include "platform/palette.h"
#include "platform/qt/canvas_view.h"
#include "platform/qt/form_widgets.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/text_table.h"

namespace jumblix {

namespace {


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
  bool entering() const { return entering_; }

 protected:
  // Tab into the list picks nothing (Qt would make the first entry current, a pick here).
  void focusInEvent(QFocusEvent* event) override {
    const int before = currentRow();
    entering_ = true;
    QListWidget::focusInEvent(event);
    if (currentRow() != before) setCurrentRow(before);
    entering_ = false;
  }
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
  bool entering_ = false;
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
    QPainter painter(this);
    if (!isEnabled()) painter.fillRect(rect(), QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
    if (!hasFocus()) return;
    // The keyboard's swatch: a black and white frame, seen on any of the 16 colours.
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
    painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
  }
};

}  // namespace

void QtWindow::place(Control& control, QWidget* widget) {
  widget->setFont(control_font());
  widget->hide();
  widget->installEventFilter(this);  // Enter and Escape for the panel (panel_key)
  widgets_[&control] = widget;
  auto specific = std::move(sync_[&control]);
  sync_[&control] = [this, &control, widget, specific] {
    if (specific) specific();
    sync_accessible_text(control, *widget);
    const Rect& r = control.rect();
    const bool moved = widget->geometry() != QRect(r.left, r.top, r.width, r.height);
    widget->setGeometry(r.left, r.top, r.width, r.height);
    if (moved) order_tabs();
    widget->setEnabled(control.enabled());
    const bool shown = control.visible();
    if (shown == widget->isHidden()) {
      QWidget* focus = QApplication::focusWidget();
      const bool had_focus = focus && (focus == widget || widget->isAncestorOf(focus));
      widget->setVisible(shown);
      if (shown) widget->raise();
      if (shown && control.kind() == ControlKind::text_box &&
          static_cast<const TextBox&>(control).focused_when_shown())
        widget->setFocus(Qt::OtherFocusReason);
      choose_canvas_painter();
      canvas_->update_focus_frame();
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
      w->setFocusPolicy(Qt::StrongFocus);
      w->setAutoDefault(true);  // Enter presses the button that has the keyboard, as Space does
      connect(w, &QPushButton::clicked, this, [&button] { run_from_qt([&button] { button.click(); }); });
      place(control, w);
      break;
    }
    case ControlKind::option_button: {
      auto& option = static_cast<OptionButton&>(control);
      auto* w = new ColourOption(canvas_);
      // One group, as the form's: Tab reaches the selected swatch, the arrows move among the
      // swatches and select as they go, and a screen reader hears radio buttons.
      w->setAutoExclusive(true);
      w->setAutoFillBackground(true);
      w->setBackgroundRole(QPalette::Window);
      w->setFocusPolicy(Qt::StrongFocus);
      sync_[&control] = [this, w, &option] {
        w->set_colour(option.background());
        if (w->isChecked() != option.value()) {
          // An exclusive group keeps one button checked; the form may select none.
          w->setAutoExclusive(option.value());
          w->setChecked(option.value());
          w->setAutoExclusive(true);
        }
        one_tab_stop_for_options();
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
      w->setFocusPolicy(Qt::StrongFocus);
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
      w->setFocusPolicy(Qt::StrongFocus);
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
        if (!w->mouse_picking() && !w->entering()) w->on_pick(row);
      });
      place(control, w);
      break;
    }
    case ControlKind::table: {
      auto& table = static_cast<TableBox&>(control);
      TextTableModel* model = nullptr;
      // Read only; the keyboard scrolls it, Escape closes its panel (panel_key).
      QTableView* w = make_text_table(table, canvas_, &model);
      w->setFocusPolicy(Qt::StrongFocus);
      sync_[&control] = [model] { model->reload(); };
      place(control, w);
      break;
    }
    case ControlKind::picture_box:
      break;  // pictures to draw from, never shown
  }
}

}  // namespace jumblix
