// The menu bar, built from the form's menu tree: a submenu for each item with children,
// an action for every command, kept in step with the items' visible, enabled and checked.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QKeySequence>

#include "platform/qt/form_widgets.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace jumblix {

void QtWindow::build_menu(MenuItem& item, QWidget* container) {
  auto* bar = qobject_cast<QMenuBar*>(container);
  auto* parent_menu = qobject_cast<QMenu*>(container);
  QAction* action = nullptr;
  if (!item.children().empty()) {
    // The menus of the bar open with Alt and their first letter; the '&' only underlines it.
    const QString mnemonic = bar ? QStringLiteral("&") : QString();
    auto* menu = new QMenu(mnemonic + caption_of(item.caption()), container);
    if (bar) menu->installEventFilter(this);  // one Escape gives the keys back (menu_escape)
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
    if (!item.shortcut().empty()) {
      // Shown beside the caption; inside the open menu it chooses the item, elsewhere the
      // window's own key does (desktop_keys.cpp).
      QList<QKeySequence> keys{QKeySequence(text_of(item.shortcut()))};
      if (!item.second_shortcut().empty()) keys << QKeySequence(text_of(item.second_shortcut()));
      action->setShortcuts(keys);
      action->setShortcutContext(Qt::WidgetShortcut);
    }
    connect(action, &QAction::triggered, this, [sync, &item] {
      sync();  // Qt flips a check mark by itself; only the game decides what is checked
      run_from_qt([&item] { item.click(); });
    });
  }
  actions_[&item] = action;
}

}  // namespace jumblix
