// Taking the player's slides and turns back, making them again, and starting the puzzle
// afresh from the board as dealt. The counts go back with the board; the clock runs on.
#include <functional>

#include "app/puzzlemaker.h"
#include "play/piece_drawing.h"

namespace jumblix {

bool Puzzlemaker::steps_allowed() const {
  return phase == 3 && solve_mode == 0 && was_started != 0 && anim_off == 0 && puzzle_finished == 0 &&
         score.scored() && !score.finished() && !puzzle.finished() && dealt_board.has_value();
}

void Puzzlemaker::remember_step(PlayStep step) {
  // A change the steps cannot follow (the computer's, or a turn on the finished picture)
  // leaves nothing to take back.
  if (!steps_allowed()) return forget_steps();
  undo_steps.push_back(std::move(step));
  redo_steps.clear();
  show_step_items();
}

void Puzzlemaker::forget_steps() {
  undo_steps.clear();
  redo_steps.clear();
  show_step_items();
}

void Puzzlemaker::show_step_items() {
  const bool allowed = steps_allowed();
  undo.set_enabled(allowed && !undo_steps.empty());
  redo.set_enabled(allowed && !redo_steps.empty());
}

void Puzzlemaker::undo_Click() {
  step_across(undo_steps, redo_steps, [](PuzzleState& s, PlayCounts& counts, const PlayStep& step) {
    return undo_step(s, counts, step);
  });
}

void Puzzlemaker::redo_Click() {
  step_across(redo_steps, undo_steps, [this](PuzzleState& s, PlayCounts& counts, const PlayStep& step) {
    return redo_step(s, counts, step, *dealt_board);
  });
}

void Puzzlemaker::step_across(std::vector<PlayStep>& from, std::vector<PlayStep>& to,
                              const std::function<bool(PuzzleState&, PlayCounts&, const PlayStep&)>& make) {
  if (!steps_allowed() || from.empty()) return;
  const PlayStep step = from.back();
  const Cell gap_before = puzzle.gap();
  PlayCounts counts{score.slides(), score.turns()};
  if (!make(puzzle, counts, step)) return forget_steps();
  from.pop_back();
  to.push_back(step);
  score.set_counts(counts.slides, counts.turns);
  if (step.kind == PlayStep::Kind::slide) board_changed({gap_before, puzzle.gap()});
  else if (step.kind == PlayStep::Kind::turn) board_changed({step.cell});
  else board_changed({});
}

void Puzzlemaker::restart_Click() {
  if (!steps_allowed()) return;
  PlayCounts counts{score.slides(), score.turns()};
  BoardSnapshot before = snapshot_of(puzzle, counts);
  if (before == *dealt_board) return;  // already as dealt: nothing to take back later
  restore_snapshot(puzzle, counts, *dealt_board);
  remember_step(PlayStep::restart(std::move(before)));
  score.set_counts(counts.slides, counts.turns);
  board_changed({});
}

namespace {

// What the coach is told of a change: the gap's direction for a slide (the old gap first,
// then the new), 0 for a turn, kBoardReplaced for anything more.
int coach_change_of(const std::vector<Cell>& cells) {
  if (cells.size() == 1) return 0;
  if (cells.size() == 2)
    for (int d = kGapLeft; d <= kGapDown; ++d) {
      const Cell o = direction_offset(d);
      if (Cell{cells[0].x + o.x, cells[0].y + o.y} == cells[1]) return d;
    }
  return kBoardReplaced;
}

}  // namespace

void Puzzlemaker::board_changed(const std::vector<Cell>& cells) {
  if (cells.empty()) {
    draw_new_board(canvas, puzzle, background);
    // The first drawing leaves the top-left cell blank: it shows its piece when the gap is
    // elsewhere.
    if (puzzle.gap() != Cell{1, 1}) {
      draw_piece({1, 1});
      erase_cell(puzzle.gap());
    }
    if (puzzle.pic_kind == 1) draw_sprite_pieces(canvas, puzzle, piece_sources());
  } else {
    for (const Cell& cell : cells) {
      if (cell == puzzle.gap()) erase_cell(cell);
      else draw_piece(cell);
    }
  }
  coach_board_changed(coach_change_of(cells));
  update_status();
}

}  // namespace jumblix
