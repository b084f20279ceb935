#pragma once
// What the player has done on the puzzle in play: the slides and turns made, whether the
// computer helped, and the clock, which starts at the first slide or turn, stands still
// while a panel is open and stops at the finish. Times are milliseconds on the game loop's
// clock.
#include <optional>
#include <string>
#include <vector>

namespace jumblix {

class Scorecard {
 public:
  // A new puzzle: nothing counted, the clock at zero and not started. `scored` is false for
  // the title puzzles, which count nothing.
  void reset(bool scored);

  bool scored() const { return scored_; }
  bool finished() const { return finished_; }
  int slides() const { return slides_; }
  int turns() const { return turns_; }
  int computer_slides() const { return computer_slides_; }
  bool helped() const { return helped_; }

  // A slide or turn of the player's (the B key's included); the first one starts the clock.
  // Nothing counts once the puzzle is finished.
  void count_slide(double now_ms);
  void count_turn(double now_ms);
  // The B key or a computer mode changed the board: this puzzle can set no best result.
  void mark_helped();
  void count_computer_slide() { if (scored_ && !finished_) ++computer_slides_; }

  // An undo, a redo or a restart: the counts go back with the board, the clock runs on.
  void set_counts(int slides, int turns) {
    if (scored_ && !finished_) slides_ = slides, turns_ = turns;
  }
  // A puzzle brought back as it was kept: its counts, its help and its clock, which runs on
  // from `now_ms` if it had started.
  void resume(int slides, int turns, bool helped, double elapsed_ms, bool clock_started, double now_ms);
  bool clock_started() const { return clock_started_; }

  // A panel opened (true) or closed (false).
  void set_paused(bool paused, double now_ms);
  // The picture is complete: the clock stops for good.
  void finish(double now_ms);

  bool clock_running() const { return clock_started_ && !paused_ && !finished_; }
  double elapsed_ms(double now_ms) const;

 private:
  void start_clock(double now_ms);

  bool scored_ = false;
  bool finished_ = false;
  int slides_ = 0;
  int turns_ = 0;
  int computer_slides_ = 0;
  bool helped_ = false;
  bool clock_started_ = false;
  bool paused_ = false;
  double counted_ms_ = 0;     // clock time up to the last pause or stop
  double running_since_ = 0;  // when the clock last started running
};

// "1:05", or "1:02:07" from an hour on; whole seconds, the fraction dropped.
std::string clock_text(double ms);

// The fewest slides known for the board as dealt: exact, or a bound the solution found.
struct FewestFigure {
  int slides = 0;
  bool exact = false;
  std::vector<int> solution;  // that many slides that solve the board (the gap's direction codes)
  bool operator==(const FewestFigure&) const = default;
};

// What the status line tells; one field per fact, so the wording stays in one place.
struct StatusFacts {
  bool title_screen = false;     // before the first puzzle: the line says how to begin
  bool scored = false;           // a puzzle of the player's (not a title puzzle)
  bool computer_solving = false; // a computer mode is on
  bool rotation = false;
  bool finished = false;
  int slides = 0;
  int turns = 0;
  int computer_slides = 0;
  double elapsed_ms = 0;
  bool helped = false;
  bool fewest_pending = false;  // the fewest slides are still being worked out
  std::optional<FewestFigure> fewest;
  std::optional<int> best_moves;  // the best result kept for this picture, size and rotation
  std::optional<double> best_ms;
  bool new_best_moves = false;    // set at the finish
  bool new_best_time = false;
};

std::string status_text(const StatusFacts& facts);

// What the line's words mean, for the tooltip over it and the "Key help" menu.
inline constexpr const char* kStatusLineExplained =
    "Moves: your slides. Par: the fewest slides that solve the puzzle as dealt (\"at most\": the "
    "shortest way found so far). Best: your fewest moves and fastest time for this picture, size "
    "and rotation.";

}  // namespace jumblix
