// The keys a desktop player expects, beside the game's own: the menu items' shortcuts
// (Ctrl+Q, Ctrl+N, F1 for a menu of the bar), F10 and Alt for the menu bar, F11 for full
// screen. They are the window's: the game's keyboard handler never sees them.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>

#include "platform/qt/canvas_view.h"
#include "platform/qt/form_widgets.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace jumblix {

namespace {

// Pressing and releasing Alt alone puts the keyboard on the menu bar, whatever the style, and
// the title that has the keyboard is highlighted as an open one is (some styles show only
// the open one).
class AltOpensMenuBar : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* answer) const override {
    if (hint == SH_MenuBar_AltKeyNavigation) return 1;
    return QProxyStyle::styleHint(hint, option, widget, answer);
  }
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* title = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuBarItem && title && (title->state & State_Selected) && widget && widget->hasFocus()) {
      QStyleOptionMenuItem item = *title;
      item.state |= State_Sunken;
      return QProxyStyle::drawControl(element, &item, painter, widget);
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }
};

}  // namespace

QAction* QtWindow::add_window_key(const QKeySequence& keys, std::function<void()> act) {
  auto* action = new QAction(this);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  connect(action, &QAction::triggered, this, std::move(act));
  addAction(action);
  return action;
}

void QtWindow::add_desktop_keys() {
  auto* style = new AltOpensMenuBar;
  style->setParent(menuBar());
  menuBar()->setStyle(style);

  // One window key for each key sequence: it chooses the first command with that key the
  // player could choose from the menus now (two commands may share a key when only one of
  // them is ever shown); with none, the first command's stand-in for an unreachable key runs.
  std::vector<std::pair<std::string, std::vector<MenuItem*>>> keys;
  for (MenuItem* item : form_.menu_items())
    for (const std::string* key : {&item->shortcut(), &item->second_shortcut()}) {
      if (key->empty()) continue;
      auto same = std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return k.first == *key; });
      if (same == keys.end()) same = keys.insert(keys.end(), {*key, {}});
      same->second.push_back(item);
    }
  for (const auto& [key, items] : keys)
    add_window_key(QKeySequence(text_of(key)), [this, items = items] {
      for (MenuItem* item : items) {
        if (!item->reachable()) continue;
        if (!item->children().empty()) return menuBar()->setActiveAction(action_for(*item));
        return run_from_qt([item] { item->click(); });
      }
      if (!items.front()->children().empty()) return;
      run_from_qt([item = items.front()] { item->press_shortcut(); });
    });
  add_window_key(QKeySequence(Qt::Key_F10), [this] {
    for (QAction* menu : menuBar()->actions())
      if (menu->isVisible() && menu->isEnabled()) return menuBar()->setActiveAction(menu);
  });
  add_window_key(QKeySequence(Qt::Key_F11), [this] { toggle_full_screen(); });
}

void QtWindow::toggle_full_screen() {
  const QSize before = canvas_->size();
  changing_size_ = true;
  if (full_screen_) {
    full_screen_ = false;
    if (maximized_before_full_screen_) {
      showMaximized();
    } else {
      showNormal();
      setGeometry(normal_geometry_before_full_screen_);
    }
  } else {
    full_screen_ = true;
    maximized_before_full_screen_ = isMaximized();
    normal_geometry_before_full_screen_ = maximized_before_full_screen_ ? normal_geometry_ : geometry();
    showFullScreen();
    // Without a window manager nobody acts on the request: cover the screen ourselves.
    if (!wait_for_resize(before) && screen()) setGeometry(screen()->geometry());
  }
  wait_for_resize(before);
  changing_size_ = false;
  canvas_resized(canvas_->width(), canvas_->height());
  run_from_qt([this] {
    if (form_.on_full_screen_changed) form_.on_full_screen_changed(full_screen_);
  });
}

}  // namespace jumblix
