#pragma once
// The puzzle kept in the game folder when the game quits in the middle of it, so that the next
// start brings it back as it was. The file is text, one fact a line, fields split by tabs:
//
//   Jumblix kept puzzle 1
//   picture  regular|animated  NAME            (\\, \t, \n and \r escaped)
//   size     W  H
//   rotation yes|no
//   dealt    CELLS  TURNS  SOLUTION            the board as dealt and the computer's way back
//   now      CELLS  TURNS  USER  SOLUTION  SLIDES  TURNCOUNT
//   clock    MS  running|stopped               time so far; whether the clock had started
//   helped   yes|no
//   fewest   N  exact|bound                    (only once the figure is known)
//   undo     slide  D  pushed|cancelled|solution  T   steps to take back, oldest first
//   undo     turn  X  Y
//   undo     restart  CELLS  TURNS  USER  SOLUTION  SLIDES  TURNCOUNT   (the board it left)
//   redo     ...                               steps to make again, the next one last
//   end
//
// CELLS are the piece numbers in row order split by commas (0 the gap), TURNS one digit 1..4
// a cell, the move lists one digit 1..4 a slide in the order they were pushed ("-" when empty).
// A slide's effect says whether it pushed its inverse onto the player's list, used up the
// top of the player's list, or the top of the solution; T is the orientation code the gap's
// cell held before the slide (the code of the last piece that left it), which an undo puts back.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "play/play_history.h"
#include "play/scorecard.h"

namespace jumblix {

inline constexpr const char* kKeptPuzzleFile = "kept.puzzle";
// Reading the largest file this allows takes well under a second; the writer drops the
// oldest steps to stay below it.
inline constexpr std::size_t kMaxKeptPuzzleBytes = 16u << 20;

struct KeptPuzzle {
  bool animated = false;
  std::string picture;
  bool rotation = false;
  BoardSnapshot dealt;  // the player's list empty, the counts zero
  BoardSnapshot now;
  std::vector<PlayStep> undo, redo;  // oldest first / the next to redo last
  double clock_ms = 0;
  bool clock_started = false;
  bool helped = false;
  std::optional<FewestFigure> fewest;
};

std::string encode_kept_puzzle(const KeptPuzzle& kept);

// The kept puzzle, checked whole: every board a permutation of its size (2..20) whose move
// history leads it back to solved, every step taking back and making again on the board it
// meets, the counts and times in range, the puzzle not yet solved. Nothing, with the reason,
// for anything else.
std::optional<KeptPuzzle> decode_kept_puzzle(const std::string& text, std::string* problem);

}  // namespace jumblix
