#include "platform/window_form.h"

namespace jumblix {

MenuItem* WindowForm::menu_item(const std::string& name) const {
  for (MenuItem* item : menu_items_)
    if (item->name() == name) return item;
  return nullptr;
}

Control* WindowForm::control(const std::string& name) const {
  for (Control* c : controls_)
    if (c->name() == name) return c;
  return nullptr;
}

void WindowForm::set_all_observers(FormObserver* observer) {
  set_observer(observer);
  status_line.set_observer(observer);
  board.set_observer(observer);
  for (MenuItem* item : menu_items_) item->set_observer(observer);
  for (Control* c : controls_) c->set_observer(observer);
}

bool WindowForm::press_button(ButtonRole role) {
  for (Control* c : controls_) {
    if (c->kind() != ControlKind::command_button || !c->visible() || !c->enabled()) continue;
    auto* button = static_cast<CommandButton*>(c);
    if (button->role() != role) continue;
    button->click();
    return true;
  }
  return false;
}

}  // namespace jumblix
