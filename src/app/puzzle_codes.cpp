// Puzzle codes: the puzzle in play as dealt, copied as a short text, and a code played, so
// that two players can race on the same deal.
#include "app/puzzlemaker.h"

namespace jumblix {

namespace {

constexpr int kCodePanel = -7;  // phase while the code panel is open
constexpr const char* kCodePrompt = "Puzzle code (Enter plays it, Escape cancels):";

}  // namespace

std::optional<SharedDeal> Puzzlemaker::current_deal() const {
  if (begun == 0 || was_started == 0 || !dealt_board) return std::nullopt;
  return SharedDeal{puzzle.pic_kind == 1, puzzle.pic_name, dealt_board->w, dealt_board->h,
                    rotatable == 1,       dealt_board->cells, dealt_board->turns};
}

void Puzzlemaker::copycode_Click() {
  const auto deal = current_deal();
  if (!deal) return;
  const std::string code = puzzle_code(*deal);
  copy_to_clipboard(code);
  show_message("The puzzle code is on the clipboard: " + code);
}

void Puzzlemaker::playcode_Click() {
  set_panel_menus_enabled(false);
  saved_phase = phase;
  code_prompt.set_caption(kCodePrompt);
  code_text.set_text("");
  code_prompt.show();
  code_text.show();
  phase = kCodePanel;
}

void Puzzlemaker::close_code_panel() {
  set_panel_menus_enabled(true);
  code_prompt.hide();
  code_text.hide();
  phase = saved_phase;
}

// Enter plays the code, or says in the prompt why it cannot; Escape leaves everything as it was.
void Puzzlemaker::code_text_KeyDown(int key) {
  if (key == kKeyEscape) return close_code_panel();
  if (key != kKeyEnter) return;
  std::string problem;
  const auto deal = read_puzzle_code(code_text.text(), &problem);
  if (!deal) {
    code_prompt.set_caption("This code cannot be played: " + problem + ". (Escape cancels.)");
    return;
  }
  close_code_panel();
  problem = play_shared_deal(*deal);
  if (!problem.empty()) show_message("This code cannot be played: " + problem + ".");
}

std::string Puzzlemaker::play_shared_deal(const SharedDeal& deal) {
  std::string problem;
  const auto way_back = deal_way_back(deal, &problem);
  if (!way_back) return problem;
  MoveList list;  // the last slide of the way lies at the bottom, the first on top
  for (auto it = way_back->rbegin(); it != way_back->rend(); ++it) list.push(*it);
  if (begun == 0) begin_game();
  Timer2.stop();
  Timer1.stop();
  if (!deal.animated) regular_chosen = 1;  // a finished picture's wait ends at once
  deal_to_make = DealToMake{deal, std::move(list), false};
  makenewpuzzle();
  timer_rearm();
  board_changed({});
  return {};
}

}  // namespace jumblix
