#include "platform/qt/qt_loop.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <csignal>
#include <exception>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>

namespace jumblix {

namespace {

// Set by a signal handler, which may run on any of the program's threads.
std::atomic<bool> end_requested_by_signal{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler may only touch lock-free atomics");
// A byte written here wakes a yield that sleeps, so that a signal ends a waiting game.
int signal_pipe[2] = {-1, -1};
std::exception_ptr exception_from_qt;
// Handlers of the game run from Qt so far: a yield returns once one has run.
unsigned long handlers_run = 0;

// The windows whose drawing the loop shows once a frame.
struct FrameView {
  const void* view;
  std::function<bool()> changed;
  std::function<void()> show;
};
std::vector<FrameView> frame_views;

// Counts the yields running for as long as one runs.
struct Nesting {
  explicit Nesting(int& depth) : depth_(depth) { ++depth_; }
  ~Nesting() { --depth_; }
  int& depth_;
};

}  // namespace

void run_from_qt(const std::function<void()>& handler) noexcept {
  ++handlers_run;
  try {
    handler();
  } catch (const ProgramEnded&) {
    // The loop is already ending; the yield that dispatched us throws again outside Qt.
  } catch (...) {
    if (!exception_from_qt) exception_from_qt = std::current_exception();
  }
}

std::exception_ptr take_exception_from_qt() noexcept {
  std::exception_ptr e = exception_from_qt;
  exception_from_qt = nullptr;
  return e;
}

void show_each_frame(const void* view, std::function<bool()> changed, std::function<void()> show) {
  stop_showing(view);
  frame_views.push_back({view, std::move(changed), std::move(show)});
}

void stop_showing(const void* view) {
  std::erase_if(frame_views, [view](const FrameView& v) { return v.view == view; });
}

double FramePace::due(Work work, double now) {
  if (!asked_) {
    asked_ = true;
    busy_ = std::max(0.0, now - returned_at_);
    due_ = kNever;
  }
  work_ = work;
  if (work == Work::now) return -kNever;
  if (work == Work::none) return kNever;
  if (due_ == kNever) {
    const double last = on_pace_ ? slot_ : returned_at_;
    due_ = std::max(last + busy_ + kPassBreatherMs, now - 2 * kFrameMs);
  }
  return due_;
}

void FramePace::returned(double now) {
  if (work_ == Work::paced) {
    slot_ = due_;
    on_pace_ = true;
  } else if (work_ == Work::now) {
    slot_ += busy_;  // a yield due at once takes no breather, only its work
  } else {
    on_pace_ = false;  // the game waited: its next pass starts afresh
  }
  returned_at_ = now;
  asked_ = false;
}

double FramePace::frame_at_or_after(double ms) {
  return ms >= kNever ? kNever : std::ceil(ms / kFrameMs - 1e-9) * kFrameMs;
}

void QtLoop::request_end_from_signal() noexcept {
  end_requested_by_signal.store(true);
  if (signal_pipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signal_pipe[1], &byte, 1);
  }
}

QtLoop::QtLoop() : start_(std::chrono::steady_clock::now()) {
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  if (signal_pipe[0] < 0 && ::pipe2(signal_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
    signal_pipe[0] = signal_pipe[1] = -1;
  if (signal_pipe[0] >= 0) {
    signal_notifier_ = std::make_unique<QSocketNotifier>(signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(signal_notifier_.get(), &QSocketNotifier::activated, [] {
      char bytes[64];
      while (::read(signal_pipe[0], bytes, sizeof bytes) > 0) {
      }
    });
  }
}

QtLoop::~QtLoop() = default;

double QtLoop::now_ms() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
}

double QtLoop::seconds_since_midnight() const {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void QtLoop::add_timer(Timer& timer) {
  for (Timer* t : timers_)
    if (t == &timer) return;
  timer.attach(this);
  timers_.push_back(&timer);
}

void QtLoop::pace_with_frames(Timer& timer) {
  if (!frame_paced(timer)) frame_paced_.push_back(&timer);
}

bool QtLoop::frame_paced(const Timer& timer) const {
  return std::find(frame_paced_.begin(), frame_paced_.end(), &timer) != frame_paced_.end();
}

double QtLoop::tick_time(const Timer& timer, bool frame_paced) {
  if (!timer.enabled() || timer.interval() <= 0) return kNever;
  if (!frame_paced || timer.interval() >= kFrameMs) return timer.due_at();
  // The countdown started one interval before it ends; the tick waits for the next frame.
  const double started = timer.due_at() - timer.interval();
  return std::floor(started / kFrameMs + 1 + 1e-9) * kFrameMs;
}

double QtLoop::next_tick() const {
  double next = kNever;
  for (const Timer* t : timers_) next = std::min(next, tick_time(*t, frame_paced(*t)));
  return next;
}

void QtLoop::throw_if_ending() {
  if (end_requested_by_signal.exchange(false)) ended_ = true;
  if (std::exception_ptr e = take_exception_from_qt()) std::rethrow_exception(e);
  if (ended_) throw ProgramEnded();
}

void QtLoop::fire_due_timers() {
  const double now = now_ms();
  // A handler may register further timers; walk by index so that stays safe.
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    Timer* t = timers_[i];
    if (timer_due(*t, now, frame_paced(*t))) {
      ++ticks_fired_;
      t->fire(now);
    }
    if (ended_) throw ProgramEnded();
  }
}

double QtLoop::show_changes(double now, double next_wake) {
  bool changed = false;
  for (const FrameView& v : frame_views) changed = changed || v.changed();
  if (!changed) return kNever;
  // About a frame after the last showing (the wakes of a frame's passes come a frame apart).
  if (now - shown_at_ >= kFrameMs * 0.7) {
    shown_at_ = now;
    // A view may register or leave while it shows: walk a copy.
    const std::vector<FrameView> views = frame_views;
    for (const FrameView& v : views)
      if (v.changed()) v.show();
    return kNever;
  }
  // Too soon: shown at the loop's next wake if that comes in time, else a wake of its own.
  const double due = shown_at_ + kFrameMs;
  return next_wake <= due + kFrameMs / 2 ? kNever : due;
}

void QtLoop::deliver_events(QEventLoop::ProcessEventsFlags flags) {
  QCoreApplication::processEvents(QEventLoop::AllEvents | flags);
  delivered_at_ = now_ms();
}

void QtLoop::sleep(double until, double now) {
  if (until < kNever) {
    const double wait_ms = std::ceil(until - now);
    wake_.start(wait_ms < INT_MAX ? static_cast<int>(wait_ms) : INT_MAX);
  }
  deliver_events(QEventLoop::WaitForMoreEvents);
  wake_.stop();
}

void QtLoop::yield() {
  throw_if_ending();
  const Nesting nesting(depth_);
  const unsigned long delivered = handlers_run + ticks_fired_;
  // The window system gets its turn at least a breather apart: the passes a frame runs one
  // after another (a fraction of a millisecond in all) need not each ask it for events; what
  // arrives meanwhile is delivered by the next yield that does, within the frame.
  if (depth_ > 1 || now_ms() - delivered_at_ >= kPassBreatherMs) deliver_events();
  throw_if_ending();
  fire_due_timers();
  if (depth_ > 1) return;

  double now = now_ms();
  double due = pace_.due(next_work(), now);
  while (due > now && handlers_run + ticks_fired_ == delivered) {
    double until = std::min(FramePace::frame_at_or_after(due), next_tick());
    until = std::min(until, show_changes(now, until));
    if (until > now) sleep(until, now);
    throw_if_ending();
    fire_due_timers();
    now = now_ms();
    due = pace_.due(next_work(), now);
  }
  // A game that never waits still reaches the screen, every other frame.
  if (now - shown_at_ >= 2 * kFrameMs) show_changes(now, kNever);
  pace_.returned(now_ms());
}

}  // namespace jumblix
