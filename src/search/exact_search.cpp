#include "search/exact_search.h"

#include <algorithm>
#include <climits>

namespace jumblix::fewest {
namespace {

constexpr int kMaxViews = 4;
constexpr int kFound = -1, kStopped = -2;

class Ida {
 public:
  Ida(const SlideBoard& board, const PatternHeuristic& heuristic, const SearchStop& stop) : stop_(stop) {
    const int w = board.w, h = board.h, n = board.size();
    for (int c = 0; c < n; ++c) {
      const int x = c % w, y = c / w;
      neighbour_[c][0] = x > 0 ? c - 1 : -1;
      neighbour_[c][1] = x < w - 1 ? c + 1 : -1;
      neighbour_[c][2] = y > 0 ? c - w : -1;
      neighbour_[c][3] = y < h - 1 ? c + w : -1;
      odd_[c] = (x + y) & 1;
      board_[c] = static_cast<std::uint8_t>(board.cells[static_cast<std::size_t>(c)]);
      pos_[board_[c]] = c;
    }
    gap_ = pos_[0];
    views_ = std::min(static_cast<int>(heuristic.views.size()), kMaxViews);
    spread_ = true;
    for (int v = 0; v < views_; ++v) {
      for (const PatternLookup& l : heuristic.views[static_cast<std::size_t>(v)]) {
        const SearchTable& table = heuristic.tables[static_cast<std::size_t>(l.table)];
        const int id = static_cast<int>(lookups_.size());
        lookups_.push_back({table.entries.data(), table.weights.data(), table.spread, l.size, l.pieces, l.cell_map});
        spread_ = spread_ && table.spread;
        for (int j = 0; j < l.size; ++j) {
          const int piece = l.pieces[static_cast<std::size_t>(j)];
          slot_[v][piece] = id;
          table_of_[v][piece] = table.entries.data();
          // A spread index changes by the change of cell times the piece's weight.
          for (int g = 0; g < n; ++g)
            for (int d = 0; d < 4; ++d) {
              const int c = neighbour_[g][d];
              if (c < 0 || !table.spread) continue;
              step_[v][piece][g][d] = (l.cell_map[static_cast<std::size_t>(g)] - l.cell_map[static_cast<std::size_t>(c)]) *
                                      static_cast<std::int32_t>(table.weights[static_cast<std::size_t>(j)]);
            }
        }
        view_slots_[v].push_back(id);
        index_[id] = index_of(lookups_.back());
        value_[id] = lookups_.back().table[index_[id]];
        sum_[v] += value_[id];
      }
    }
  }

  ExactOutcome run() {
    ExactOutcome out;
    if (stop_.due()) return out;
    int h = 0;
    for (int v = 0; v < views_; ++v) h = std::max(h, view_sum(v));
    h += (h ^ odd_[gap_]) & 1;
    int bound = h;
    for (;;) {
      out.at_least = bound;
      const int r = spread_ ? search<true>(bound, h) : search<false>(bound, h);
      out.nodes = nodes_;
      if (r == kStopped) return out;
      if (r == kFound) break;
      bound = r;
    }
    out.solved = true;
    out.slides.assign(path_.rbegin(), path_.rend());
    out.at_least = static_cast<int>(out.slides.size());
    return out;
  }

  // One round with a fixed bound: a solution of at most `bound` slides, or none.
  WithinOutcome run_within(int bound) {
    WithinOutcome out;
    if (stop_.due()) return out;
    int h = 0;
    for (int v = 0; v < views_; ++v) h = std::max(h, view_sum(v));
    h += (h ^ odd_[gap_]) & 1;
    out.stopped = false;
    if (h > bound) return out;
    const int r = spread_ ? search<true>(bound, h) : search<false>(bound, h);
    if (r == kStopped) {
      out.stopped = true;
      return out;
    }
    if (r == kFound) out.slides.emplace(path_.rbegin(), path_.rend());
    return out;
  }

 private:
  struct Lookup {
    const std::uint8_t* table;
    const std::uint32_t* weights;
    bool spread;
    int size;
    std::array<int, kMaxTableCells> pieces, cell_map;
  };
  static constexpr int kMaxLookups = kMaxViews * kMaxTableCells;

  std::uint32_t index_of(const Lookup& l) const {
    int p[kMaxTableCells];
    for (int j = 0; j < l.size; ++j) p[j] = l.cell_map[static_cast<std::size_t>(pos_[l.pieces[static_cast<std::size_t>(j)]])];
    if (!l.spread) return placement_index(p, l.size, l.weights);
    std::uint32_t index = 0;
    for (int j = 0; j < l.size; ++j) index += static_cast<std::uint32_t>(p[j]) * l.weights[j];
    return index;
  }

  // The index of view v's lookup holding `piece` after the gap left cell g in direction d
  // (the board already changed). AllSpread: every table is spread.
  template <bool AllSpread>
  std::uint32_t moved_index(int v, int piece, int g, int d) const {
    const int id = slot_[v][piece];
    if (AllSpread || lookups_[static_cast<std::size_t>(id)].spread)
      return index_[id] + static_cast<std::uint32_t>(step_[v][piece][g][d]);
    return index_of(lookups_[static_cast<std::size_t>(id)]);
  }

  template <bool AllSpread>
  int search(int bound, int h) {
    switch (views_) {
      case 1: return dfs<1, AllSpread>(0, bound, -1, h);
      case 2: return dfs<2, AllSpread>(0, bound, -1, h);
      case 3: return dfs<3, AllSpread>(0, bound, -1, h);
      default: return dfs<4, AllSpread>(0, bound, -1, h);
    }
  }

