#include "search/line_by_line_solver.h"

#include <algorithm>
#include <cstdint>

namespace jumblix::fewest {
namespace {

// The board being solved, with the cells already solved (or held for a moment) locked.
struct Work {
  int w = 0, h = 0;
  std::vector<int> cells, pos;
  std::vector<char> locked;
  int gap = 0;
  std::vector<int> slides;

  // The gap moves to the neighbouring cell `to`; its piece slides into the old gap.
  void slide_to(int to) {
    const int d = to == gap - 1 ? 1 : to == gap + 1 ? 2 : to == gap - w ? 3 : 4;
    const int piece = cells[static_cast<std::size_t>(to)];
    cells[static_cast<std::size_t>(gap)] = piece;
    pos[static_cast<std::size_t>(piece)] = gap;
    cells[static_cast<std::size_t>(to)] = 0;
    pos[0] = to;
    gap = to;
    slides.push_back(d);
  }
  bool open(int c) const { return !locked[static_cast<std::size_t>(c)]; }
};

// Breadth-first search buffers, reused from one piece to the next.
class Paths {
 public:
  explicit Paths(int cells) : n_(cells), seen_(static_cast<std::size_t>(cells) * static_cast<std::size_t>(cells), 0),
                              parent_(seen_.size(), -1) {}

  // Brings `piece` to `target` in the fewest slides that move only open cells of the box
  // around the piece, the target and the gap (grown by `margin` cells).
  bool bring_piece(Work& s, int piece, int target, int margin) {
    const int from = s.pos[static_cast<std::size_t>(piece)];
    if (from == target) return true;
    const Box box = around({from, target, s.gap}, s.w, s.h, margin);
    const int start = from * n_ + s.gap;
    begin();
    mark(start, -1);
    for (std::size_t at = 0; at < queue_.size(); ++at) {
      const int key = queue_[at];
      const int pc = key / n_, gc = key % n_;
      for (int next : neighbours(s, gc, box)) {
        const int moved = next == pc ? gc : pc;  // the piece slides into the gap
        const int k = moved * n_ + next;
        if (seen(k)) continue;
        mark(k, key);
        if (moved == target) {
          replay(s, k);
          return true;
        }
      }
    }
    return false;
  }

  // Brings pieces a and b to cells ta and tb together, in the fewest slides that move only
  // open cells of the box around them, their targets and the gap (grown by `margin`).
  // Gives up when that box holds more than kMaxPairCells cells.
  bool bring_pair(Work& s, int a, int ta, int b, int tb, int margin) {
    const Box box = around({s.pos[static_cast<std::size_t>(a)], s.pos[static_cast<std::size_t>(b)], ta, tb, s.gap}, s.w, s.h, margin);
    const int bw = box.x1 - box.x0 + 1, cells = bw * (box.y1 - box.y0 + 1);
    if (cells > kMaxPairCells) return false;
    auto local = [&](int c) { return (c / s.w - box.y0) * bw + c % s.w - box.x0; };
    auto global = [&](int l) { return (box.y0 + l / bw) * s.w + box.x0 + l % bw; };
    auto key = [&](int la, int lb, int lg) { return (la * cells + lb) * cells + lg; };
    pair_seen_.assign(static_cast<std::size_t>(cells) * static_cast<std::size_t>(cells) * static_cast<std::size_t>(cells), 0);
    pair_parent_.resize(pair_seen_.size());
    queue_.clear();
    const int start = key(local(s.pos[static_cast<std::size_t>(a)]), local(s.pos[static_cast<std::size_t>(b)]), local(s.gap));
    pair_seen_[static_cast<std::size_t>(start)] = 1;
    pair_parent_[static_cast<std::size_t>(start)] = -1;
    queue_.push_back(start);
    const int goal_a = local(ta), goal_b = local(tb);
    for (std::size_t at = 0; at < queue_.size(); ++at) {
      const int k = queue_[at];
      if (k / cells / cells == goal_a && k / cells % cells == goal_b) {
        chain_.clear();
        for (int j = k; pair_parent_[static_cast<std::size_t>(j)] >= 0; j = pair_parent_[static_cast<std::size_t>(j)]) chain_.push_back(global(j % cells));
        for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) s.slide_to(*it);
        return true;
      }
      const int la = k / cells / cells, lb = k / cells % cells, lg = k % cells;
      for (int next : neighbours(s, global(lg), box)) {
        const int ln = local(next);
        const int na = ln == la ? lg : la, nb = ln == lb ? lg : lb;  // a piece there slides into the gap
        const int nk = key(na, nb, ln);
        if (pair_seen_[static_cast<std::size_t>(nk)]) continue;
        pair_seen_[static_cast<std::size_t>(nk)] = 1;
        pair_parent_[static_cast<std::size_t>(nk)] = k;
        queue_.push_back(nk);
      }
    }
    return false;
  }
  static constexpr int kMaxPairCells = 64;

