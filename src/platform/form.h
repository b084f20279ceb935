#pragma once
// The window as a retained "form": menu items and controls whose properties the game
// reads and writes. Every property change notifies an optional view, which mirrors it
// on screen; user actions come back through the std::function handlers.
#include <functional>
#include <string>
#include <vector>

#include "platform/picture.h"

namespace jumblix {

class FormObject;

// A view that mirrors form objects (the Qt window); notified after every property change.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void changed(FormObject& object) = 0;
};

class FormObject {
 public:
  explicit FormObject(std::string name) : name_(std::move(name)) {}
  FormObject(const FormObject&) = delete;
  FormObject& operator=(const FormObject&) = delete;
  virtual ~FormObject() = default;

  const std::string& name() const { return name_; }
  bool visible() const { return visible_; }
  bool enabled() const { return enabled_; }
  void set_visible(bool v) { set(visible_, v); }
  void set_enabled(bool e) { set(enabled_, e); }
  void show() { set_visible(true); }
  void hide() { set_visible(false); }
  void enable() { set_enabled(true); }
  void disable() { set_enabled(false); }

  // What a screen reader says for the object: its name (for a box or list, what it is for)
  // and a longer description (for the board, the state of the puzzle). Empty: the view's own.
  const std::string& accessible_name() const { return accessible_name_; }
  void set_accessible_name(const std::string& n) { set(accessible_name_, n); }
  const std::string& accessible_description() const { return accessible_description_; }
  void set_accessible_description(const std::string& d) { set(accessible_description_, d); }

  void set_observer(FormObserver* observer) { observer_ = observer; }

 protected:
  template <typename T>
  void set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    notify();
  }
  void notify() {
    if (observer_) observer_->changed(*this);
  }

 private:
  std::string name_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string accessible_name_;
  std::string accessible_description_;
  FormObserver* observer_ = nullptr;
};

class MenuItem : public FormObject {
 public:
  MenuItem(std::string name, std::string caption, MenuItem* parent)
      : FormObject(std::move(name)), caption_(std::move(caption)), parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
  }
  const std::string& caption() const { return caption_; }
  MenuItem* parent() const { return parent_; }
  const std::vector<MenuItem*>& children() const { return children_; }
  bool checked() const { return checked_; }
  void set_checked(bool c) { set(checked_, c); }
  // The key a desktop player may press for this command ("Ctrl+Q"), shown in the menu; a
  // command may answer a second key as well ("Ctrl+Y" beside "Ctrl+Shift+Z").
  const std::string& shortcut() const { return shortcut_; }
  const std::string& second_shortcut() const { return second_shortcut_; }
  void set_shortcut(std::string keys, std::string second = {}) {
    shortcut_ = std::move(keys);
    second_shortcut_ = std::move(second);
  }
  // Shown and enabled, and so is every menu above it: the player can choose it now.
  bool reachable() const {
    for (const MenuItem* m = this; m; m = m->parent_)
      if (!m->visible() || !m->enabled()) return false;
    return true;
  }
  void click() {
    if (on_click) on_click();
  }
  // The item's shortcut key pressed: chooses it when the player could choose it from the
  // menus now, else runs on_unreachable_shortcut (when set).
  void press_shortcut() {
    if (reachable())
      click();
    else if (on_unreachable_shortcut)
      on_unreachable_shortcut();
  }

  std::function<void()> on_click;
  std::function<void()> on_unreachable_shortcut;

 private:
  std::string caption_;
  MenuItem* parent_;
  std::vector<MenuItem*> children_;
  bool checked_ = false;
  std::string shortcut_;
  std::string second_shortcut_;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

enum class ControlKind { label, text_box, command_button, option_button, check_box, file_list,
                         picture_box, table };

// A control on the window's client area; all of them start hidden.
class Control : public FormObject {
 public:
  Control(std::string name, ControlKind kind, Rect rect)
      : FormObject(std::move(name)), kind_(kind), rect_(rect) {
    set_visible(false);
  }
  ControlKind kind() const { return kind_; }
  const Rect& rect() const { return rect_; }
  int left() const { return rect_.left; }
  int top() const { return rect_.top; }
  int width() const { return rect_.width; }
  int height() const { return rect_.height; }
  void move(int left, int top) { set(rect_, Rect{left, top, rect_.width, rect_.height}); }
  void resize(int width, int height) { set(rect_, Rect{rect_.left, rect_.top, width, height}); }

