#include "play/play_history.h"

#include "search/slide_board.h"

namespace jumblix {

namespace {

bool orientation_code(int t) { return t >= kUpright && t <= kMirroredLeftRight; }

// The orientation a turn came from: three more steps of the cycle.
int previous_orientation(int t) { return next_orientation(next_orientation(next_orientation(t))); }

}  // namespace

BoardSnapshot snapshot_of(const PuzzleState& s, PlayCounts counts) {
  BoardSnapshot snap{s.W, s.H, {}, {}, s.user_moves, s.solution_moves, counts};
  snap.cells.reserve(static_cast<std::size_t>(s.W * s.H));
  snap.turns.reserve(static_cast<std::size_t>(s.W * s.H));
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x) {
      snap.cells.push_back(s.board(x, y));
      snap.turns.push_back(s.turn(x, y));
    }
  return snap;
}

void restore_snapshot(PuzzleState& s, PlayCounts& counts, const BoardSnapshot& snap) {
  s.reset_solved(snap.w, snap.h);
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x) {
      const auto i = static_cast<std::size_t>((y - 1) * s.W + (x - 1));
      s.board(x, y) = snap.cells[i];
      s.turn(x, y) = snap.turns[i];
      if (snap.cells[i] == 0) {
        s.gap_x = x;
        s.gap_y = y;
      }
    }
  s.in_place = s.count_in_place();
  s.user_moves = snap.user_moves;
  s.solution_moves = snap.solution_moves;
  s.move_dir = 0;
  counts = snap.counts;
}

bool undo_step(PuzzleState& s, PlayCounts& counts, const PlayStep& step) {
  switch (step.kind) {
    case PlayStep::Kind::slide: {
      if (step.d < 1 || step.d > 4 || counts.slides < 1 || !s.on_board(s.neighbour(inverse(step.d))) ||
          !orientation_code(step.gap_turn))
        return false;
      if (step.effect == HistoryEffect::pushed_user && s.user_moves.top() != inverse(step.d)) return false;
      s.slide(inverse(step.d));
      s.turn(s.gap()) = step.gap_turn;
      switch (step.effect) {
        case HistoryEffect::pushed_user: s.user_moves.pop(); break;
        case HistoryEffect::popped_user: s.user_moves.push(step.d); break;
        case HistoryEffect::popped_solution: s.solution_moves.push(step.d); break;
      }
      --counts.slides;
      return true;
    }
    case PlayStep::Kind::turn:
      if (!s.next_to_gap(step.cell) || !orientation_code(s.turn(step.cell)) || counts.turns < 1) return false;
      s.turn(step.cell) = previous_orientation(s.turn(step.cell));
      --counts.turns;
      return true;
    case PlayStep::Kind::restart:
      if (!step.before || step.before->w != s.W || step.before->h != s.H) return false;
      restore_snapshot(s, counts, *step.before);
      return true;
  }
  return false;
}

bool redo_step(PuzzleState& s, PlayCounts& counts, const PlayStep& step, const BoardSnapshot& dealt) {
  switch (step.kind) {
    case PlayStep::Kind::slide: {
      if (step.d < 1 || step.d > 4 || !s.on_board(s.neighbour(step.d))) return false;
      if (step.effect == HistoryEffect::popped_user && s.user_moves.top() != step.d) return false;
      if (step.effect == HistoryEffect::popped_solution && (!s.user_moves.empty() || s.solution_moves.top() != step.d))
        return false;
      s.slide(step.d);
      switch (step.effect) {
        case HistoryEffect::pushed_user: s.user_moves.push(inverse(step.d)); break;
        case HistoryEffect::popped_user: s.user_moves.pop(); break;
        case HistoryEffect::popped_solution: s.solution_moves.pop(); break;
      }
      ++counts.slides;
      return true;
    }
    case PlayStep::Kind::turn:
      if (!s.next_to_gap(step.cell) || !orientation_code(s.turn(step.cell))) return false;
      s.turn(step.cell) = next_orientation(s.turn(step.cell));
      ++counts.turns;
      return true;
    case PlayStep::Kind::restart:
      if (dealt.w != s.W || dealt.h != s.H) return false;
      restore_snapshot(s, counts, dealt);
      return true;
  }
  return false;
}

std::optional<std::string> snapshot_problem(const BoardSnapshot& snap, bool rotation) {
  if (auto problem = board_problem(snap.w, snap.h, snap.cells)) return problem;
  if (snap.turns.size() != snap.cells.size()) return "the orientations do not match the cells";
  for (int t : snap.turns) {
    if (!orientation_code(t)) return "an orientation is not 1..4";
    if (!rotation && t != kUpright) return "a piece is turned although rotation is off";
  }
  if (snap.counts.slides < 0 || snap.counts.turns < 0) return "a count is negative";
  // The way back the computer would play: the player's slides undone, then the solution.
  SlideBoard board = board_from_game_cells(snap.w, snap.h, snap.cells);
  const auto& user = snap.user_moves.entries();
  const auto& solution = snap.solution_moves.entries();
  for (auto it = user.rbegin(); it != user.rend(); ++it)
    if (!board.slide(*it)) return "the move history leaves the board";
  for (auto it = solution.rbegin(); it != solution.rend(); ++it)
    if (!board.slide(*it)) return "the move history leaves the board";
  if (!board.solved()) return "the move history does not lead back to the solved picture";
  return std::nullopt;
}

}  // namespace jumblix
