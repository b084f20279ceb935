#include "search/slides_to_go.h"

#include <utility>

#include "search/fewest_slides.h"
#include "search/pattern_heuristic.h"

namespace jumblix {

namespace {

// The slide that undoes d: 1 left and 2 right, 3 up and 4 down pair up.
int undoing(int d) { return ((d - 1) ^ 1) + 1; }

}  // namespace

std::optional<SlidesToGo> slides_to_go_after(const SlideBoard& after, int d, const SlidesToGo& before,
                                             const fewest::PatternHeuristic* heuristic,
                                             const fewest::SearchStop& stop) {
  SlidesToGo next;
  next.exact = before.exact;
  if (!before.solution.empty() && before.solution.front() == d) {
    next.slides = before.slides - 1;
    next.solution.assign(before.solution.begin() + 1, before.solution.end());
    return next;
  }
  if (before.exact && heuristic && before.slides > 0) {
    // The distance is now before - 1 or before + 1: one round at the lower bound tells which.
    fewest::WithinOutcome within = fewest::solve_within(after, *heuristic, stop, before.slides - 1);
    if (within.stopped) return std::nullopt;
    if (within.slides) {
      next.slides = static_cast<int>(within.slides->size());
      next.solution = std::move(*within.slides);
      return next;
    }
  } else if (before.exact && !heuristic && before.slides > 0) {
    next.exact = false;  // no tables to settle it: the way known is a bound only
  }
  next.slides = before.slides + 1;
  next.away = true;
  next.solution.reserve(before.solution.size() + 1);
  next.solution.push_back(undoing(d));
  next.solution.insert(next.solution.end(), before.solution.begin(), before.solution.end());
  return next;
}

SlidesToGoWorker::SlidesToGoWorker() : thread_([this] { run(); }) {}

SlidesToGoWorker::~SlidesToGoWorker() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    if (cancel_) *cancel_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void SlidesToGoWorker::follow(int w, int h, std::vector<int> cells, std::vector<int> way_back, bool search) {
  {
    std::lock_guard lock(mutex_);
    if (cancel_) *cancel_ = true;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    following_ = !board_problem(w, h, cells);
    w_ = w;
    h_ = h;
    base_cells_ = std::move(cells);
    way_back_ = std::move(way_back);
    figure_.reset();
    if (following_) board_ = board_from_game_cells(w, h, base_cells_);
    slides_.clear();
    done_ = 0;
    search_wanted_ = search && following_;
    base_version_ = ++version_;
  }
  wake_.notify_all();
}

void SlidesToGoWorker::seed(SlidesToGo figure) {
  {
    std::lock_guard lock(mutex_);
    if (!following_ || figure_ || !slides_solve(board_from_game_cells(w_, h_, base_cells_), figure.solution)) return;
    // A search of its own for the same board is no longer needed.
    if (searching_ && cancel_) {
      *cancel_ = true;
      cancel_ = std::make_shared<std::atomic<bool>>(false);
    }
    search_wanted_ = false;
    figure.away = false;
    figure_ = std::move(figure);
    board_ = board_from_game_cells(w_, h_, base_cells_);
    done_ = 0;
    advance_locked();
  }
  wake_.notify_all();
}

void SlidesToGoWorker::search() {
  {
    std::lock_guard lock(mutex_);
    if (!following_ || figure_ || searching_) return;
    search_wanted_ = true;
  }
  wake_.notify_all();
}

void SlidesToGoWorker::slid(int d) {
  {
    std::lock_guard lock(mutex_);
    ++version_;
    if (!following_) return;
    slides_.push_back(d);
    advance_locked();
  }
  wake_.notify_all();
}

void SlidesToGoWorker::stop() {
  std::lock_guard lock(mutex_);
  if (cancel_) *cancel_ = true;
  following_ = false;
  search_wanted_ = false;
  figure_.reset();
  slides_.clear();
  done_ = 0;
  ++version_;
}

std::optional<SlidesToGo> SlidesToGoWorker::current() const {
  std::lock_guard lock(mutex_);
  if (!following_ || done_ != slides_.size()) return std::nullopt;
  return figure_;
}

bool SlidesToGoWorker::busy() const {
  std::lock_guard lock(mutex_);
  return following_ && (!figure_ ? search_wanted_ || searching_ : done_ < slides_.size());
}

std::uint64_t SlidesToGoWorker::version() const {
  std::lock_guard lock(mutex_);
  return version_;
}

bool SlidesToGoWorker::advance_locked() {
  bool advanced = false;
  while (figure_ && done_ < slides_.size()) {
    const int d = slides_[done_];
    const bool on_the_way = !figure_->solution.empty() && figure_->solution.front() == d;
    if (!on_the_way && figure_->exact) break;  // needs the search
    SlideBoard after = board_;
    after.slide(d);
    figure_ = slides_to_go_after(after, d, *figure_, nullptr, {});
    board_ = std::move(after);
    ++done_;
    advanced = true;
  }
  return advanced;
}

void SlidesToGoWorker::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] {
      return closing_ || (following_ && ((!figure_ && search_wanted_ && !searching_) ||
                                         (figure_ && done_ < slides_.size())));
    });
    if (closing_) return;
    const auto cancel = cancel_;
    const std::uint64_t base = base_version_;
    const int w = w_, h = h_;
    if (!figure_) {
      // The followed board's own figure, with its solution.
      searching_ = true;
      const std::vector<int> cells = base_cells_, way_back = way_back_;
      lock.unlock();
      std::optional<FewestSlides> answer;
      try {
        if (!fewest_slides_exact(w, h) || prepare_fewest_slides_tables(w, h, cancel.get())) {
          FewestSlidesLimits limits;
          limits.cancel = cancel.get();
          limits.exact_budget = std::chrono::seconds(60);
          answer = find_fewest_slides(w, h, cells, limits, way_back);
        }
      } catch (...) {
        answer.reset();  // out of memory, say: no figure rather than no game
      }
      lock.lock();
      searching_ = false;
      if (base != base_version_ || *cancel || figure_) continue;
      search_wanted_ = false;
      if (!answer || (answer->kind != FewestSlides::Kind::kExact && answer->kind != FewestSlides::Kind::kBound)) {
        following_ = false;  // nothing to follow for this board
        continue;
      }
      figure_ = SlidesToGo{answer->slides, answer->kind == FewestSlides::Kind::kExact, false,
                           std::move(answer->solution)};
      board_ = board_from_game_cells(w, h, base_cells_);
      done_ = 0;
      advance_locked();
      continue;
    }
    if (advance_locked()) continue;
    // One slide off the known way: one round of the search settles it.
    const int d = slides_[done_];
    const SlidesToGo before = *figure_;
    SlideBoard after = board_;
    after.slide(d);
    const std::size_t step = done_;
    lock.unlock();
    std::optional<SlidesToGo> next;
    try {
      const auto heuristic = fewest::pattern_heuristic_for(w, h, cancel.get());
      next = slides_to_go_after(after, d, before, heuristic.get(), fewest::SearchStop{cancel.get(), std::nullopt});
    } catch (...) {
      next.reset();
    }
    lock.lock();
    if (base != base_version_ || *cancel || done_ != step) continue;
    if (!next) {
      following_ = false;
      continue;
    }
    figure_ = std::move(next);
    board_ = std::move(after);
    ++done_;
    advance_locked();
  }
}

}  // namespace jumblix