 private:
  ControlKind kind_;
  Rect rect_;
};

class Label : public Control {
 public:
  // `colour` is the prompt's palette colour index (-1: the window's default text colour).
  Label(std::string name, std::string caption, Rect rect, int colour = -1)
      : Control(std::move(name), ControlKind::label, rect), caption_(std::move(caption)),
        colour_(colour) {}
  const std::string& caption() const { return caption_; }
  void set_caption(const std::string& c) { set(caption_, c); }
  int colour() const { return colour_; }
  // A notice over the board: mouse presses on it go to the window underneath. Set before the
  // view is built.
  bool clicks_through() const { return clicks_through_; }
  void set_clicks_through(bool through) { clicks_through_ = through; }

 private:
  std::string caption_;
  int colour_;
  bool clicks_through_ = false;
};

class TextBox : public Control {
 public:
  // max_length bounds only what the user types (0: no limit); the program may set longer texts.
  TextBox(std::string name, std::string text, int max_length, Rect rect)
      : Control(std::move(name), ControlKind::text_box, rect), text_(std::move(text)),
        max_length_(max_length) {}
  const std::string& text() const { return text_; }
  void set_text(const std::string& t) { set(text_, t); }
  int max_length() const { return max_length_; }

  // A user typing one character at the end, as the window would accept it.
  bool type_char(char c);
  void key_down(int key) {
    if (on_key_down) on_key_down(key);
  }
  void key_up(int key) {
    if (on_key_up) on_key_up(key);
  }

  // A box the player opened a panel to type into takes the keyboard when it shows. Set
  // before the view is built.
  bool focused_when_shown() const { return focused_when_shown_; }
  void set_focused_when_shown(bool focused) { focused_when_shown_ = focused; }

  std::function<void(int key)> on_key_down;
  std::function<void(int key)> on_key_up;

 private:
  std::string text_;
  int max_length_;
  bool focused_when_shown_ = false;
};

// What Enter or Escape in a panel's control presses: its default or its cancel button.
enum class ButtonRole { plain, default_button, cancel_button };

class CommandButton : public Control {
 public:
  CommandButton(std::string name, std::string caption, Rect rect, ButtonRole role = ButtonRole::plain)
      : Control(std::move(name), ControlKind::command_button, rect), caption_(std::move(caption)),
        role_(role) {}
  const std::string& caption() const { return caption_; }
  ButtonRole role() const { return role_; }
  void click() {
    if (on_click) on_click();
  }
  std::function<void()> on_click;

 private:
  std::string caption_;
  ButtonRole role_;
};

class OptionButton;

// Mutually exclusive option buttons: selecting one deselects the others.
class OptionGroup {
 public:
  void add(OptionButton* button) { buttons_.push_back(button); }
  const std::vector<OptionButton*>& buttons() const { return buttons_; }

 private:
  std::vector<OptionButton*> buttons_;
};

class OptionButton : public Control {
 public:
  OptionButton(std::string name, OptionGroup& group, Rect rect)
      : Control(std::move(name), ControlKind::option_button, rect), group_(group) {
    group_.add(this);
  }
  bool value() const { return value_; }
  // Selecting one button of the group clears the others; false just clears this one.
  void set_value(bool v);
  int background() const { return background_; }  // palette index, -1 for none
  void set_background(int colour_index) { set(background_, colour_index); }

 private:
  OptionGroup& group_;
  bool value_ = false;
  int background_ = -1;
};

class CheckBox : public Control {
 public:
  CheckBox(std::string name, std::string caption, Rect rect)
      : Control(std::move(name), ControlKind::check_box, rect), caption_(std::move(caption)) {}
  const std::string& caption() const { return caption_; }
  int value() const { return value_; }
  void set_value(int v) { set(value_, v); }

 private:
  std::string caption_;
  int value_ = 0;
};

