#pragma once
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/event_loop.h"
#include "platform/window_form.h"

namespace jumblix {

// The event loop without a window: a virtual clock that every yield advances by a fixed
// step, an event queue the tests fill, and timers fired by virtual time. Deterministic.
// When the game has nothing to do and no event is queued, a yield moves the clock on to the
// next timer tick at once, as the real window's loop would sleep until then.
class HeadlessLoop : public EventLoop {
 public:
  explicit HeadlessLoop(double step_ms = 1.0, double start_seconds_since_midnight = 43200.0)
      : step_ms_(step_ms), midnight_offset_s_(start_seconds_since_midnight) {}

  void yield() override;
  void end_program() override { ended_ = true; }
  bool ended() const override { return ended_; }
  double now_ms() const override { return now_ms_; }
  double seconds_since_midnight() const override { return midnight_offset_s_ + now_ms_ / 1000.0; }
  double timer_resolution_ms() const override { return step_ms_; }
  void add_timer(Timer& timer) override;

  // Attach the window: its timers register here, maximize gives it `maximized_size` and
  // restore_size gives it back the size it had before.
  void attach(WindowForm& window, int maximized_width = 1024, int maximized_height = 700);

  // Events, delivered in order at the next yield.
  void post(std::function<void()> event) { queue_.push_back(std::move(event)); }
  void mouse_down(double x, double y, int button = kLeftButton);
  void key_down(int key);
  void menu(MenuItem& item);
  void press(CommandButton& button);
  // Types the text into the box character by character (respecting its limit); each
  // character is followed by its key-up event.
  void type(TextBox& box, const std::string& text);
  void key_in(TextBox& box, int key);
  void pick(FileListBox& list, int index);
  // The answer the window's next "choose picture files" dialog gets (then: cancelled).
  void answer_picture_dialog(std::vector<std::string> files, bool animated);
  void drop_files(std::vector<std::string> files);

  // Ends the program (yield throws) as soon as `condition` holds after a yield, or once the
  // virtual clock passes `limit_ms`; the limit keeps a broken test from spinning forever.
  void stop_when(std::function<bool()> condition, double limit_ms = 1e9);

  // Called at the end of every yield, after events and timers: lets a test pause the game
  // there (for instance by parking the game's thread) and look at it.
  std::function<void()> on_yield;

  // How far an idle yield may move the clock when no timer runs or the next tick lies
  // further (the time the test looks again); unlimited by default, where an idle game with
  // no timer running steps the clock as usual.
  void set_horizon(double ms) { horizon_ms_ = ms; }

  std::size_t pending() const { return queue_.size(); }
  long long yields() const { return yields_; }
  void advance(double ms) { now_ms_ += ms; }

 private:
  double step_ms_;
  double midnight_offset_s_;
  double next_tick() const;

  double now_ms_ = 0;
  double horizon_ms_ = kNever;
  int depth_ = 0;
  long long yields_ = 0;
  bool ended_ = false;
  std::deque<std::function<void()>> queue_;
  std::vector<Timer*> timers_;
  PictureFilesChoice dialog_answer_;
  WindowForm* window_ = nullptr;
  bool maximized_ = false;  // by the game's maximize, not yet restored
  std::pair<int, int> normal_size_;
  std::function<bool()> stop_condition_;
  double stop_limit_ms_ = 1e18;
};

}  // namespace jumblix
