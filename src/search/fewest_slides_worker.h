#pragma once
// The fewest-slides search on a thread of its own, for the game's window object: starting a
// search and asking for its answer never wait, so the main loop goes on while it runs.
//
//   const FewestSlidesInput in = fewest_slides_input(state);  // when a puzzle is dealt
//   worker.start(in.w, in.h, in.cells, in.way_back);
//   if (auto r = worker.take_result()) show(*r);                // in each pass of the main loop
//
// A new start() drops the search before it (and its answer); stop() drops it without a new
// one; the destructor stops and joins the thread. Tables a board size needs for the first time
// are loaded or built on the worker's thread too.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "search/fewest_slides.h"

namespace jumblix {

class FewestSlidesWorker {
 public:
  // Boards of up to 16 cells search for at most a minute by default (the hardest 4 x 4 boards
  // take about half of that), then give the shortest solution known as a bound.
  explicit FewestSlidesWorker(FewestSlidesLimits limits = default_limits());  // limits.cancel: the worker's own
  static FewestSlidesLimits default_limits() {
    FewestSlidesLimits limits;
    limits.exact_budget = std::chrono::seconds(60);
    return limits;
  }
  ~FewestSlidesWorker();
  FewestSlidesWorker(const FewestSlidesWorker&) = delete;
  FewestSlidesWorker& operator=(const FewestSlidesWorker&) = delete;

  // Searches the board (cells in the game's numbering, as find_fewest_slides takes them);
  // `known_solution` may hold slides known to solve it. Returns the search's number.
  std::uint64_t start(int w, int h, std::vector<int> cells, std::vector<int> known_solution = {});
  void stop();

  // The answer of the latest search once it is there, handed over once; nothing meanwhile,
  // after stop(), and for a board that is no board. Never waits.
  std::optional<FewestSlides> take_result();
  // Whether the latest search is still running.
  bool busy() const;
  // The number of the latest start(); 0 before the first.
  std::uint64_t latest() const;

 private:
  struct Job {
    std::uint64_t number = 0;
    int w = 0, h = 0;
    std::vector<int> cells, known_solution;
    std::shared_ptr<std::atomic<bool>> cancel;
  };
  void run();
  void drop_current_locked();

  const FewestSlidesLimits limits_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Job> pending_;
  std::shared_ptr<std::atomic<bool>> running_cancel_;
  int preparing_w_ = 0, preparing_h_ = 0;  // the size of the board being searched, when it needs tables
  std::atomic<bool> abandon_tables_{false};
  std::uint64_t latest_ = 0;
  bool busy_ = false;
  bool closing_ = false;
  std::optional<FewestSlides> result_;
  std::thread thread_;
};

}  // namespace jumblix
