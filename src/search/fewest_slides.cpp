#include "search/fewest_slides.h"

#include "search/exact_search.h"
#include "search/line_by_line_solver.h"
#include "search/path_shortening.h"
#include "search/slide_board.h"
#include "search/window_shortening.h"

namespace jumblix {
namespace {

using Clock = std::chrono::steady_clock;

FewestSlides answer(FewestSlides::Kind kind, std::vector<int> solution) {
  FewestSlides r;
  r.kind = kind;
  r.slides = static_cast<int>(solution.size());
  r.solution = std::move(solution);
  return r;
}

// The shortest of the solutions that really solve the board.
std::optional<std::vector<int>> shortest_of(const SlideBoard& board, std::vector<std::vector<int>> candidates) {
  std::optional<std::vector<int>> best;
  for (auto& c : candidates)
    if ((!best || c.size() < best->size()) && slides_solve(board, c)) best = std::move(c);
  return best;
}

// The best bound found without an exhaustive search: the shortest of the solutions known and
// the one built line by line, then shortened window by window while the budget lasts.
FewestSlides bound(const SlideBoard& board, const fewest::SearchStop& stop, std::vector<std::vector<int>> candidates) {
  // Without a solution known, the one built line by line is needed, however long it takes.
  const fewest::SearchStop lines_stop{stop.cancel, candidates.empty() ? std::nullopt : stop.deadline};
  if (auto lines = fewest::solve_line_by_line(board, lines_stop)) candidates.push_back(fewest::cut_loops(board, *lines));
  if (stop.cancelled()) return answer(FewestSlides::Kind::kCancelled, {});
  auto best = shortest_of(board, std::move(candidates));
  if (!best) return answer(FewestSlides::Kind::kCancelled, {});
  if (auto shorter = shortest_of(board, {fewest::shorten_by_windows(board, *best, stop)}); shorter && shorter->size() < best->size())
    best = std::move(shorter);
  if (stop.cancelled()) return answer(FewestSlides::Kind::kCancelled, {});
  return answer(FewestSlides::Kind::kBound, std::move(*best));
}

}  // namespace

FewestSlides find_fewest_slides(int w, int h, const std::vector<int>& cells, const FewestSlidesLimits& limits,
                                const std::vector<int>& known_solution) {
  if (auto problem = board_problem(w, h, cells)) {
    FewestSlides r;
    r.kind = FewestSlides::Kind::kNoBoard;
    r.problem = *problem;
    return r;
  }
  const SlideBoard board = board_from_game_cells(w, h, cells);
  std::vector<std::vector<int>> known;
  if (!known_solution.empty() && slides_solve(board, known_solution))
    known.push_back(fewest::cut_loops(board, known_solution));
  const Clock::time_point start = Clock::now();

  if (fewest_slides_exact(w, h)) {
    auto heuristic = fewest::pattern_heuristic_for(w, h, limits.cancel);
    if (!heuristic) return answer(FewestSlides::Kind::kCancelled, {});
    fewest::SearchStop stop{limits.cancel, std::nullopt};
    if (limits.exact_budget) stop.deadline = start + *limits.exact_budget;
    fewest::ExactOutcome exact = fewest::solve_exactly(board, *heuristic, stop);
    // Shown as exact only when replayed on the board, and no longer than a solution known;
    // otherwise the tables misled the search, and what it found is one candidate of a bound.
    if (exact.solved && slides_solve(board, exact.slides) && (known.empty() || exact.slides.size() <= known.front().size()))
      return answer(FewestSlides::Kind::kExact, std::move(exact.slides));
    if (exact.solved) known.push_back(std::move(exact.slides));
    return bound(board, fewest::SearchStop{limits.cancel, std::nullopt}, std::move(known));
  }
  return bound(board, fewest::SearchStop{limits.cancel, start + limits.bound_budget}, std::move(known));
}

bool prepare_fewest_slides_tables(int w, int h, const std::atomic<bool>* abort) {
  return fewest_slides_exact(w, h) && w >= 2 && h >= 2 && fewest::pattern_heuristic_for(w, h, abort) != nullptr;
}

}  // namespace jumblix
