#pragma once
// Slides to go: the fewest slides from the board as it stands, followed slide by slide.
//
// A slide changes the distance to the solved board by exactly one. When the slide is the
// first of the shortest solution known, the new figure is one less, with the rest of that
// solution, and no search is needed; otherwise one round of the exact search with the bound
// one less settles it: a solution of that length, or the figure one more, with the slide
// undone followed by the old solution. Boards of more than 16 cells follow their best
// solution known the same way, as a bound ("at most").
//
// SlidesToGoWorker does this on a thread of its own for the game; it knows boards, not windows.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "search/exact_search.h"
#include "search/slide_board.h"

namespace jumblix {

struct SlidesToGo {
  int slides = 0;
  bool exact = false;        // false: the fewest are at most `slides`
  bool away = false;         // the slide that led here made the way longer
  std::vector<int> solution; // `slides` slides that solve the board (the gap's direction codes)
  bool operator==(const SlidesToGo&) const = default;
};

// The figure for `after`, the board that slide d (the gap's direction code) made from a board
// whose figure was `before` (with its solution). `heuristic` serves exact figures of boards of
// up to 16 cells; without one, or for larger boards, the figure is followed as a bound. Nothing
// when `stop` ended the search.
std::optional<SlidesToGo> slides_to_go_after(const SlideBoard& after, int d, const SlidesToGo& before,
                                             const fewest::PatternHeuristic* heuristic,
                                             const fewest::SearchStop& stop);

class SlidesToGoWorker {
 public:
  SlidesToGoWorker();
  ~SlidesToGoWorker();
  SlidesToGoWorker(const SlidesToGoWorker&) = delete;
  SlidesToGoWorker& operator=(const SlidesToGoWorker&) = delete;

  // Follows a new board (cells in the game's numbering); `way_back` may hold slides known to
  // solve it. With `search`, its figure is worked out at once; otherwise it waits for seed()
  // or search(). Work for the board followed before is dropped.
  void follow(int w, int h, std::vector<int> cells, std::vector<int> way_back, bool search);
  // The figure of the board as follow() gave it, found elsewhere (it must carry its solution).
  void seed(SlidesToGo figure);
  // Works out the followed board's figure, when it is not known or being worked out yet.
  void search();
  // The board changed by slide d (the gap's direction code). When the figure is known and d
  // is the first slide of its solution, the new figure is there at once.
  void slid(int d);
  // Stops following: nothing is worked out until the next follow().
  void stop();

  // The figure of the board as it stands, when it is known; never waits.
  std::optional<SlidesToGo> current() const;
  // Whether a figure is being worked out on the worker's thread.
  bool busy() const;
  // How many boards follow() and slid() have named: a figure belongs to the latest.
  std::uint64_t version() const;

 private:
  void run();
  bool advance_locked();  // the quick steps that need no search; true when one was made

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool closing_ = false;
  bool following_ = false;
  bool search_wanted_ = false;   // the followed board's own figure is to be searched for
  bool searching_ = false;       // the worker is on it
  std::shared_ptr<std::atomic<bool>> cancel_;
  int w_ = 0, h_ = 0;
  std::vector<int> base_cells_, way_back_;
  std::optional<SlidesToGo> figure_;  // for the board after the first `done_` slides
  SlideBoard board_;                  // that board
  std::vector<int> slides_;           // every slide since the followed board
  std::size_t done_ = 0;
  std::uint64_t version_ = 0, base_version_ = 0;
  // Last: the thread starts at once and reads every member above.
  std::thread thread_;
};

}  // namespace jumblix