  // Brings the gap to `target` over open cells.
  bool bring_gap(Work& s, int target) {
    if (s.gap == target) return true;
    const Box box{0, s.w - 1, 0, s.h - 1};
    begin();
    mark(s.gap, -1);
    for (std::size_t at = 0; at < queue_.size(); ++at) {
      const int gc = queue_[at];
      for (int next : neighbours(s, gc, box)) {
        if (seen(next)) continue;
        mark(next, gc);
        if (next == target) {
          replay(s, next);
          return true;
        }
      }
    }
    return false;
  }

 private:
  struct Box {
    int x0, x1, y0, y1;
  };
  static Box around(std::initializer_list<int> cells, int w, int h, int margin) {
    Box b{w, -1, h, -1};
    for (int c : cells) {
      b.x0 = std::min(b.x0, c % w);
      b.x1 = std::max(b.x1, c % w);
      b.y0 = std::min(b.y0, c / w);
      b.y1 = std::max(b.y1, c / w);
    }
    return {std::max(0, b.x0 - margin), std::min(w - 1, b.x1 + margin), std::max(0, b.y0 - margin),
            std::min(h - 1, b.y1 + margin)};
  }
  // Open neighbours of cell c inside the box.
  std::vector<int>& neighbours(const Work& s, int c, const Box& b) {
    around_.clear();
    const int x = c % s.w, y = c / s.w;
    if (x > b.x0 && s.open(c - 1)) around_.push_back(c - 1);
    if (x < b.x1 && s.open(c + 1)) around_.push_back(c + 1);
    if (y > b.y0 && s.open(c - s.w)) around_.push_back(c - s.w);
    if (y < b.y1 && s.open(c + s.w)) around_.push_back(c + s.w);
    return around_;
  }
  void begin() {
    queue_.clear();
    if (++stamp_ == 0) {
      std::fill(seen_.begin(), seen_.end(), 0);
      stamp_ = 1;
    }
  }
  bool seen(int key) const { return seen_[static_cast<std::size_t>(key)] == stamp_; }
  void mark(int key, int parent) {
    seen_[static_cast<std::size_t>(key)] = stamp_;
    parent_[static_cast<std::size_t>(key)] = parent;
    queue_.push_back(key);
  }
  // Plays the gap's cells from the start to `key`.
  void replay(Work& s, int key) {
    chain_.clear();
    for (int k = key; parent_[static_cast<std::size_t>(k)] >= 0; k = parent_[static_cast<std::size_t>(k)]) chain_.push_back(k % n_);
    for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) s.slide_to(*it);
  }

  int n_;
  std::vector<std::uint32_t> seen_;
  std::vector<int> parent_;
  std::vector<char> pair_seen_;
  std::vector<int> pair_parent_;
  std::vector<int> queue_, around_, chain_;
  std::uint32_t stamp_ = 0;
};

bool bring_piece(Paths& paths, Work& s, int piece, int target) {
  // A small box first; the whole board when the piece cannot get there inside it.
  return paths.bring_piece(s, piece, target, 2) || paths.bring_piece(s, piece, target, std::max(s.w, s.h));
}

// The last two pieces of a line, t1 next to the end and t2 at the end (a corner of the
// unsolved part), put home together: one alone might only get home by pushing the other out.
bool place_last_two(Paths& paths, Work& s, int t1, int t2, int inward) {
  const bool home = s.pos[static_cast<std::size_t>(t1)] == t1 && s.pos[static_cast<std::size_t>(t2)] == t2;
  if (!home && !paths.bring_pair(s, t1, t1, t2, t2, 1)) {
    // Too far apart to search together. Two ways, the shorter kept: both parked side by side
    // one cell inward and then searched together (often short, but parking can wall the gap
    // in); or the way that always works: t2 on t1's home, t1 inward of it, the gap brought
    // round to t2's home, and two slides turn both in.
    std::optional<Work> best;
    Work parked = s;
    if (bring_piece(paths, parked, t2, t2 + inward)) {
      parked.locked[static_cast<std::size_t>(t2 + inward)] = 1;
      const bool near = bring_piece(paths, parked, t1, t1 + inward);
      parked.locked[static_cast<std::size_t>(t2 + inward)] = 0;
      if (near && (paths.bring_pair(parked, t1, t1, t2, t2, 1) || paths.bring_pair(parked, t1, t1, t2, t2, 2)))
        best = std::move(parked);
    }
    Work turned = s;
    if (bring_piece(paths, turned, t2, t1)) {
      turned.locked[static_cast<std::size_t>(t1)] = 1;
      if (bring_piece(paths, turned, t1, t1 + inward)) {
        turned.locked[static_cast<std::size_t>(t1 + inward)] = 1;
        if (paths.bring_gap(turned, t2)) {
          turned.locked[static_cast<std::size_t>(t1)] = 0;
          turned.locked[static_cast<std::size_t>(t1 + inward)] = 0;
          turned.slide_to(t1);           // t2 slides into its home
          turned.slide_to(t1 + inward);  // t1 slides into its own
          if (!best || turned.slides.size() < best->slides.size()) best = std::move(turned);
        }
      }
    }
    if (!best) return false;
    s = std::move(*best);
  }
  s.locked[static_cast<std::size_t>(t1)] = 1;
  s.locked[static_cast<std::size_t>(t2)] = 1;
  return true;
}

