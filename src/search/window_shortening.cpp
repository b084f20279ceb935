#include "search/window_shortening.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace jumblix::fewest {
namespace {

constexpr std::size_t kWindow = 32;  // slides per window
constexpr std::size_t kStep = 16;    // windows overlap by half
constexpr std::uint64_t kNodesPerWindow = 100000;
constexpr int kFound = -1, kGaveUp = -2;

class Shortener {
 public:
  explicit Shortener(const SlideBoard& b) : w_(b.w), h_(b.h) { reset(b); }

  void reset(const SlideBoard& b) {
    cells_ = b.cells;
    pos_.assign(cells_.size(), 0);
    for (std::size_t c = 0; c < cells_.size(); ++c) pos_[static_cast<std::size_t>(cells_[c])] = static_cast<int>(c);
    target_ = pos_;
  }

  // Plays slide d (1..4) on the board; every piece but the window's keeps its target on itself.
  void play(int d) {
    const int piece = move(d - 1);
    target_[static_cast<std::size_t>(piece)] = pos_[static_cast<std::size_t>(piece)];
  }

  // The shortest way from the board to the one after slides[from, from + len), when it is
  // shorter than len and found within the node budget.
  std::optional<std::vector<int>> shorter(const std::vector<int>& slides, std::size_t from, std::size_t len) {
    touched_.clear();
    for (std::size_t k = from; k < from + len; ++k) touched_.push_back(move(slides[k] - 1));
    std::sort(touched_.begin(), touched_.end());
    touched_.erase(std::unique(touched_.begin(), touched_.end()), touched_.end());
    for (int p : touched_) target_[static_cast<std::size_t>(p)] = pos_[static_cast<std::size_t>(p)];
    for (std::size_t k = from + len; k-- > from;) move((slides[k] - 1) ^ 1);
    int h = 0;
    for (int p : touched_) h += distance(pos_[static_cast<std::size_t>(p)], target_[static_cast<std::size_t>(p)]);
    std::optional<std::vector<int>> found;
    nodes_ = 0;
    // Every way between two boards has the same parity, that of the window's length.
    for (int bound = h + ((h ^ static_cast<int>(len)) & 1); bound + 2 <= static_cast<int>(len); ) {
      path_.clear();
      const int r = dfs(0, bound, -1, h);
      if (r == kFound) {
        found = std::vector<int>(path_.rbegin(), path_.rend());
        break;
      }
      if (r == kGaveUp) break;
      bound = r + ((r ^ static_cast<int>(len)) & 1);
    }
    for (int p : touched_) target_[static_cast<std::size_t>(p)] = pos_[static_cast<std::size_t>(p)];
    return found;
  }

 private:
  int neighbour(int c, int d) const {
    const int x = c % w_, y = c / w_;
    switch (d) {
      case 0: return x > 0 ? c - 1 : -1;
      case 1: return x < w_ - 1 ? c + 1 : -1;
      case 2: return y > 0 ? c - w_ : -1;
      default: return y < h_ - 1 ? c + w_ : -1;
    }
  }
  int distance(int a, int b) const { return std::abs(a % w_ - b % w_) + std::abs(a / w_ - b / w_); }

  // The gap moves in direction d (0..3); returns the piece that slid.
  int move(int d) {
    const int g = pos_[0], c = neighbour(g, d);
    const int piece = cells_[static_cast<std::size_t>(c)];
    cells_[static_cast<std::size_t>(g)] = piece;
    pos_[static_cast<std::size_t>(piece)] = g;
    cells_[static_cast<std::size_t>(c)] = 0;
    pos_[0] = c;
    return piece;
  }

  int dfs(int depth, int bound, int last, int h) {
    if (h == 0) return kFound;
    if (++nodes_ > kNodesPerWindow) return kGaveUp;
    int next_bound = INT_MAX;
    const int g = pos_[0];
    for (int d = 0; d < 4; ++d) {
      if (d == (last ^ 1)) continue;
      const int c = neighbour(g, d);
      if (c < 0) continue;
      const int piece = cells_[static_cast<std::size_t>(c)];
      const int t = target_[static_cast<std::size_t>(piece)];
      const int child_h = h - distance(c, t) + distance(g, t);
      const int f = depth + 1 + child_h;
      if (f > bound) {
        next_bound = std::min(next_bound, f);
        continue;
      }
      move(d);
      const int r = dfs(depth + 1, bound, d, child_h);
      move(d ^ 1);
      if (r == kFound) {
        path_.push_back(d + 1);
        return kFound;
      }
      if (r == kGaveUp) return kGaveUp;
      next_bound = std::min(next_bound, r);
    }
    return next_bound;
  }

  int w_, h_;
  std::vector<int> cells_, pos_, target_;
  std::vector<int> touched_, path_;
  std::uint64_t nodes_ = 0;
};

}  // namespace

std::vector<int> shorten_by_windows(const SlideBoard& board, std::vector<int> slides, const SearchStop& stop) {
  Shortener s(board);
  for (bool shortened = true; shortened;) {
    shortened = false;
    s.reset(board);
    for (std::size_t at = 0; at + 2 < slides.size();) {
      if (stop.due()) return slides;
      const std::size_t len = std::min(kWindow, slides.size() - at);
      if (auto better = s.shorter(slides, at, len)) {
        slides.erase(slides.begin() + static_cast<std::ptrdiff_t>(at), slides.begin() + static_cast<std::ptrdiff_t>(at + len));
        slides.insert(slides.begin() + static_cast<std::ptrdiff_t>(at), better->begin(), better->end());
        shortened = true;
      }
      const std::size_t step = std::min(kStep, slides.size() - at);
      for (std::size_t k = at; k < at + step; ++k) s.play(slides[k]);
      at += step;
    }
  }
  return slides;
}

}  // namespace jumblix::fewest
