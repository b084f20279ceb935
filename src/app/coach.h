#pragma once
// What the coach keeps for the window object: the slides to go followed on a thread of its
// own, the hint's mark and the shortest way being shown after a finish.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/picture.h"
#include "puzzle/puzzle_state.h"
#include "search/slides_to_go.h"

namespace jumblix {

// coach_board_changed()'s argument when more than one slide or turn changed the board.
inline constexpr int kBoardReplaced = -1;

struct CoachState {
  bool slides_to_go_on = false;  // the status line shows the slides to go
  bool shortest_way_on = false;  // B and the computer modes take a shortest way
  SlidesToGoWorker worker;
  bool following = false;        // the worker follows the puzzle in play
  std::optional<SlidesToGo> shown;  // the latest figure of the board as it stands

  // The hint: asked for and waiting for the figure, or its mark on the board.
  bool hint_wanted = false;
  std::optional<Cell> hint_cell;
  bool hint_turn = false;        // the marked piece turns next rather than slides
  Picture hint_saved;            // the piece area under the mark, as it was
  std::uint32_t hint_pixel = 0;  // the mark's colour as the canvas holds it
  int hint_width = 0;            // the mark's frame, in pixels
  bool hint_lasted = false;      // its two seconds have passed
  bool hint_action_seen = false; // the player acted meanwhile

  // The puzzle as dealt, for the shortest way shown after a finish.
  std::optional<PuzzleState> dealt;
  std::optional<SlidesToGo> dealt_figure;
  // The shortest way being shown: the finished puzzle kept aside, the slides still to show.
  bool showing = false;
  std::optional<PuzzleState> finished;
  std::vector<int> way;
  std::size_t way_done = 0;
};

}  // namespace jumblix
