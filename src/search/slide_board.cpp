#include "search/slide_board.h"

#include <charconv>
#include <cstddef>

namespace jumblix {

int SlideBoard::gap() const {
  for (int i = 0; i < size(); ++i)
    if (cells[static_cast<std::size_t>(i)] == 0) return i;
  return -1;
}

bool SlideBoard::solved() const {
  for (int i = 0; i < size(); ++i)
    if (cells[static_cast<std::size_t>(i)] != i) return false;
  return true;
}

bool SlideBoard::slide(int d) {
  const int g = gap();
  if (g < 0) return false;
  const int x = g % w, y = g / w;
  int n;
  switch (d) {
    case 1: n = x > 0 ? g - 1 : -1; break;
    case 2: n = x < w - 1 ? g + 1 : -1; break;
    case 3: n = y > 0 ? g - w : -1; break;
    case 4: n = y < h - 1 ? g + w : -1; break;
    default: n = -1;
  }
  if (n < 0) return false;
  cells[static_cast<std::size_t>(g)] = cells[static_cast<std::size_t>(n)];
  cells[static_cast<std::size_t>(n)] = 0;
  return true;
}

std::optional<std::string> board_problem(int w, int h, const std::vector<int>& game_cells) {
  if (w < kMinBoardSide || w > kMaxBoardSide || h < kMinBoardSide || h > kMaxBoardSide)
    return "the size " + std::to_string(w) + " x " + std::to_string(h) + " is outside 2..20";
  const int n = w * h;
  if (static_cast<int>(game_cells.size()) != n)
    return "a " + std::to_string(w) + " x " + std::to_string(h) + " board has " + std::to_string(n) +
           " cells, not " + std::to_string(game_cells.size());
  std::vector<bool> seen(static_cast<std::size_t>(n), false);
  int gap = -1;
  for (int i = 0; i < n; ++i) {
    const int c = game_cells[static_cast<std::size_t>(i)];
    // The gap is 0; pieces run from 2 (home at (2, 1)) to W * H; 1 would be the gap's home.
    if (c != 0 && (c < 2 || c > n)) return "no piece is numbered " + std::to_string(c);
    const int home = c == 0 ? 0 : c - 1;
    if (seen[static_cast<std::size_t>(home)])
      return c == 0 ? std::string("the gap appears twice") : "piece " + std::to_string(c) + " appears twice";
    seen[static_cast<std::size_t>(home)] = true;
    if (c == 0) gap = i;
  }
  // Each slide swaps the gap with a neighbour: it flips the parity of the arrangement and of
  // the gap's distance from its home, so a solvable board has both alike.
  const SlideBoard b = board_from_game_cells(w, h, game_cells);
  std::vector<bool> visited(static_cast<std::size_t>(n), false);
  int transpositions = 0;
  for (int i = 0; i < n; ++i) {
    int len = 0;
    for (int j = i; !visited[static_cast<std::size_t>(j)]; j = b.cells[static_cast<std::size_t>(j)]) {
      visited[static_cast<std::size_t>(j)] = true;
      ++len;
    }
    if (len > 0) transpositions += len - 1;
  }
  if (transpositions % 2 != (gap % w + gap / w) % 2) return "no sequence of slides solves this board";
  return std::nullopt;
}

SlideBoard board_from_game_cells(int w, int h, const std::vector<int>& game_cells) {
  SlideBoard b{w, h, std::vector<int>(game_cells.size())};
  for (std::size_t i = 0; i < game_cells.size(); ++i) b.cells[i] = game_cells[i] == 0 ? 0 : game_cells[i] - 1;
  return b;
}

std::vector<int> game_cells_of(const SlideBoard& board) {
  std::vector<int> cells(board.cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = board.cells[i] == 0 ? 0 : board.cells[i] + 1;
  return cells;
}

bool slides_solve(SlideBoard board, const std::vector<int>& slides) {
  int gap = board.gap();
  if (gap < 0) return false;
  for (int d : slides) {
    const int x = gap % board.w, y = gap / board.w;
    int next;
    switch (d) {
      case 1: next = x > 0 ? gap - 1 : -1; break;
      case 2: next = x < board.w - 1 ? gap + 1 : -1; break;
      case 3: next = y > 0 ? gap - board.w : -1; break;
      case 4: next = y < board.h - 1 ? gap + board.w : -1; break;
      default: next = -1;
    }
    if (next < 0) return false;
    board.cells[static_cast<std::size_t>(gap)] = board.cells[static_cast<std::size_t>(next)];
    board.cells[static_cast<std::size_t>(next)] = 0;
    gap = next;
  }
  return board.solved();
}

std::optional<BoardLine> parse_board_line(const std::string& line, std::string& error) {
  std::vector<int> numbers;
  const char* p = line.data();
  const char* end = p + line.size();
  while (true) {
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r')) ++p;
    if (p == end) break;
    int value = 0;
    const auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || (next < end && *next != ' ' && *next != '\t' && *next != '\r')) {
      const char* word_end = p;
      while (word_end < end && *word_end != ' ' && *word_end != '\t') ++word_end;
      error.assign(1, '\'').append(p, word_end).append("' is not a whole number");
      return std::nullopt;
    }
    numbers.push_back(value);
    p = next;
  }
  if (numbers.size() < 2) {
    error = "a board needs W, H and then its cells";
    return std::nullopt;
  }
  BoardLine board{numbers[0], numbers[1], std::vector<int>(numbers.begin() + 2, numbers.end())};
  if (auto problem = board_problem(board.w, board.h, board.cells)) {
    error = *problem;
    return std::nullopt;
  }
  return board;
}

}  // namespace jumblix
