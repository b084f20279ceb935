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

// What the game has to do by itself, without a click, a key or a timer tick; the loop asks
// at the end of each yield.
enum class Work {
  now,    // something is due at once: the yield returns without waiting
  paced,  // the game works pass after pass (a gliding picture, the computer at move time 0):
          // each yield counts as the work since the last one plus a breather for the window
          // system, and the loop keeps that pace
  none,   // nothing before the next event or timer tick: the loop may sleep until then
};

// A time that never comes: the next tick of a stopped timer.
inline constexpr double kNever = std::numeric_limits<double>::infinity();

// The time each yield of a game working pass after pass counts for besides its work: a
// millisecond's breather for the window system and the wake-up from it. It sets the pace of
// the Fast picture and of the computer at move time 0 (about 420 passes a second).
inline constexpr double kPassBreatherMs = 1.18;

// What the game needs from the window system's event loop.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Delivers every pending event and due timer tick. It returns at once when the game has
  // work due now, keeps the pace of a game that works pass after pass, and otherwise waits
  // for the next event or timer tick (see set_next_work).
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

  // Asked at the end of a yield, once events and due ticks are delivered (and again after
  // each wait): what the game has to do by itself. Without it the game counts as working
  // pass after pass.
  void set_next_work(std::function<Work()> next_work) { next_work_ = std::move(next_work); }

 protected:
  Work next_work() const { return next_work_ ? next_work_() : Work::paced; }

 private:
  std::function<Work()> next_work_;
};

}  // namespace jumblix