// Lists the files of one folder whose names match a pattern such as "*.bmp"
// (letter case ignored), sorted by name, as they were when the folder or pattern was set.
class FileListBox : public Control {
 public:
  FileListBox(std::string name, std::string pattern, Rect rect)
      : Control(std::move(name), ControlKind::file_list, rect), pattern_(std::move(pattern)) {}
  const std::string& folder() const { return folder_; }
  const std::string& pattern() const { return pattern_; }
  void set_folder(const std::string& folder);
  void set_pattern(const std::string& pattern);
  void refresh();

  const std::vector<std::string>& entries() const { return entries_; }
  int count() const { return static_cast<int>(entries_.size()); }
  std::string entry(int index) const;  // "" outside the list
  int selected() const { return selected_; }  // -1: nothing selected
  std::string selected_text() const { return entry(selected_); }
  void set_selected(int index);
  // The user picking entry `index`: selects it and runs the handler.
  void click(int index);
  std::function<void()> on_click;

 private:
  std::string folder_;
  std::string pattern_;
  std::vector<std::string> entries_;
  int selected_ = -1;
};

// Holds a picture and has a position; the game never shows these, it draws from them.
class PictureBox : public Control {
 public:
  PictureBox(std::string name, Rect rect, int border = 1)
      : Control(std::move(name), ControlKind::picture_box, rect), border_(border) {}
  const Picture& picture() const { return picture_; }
  void set_picture(Picture p) {
    picture_ = std::move(p);
    notify();
  }
  // The inner drawing area: the outer size less the border on each side.
  int scale_width() const { return width() - 2 * border_; }
  int scale_height() const { return height() - 2 * border_; }

 private:
  Picture picture_;
  int border_;
};

// A read-only table of text: column headings and rows of cells.
class TableBox : public Control {
 public:
  TableBox(std::string name, std::vector<std::string> columns, Rect rect)
      : Control(std::move(name), ControlKind::table, rect), columns_(std::move(columns)) {}
  const std::vector<std::string>& columns() const { return columns_; }
  const std::vector<std::vector<std::string>>& rows() const { return rows_; }
  void set_rows(std::vector<std::vector<std::string>> rows) { set(rows_, rows); }

 private:
  std::vector<std::string> columns_;
  std::vector<std::vector<std::string>> rows_;
};

// One line of text along the window's lower edge, outside the drawing area.
// Its accessible name is what a screen reader announces: the text as it stood when the
// steady part (the text without what changes by itself, such as a running clock) last
// changed, so a ticking clock is shown but not read out every second.
class StatusLine : public FormObject {
 public:
  explicit StatusLine(std::string name) : FormObject(std::move(name)) {}
  const std::string& text() const { return text_; }
  void set_text(const std::string& t) { set_text(t, t); }
  void set_text(const std::string& t, const std::string& steady) {
    if (steady != steady_) {
      steady_ = steady;
      set_accessible_name(t);
    }
    set(text_, t);
  }
  // Explains the line's words when the pointer rests on it.
  const std::string& tooltip() const { return tooltip_; }
  void set_tooltip(const std::string& t) { set(tooltip_, t); }

 private:
  std::string text_;
  std::string steady_;
  std::string tooltip_;
};

class EventLoop;

// A window timer: fires on_timer every interval while enabled, only inside a yield.
class Timer {
 public:
  explicit Timer(std::string name, double interval_ms = 0) : name_(std::move(name)), interval_(interval_ms) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& name() const { return name_; }
  double interval() const { return interval_; }
  bool enabled() const { return enabled_; }
  // A new interval restarts a running countdown; the same interval leaves it alone.
  void set_interval(double ms);
  // Enabling a stopped timer starts a fresh countdown; a running one keeps its countdown.
  void set_enabled(bool enabled);
  void start() { set_enabled(true); }
  void stop() { set_enabled(false); }

  void attach(EventLoop* loop) { loop_ = loop; }
  // Called by the event loop: when the next tick is due (ms on the loop's clock).
  bool due(double now_ms) const { return enabled_ && interval_ > 0 && now_ms >= due_at_; }
  double due_at() const { return due_at_; }
  void fire(double now_ms);

  std::function<void()> on_timer;

 private:
  void restart();
  std::string name_;
  double interval_;
  bool enabled_ = false;
  double due_at_ = 0;
  EventLoop* loop_ = nullptr;
};

}  // namespace jumblix
