#include "search/pattern_table.h"

#include <cstddef>

namespace jumblix::fewest {
namespace {

// Cell sets of a board of at most 16 cells as bit masks.
struct CellMasks {
  CellMasks(int width, int height) : w(width), n(width * height) {
    full = n == 32 ? ~0u : (1u << n) - 1;
    for (int y = 0; y < height; ++y) {
      left |= 1u << (y * w);
      right |= 1u << (y * w + w - 1);
    }
  }
  std::uint32_t neighbours(std::uint32_t m) const {
    return (((m >> 1) & ~right) | ((m << 1) & ~left) | (m << w) | (m >> w)) & full;
  }
  // The cells of `free` connected to cell `from` (which is free).
  std::uint32_t region(int from, std::uint32_t free) const {
    std::uint32_t reached = 1u << from;
    for (;;) {
      const std::uint32_t next = (reached | neighbours(reached)) & free;
      if (next == reached) return reached;
      reached = next;
    }
  }
  int w, n;
  std::uint32_t full = 0, left = 0, right = 0;
};

// Each entry of the search keeps two bits per cell for the gap standing there.
constexpr std::uint32_t kEvenBits = 0x55555555u;
constexpr std::uint32_t kCurrent = 2, kNext = 3;  // 0 not reached yet, 1 done

// After a depth: the current fields become done, the next ones current.
std::uint32_t advance_fields(std::uint32_t word) {
  const std::uint32_t hi = (word >> 1) & kEvenBits, lo = word & kEvenBits;
  return ((hi & lo) << 1) | (hi ^ lo);
}

// The low 16 bits of m spread to the even bits of a word: one two-bit field per cell.
std::uint32_t to_fields(std::uint32_t m) {
  m = (m | (m << 8)) & 0x00FF00FFu;
  m = (m | (m << 4)) & 0x0F0F0F0Fu;
  m = (m | (m << 2)) & 0x33333333u;
  m = (m | (m << 1)) & 0x55555555u;
  return m;
}

// The cells of the placement with this index, as build_pattern_table lays them out.
std::uint32_t decode_placement(std::uint64_t index, int k, const std::vector<std::uint32_t>& weights, int* pos) {
  std::uint32_t occupied = 0;
  for (int j = 0; j < k; ++j) {
    int rank = static_cast<int>(index / weights[static_cast<std::size_t>(j)]);
    index %= weights[static_cast<std::size_t>(j)];
    int c = 0;
    for (;; ++c)
      if (!(occupied & (1u << c)) && rank-- == 0) break;
    pos[j] = c;
    occupied |= 1u << c;
  }
  return occupied;
}

}  // namespace

std::uint64_t placement_count(int cells, int pieces) {
  std::uint64_t count = 1;
  for (int j = 0; j < pieces; ++j) count *= static_cast<std::uint64_t>(cells - j);
  return count;
}

std::vector<std::uint32_t> placement_weights(int cells, int pieces) {
  std::vector<std::uint32_t> weights(static_cast<std::size_t>(pieces));
  for (int j = 0; j < pieces; ++j)
    weights[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>(placement_count(cells - 1 - j, pieces - 1 - j));
  return weights;
}

bool free_cells_connected(int w, int h, const std::vector<int>& homes) {
  const CellMasks masks(w, h);
  std::uint32_t occupied = 0;
  for (int c : homes) occupied |= 1u << c;
  const std::uint32_t free = masks.full & ~occupied;
  if (free == 0) return true;
  return masks.region(__builtin_ctz(free), free) == free;
}

std::optional<PatternTable> build_pattern_table(int w, int h, const std::vector<int>& homes,
                                                const std::atomic<bool>* abort) {
  const int n = w * h, k = static_cast<int>(homes.size());
  if (n > kMaxTableCells || k < 1 || k >= n) return std::nullopt;
  const CellMasks masks(w, h);
  const std::uint64_t count = placement_count(n, k);
  const std::vector<std::uint32_t> weights = placement_weights(n, k);
  std::vector<std::uint32_t> seen(count, 0);
  PatternTable table{w, h, homes, std::vector<std::uint8_t>(count, kUnreached)};

  int pos[kMaxTableCells];
  std::uint32_t occupied = 0;
  for (int j = 0; j < k; ++j) {
    pos[j] = homes[static_cast<std::size_t>(j)];
    occupied |= 1u << pos[j];
  }
  // Home: the group in place, the gap anywhere it can reach from its own home.
  const std::uint32_t start = placement_index(pos, k, weights.data());
  seen[start] = to_fields(masks.region(0, masks.full & ~occupied)) * kCurrent;
  table.moves[start] = 0;

  const std::uint32_t field_mask = to_fields(masks.full);
  for (int d = 0; d + 1 < kUnreached; ++d) {
    const std::uint32_t current = kCurrent * kEvenBits;
    bool grew = false;
    for (std::uint64_t index = 0; index < count; ++index) {
      if ((index & 0xFFFF) == 0 && abort && abort->load(std::memory_order_relaxed)) return std::nullopt;
      const std::uint32_t word = seen[index];
      if (word == 0) continue;
      const std::uint32_t x = word ^ current;
      std::uint32_t hits = ~(x | (x >> 1)) & field_mask;
      if (hits == 0) continue;
      std::uint32_t gaps = 0;  // cells where the gap stands at depth d
      for (; hits; hits &= hits - 1) gaps |= 1u << (__builtin_ctz(hits) / 2);

      occupied = decode_placement(index, k, weights, pos);
      // A piece of the group next to the gap slides into it at the cost of one slide.
      for (int j = 0; j < k; ++j) {
        const int from = pos[j];
        for (std::uint32_t to = masks.neighbours(1u << from) & gaps; to; to &= to - 1) {
          const int cell = __builtin_ctz(to);
          pos[j] = cell;
          const std::uint32_t moved = placement_index(pos, k, weights.data());
          pos[j] = from;
          if ((seen[moved] >> (2 * from)) & 3u) continue;
          const std::uint32_t now_free = masks.full & ~(occupied ^ (1u << from) ^ (1u << cell));
          seen[moved] |= to_fields(masks.region(from, now_free)) * kNext;
          if (table.moves[moved] == kUnreached) table.moves[moved] = static_cast<std::uint8_t>(d + 1);
          grew = true;
        }
      }
    }
    if (!grew) break;
    for (std::uint32_t& word : seen) word = advance_fields(word);
  }
  return table;
}

}  // namespace jumblix::fewest

namespace jumblix::fewest {

bool table_consistent(const PatternTable& table, std::uint64_t sample) {
  const int n = table.w * table.h, k = static_cast<int>(table.homes.size());
  if (n > kMaxTableCells || k < 1 || k >= n) return false;
  const std::uint64_t count = placement_count(n, k);
  if (table.moves.size() != count) return false;
  const CellMasks masks(table.w, table.h);
  const std::vector<std::uint32_t> weights = placement_weights(n, k);
  const std::uint32_t home = placement_index(table.homes.data(), k, weights.data());

  int pos[kMaxTableCells];
  // The placements a slide of one piece away, and whether their free cells are connected.
  auto for_each_neighbour = [&](std::uint64_t index, auto&& visit) {
    const std::uint32_t occupied = decode_placement(index, k, weights, pos);
    for (int j = 0; j < k; ++j) {
      const int from = pos[j];
      for (std::uint32_t to = masks.neighbours(1u << from) & ~occupied; to; to &= to - 1) {
        const int cell = __builtin_ctz(to);
        pos[j] = cell;
        const std::uint32_t moved = placement_index(pos, k, weights.data());
        pos[j] = from;
        const std::uint32_t free = masks.full & ~(occupied ^ (1u << from) ^ (1u << cell));
        visit(moved, masks.region(from, free) == free);
      }
    }
  };
  auto holds = [&](std::uint64_t index) {
    const int moves = table.moves[index];
    if ((moves == 0) != (index == home)) return false;
    bool stepped_down = moves == 0 || moves == kUnreached;
    bool ok = true;
    for_each_neighbour(index, [&](std::uint32_t next, bool connected) {
      const int next_moves = table.moves[next];
      stepped_down = stepped_down || next_moves < moves;
      if (connected && moves > next_moves + 1) ok = false;
    });
    return ok && stepped_down;
  };

  bool ok = holds(home);
  for_each_neighbour(home, [&](std::uint32_t next, bool) { ok = ok && holds(next); });
  // Evenly spread, from a start that depends on the contents, so no fixed set of entries is
  // the only one looked at.
  if (count <= sample) {
    for (std::uint64_t index = 0; ok && index < count; ++index) ok = holds(index);
  } else {
    std::uint64_t start = 0;
    for (std::uint64_t i = 0; i < count; i += count / 61 + 1) start = start * 31 + table.moves[i];
    const std::uint64_t step = count / sample;
    for (std::uint64_t i = 0; ok && i < sample; ++i) ok = holds((start % step + i * step) % count);
  }
  return ok;
}

}  // namespace jumblix::fewest
