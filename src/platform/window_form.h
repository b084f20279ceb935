#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/form.h"

namespace jumblix {

// Mouse buttons and key codes as the game sees them, whatever the window system sends.
enum MouseButton { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum KeyCode {
  kKeyEnter = 13, kKeyEscape = 27, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40,
  kKeyB = 66, kKeyI = 73, kKeyJ = 74, kKeyK = 75, kKeyL = 76,
};

// The player's answer to "which pictures of yours, and as which kind?" (no files: cancelled).
struct PictureFilesChoice {
  std::vector<std::string> files;
  bool animated = false;
};

// The main window: caption, drawing area, menu tree, controls and timers, and the
// window-level events. A view (the Qt window) mirrors it; tests drive it directly.
class WindowForm : public FormObject {
 public:
  WindowForm(std::string name, std::string caption, int client_width, int client_height)
      : FormObject(std::move(name)), canvas(client_width, client_height), caption_(std::move(caption)) {}

  const std::string& caption() const { return caption_; }
  void set_caption(const std::string& c) { set(caption_, c); }

  // Asks the view to maximize the window; the view resizes the canvas to the new client area.
  void maximize() {
    if (on_maximize) on_maximize();
  }

  // Asks the view to let the player pick image files and whether they become regular or
  // animated pictures; without a view nothing is picked.
  PictureFilesChoice choose_picture_files() {
    return on_choose_picture_files ? on_choose_picture_files() : PictureFilesChoice{};
  }

  // Runs `work` away from the window's thread and then `done` back on it, inside a later
  // yield, so that the window keeps answering meanwhile; pieces of work run one at a time, in
  // the order given. `work` must not touch the form. When the program ends first, work not
  // yet begun is dropped and `done` never runs. Without a view both run at once, here.
  void run_in_background(std::function<void()> work, std::function<void()> done) {
    if (on_run_in_background) return on_run_in_background(std::move(work), std::move(done));
    work();
    done();
  }

  // Asks the view to give the window back the size it had before maximize(), if it is still
  // maximized only because the game maximized it (a window the player maximized stays so).
  // The view resizes the canvas before returning.
  void restore_size() {
    if (on_restore_size) on_restore_size();
  }

  // Asks the view to show the game's About text beside the game, which plays on.
  void show_about(const std::string& text) {
    if (on_show_about) on_show_about(text);
  }

  // Puts `text` on the desktop's clipboard (through the view); the form keeps the last text
  // copied, which is all a window without a view has.
  void copy_to_clipboard(const std::string& text) {
    clipboard_text = text;
    if (on_copy_to_clipboard) on_copy_to_clipboard(text);
  }
  std::string clipboard_text;

  // Everything the view has to build, in menu / creation order.
  const std::vector<MenuItem*>& menu_items() const { return menu_items_; }
  const std::vector<Control*>& controls() const { return controls_; }
  const std::vector<Timer*>& timers() const { return timers_; }
  MenuItem* menu_item(const std::string& name) const;
  Control* control(const std::string& name) const;

  void set_all_observers(FormObserver* observer);

  // Enter or Escape in a panel: clicks the shown, enabled default (or cancel) button, if
  // any; false when there is none.
  bool press_default_button() { return press_button(ButtonRole::default_button); }
  bool press_cancel_button() { return press_button(ButtonRole::cancel_button); }

  Canvas canvas;
  // Below the drawing area, never over it: the canvas keeps its size whatever the line says.
  StatusLine status_line{"status_line"};
  // The drawing area as a screen reader knows it: its name and, as its description, the
  // state of the puzzle.
  FormObject board{"board"};

  std::function<void(int button, int shift, double x, double y)> on_mouse_down;
  std::function<void(int key, int shift)> on_key_down;
  std::function<void()> on_unload;   // the window is being closed
  std::function<void()> on_maximize; // set by the view
  std::function<PictureFilesChoice()> on_choose_picture_files;  // set by the view
  std::function<void(const std::vector<std::string>& files)> on_files_dropped;  // files dropped on the window
  std::function<void()> on_restore_size; // set by the view
  std::function<void(bool full)> on_full_screen_changed;  // after the view switched full screen
  std::function<void(const std::string& text)> on_show_about;  // set by the view
  std::function<void(const std::string& text)> on_copy_to_clipboard;  // set by the view
  std::function<void(std::function<void()> work, std::function<void()> done)>
      on_run_in_background;  // set by the view

 protected:
  void add(MenuItem& item) { menu_items_.push_back(&item); }
  void add(Control& control) { controls_.push_back(&control); }
  void add(Timer& timer) { timers_.push_back(&timer); }

 private:
  bool press_button(ButtonRole role);
  std::string caption_;
  std::vector<MenuItem*> menu_items_;
  std::vector<Control*> controls_;
  std::vector<Timer*> timers_;
};

}  // namespace jumblix
