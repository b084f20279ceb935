#pragma once
#include <stdexcept>

namespace jumblix {

class Timer;

// Thrown out of yield() once the program has been told to end, so that the endless main
// loop unwinds at once wherever it stands.
struct ProgramEnded : std::exception {
  const char* what() const noexcept override { return "program ended"; }
};

// What the game needs from the window system's event loop.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Delivers every pending event and due timer tick, never waiting for one to arrive.
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
};

}  // namespace jumblix
