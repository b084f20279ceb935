#include "search/pattern_heuristic.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "search/pattern_table_cache.h"

namespace jumblix::fewest {
namespace {

using CellMap = std::vector<int>;

// The mirror images of the board onto itself: flips, the half turn, and on a square board the
// reflections through its diagonals and the quarter turns.
std::vector<CellMap> board_symmetries(int w, int h) {
  std::vector<CellMap> maps;
  auto add = [&](auto image) {
    CellMap m(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const auto [ix, iy] = image(x, y);
        m[static_cast<std::size_t>(y * w + x)] = iy * w + ix;
      }
    maps.push_back(std::move(m));
  };
  add([](int x, int y) { return std::pair{x, y}; });
  add([&](int x, int y) { return std::pair{w - 1 - x, y}; });
  add([&](int x, int y) { return std::pair{x, h - 1 - y}; });
  add([&](int x, int y) { return std::pair{w - 1 - x, h - 1 - y}; });
  if (w == h) {
    add([](int x, int y) { return std::pair{y, x}; });
    add([&](int x, int y) { return std::pair{w - 1 - y, h - 1 - x}; });
    add([&](int x, int y) { return std::pair{w - 1 - y, x}; });
    add([&](int x, int y) { return std::pair{y, h - 1 - x}; });
  }
  return maps;
}

std::vector<int> sorted(std::vector<int> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace

std::size_t PatternHeuristic::bytes() const {
  std::size_t total = 0;
  for (const SearchTable& t : tables) total += t.entries.size();
  return total;
}

std::uint64_t spread_size(const PatternTable& table) {
  std::uint64_t size = 1;
  for (std::size_t j = 0; j < table.homes.size(); ++j) size *= static_cast<std::uint64_t>(table.w * table.h);
  return size;
}

SearchTable search_table(PatternTable&& table, bool spread) {
  const int n = table.w * table.h, k = static_cast<int>(table.homes.size());
  SearchTable out;
  out.weights = placement_weights(n, k);
  if (!spread || spread_size(table) > (std::uint64_t{1} << 25)) {
    out.entries = std::move(table.moves);
    return out;
  }
  out.spread = true;
  out.entries.assign(spread_size(table), kUnreached);
  // Piece j counts n^(k-1-j), so that the placements, taken in the order of their dense index
  // (piece 0 on each free cell in turn, then piece 1 on each cell still free, and so on), fill
  // the spread table from its start to its end.
  std::vector<std::uint32_t> power(static_cast<std::size_t>(k), 1);
  for (int j = k - 2; j >= 0; --j) power[static_cast<std::size_t>(j)] = power[static_cast<std::size_t>(j + 1)] * static_cast<std::uint32_t>(n);
  std::size_t dense = 0;
  auto fill = [&](auto& self, int j, std::uint32_t used, std::uint64_t spread) -> void {
    for (int c = 0; c < n; ++c) {
      if (used & (1u << c)) continue;
      const std::uint64_t at = spread + static_cast<std::uint64_t>(c) * power[static_cast<std::size_t>(j)];
      if (j + 1 == k) {
        out.entries[at] = table.moves[dense++];
      } else {
        self(self, j + 1, used | (1u << c), at);
      }
    }
  };
  fill(fill, 0, 0, 0);
  out.weights = power;
  return out;
}

// The groups follow the literature's additive pattern databases, much stronger than walking
// distance or Manhattan distance with linear conflicts: on 4 x 4 the 6-6-3 split with its
// reflection through the main diagonal (Korf and Felner), the largest groups whose tables
// build within 64 MB, in seconds (a 7-8 split would need gigabytes to build). Boards
// of up to 10 cells take all pieces in one group, which is the exact distance itself. Other
// boards (2 or 3 cells across) take blocks of six pieces across the board.
HeuristicPlan heuristic_plan(int w, int h) {
  const int n = w * h;
  if (n > kMaxTableCells || w < 2 || h < 2) return {};
  if (n <= 10) {
    std::vector<int> all;
    for (int c = 1; c < n; ++c) all.push_back(c);
    return {{all}};
  }
  if (w == 4 && h == 4) {
    // Two 2 x 3 blocks under the top row and the top row's three pieces; the same reflected
    // through the diagonal; and the other two ways to fit two such blocks (which leave three
    // scattered pieces). Every block is a mirror image of the first: one table serves all.
    return {{{4, 5, 8, 9, 12, 13}, {6, 7, 10, 11, 14, 15}, {1, 2, 3}},
            {{1, 5, 2, 6, 3, 7}, {9, 13, 10, 14, 11, 15}, {4, 8, 12}},
            {{2, 3, 6, 7, 10, 11}, {4, 5, 8, 9, 12, 13}, {1, 14, 15}},
            {{8, 12, 9, 13, 10, 14}, {1, 5, 2, 6, 3, 7}, {4, 11, 15}}};
  }
  // Lines across the board (columns of a wide board, rows of a tall one), the gap's first.
  const bool wide = w >= h;
  const int lines = wide ? w : h, across = wide ? h : w, per_block = 6 / across;
  auto pieces_of = [&](int from, int to) {  // the pieces of lines from..to-1
    std::vector<int> group;
    for (int l = from; l < to; ++l)
      for (int i = 0; i < across; ++i) {
        const int c = wide ? i * w + l : l * w + i;
        if (c != 0) group.push_back(c);
      }
    return group;
  };
  // Two views: whole blocks from the far end with what is left beside the gap's line, and the
  // same with the blocks one line nearer the gap, which sees the pairs of lines the first cuts
  // apart. (Most of these blocks wall the gap off one side, so no two share a table.)
  const int rest = lines % per_block;
  HeuristicPlan plan;
  for (int first : {rest, (rest + per_block - 1) % per_block}) {
    std::vector<std::vector<int>> view;
    if (first > 0) view.push_back(pieces_of(0, first));
    for (int l = first; l < lines; l += per_block) view.push_back(pieces_of(l, std::min(lines, l + per_block)));
    plan.push_back(view);
  }
  return plan;
}

std::shared_ptr<const PatternHeuristic> make_pattern_heuristic(int w, int h, const HeuristicPlan& plan,
                                                               const std::atomic<bool>* abort,
                                                               std::uint64_t spread_budget) {
  if (plan.empty() || w * h > kMaxTableCells) return nullptr;
  auto heuristic = std::make_shared<PatternHeuristic>();
  heuristic->w = w;
  heuristic->h = h;
  const std::vector<CellMap> symmetries = board_symmetries(w, h);
  std::vector<std::vector<int>> table_homes;
  std::vector<bool> shareable;

  for (const auto& groups : plan) {
    std::vector<PatternLookup> view;
    for (const std::vector<int>& group : groups) {
      PatternLookup lookup;
      lookup.size = static_cast<int>(group.size());
      const bool connected = free_cells_connected(w, h, group);
      bool shared = false;
      for (std::size_t t = 0; t < table_homes.size() && connected && !shared; ++t) {
        if (!shareable[t] || table_homes[t].size() != group.size()) continue;
        for (const CellMap& s : symmetries) {
          std::vector<int> image;
          for (int c : group) image.push_back(s[static_cast<std::size_t>(c)]);
          if (sorted(image) != sorted(table_homes[t])) continue;
          std::vector<int> inverse(s.size());
          for (std::size_t c = 0; c < s.size(); ++c) inverse[static_cast<std::size_t>(s[c])] = static_cast<int>(c);
          lookup.table = static_cast<int>(t);
          for (int j = 0; j < lookup.size; ++j) {
            lookup.pieces[static_cast<std::size_t>(j)] = inverse[static_cast<std::size_t>(table_homes[t][static_cast<std::size_t>(j)])];
          }
          std::copy(s.begin(), s.end(), lookup.cell_map.begin());
          shared = true;
          break;
        }
      }
      if (!shared) {
        lookup.table = static_cast<int>(table_homes.size());
        table_homes.push_back(group);
        shareable.push_back(connected);
        std::copy(group.begin(), group.end(), lookup.pieces.begin());
        for (int c = 0; c < w * h; ++c) lookup.cell_map[static_cast<std::size_t>(c)] = c;
      }
      view.push_back(lookup);
    }
    heuristic->views.push_back(std::move(view));
  }

  // All tables compact first, then spread one by one, so that building never meets the spread
  // tables in memory.
  std::vector<PatternTable> compact;
  for (const std::vector<int>& homes : table_homes) {
    auto table = cached_or_built_table(w, h, homes, abort);
    if (!table) return nullptr;
    compact.push_back(std::move(*table));
  }
  // Spread while the budget lasts, in the plan's order: its first view is the strongest.
  std::uint64_t spread_left = spread_budget;
  for (PatternTable& table : compact) {
    const bool spread = spread_size(table) <= spread_left;
    if (spread) spread_left -= spread_size(table);
    heuristic->tables.push_back(search_table(std::move(table), spread));
    table = PatternTable{};
  }
  return heuristic;
}

std::shared_ptr<const PatternHeuristic> pattern_heuristic_for(int w, int h, const std::atomic<bool>* abort) {
  // Never destroyed, so that a search still running while the program ends finds it intact.
  struct Store {
    std::mutex mutex;
    std::shared_ptr<const PatternHeuristic> latest;
    std::map<std::pair<int, int>, std::shared_ptr<const PatternHeuristic>> small;
  };
  static Store* const store = new Store;
  std::lock_guard lock(store->mutex);
  if (w * h <= 9) {  // a few hundred kilobytes for all of them: kept
    auto& kept = store->small[{w, h}];
    if (!kept) kept = make_pattern_heuristic(w, h, heuristic_plan(w, h), abort);
    return kept;
  }
  if (store->latest && store->latest->w == w && store->latest->h == h) return store->latest;
  store->latest.reset();  // the old shape's tables go (once no search holds them) before new ones come
  store->latest = make_pattern_heuristic(w, h, heuristic_plan(w, h), abort);
  return store->latest;
}

}  // namespace jumblix::fewest
