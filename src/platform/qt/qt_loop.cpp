#include "platform/qt/qt_loop.h"

#include <cmath>
#include <csignal>
#include <exception>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>

namespace jumblix {

namespace {

volatile std::sig_atomic_t end_requested_by_signal = 0;
std::exception_ptr exception_from_qt;

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

void QtLoop::request_end_from_signal() noexcept { end_requested_by_signal = 1; }

QtLoop::QtLoop() : start_(std::chrono::steady_clock::now()) {
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  wake_.setInterval(1);
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

bool QtLoop::timer_due(const Timer& timer, double now) {
  if (!timer.enabled() || timer.interval() <= 0) return false;
  if (timer.interval() < kFrameMs) return now >= std::floor(timer.due_at() / kFrameMs) * kFrameMs;
  return now >= timer.due_at();
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
    if (timer_due(*t, now)) t->fire(now);
    if (ended_) throw ProgramEnded();
  }
}

void QtLoop::yield() {
  throw_if_ending();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  throw_if_ending();
  fire_due_timers();
  // Sleep until the next event, but never longer than the wake-up timer's millisecond.
  wake_.start();
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  throw_if_ending();
}

}  // namespace jumblix
