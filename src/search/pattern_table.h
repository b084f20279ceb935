#pragma once
// A pattern table: for one group of pieces on a board of at most 16 cells, the fewest slides
// of those pieces that bring them all home from every placement, while every other piece may
// move for free. Tables of disjoint groups add up to a figure that never exceeds the fewest
// slides of the whole board (additive pattern databases, Korf and Felner).
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace jumblix::fewest {

inline constexpr int kMaxTableCells = 16;
inline constexpr std::uint8_t kUnreached = 0xFF;

struct PatternTable {
  int w = 0, h = 0;
  std::vector<int> homes;           // home cells of the group's pieces, in the table's order
  std::vector<std::uint8_t> moves;  // by placement index
};

// Number of ways to place k distinct pieces on n cells: n! / (n - k)!.
std::uint64_t placement_count(int cells, int pieces);

// Weights of the placement index: piece j's rank among the cells still free counts
// placement_count(n - 1 - j, k - 1 - j).
std::vector<std::uint32_t> placement_weights(int cells, int pieces);

// The index of pieces 0..k-1 standing on cells pos[0..k-1].
inline std::uint32_t placement_index(const int* pos, int k, const std::uint32_t* weights) {
  std::uint32_t index = 0;
  for (int j = 0; j < k; ++j) {
    int rank = pos[j];
    for (int i = 0; i < j; ++i) rank -= pos[i] < pos[j];
    index += static_cast<std::uint32_t>(rank) * weights[j];
  }
  return index;
}

// Breadth-first over the group's placements from home. Nothing when `abort` is set meanwhile.
std::optional<PatternTable> build_pattern_table(int w, int h, const std::vector<int>& homes,
                                                const std::atomic<bool>* abort);

// A cheap check that the entries keep the rules every such table keeps, on up to `sample`
// placements spread over the table (all of a smaller one) and those a slide from home: only
// the group at home needs no slide; any other placement reached needs one slide more than some
// placement a slide away; and none needs more than one slide over a placement a slide away
// whose free cells are connected (its gap can stand anywhere at no cost).
bool table_consistent(const PatternTable& table, std::uint64_t sample = std::uint64_t{1} << 16);

// Whether the cells outside the group form one connected region with the group at home: then
// where the gap ends does not matter to the table, and a mirror image of the group may share it.
bool free_cells_connected(int w, int h, const std::vector<int>& homes);

}  // namespace jumblix::fewest
