#include "search/path_shortening.h"

#include <cstdint>
#include <unordered_map>

namespace jumblix::fewest {
namespace {

// A fixed random-looking key for a piece on a cell (splitmix64); a board's hash is the
// exclusive or of the keys of all its cells, updated by each slide.
std::uint64_t key(int cell, int piece) {
  std::uint64_t z = (static_cast<std::uint64_t>(cell) << 32 | static_cast<std::uint32_t>(piece)) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

std::vector<int> cut_loops(const SlideBoard& board, const std::vector<int>& slides) {
  // Beyond this many slides the table of boards passed would take hundreds of megabytes.
  if (slides.size() > (std::size_t{1} << 22)) return slides;
  SlideBoard b = board;
  std::uint64_t hash = 0;
  for (int c = 0; c < b.size(); ++c) hash ^= key(c, b.cells[static_cast<std::size_t>(c)]);
  int gap = b.gap();
  const int offset[] = {0, -1, 1, -b.w, b.w};

  std::vector<int> kept;
  std::vector<std::uint64_t> hashes{hash};  // of the board after each kept slide
  std::unordered_map<std::uint64_t, std::size_t> at{{hash, 0}};
  for (int d : slides) {
    if (d < 1 || d > 4) return slides;
    const int x = gap % b.w, y = gap / b.w;
    if ((d == 1 && x == 0) || (d == 2 && x == b.w - 1) || (d == 3 && y == 0) || (d == 4 && y == b.h - 1))
      return slides;
    const int cell = gap + offset[d];
    const int piece = b.cells[static_cast<std::size_t>(cell)];
    b.cells[static_cast<std::size_t>(gap)] = piece;
    b.cells[static_cast<std::size_t>(cell)] = 0;
    hash ^= key(gap, 0) ^ key(gap, piece) ^ key(cell, piece) ^ key(cell, 0);
    gap = cell;
    if (auto seen = at.find(hash); seen != at.end()) {
      // Back on a board passed before: drop the slides since then.
      const std::size_t keep = seen->second;
      for (std::size_t i = keep + 1; i < hashes.size(); ++i) at.erase(hashes[i]);
      hashes.resize(keep + 1);
      kept.resize(keep);
    } else {
      kept.push_back(d);
      hashes.push_back(hash);
      at.emplace(hash, kept.size());
    }
  }
  return slides_solve(board, kept) ? kept : slides;
}

}  // namespace jumblix::fewest
