#pragma once
#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>

namespace jumblix {

class Timer;

// Thrown out of yield() once the program has been told to end, so that the endless main
// loop unwinds at once wherever it stands.
struct ProgramEnded : std::exception {
  const char* what() const noexcept override { return "program ended"; }
};

// When the game next has work of its own, on the loop's millisecond clock: at once, a time
// (work done once a pass asks for the next pass within a breather), or never (it waits for
// the player or for one of its timers).
inline constexpr double kWorkNow = -std::numeric_limits<double>::infinity();
inline constexpr double kNoWork = std::numeric_limits<double>::infinity();
// While the game works every pass, each yield leaves the window system up to this long.
inline constexpr double kPassBreatherMs = 1;

// What the game needs from the window system's event loop.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Delivers every pending event and due timer tick. It waits only when the game has said
  // that nothing is due before the next event or timer tick (see set_next_work).
  // Throws ProgramEnded once end_program() has been called.
  virtual void yield() = 0;
  virtual void end_program() = 0;
  virtual bool ended() const = 0;
  // Millisecond clock (any origin).
  virtual double now_ms() const = 0;
  virtual double seconds_since_midnight() const = 0;
  // Smallest step between timer ticks; shorter intervals wait this long.
  virtual double timer_resolution_ms() const { return 0; }
  // Timers register so the loop can fire them.
  virtual void add_timer(Timer& timer) = 0;
  // The timer paces an animation: where the display has frames, its short ticks fall on them.
  virtual void pace_with_frames(Timer&) {}

  // Asked at the end of a yield, once events and due ticks are delivered: when the game next
  // has work of its own (kWorkNow, a time on now_ms(), kNoWork). Without it the game counts
  // as working every pass.
  void set_next_work(std::function<double()> next_work) { next_work_ = std::move(next_work); }

 protected:
  double next_work() const { return next_work_ ? next_work_() : now_ms() + kPassBreatherMs; }

 private:
  std::function<double()> next_work_;
};

}  // namespace jumblix