// Puts the pieces of `line` home (each piece's home is its cell), one by one in that order,
// the last two together.
bool place_line(Paths& paths, Work& s, const std::vector<int>& line, int inward, const SearchStop& stop) {
  const std::size_t m = line.size();
  for (std::size_t i = 0; i + 2 < m; ++i) {
    if (stop.due() || !bring_piece(paths, s, line[i], line[i])) return false;
    s.locked[static_cast<std::size_t>(line[i])] = 1;
  }
  return place_last_two(paths, s, line[m - 2], line[m - 1], inward);
}

// The last part, of at most 9 cells in the top-left corner, solved exactly.
bool solve_corner(Work& s, int rw, int rh, const SearchStop& stop) {
  auto heuristic = pattern_heuristic_for(rw, rh, stop.cancel);
  if (!heuristic) return false;
  SlideBoard corner{rw, rh, std::vector<int>(static_cast<std::size_t>(rw * rh))};
  for (int y = 0; y < rh; ++y)
    for (int x = 0; x < rw; ++x) {
      const int piece = s.cells[static_cast<std::size_t>(y * s.w + x)];
      corner.cells[static_cast<std::size_t>(y * rw + x)] = piece == 0 ? 0 : (piece / s.w) * rw + piece % s.w;
    }
  const ExactOutcome exact = solve_exactly(corner, *heuristic, SearchStop{stop.cancel, std::nullopt});
  if (!exact.solved) return false;
  const int offset[] = {0, -1, 1, -s.w, s.w};
  for (int d : exact.slides) s.slide_to(s.gap + offset[d]);
  return true;
}

}  // namespace

std::optional<std::vector<int>> solve_line_by_line(const SlideBoard& board, const SearchStop& stop, LineOrder order) {
  const int w = board.w, h = board.h, n = board.size();
  Work s{w, h, board.cells, std::vector<int>(static_cast<std::size_t>(n)), std::vector<char>(static_cast<std::size_t>(n), 0), 0, {}};
  for (int c = 0; c < n; ++c) s.pos[static_cast<std::size_t>(s.cells[static_cast<std::size_t>(c)])] = c;
  s.gap = s.pos[0];
  Paths paths(n);

  int rw = w, rh = h;  // the unsolved part: the top-left rw x rh cells
  while (rw * rh > 9) {
    // Candidates for this step: the bottom row when the part is at least as tall as wide,
    // the right column when at least as wide as tall, each from either end.
    struct Line {
      std::vector<int> cells;
      int inward;
      bool row;
    };
    std::vector<Line> lines;
    for (bool row : {true, false}) {
      if (row ? rh < rw : rw < rh) continue;
      std::vector<int> near_first;
      for (int i = 0; i < (row ? rw : rh); ++i) near_first.push_back(row ? (rh - 1) * w + i : i * w + rw - 1);
      std::vector<int> far_first(near_first.rbegin(), near_first.rend());
      const int inward = row ? -w : -1;
      if (order != LineOrder::kFarEndFirst) lines.push_back({near_first, inward, row});
      if (order != LineOrder::kNearEndFirst) lines.push_back({far_first, inward, row});
      if (order != LineOrder::kCheapest) break;
    }
    std::optional<Work> best;
    bool best_row = true;
    for (const Line& line : lines) {
      Work trial = s;
      if (!place_line(paths, trial, line.cells, line.inward, stop)) continue;
      if (!best || trial.slides.size() < best->slides.size()) {
        best = std::move(trial);
        best_row = line.row;
      }
    }
    if (!best || stop.due()) return std::nullopt;
    s = std::move(*best);
    if (best_row) --rh; else --rw;
  }
  if (!solve_corner(s, rw, rh, stop)) return std::nullopt;
  return s.slides;
}

}  // namespace jumblix::fewest
