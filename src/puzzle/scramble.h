#pragma once
#include "platform/random.h"
#include "puzzle/puzzle_state.h"

namespace jumblix {

// The solved W x H board with the gap at (1, 1); one random draw per cell decides its
// orientation when rotation is on (every cell is drawn for, so the sequence of draws does
// not depend on the rotation setting).
void build_solved_grid(PuzzleState& s, int width, int height, bool rotatable, Random& random);

// Random walk of the gap that never undoes the slide just made and stops only when the
// gap is back at (1, 1) with every piece off its home cell. The inverse of each slide is
// pushed onto solution_moves; user_moves is emptied; in_place ends at 0.
void scramble(PuzzleState& s, Random& random);

}  // namespace jumblix
