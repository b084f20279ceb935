#pragma once
// The lower bound that guides the exact search on boards of at most 16 cells: the largest of
// a few sums ("views"), each adding up pattern tables over a partition of all pieces into
// groups. Groups that are mirror images of each other share one table.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "search/pattern_table.h"

namespace jumblix::fewest {

// One group of a view, looked up in a table whose frame may be a mirror image of the board's.
struct PatternLookup {
  int table = 0;
  int size = 0;
  std::array<int, kMaxTableCells> pieces{};    // the piece that plays the table's j-th piece
  std::array<int, kMaxTableCells> cell_map{};  // a board cell as seen in the table's frame
};

// A table as the search reads it. Small groups are spread out so that piece j on cell p adds
// p * n^(k-1-j) to the index: a slide then changes the index by one addition, at the price of some
// unused entries (16.7 MB instead of 5.8 MB for six pieces on 16 cells). Large groups (the
// whole board of up to 10 cells) keep the dense placement index.
struct SearchTable {
  bool spread = false;
  std::vector<std::uint8_t> entries;
  std::vector<std::uint32_t> weights;  // dense: the placement weights; spread: n^(k-1-j)
};

struct PatternHeuristic {
  int w = 0, h = 0;
  std::vector<SearchTable> tables;
  std::vector<std::vector<PatternLookup>> views;
  std::size_t bytes() const;
};

// The table laid out for the search: spread when asked and small enough.
SearchTable search_table(PatternTable&& table, bool spread);

// At most this many bytes of spread tables per board size; the rest stay dense.
inline constexpr std::uint64_t kSpreadBudget = 34u << 20;

// Groups of pieces (home indices) by view; every view splits pieces 1..W*H-1 among its groups.
using HeuristicPlan = std::vector<std::vector<std::vector<int>>>;
HeuristicPlan heuristic_plan(int w, int h);

// The tables of a plan, from the cache folder or built; nothing when `abort` stops it.
std::shared_ptr<const PatternHeuristic> make_pattern_heuristic(int w, int h, const HeuristicPlan& plan,
                                                               const std::atomic<bool>* abort,
                                                               std::uint64_t spread_budget = kSpreadBudget);

// The heuristic for a board shape, kept in memory for the latest shape asked for, so one
// table set lives at a time (besides the small ones of boards up to 9 cells, kept for the
// last part of large boards). Nothing when `abort` stops the building.
std::shared_ptr<const PatternHeuristic> pattern_heuristic_for(int w, int h, const std::atomic<bool>* abort);

}  // namespace jumblix::fewest
