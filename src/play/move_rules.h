#pragma once
#include <optional>

#include "puzzle/puzzle_state.h"

namespace jumblix {

// How a slide changed the move history: its inverse pushed onto the player's list, or the top
// entry of the player's list or of the solution used up (the slide was that entry).
enum class HistoryEffect { pushed_user, popped_user, popped_solution };

// Writes a player's slide in direction d into the move history. The two cancelling rules
// (the slide was the computer's next solving slide, or it undid the player's own last slide)
// are tried for mouse slides only without rotation and for keyboard slides only with it.
HistoryEffect record_move(PuzzleState& s, int d, bool by_keyboard, bool rotatable);
// Writes a slide that may cancel the top of the history (the computer's next solving slide,
// or the undoing of the last recorded slide); otherwise its undoing goes on top.
HistoryEffect record_cancelling_move(PuzzleState& s, int d);

// Direction of the slide that moves the piece on `cell` into the gap; 0 when not adjacent.
int slide_direction_for(const PuzzleState& s, Cell cell);

// The cell whose piece the mouse pointer (X, Y) selects, or none. A click on the grid line
// left of or above a piece selects the cell to the left or above.
std::optional<Cell> cell_at_point(const PuzzleState& s, double X, double Y);

}  // namespace jumblix
