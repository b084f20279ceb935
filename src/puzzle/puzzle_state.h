#pragma once
// The one record of the puzzle in play: grids indexed by cell (x, y) counted from 1,
// the move lists, the size and geometry, the gap and the picture identity.
#include <array>
#include <string>
#include <vector>

namespace jumblix {

inline constexpr int kMaxSide = 20;

// Direction codes name the way the gap moves: 1 left, 2 right, 3 up, 4 down.
enum Direction { kNoMove = 0, kGapLeft = 1, kGapRight = 2, kGapUp = 3, kGapDown = 4 };
// Orientation codes: 1 upright, 2 turned through 180 degrees, 3 mirrored top-to-bottom,
// 4 mirrored left-to-right.
enum Orientation { kUpright = 1, kTurned180 = 2, kMirroredTopBottom = 3, kMirroredLeftRight = 4 };

constexpr int inverse(int d) {
  switch (d) {
    case kGapLeft: return kGapRight;
    case kGapRight: return kGapLeft;
    case kGapUp: return kGapDown;
    case kGapDown: return kGapUp;
    default: return kNoMove;
  }
}

// The turn action's cycle 1 -> 4 -> 2 -> 3 -> 1; other values stay as they are.
constexpr int next_orientation(int t) {
  switch (t) {
    case 1: return 4;
    case 4: return 2;
    case 2: return 3;
    case 3: return 1;
    default: return t;
  }
}

struct Cell {
  int x = 0, y = 0;
  bool operator==(const Cell&) const = default;
};

// Offset from the gap to the cell whose piece a slide in direction d moves.
constexpr Cell direction_offset(int d) {
  switch (d) {
    case kGapLeft: return {-1, 0};
    case kGapRight: return {1, 0};
    case kGapUp: return {0, -1};
    case kGapDown: return {0, 1};
    default: return {0, 0};
  }
}

// A list of direction codes used as a stack: entries 1..len(), entry 0 reads as 0.
// It grows as needed, so no scramble or player slide is ever lost.
class MoveList {
 public:
  int len() const { return static_cast<int>(moves_.size()); }
  bool empty() const { return moves_.empty(); }
  int top() const { return moves_.empty() ? 0 : moves_.back(); }
  int at(int k) const { return k >= 1 && k <= len() ? moves_[static_cast<std::size_t>(k - 1)] : 0; }
  void push(int d) { moves_.push_back(d); }
  void pop() {
    if (!moves_.empty()) moves_.pop_back();
  }
  void clear() { moves_.clear(); }
  void reserve(std::size_t n) { moves_.reserve(n); }
  // Entries 1..len() in order.
  const std::vector<int>& entries() const { return moves_; }
  bool operator==(const MoveList&) const = default;

 private:
  std::vector<int> moves_;
};

template <typename T>
class Grid {
 public:
  T& operator()(int x, int y) { return cells_[index(x, y)]; }
  const T& operator()(int x, int y) const { return cells_[index(x, y)]; }
  T& operator()(Cell c) { return (*this)(c.x, c.y); }
  const T& operator()(Cell c) const { return (*this)(c.x, c.y); }

 private:
  // Column and row 0 exist but are never used, so cells count from 1.
  static std::size_t index(int x, int y) {
    return static_cast<std::size_t>(y) * (kMaxSide + 1) + static_cast<std::size_t>(x);
  }
  std::array<T, (kMaxSide + 1) * (kMaxSide + 1)> cells_{};
};

struct PuzzleState {
  Grid<int> board;  // piece on each cell; 0 is the gap
  Grid<int> home;   // piece that belongs on each cell: (y - 1) * W + x
  Grid<int> turn;   // orientation of the piece on each cell (the gap keeps the last one)
  MoveList solution_moves;  // inverse scramble; the top entry is the next solving slide
  MoveList user_moves;      // inverses of the player's own slides, undone first

  int W = 4, H = 4;
  double board_px_w = 0, board_px_h = 0;  // drawing area when the puzzle was made
  int piece_w = 0, piece_h = 0;
  int gap_x = 1, gap_y = 1;
  int in_place = 0;
  int move_dir = 0;
  int prev_move_dir = 0;

  int pic_kind = 0;  // 0 regular, 1 animated
  std::string pic_name;
  std::string pic_base;
  int puzzle_bg = 3;
  int picture_bg = 15;
  int sprite_dx = 1, sprite_dy = 1;

  int solution_len() const { return solution_moves.len(); }
  int user_moves_len() const { return user_moves.len(); }
  Cell gap() const { return {gap_x, gap_y}; }
  bool on_board(Cell c) const { return c.x >= 1 && c.x <= W && c.y >= 1 && c.y <= H; }
  // The cell whose piece a slide in direction d would move (may lie off the board).
  Cell neighbour(int d) const {
    const Cell o = direction_offset(d);
    return {gap_x + o.x, gap_y + o.y};
  }
  bool next_to_gap(Cell c) const;

  // The solved board: every piece home, the gap at (1, 1); orientations untouched.
  void reset_solved(int width, int height);
  // Slides the piece next to the gap in direction d into the gap, keeping in_place.
  // False (and no change) when that cell lies off the board.
  bool slide(int d);
  // Home cell of piece p, searched in row order from (2, 1); (0, 0) when none.
  Cell home_cell(int piece) const;
  // Every piece home and every cell, the gap's included, upright.
  bool finished() const;
  // Recount of pieces standing on their home cell (for checks).
  int count_in_place() const;
};

}  // namespace jumblix
