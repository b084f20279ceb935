#include "platform/headless/headless_loop.h"

#include <algorithm>
#include <utility>

namespace jumblix {

void HeadlessLoop::add_timer(Timer& timer) {
  timer.attach(this);
  timers_.push_back(&timer);
}

void HeadlessLoop::attach(WindowForm& window, int maximized_width, int maximized_height) {
  window_ = &window;
  for (Timer* t : window.timers()) add_timer(*t);
  window.on_maximize = [this, maximized_width, maximized_height] {
    if (!maximized_) normal_size_ = {window_->canvas.width(), window_->canvas.height()};
    maximized_ = true;
    window_->canvas.resize(maximized_width, maximized_height);
  };
  window.on_choose_picture_files = [this] { return std::exchange(dialog_answer_, {}); };
  window.on_restore_size = [this] {
    if (!maximized_) return;
    maximized_ = false;
    window_->canvas.resize(normal_size_.first, normal_size_.second);
  };
}

double HeadlessLoop::next_tick() const {
  double next = kNever;
  for (const Timer* t : timers_)
    if (t->enabled() && t->interval() > 0) next = std::min(next, t->due_at());
  return next;
}

void HeadlessLoop::yield() {
  if (ended_) throw ProgramEnded();
  ++yields_;
  now_ms_ += step_ms_;
  ++depth_;
  struct Unnest {
    int& depth;
    ~Unnest() { --depth; }
  } unnest{depth_};
  // Events queued while delivering wait for the next yield, as with a real window.
  std::deque<std::function<void()>> batch;
  batch.swap(queue_);
  for (auto& event : batch) {
    event();
    if (ended_) throw ProgramEnded();
  }
  for (Timer* t : timers_) {
    if (t->due(now_ms_)) t->fire(now_ms_);
    if (ended_) throw ProgramEnded();
  }
  if ((stop_condition_ && stop_condition_()) || now_ms_ > stop_limit_ms_) ended_ = true;
  if (!ended_ && on_yield) on_yield();
  if (ended_) throw ProgramEnded();
  // A game with nothing to do sleeps until its next timer tick or, with none running, until
  // the horizon, where the next events come from: the next yield's step lands there. A
  // handler's own yield never sleeps.
  if (depth_ == 1 && queue_.empty() && next_work() == Work::none) {
    const double until = std::min(next_tick(), horizon_ms_) - step_ms_;
    if (until < kNever) now_ms_ = std::max(now_ms_, until);
  }
}

void HeadlessLoop::mouse_down(double x, double y, int button) {
  post([this, x, y, button] {
    if (window_ && window_->on_mouse_down) window_->on_mouse_down(button, 0, x, y);
  });
}

void HeadlessLoop::key_down(int key) {
  post([this, key] {
    if (window_ && window_->on_key_down) window_->on_key_down(key, 0);
  });
}

void HeadlessLoop::menu(MenuItem& item) {
  post([&item] {
    // Only what the player could reach: the item and every menu above it shown and enabled.
    for (const MenuItem* m = &item; m; m = m->parent())
      if (!m->visible() || !m->enabled()) return;
    item.click();
  });
}

void HeadlessLoop::press(CommandButton& button) {
  post([&button] {
    if (button.visible() && button.enabled()) button.click();
  });
}

void HeadlessLoop::type(TextBox& box, const std::string& text) {
  for (char c : text)
    post([&box, c] {
      box.type_char(c);
      box.key_up(static_cast<unsigned char>(c));
    });
}

void HeadlessLoop::key_in(TextBox& box, int key) {
  post([&box, key] { box.key_down(key); });
}

void HeadlessLoop::pick(FileListBox& list, int index) {
  post([&list, index] { list.click(index); });
}

void HeadlessLoop::answer_picture_dialog(std::vector<std::string> files, bool animated) {
  dialog_answer_ = {std::move(files), animated};
}

void HeadlessLoop::drop_files(std::vector<std::string> files) {
  post([this, files = std::move(files)] {
    if (window_ && window_->on_files_dropped) window_->on_files_dropped(files);
  });
}

void HeadlessLoop::stop_when(std::function<bool()> condition, double limit_ms) {
  stop_condition_ = std::move(condition);
  stop_limit_ms_ = limit_ms;
}

}  // namespace jumblix
