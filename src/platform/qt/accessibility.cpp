// The window for the keyboard alone and for a screen reader: names and descriptions from the
// form, Tab in reading order, Enter and Escape in the panels, Escape out of the menus, and the
// board as a named canvas whose description follows the puzzle.
#include <algorithm>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "platform/qt/canvas_view.h"
#include "platform/qt/form_widgets.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace jumblix {

namespace {

// The board: a canvas, not an anonymous filler.
QAccessibleInterface* board_accessible(const QString&, QObject* object) {
  if (auto* board = dynamic_cast<CanvasView*>(object)) return new QAccessibleWidget(board, QAccessible::Canvas);
  return nullptr;
}

}  // namespace

void QtWindow::install_accessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(board_accessible);
    return true;
  }();
  (void)installed;
  sync_[&form_.board] = [this] { sync_accessible_text(form_.board, *canvas_); };
  menuBar()->setAccessibleName(QStringLiteral("Menus"));
  statusBar()->setAccessibleName(QStringLiteral("Status line"));
}

void QtWindow::sync_accessible_text(const FormObject& object, QWidget& widget) {
  const QString name = text_of(object.accessible_name());
  const QString description = text_of(object.accessible_description());
  if (!name.isEmpty() && widget.accessibleName() != name) widget.setAccessibleName(name);
  // Qt tells the change itself for a name, not always for a description.
  if (widget.accessibleDescription() != description) {
    widget.setAccessibleDescription(description);
    QAccessibleEvent event(&widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
}

// The status line is read out when its steady part changes (StatusLine), not at each tick.
void QtWindow::sync_status_line() {
  status_label_->setText(text_of(form_.status_line.text()));
  status_label_->setToolTip(text_of(form_.status_line.tooltip()));
  const QString spoken = text_of(form_.status_line.accessible_name());
  // A name of its own stops QLabel announcing every text; an empty line keeps a name too.
  const QString name = spoken.isEmpty() ? QStringLiteral("Status") : spoken;
  if (status_label_->accessibleName() == name) return;
  status_label_->setAccessibleName(name);
  QAccessibleEvent event(status_label_, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

// Tab and Shift+Tab go through the controls as they are read: top to bottom, left to right,
// from the board. Hidden and greyed ones are passed over by Qt.
void QtWindow::order_tabs() {
  std::vector<std::pair<const Control*, QWidget*>> order(widgets_.begin(), widgets_.end());
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
    const Rect &ra = a.first->rect(), &rb = b.first->rect();
    if (ra.top != rb.top) return ra.top < rb.top;
    if (ra.left != rb.left) return ra.left < rb.left;
    return a.first->name() < b.first->name();
  });
  QWidget* previous = canvas_;
  for (const auto& [control, widget] : order) {
    if (widget->focusPolicy() == Qt::NoFocus) continue;  // labels
    QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

// Tab stops once in the colours, at the selected one (or the first that can be chosen); the
// arrow keys go on from there.
void QtWindow::one_tab_stop_for_options() {
  std::vector<QWidget*> options;
  QWidget* stop = nullptr;
  for (Control* c : form_.controls()) {
    if (c->kind() != ControlKind::option_button) continue;
    QWidget* w = widget_for(*c);
    if (!w) continue;
    options.push_back(w);
    if (static_cast<OptionButton*>(c)->value() && c->enabled()) stop = w;
  }
  for (QWidget* w : options)
    if (!stop && w->isEnabled()) stop = w;
  for (QWidget* w : options) w->setFocusPolicy(w == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool QtWindow::controls_shown() const {
  for (const auto& [control, widget] : widgets_)
    if (!widget->isHidden()) return true;
  return false;
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (auto* menu = qobject_cast<QMenu*>(watched)) return menu_escape(*menu, *key);
  return panel_key(watched, *key);
}

// Enter in a box, list or swatch presses the panel's default button ("Begin", "Done"); Escape
// anywhere in a panel its cancel button ("Cancel", "Close"). A focused push button takes Enter
// itself, as Space.
bool QtWindow::panel_key(QObject* watched, const QKeyEvent& key) {
  const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
  const bool escape = key.key() == Qt::Key_Escape;
  if ((!enter && !escape) || key.modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier)) return false;
  if (enter && qobject_cast<QPushButton*>(watched)) return false;
  bool pressed = false;
  run_from_qt([&] { pressed = enter ? form_.press_default_button() : form_.press_cancel_button(); });
  return pressed;
}

// One Escape closes a menu of the bar and gives the keys back to the board at once (Qt would
// leave the keyboard on the bar for a second Escape).
bool QtWindow::menu_escape(QMenu& menu, const QKeyEvent& key) {
  if (key.key() != Qt::Key_Escape) return false;
  if (!menuBar()->actions().contains(menu.menuAction())) return false;  // a submenu: back one level
  menu.close();
  if (menuBar()->hasFocus()) {
    QKeyEvent leave(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(menuBar(), &leave);
  }
  if (!QApplication::focusWidget() || QApplication::focusWidget() == menuBar())
    canvas_->setFocus(Qt::OtherFocusReason);
  return true;
}

}  // namespace jumblix
