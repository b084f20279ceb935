// Playing it as a game: the player's slides, turns and clock in the status line, the fewest
// slides for the puzzle as dealt, and the best results with their panel.
#include <cmath>

#include "app/puzzlemaker.h"
#include "play/board_description.h"

namespace jumblix {

namespace {

constexpr int kBestResultsPanel = -6;  // phase while the best results are shown
// The computer's count is shown a few times a second: at its pace more would only cost.
constexpr double kComputerCountRefreshMs = 250;

// The clock's tick lands just past each whole second, when the shown time changes.
double to_next_second(double elapsed_ms) { return 1000 - std::fmod(elapsed_ms, 1000) + 1; }

}  // namespace

void Puzzlemaker::begin_scoring() {
  // Title puzzles are the computer's show: nothing counts and the status line stays empty.
  const bool scored = was_started != 0;
  score.reset(scored);
  score_key = {puzzle.pic_kind == 1, puzzle.pic_name, puzzle.W, puzzle.H, rotatable == 1};
  new_best_moves = new_best_time = false;
  fewest.reset();
  fewest_search->cancel();
  fewest_waiting = false;
  if (scored && !best_results.loaded()) tell(best_results.load());
  // The screensaver's puzzles go unsearched: it runs for hours, and a search for every puzzle
  // would cost as much as showing them.
  if (scored && solve_mode != 2) {
    fewest_search->start(fewest_slides_input(puzzle));
    fewest_waiting = fewest_search->pending();
  }
  // A search under way is asked after now and then, also while the game sleeps.
  fewest_timer.set_enabled(fewest_waiting);
  status_timer.stop();
  coach_new_puzzle();
  update_status();
}

void Puzzlemaker::score_slide() {
  const bool was_running = score.clock_running();
  score.count_slide(loop.now_ms());
  if (!was_running && score.clock_running()) status_timer_Timer();
  else update_status();
}

void Puzzlemaker::score_turn() {
  const bool was_running = score.clock_running();
  score.count_turn(loop.now_ms());
  if (!was_running && score.clock_running()) status_timer_Timer();
  else update_status();
}

void Puzzlemaker::score_help() {
  score.mark_helped();
  update_status();
}

void Puzzlemaker::score_computer_change(bool slid) {
  score.mark_helped();
  if (slid) score.count_computer_slide();
  if (loop.now_ms() - status_shown_at >= kComputerCountRefreshMs) {
    update_status();
  } else if (!status_timer.enabled()) {
    // Shown a moment later, also when the computer stops meanwhile.
    status_timer.set_interval(kComputerCountRefreshMs);
    status_timer.start();
  }
}

void Puzzlemaker::hold_clock(bool held) {
  score.set_paused(held, loop.now_ms());
  status_timer_Timer();
}

void Puzzlemaker::score_finish() {
  if (!score.scored() || score.finished()) return;
  const double now = loop.now_ms();
  score.finish(now);
  status_timer.stop();
  if (!score.helped() && score.slides() > 0) {
    const auto outcome = best_results.record(score_key, score.slides(), std::llround(score.elapsed_ms(now)),
                                             today_text());
    new_best_moves = outcome.fewer_moves;
    new_best_time = outcome.shorter_time;
    tell(outcome.problem);
  }
  update_status();
}

void Puzzlemaker::poll_fewest() {
  if (!fewest_waiting) return;
  if (const auto figure = fewest_search->poll()) fewest = figure;
  fewest_waiting = fewest_search->pending();
  if (fewest_waiting && !fewest) return;
  fewest_waiting = false;
  fewest_timer.stop();
  coach_fewest_ready();
  update_status();
}

// Shows the time and keeps the tick going exactly while the clock runs.
void Puzzlemaker::status_timer_Timer() {
  update_status();
  if (!score.clock_running()) {
    status_timer.stop();
    return;
  }
  status_timer.stop();
  status_timer.set_interval(to_next_second(score.elapsed_ms(loop.now_ms())));
  status_timer.start();
}

void Puzzlemaker::update_status() {
  StatusFacts f;
  f.title_screen = was_started == 0;
  f.scored = score.scored();
  f.computer_solving = solve_mode > 0;
  f.rotation = score_key.rotation;
  f.finished = score.finished();
  f.slides = score.slides();
  f.turns = score.turns();
  f.computer_slides = score.computer_slides();
  f.elapsed_ms = score.elapsed_ms(loop.now_ms());
  f.helped = score.helped();
  f.fewest_pending = fewest_waiting;
  f.fewest = fewest;
  if (const BestResult* best = best_results.find(score_key)) {
    f.best_moves = best->moves;
    f.best_ms = static_cast<double>(best->time_ms);
  }
  f.new_best_moves = new_best_moves;
  f.new_best_time = new_best_time;
  // Read out again when a move, a best or the finish changes the line, not at each tick.
  StatusFacts steady = f;
  steady.elapsed_ms = 0;
  const std::string coaching = coach_status_text();
  auto with_coaching = [&](std::string text) {
    if (!coaching.empty()) text += (text.empty() ? "" : " \u00b7 ") + coaching;
    return text;
  };
  if (was_started == 0 && !kept_problem.empty())
    status_line.set_text(kept_problem);
  else if (puzzle_waiting())
    status_line.set_text(code_waiting.has_value()
                             ? "A shared puzzle is waiting: click to play it (Ctrl+N: a new puzzle)."
                             : "Your puzzle from last time is kept: click to go on with it (Ctrl+N: a new puzzle).");
  else
    status_line.set_text(with_coaching(status_text(f)), with_coaching(status_text(steady)));
  status_line.set_tooltip(f.scored ? kStatusLineExplained : "");
  board.set_accessible_description(was_started != 0 && begun == 0 ? "No puzzle yet"
                                                                   : describe_board(puzzle, rotatable == 1));
  show_step_items();
  status_shown_at = loop.now_ms();
}

void Puzzlemaker::bestresults_Click() {
  set_panel_menus_enabled(false);
  saved_phase = phase;
  tell(best_results.load());
  std::vector<std::vector<std::string>> rows;
  for (const BestResult& r : best_results.all())
    rows.push_back({r.key.picture, r.key.animated ? "animated" : "regular",
                    std::to_string(r.key.width) + " x " + std::to_string(r.key.height),
                    r.key.rotation ? "yes" : "no", std::to_string(r.moves), r.moves_date,
                    clock_text(static_cast<double>(r.time_ms)), r.time_date});
  best_prompt.set_caption(rows.empty()
                              ? "No best results yet: finish a puzzle without help to set one. (Escape closes.)"
                              : "Fewest moves and shortest times without help (Escape closes):");
  best_table.set_rows(std::move(rows));
  best_prompt.show();
  best_table.show();
  best_close.show();
  phase = kBestResultsPanel;
}

void Puzzlemaker::close_best_results() {
  if (!best_table.visible()) return;
  set_panel_menus_enabled(true);
  best_prompt.hide();
  best_table.hide();
  best_close.hide();
  phase = saved_phase;
}

void Puzzlemaker::tell(const std::string& text) {
  if (text.empty()) return;
  show_message(message.visible() && !message.caption().empty() ? message.caption() + " " + text : text);
}

}  // namespace jumblix
