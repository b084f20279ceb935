#include "platform/qt/qt_loop.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <csignal>
#include <exception>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>

namespace jumblix {

namespace {

volatile std::sig_atomic_t end_requested_by_signal = 0;
// A byte written here wakes a yield that sleeps, so that a signal ends a waiting game.
int signal_pipe[2] = {-1, -1};
std::exception_ptr exception_from_qt;

// Counts the yields running for as long as one runs.
struct Nesting {
  explicit Nesting(int& depth) : depth_(depth) { ++depth_; }
  ~Nesting() { --depth_; }
  int& depth_;
};

}  // namespace

void run_from_qt(const std::function<void()>& handler) noexcept {
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

void QtLoop::request_end_from_signal() noexcept {
  end_requested_by_signal = 1;
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
  if (!timer.enabled() || timer.interval() <= 0) return kNoWork;
  if (!frame_paced || timer.interval() >= kFrameMs) return timer.due_at();
  // The countdown started one interval before it ends; the tick waits for the next frame.
  const double started = timer.due_at() - timer.interval();
  return std::floor(started / kFrameMs + 1 + 1e-9) * kFrameMs;
}

double QtLoop::next_tick() const {
  double next = kNoWork;
  for (const Timer* t : timers_) next = std::min(next, tick_time(*t, frame_paced(*t)));
  return next;
}

void QtLoop::throw_if_ending() {
  if (end_requested_by_signal) {
    end_requested_by_signal = 0;
    ended_ = true;
  }
  if (std::exception_ptr e = take_exception_from_qt()) std::rethrow_exception(e);
  if (ended_) throw ProgramEnded();
}

void QtLoop::fire_due_timers() {
  const double now = now_ms();
  // A handler may register further timers; walk by index so that stays safe.
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    Timer* t = timers_[i];
    if (timer_due(*t, now, frame_paced(*t))) t->fire(now);
    if (ended_) throw ProgramEnded();
  }
}

void QtLoop::yield() {
  throw_if_ending();
  const Nesting nesting(depth_);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  throw_if_ending();
  fire_due_timers();

  const double work = depth_ > 1 ? now_ms() + kPassBreatherMs : next_work();
  const double until = std::min(work, next_tick());
  const double now = now_ms();
  if (until <= now) return;
  // Sleep until the next event, the game's next work or the next tick, whichever is first.
  if (until < kNoWork) {
    const double wait_ms = std::ceil(until - now);
    wake_.start(wait_ms < INT_MAX ? static_cast<int>(wait_ms) : INT_MAX);
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  wake_.stop();
  throw_if_ending();
}

}  // namespace jumblix