  int view_sum(int v) const {
    int sum = 0;
    for (int id : view_slots_[v]) sum += lookups_[static_cast<std::size_t>(id)].table[index_[id]];
    return sum;
  }

  // Each view keeps its sum up to date with every slide. An estimate is raised by one when
  // its parity differs from that of the gap's distance from home, which every solution shares
  // (each slide moves the gap one cell).
  template <int Views, bool Spread>
  int dfs(int depth, int bound, int last, int h) {
    if (h == 0) return kFound;
    if ((++nodes_ & 4095) == 0 && stop_.due()) return kStopped;
    const int g = gap_;
    if constexpr (Spread) {
      // The children's table entries are asked for ahead, so that their reads overlap.
      for (int d = 0; d < 4; ++d) {
        const int cell = neighbour_[g][d];
        if (cell < 0) continue;
        const int piece = board_[cell];
        for (int v = 0; v < Views; ++v) __builtin_prefetch(table_of_[v][piece] + moved_index<true>(v, piece, g, d));
      }
    }
    // Each child's estimate first; the ones within the bound are searched most promising
    // first, which ends the last round early.
    struct Child {
      int d, h;
      std::uint32_t index[Views];
      int value[Views];
    };
    Child children[4];
    int count = 0;
    int next_bound = INT_MAX;
    for (int d = 0; d < 4; ++d) {
      if (d == (last ^ 1)) continue;  // never undo the slide just made
      const int cell = neighbour_[g][d];
      if (cell < 0) continue;
      const int piece = board_[cell];
      Child& c = children[count];
      c.d = d;
      int child_h = 0;
      if constexpr (!Spread) pos_[piece] = g;
      for (int v = 0; v < Views; ++v) {
        const int id = slot_[v][piece];
        c.index[v] = moved_index<Spread>(v, piece, g, d);
        c.value[v] = table_of_[v][piece][c.index[v]];
        child_h = std::max(child_h, sum_[v] + c.value[v] - value_[id]);
      }
      if constexpr (!Spread) pos_[piece] = cell;
      c.h = child_h + ((child_h ^ odd_[cell]) & 1);
      const int f = depth + 1 + c.h;
      if (f > bound) {
        next_bound = std::min(next_bound, f);
        continue;
      }
      for (int k = count++; k > 0 && children[k - 1].h > children[k].h; --k) std::swap(children[k - 1], children[k]);
    }
    for (int k = 0; k < count; ++k) {
      const Child& c = children[k];
      const int cell = neighbour_[g][c.d];
      const int piece = board_[cell];
      board_[g] = static_cast<std::uint8_t>(piece);
      pos_[piece] = g;
      board_[cell] = 0;
      gap_ = cell;
      std::uint32_t saved_index[Views];
      int saved_value[Views];
      for (int v = 0; v < Views; ++v) {
        const int id = slot_[v][piece];
        saved_index[v] = index_[id];
        saved_value[v] = value_[id];
        index_[id] = c.index[v];
        value_[id] = c.value[v];
        sum_[v] += c.value[v] - saved_value[v];
      }
      const int r = dfs<Views, Spread>(depth + 1, bound, c.d, c.h);
      for (int v = 0; v < Views; ++v) {
        const int id = slot_[v][piece];
        sum_[v] += saved_value[v] - value_[id];
        index_[id] = saved_index[v];
        value_[id] = saved_value[v];
      }
      gap_ = g;
      board_[cell] = static_cast<std::uint8_t>(piece);
      pos_[piece] = cell;
      board_[g] = 0;
      if (r == kFound) {
        path_.push_back(c.d + 1);
        return kFound;
      }
      if (r == kStopped) return kStopped;
      next_bound = std::min(next_bound, r);
    }
    return next_bound;
  }

  const SearchStop& stop_;
  int neighbour_[kMaxTableCells][4];  // by the gap's direction code - 1; opposite codes pair up as d ^ 1
  int odd_[kMaxTableCells];
  std::uint8_t board_[kMaxTableCells];
  int pos_[kMaxTableCells];
  int gap_ = 0;
  int views_ = 0;
  bool spread_ = true;
  std::vector<Lookup> lookups_;
  std::vector<int> view_slots_[kMaxViews];
  int slot_[kMaxViews][kMaxTableCells] = {};
  const std::uint8_t* table_of_[kMaxViews][kMaxTableCells] = {};
  std::int32_t step_[kMaxViews][kMaxTableCells][kMaxTableCells][4] = {};
  std::uint32_t index_[kMaxLookups] = {};
  int value_[kMaxLookups] = {};
  int sum_[kMaxViews] = {};
  std::uint64_t nodes_ = 0;
  std::vector<int> path_;
};

}  // namespace

WithinOutcome solve_within(const SlideBoard& board, const PatternHeuristic& heuristic, const SearchStop& stop,
                           int bound) {
  if (board.w != heuristic.w || board.h != heuristic.h || board.size() > kMaxTableCells || bound < 0) return {};
  return Ida(board, heuristic, stop).run_within(bound);
}

ExactOutcome solve_exactly(const SlideBoard& board, const PatternHeuristic& heuristic, const SearchStop& stop) {
  if (board.w != heuristic.w || board.h != heuristic.h || board.size() > kMaxTableCells) return {};
  return Ida(board, heuristic, stop).run();
}

}  // namespace jumblix::fewest
