#pragma once
// The player's steps on the puzzle in play, so that each can be taken back and made again:
// a slide (with the change it made to the move history), a turn, or a restart (with the whole
// board it left). Taking a step back puts the board, both move lists and the counts back
// exactly as they were before it, so the computer's way back stays right.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "play/move_rules.h"
#include "puzzle/puzzle_state.h"

namespace jumblix {

// The player's slides and turns so far (the length of his way).
struct PlayCounts {
  int slides = 0;
  int turns = 0;
  bool operator==(const PlayCounts&) const = default;
};

// A whole board with its move lists and counts: the dealt board, or the board a restart left.
struct BoardSnapshot {
  int w = 0, h = 0;
  std::vector<int> cells;  // row order: piece numbers, 0 the gap
  std::vector<int> turns;  // row order: orientation codes, the gap's included
  MoveList user_moves, solution_moves;
  PlayCounts counts;
  bool operator==(const BoardSnapshot&) const = default;
};

struct PlayStep {
  enum class Kind { slide, turn, restart };
  Kind kind = Kind::slide;
  int d = 0;                                          // slide: the gap's direction
  HistoryEffect effect = HistoryEffect::pushed_user;  // slide: what it did to the lists
  int gap_turn = kUpright;  // slide: the code the gap's cell held (the last piece's that left it)
  Cell cell;                                          // turn: the piece turned
  std::shared_ptr<const BoardSnapshot> before;        // restart: the board it left

  static PlayStep slide(int d, HistoryEffect effect, int gap_turn) {
    return {Kind::slide, d, effect, gap_turn, {}, nullptr};
  }
  static PlayStep turn(Cell cell) { return {Kind::turn, 0, HistoryEffect::pushed_user, kUpright, cell, nullptr}; }
  static PlayStep restart(BoardSnapshot before) {
    return {Kind::restart, 0, HistoryEffect::pushed_user, kUpright, {},
            std::make_shared<const BoardSnapshot>(std::move(before))};
  }
};

BoardSnapshot snapshot_of(const PuzzleState& s, PlayCounts counts);
// Puts the snapshot's board and lists into `s` (same size), in_place recounted.
void restore_snapshot(PuzzleState& s, PlayCounts& counts, const BoardSnapshot& snapshot);

// Takes the step back / makes it again. False, with nothing changed, when the step does not
// fit the board (a file or a bug gave it): the caller then forgets the steps. Redoing a
// restart puts back `dealt`.
bool undo_step(PuzzleState& s, PlayCounts& counts, const PlayStep& step);
bool redo_step(PuzzleState& s, PlayCounts& counts, const PlayStep& step, const BoardSnapshot& dealt);

// Why a snapshot is no board of the game, or nothing when it is one: the cells a
// permutation of the pieces and the gap, orientations 1..4 (all upright without rotation),
// and the player's list followed by the solution really leading it back to solved.
std::optional<std::string> snapshot_problem(const BoardSnapshot& snapshot, bool rotation);

}  // namespace jumblix
