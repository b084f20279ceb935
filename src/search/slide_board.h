#pragma once
// The board as the fewest-slides search sees it: W x H cells in row order, each holding the
// index of the home cell of the piece standing on it, so the solved board reads 0, 1, 2, ...
// with the gap (0) home in the top-left corner. The game numbers the piece whose home is cell
// index i as i + 1 (its cell (x, y) counted from 1 gives (y - 1) * W + x), the gap as 0.
#include <optional>
#include <string>
#include <vector>

namespace jumblix {

inline constexpr int kMinBoardSide = 2;
inline constexpr int kMaxBoardSide = 20;

struct SlideBoard {
  int w = 0, h = 0;
  std::vector<int> cells;  // home index of the piece on each cell; 0 the gap

  int size() const { return w * h; }
  int gap() const;
  bool solved() const;
  // Moves the gap one cell in direction d (the game's codes: 1 left, 2 right, 3 up, 4 down),
  // sliding the piece there into the old gap. False (and no change) off the board.
  bool slide(int d);
};

// Why W, H and the cells in the game's numbering make no board that can be solved, or
// nothing when they do: sizes out of 2..20, a wrong count, a number out of range or twice,
// or pieces placed so that no sequence of slides solves them.
std::optional<std::string> board_problem(int w, int h, const std::vector<int>& game_cells);

// The board for cells in the game's numbering, which board_problem accepted.
SlideBoard board_from_game_cells(int w, int h, const std::vector<int>& game_cells);
std::vector<int> game_cells_of(const SlideBoard& board);

// Whether the slides solve the board, each of them staying on it.
bool slides_solve(SlideBoard board, const std::vector<int>& slides);

// A line "W H c1 c2 ... c(W*H)" with the cells in the game's numbering, row by row.
struct BoardLine {
  int w = 0, h = 0;
  std::vector<int> cells;
};
// The board on a line, or the reason it is none (in `error`).
std::optional<BoardLine> parse_board_line(const std::string& line, std::string& error);

}  // namespace jumblix
