#pragma once
// The event loop of the real window: a yield is one round of Qt's event processing, the
// game's timers run on a steady millisecond clock, and an animation's short ticks fall on
// the display frame grid. A yield sleeps when the game has nothing to do before the next
// window event or timer tick.
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include <QSocketNotifier>
#include <QTimer>

#include "platform/event_loop.h"
#include "platform/form.h"

namespace jumblix {

// Length of one display frame; an animation's timers shorter than this tick once per frame.
inline constexpr double kFrameMs = 1000.0 / 60.0;

class QtLoop : public EventLoop {
 public:
  // Needs a QCoreApplication (or QApplication) to exist already.
  QtLoop();
  ~QtLoop() override;
  QtLoop(const QtLoop&) = delete;
  QtLoop& operator=(const QtLoop&) = delete;

  // Delivers pending window events and fires due timers. Then, unless the game has work
  // due at once, it waits for the next event, but no longer than the game's next work
  // (a pass's breather) or the next timer tick, which the next yield fires. A yield
  // made by a handler (inside another yield) waits no longer than a breather: the handler
  // has more to do. Throws ProgramEnded once the program is ending.
  void yield() override;
  void end_program() override { ended_ = true; }
  bool ended() const override { return ended_; }
  double now_ms() const override;
  double seconds_since_midnight() const override;
  void add_timer(Timer& timer) override;
  void pace_with_frames(Timer& timer) override;

  // When `timer` next ticks (ms on this loop's clock; infinity while stopped). Timers tick
  // when their countdown ends; a frame-paced timer shorter than a frame ticks at the first
  // frame boundary after its countdown started, so a 1 ms timer restarted after every tick
  // ticks exactly once per frame.
  static double tick_time(const Timer& timer, bool frame_paced);
  static bool timer_due(const Timer& timer, double now, bool frame_paced) {
    return now >= tick_time(timer, frame_paced);
  }

  // Safe to call from a signal handler: the next yield ends the program.
  static void request_end_from_signal() noexcept;

 private:
  void fire_due_timers();
  void throw_if_ending();
  bool frame_paced(const Timer& timer) const;
  double next_tick() const;

  std::chrono::steady_clock::time_point start_;
  std::vector<Timer*> timers_;
  std::vector<const Timer*> frame_paced_;
  bool ended_ = false;
  int depth_ = 0;  // yields now running, the outermost included
  QTimer wake_;    // bounds the wait at the end of a yield
  std::unique_ptr<QSocketNotifier> signal_notifier_;  // wakes a sleeping yield on a signal
};

// Runs game code from inside Qt's event dispatch (a widget signal or event handler).
// Nothing may unwind through Qt: ProgramEnded stops here (the loop has already been told
// to end, so the yield that is running throws it again once Qt has returned), and any
// other exception is kept and rethrown by that yield.
void run_from_qt(const std::function<void()>& handler) noexcept;

// An exception kept by run_from_qt and not yet rethrown (null when none); clears it.
std::exception_ptr take_exception_from_qt() noexcept;

}  // namespace jumblix
