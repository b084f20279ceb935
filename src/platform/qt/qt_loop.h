#pragma once
// The event loop of the real window: a yield is one round of Qt's event processing, the
// game's timers run on a steady millisecond clock, and short timers tick on the display
// frame grid.
#include <chrono>
#include <exception>
#include <functional>
#include <vector>

#include <QTimer>

#include "platform/event_loop.h"
#include "platform/form.h"

namespace jumblix {

// Length of one display frame; timers shorter than this tick once per frame.
inline constexpr double kFrameMs = 1000.0 / 60.0;

class QtLoop : public EventLoop {
 public:
  // Needs a QCoreApplication (or QApplication) to exist already.
  QtLoop();
  ~QtLoop() override;
  QtLoop(const QtLoop&) = delete;
  QtLoop& operator=(const QtLoop&) = delete;

  // Delivers pending window events, fires due timers, then waits at most about a
  // millisecond for the next event so that a loop that never sleeps leaves the
  // processor mostly idle. Throws ProgramEnded once the program is ending.
  void yield() override;
  void end_program() override { ended_ = true; }
  bool ended() const override { return ended_; }
  double now_ms() const override;
  double seconds_since_midnight() const override;
  double timer_resolution_ms() const override { return kFrameMs; }
  void add_timer(Timer& timer) override;

  // Whether `timer` should tick at `now` (ms on this loop's clock). Timers shorter than a
  // frame tick at the first frame boundary at or after their countdown ends, so a 1 ms
  // timer restarted after every tick ticks exactly once per frame.
  static bool timer_due(const Timer& timer, double now);

  // Safe to call from a signal handler: the next yield ends the program.
  static void request_end_from_signal() noexcept;

 private:
  void fire_due_timers();
  void throw_if_ending();

  std::chrono::steady_clock::time_point start_;
  std::vector<Timer*> timers_;
  bool ended_ = false;
  QTimer wake_;  // bounds the wait at the end of a yield
};

// Runs game code from inside Qt's event dispatch (a widget signal or event handler).
// Nothing may unwind through Qt: ProgramEnded stops here (the loop has already been told
// to end, so the yield that is running throws it again once Qt has returned), and any
// other exception is kept and rethrown by that yield.
void run_from_qt(const std::function<void()>& handler) noexcept;

// An exception kept by run_from_qt and not yet rethrown (null when none); clears it.
std::exception_ptr take_exception_from_qt() noexcept;

}  // namespace jumblix
