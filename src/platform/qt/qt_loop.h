#pragma once
// The event loop of the real window: a yield is one round of Qt's event processing, the
// game's timers run on a steady millisecond clock, and an animation's short ticks fall on
// the display frame grid. A yield sleeps when the game has nothing to do before the next
// window event or timer tick; a game that works pass after pass does its passes a frame at
// a time, and what it draws reaches the screen once a frame.
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include "platform/event_loop.h"
#include "platform/form.h"

namespace jumblix {

// Length of one display frame; an animation's timers shorter than this tick once per frame.
inline constexpr double kFrameMs = 1000.0 / 60.0;

// The pace of a game that works pass after pass, kept a display frame at a time. Each yield
// counts as the game's work since the last one plus the breather it leaves the window system
// (kPassBreatherMs), so passes follow one another at the pace they would keep if every yield
// slept that breather. The loop does not sleep between them: the yields that fall due within
// a frame run one after another when the frame comes, and the loop sleeps from frame to frame.
// A loop that fell behind (a late wake-up) catches up at most two frames.
class FramePace {
 public:
  // The yield has delivered its events at `now`, and the game says what it has to do: when the
  // yield may return (-infinity: at once; kNever: not by itself). Asked again after each wait.
  double due(Work work, double now);
  // The yield returns at `now`.
  void returned(double now);
  // When a loop waiting for a due time wakes: the first frame boundary at or after it.
  static double frame_at_or_after(double ms);

 private:
  bool asked_ = false;    // this yield has asked the game
  double busy_ = 0;       // the game's work from the last yield to this one's first answer
  double due_ = kNever;   // this yield's due time while the game works pass after pass
  Work work_ = Work::none;
  bool on_pace_ = false;  // the last yields were those of a game working pass after pass
  double slot_ = 0;       // when the last of them was due
  double returned_at_ = 0;
};

class QtLoop : public EventLoop {
 public:
  // Needs a QCoreApplication (or QApplication) to exist already.
  QtLoop();
  ~QtLoop() override;
  QtLoop(const QtLoop&) = delete;
  QtLoop& operator=(const QtLoop&) = delete;

  // Delivers pending window events and fires due timers. Then it returns once the game's work
  // is due (at once, or at its pace a frame at a time) or something has reached the game (a
  // handler has run or a timer has ticked), so that the change is seen at once and the next
  // player action may follow. Meanwhile it shows what the game drew, about once a display
  // frame, and sleeps until the next event, timer tick or frame it has something to do in.
  // A yield made by a handler (inside another yield) delivers and returns: the handler has
  // more to do. Throws ProgramEnded once the program is ending.
  void yield() override;
  void end_program() override { ended_ = true; }
  bool ended() const override { return ended_; }
  double now_ms() const override;
  double seconds_since_midnight() const override;
  void add_timer(Timer& timer) override;
  void pace_with_frames(Timer& timer) override;

  // When `timer` next ticks (ms on this loop's clock; kNever while stopped). Timers tick
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
  // Shows what the game drew, about once a display frame, right before the loop sleeps until
  // `next_wake`; returns when the loop must wake to show it (kNever: shown, or the next wake
  // comes in time).
  double show_changes(double now, double next_wake);
  // Lets Qt deliver what is pending (and with WaitForMoreEvents, wait for something).
  void deliver_events(QEventLoop::ProcessEventsFlags flags = {});
  // Waits for the next event, but no longer than until `until`.
  void sleep(double until, double now);

  std::chrono::steady_clock::time_point start_;
  std::vector<Timer*> timers_;
  std::vector<const Timer*> frame_paced_;
  bool ended_ = false;
  int depth_ = 0;  // yields now running, the outermost included
  FramePace pace_;
  unsigned long ticks_fired_ = 0;  // ticks of the game's timers so far
  double shown_at_ = -kNever;      // when the screen was last brought up to date
  double delivered_at_ = -kNever;  // when Qt last delivered events
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

// Keeps a window's drawing on screen at the display's pace: right before a yield sleeps, what
// was drawn (`changed`) is shown (`show`), about once a display frame (a change right after a
// showing waits for the loop's next wake if that comes in time, else for a wake of its own a
// frame after the showing). `view` names the registration, which lasts until stop_showing(view).
void show_each_frame(const void* view, std::function<bool()> changed, std::function<void()> show);
void stop_showing(const void* view);

}  // namespace jumblix
