// The coach: the slides to go after every change of the board, a hint that marks the piece a
// shortest way moves next, the shortest way shown after a finish, and the computer taking a
// shortest way. The search itself runs on the slides-to-go worker's thread.
#include <algorithm>

#include "app/puzzlemaker.h"
#include "search/fewest_slides.h"

namespace jumblix {

namespace {

// A figure being worked out is asked after soon, then less and less often: most come within
// milliseconds, and a long search should not keep waking the game.
constexpr double kCoachFirstPollMs = 10;
constexpr double kCoachLastPollMs = 160;
constexpr double kHintLeastMs = 2000;   // a hint's mark stays at least this long
constexpr double kWayEndHoldMs = 1000;  // the solved board of the shortest way shown, before the picture
constexpr int kHintColour = 14;         // yellow; red on a yellow puzzle background
constexpr int kHintTurnColour = 13;     // magenta: turn the piece first

int hint_colour(int puzzle_bg, bool turn) {
  const int colour = turn ? kHintTurnColour : kHintColour;
  return colour == puzzle_bg ? 12 : colour;
}

std::string slides_to_go_text(const std::optional<SlidesToGo>& figure) {
  if (!figure) return "To go \u2026";
  std::string text = figure->exact ? "To go " : "To go at most ";
  text += std::to_string(figure->slides);
  if (figure->away) text += " (+1)";
  return text;
}

struct PieceArea {
  int x = 0, y = 0, w = 0, h = 0;
};

PieceArea piece_area(const PuzzleState& s, Cell c) {
  return {1 + (c.x - 1) * s.piece_w, 1 + (c.y - 1) * s.piece_h, s.piece_w - 1, s.piece_h - 1};
}

// The frame of a hint's mark: four bars along the edges of the piece area.
template <typename F>
void for_each_mark_bar(const PieceArea& a, int t, F bar) {
  bar(a.x, a.y, a.x + a.w - 1, a.y + t - 1);
  bar(a.x, a.y + a.h - t, a.x + a.w - 1, a.y + a.h - 1);
  bar(a.x, a.y, a.x + t - 1, a.y + a.h - 1);
  bar(a.x + a.w - t, a.y, a.x + a.w - 1, a.y + a.h - 1);
}

}  // namespace

void Puzzlemaker::wire_coach() {
  slidestogo.on_click = [this] { slidestogo_Click(); };
  shortestway.on_click = [this] { shortestway_Click(); };
  hint.on_click = [this] { hint_Click(); };
  showway.on_click = [this] { showway_Click(); };
  coach_timer.on_timer = [this] { coach_timer_Timer(); };
  hint_timer.set_interval(kHintLeastMs);
  hint_timer.on_timer = [this] { hint_timer_Timer(); };
  way_timer.on_timer = [this] { way_timer_Timer(); };
}

// ---- Following the board

void Puzzlemaker::coach_follow(bool search) {
  const FewestSlidesInput in = fewest_slides_input(puzzle);
  coach.worker.follow(in.w, in.h, in.cells, in.way_back, search);
  coach.following = true;
  coach.shown.reset();
  coach_take_figure();
  if (coach.worker.busy()) coach_poll_soon();
}

void Puzzlemaker::coach_take_figure() { coach.shown = coach.following ? coach.worker.current() : std::nullopt; }

void Puzzlemaker::coach_new_puzzle() {
  // The board was drawn whole: a mark or a shortest way shown is gone with it.
  coach.hint_cell.reset();
  coach.hint_wanted = false;
  hint_timer.stop();
  coach.showing = false;
  coach.finished.reset();
  way_timer.stop();
  showway.disable();
  coach.dealt.reset();
  coach.dealt_figure.reset();
  coach.worker.stop();
  coach.following = false;
  coach.shown.reset();
  coach_timer.stop();
  if (!score.scored()) return;
  coach.dealt = puzzle;
  if (coach.slides_to_go_on) score.mark_helped();
  // The deal's own search answers with a solution: the coach takes it rather than search twice.
  // The screensaver's puzzles are not searched for the slides to go alone: it runs for hours.
  if (coach.shortest_way_on || (coach.slides_to_go_on && solve_mode != 2)) coach_follow(!fewest_waiting);
}

bool Puzzlemaker::coach_board_as_dealt() const {
  return coach.dealt && fewest_slides_input(*coach.dealt).cells == fewest_slides_input(puzzle).cells;
}

void Puzzlemaker::coach_fewest_ready() {
  SlidesToGo figure;
  const bool solved = fewest && static_cast<int>(fewest->solution.size()) == fewest->slides;
  if (solved) figure = SlidesToGo{fewest->slides, fewest->exact, false, fewest->solution};
  if (solved && fewest->exact && coach.dealt) coach.dealt_figure = figure;
  if (!coach.following) return;
  if (solved) coach.worker.seed(figure);  // taken only when it is the followed board's
  coach.worker.search();                  // nothing to do when the seed was taken
  coach_take_figure();
  if (coach.worker.busy()) coach_poll_soon();
  if (coach.hint_wanted && coach.shown && phase == 3) show_hint_mark();
}

void Puzzlemaker::coach_board_changed(int d) {
  if (!score.scored() || coach.showing) return;
  // The way changed: a mark still standing no longer tells it.
  remove_hint_mark();
  if (!coach.following) return;
  if (d > 0) {
    coach.worker.slid(d);
  } else if (d == kBoardReplaced) {
    coach_follow(true);
  }
  coach_take_figure();
  if (coach.worker.busy()) coach_poll_soon();
  if (coach.slides_to_go_on || coach.hint_wanted) update_status();
}

void Puzzlemaker::coach_poll_soon() {
  coach_timer.stop();
  coach_timer.set_interval(kCoachFirstPollMs);
  coach_timer.start();
}

void Puzzlemaker::coach_timer_Timer() {
  const std::optional<SlidesToGo> before = coach.shown;
  coach_take_figure();
  coach_timer.stop();
  if (coach.worker.busy()) {
    coach_timer.set_interval(std::min(2 * coach_timer.interval(), kCoachLastPollMs));
    coach_timer.start();
  }
  if (coach.hint_wanted && coach.shown && phase == 3 && !score.finished()) show_hint_mark();
  if (coach.hint_wanted && !coach.worker.busy() && !coach.shown) coach.hint_wanted = false;  // no answer
  if (coach.shown != before) update_status();
}

std::optional<int> Puzzlemaker::shortest_way_slide() const {
  if (!coach.shortest_way_on || !coach.following || coach.showing) return std::nullopt;
  const std::optional<SlidesToGo> figure = coach.worker.current();
  if (!figure || !figure->exact) return std::nullopt;
  return figure->solution.empty() ? 0 : figure->solution.front();
}

// ---- The switches

void Puzzlemaker::slidestogo_Click() {
  coach.slides_to_go_on = !coach.slides_to_go_on;
  slidestogo.set_checked(coach.slides_to_go_on);
  write_setting(kSlidesToGoFile, coach.slides_to_go_on ? 1 : 0, "The slides-to-go setting");
  const bool in_play = score.scored() && !score.finished() && phase == 3;
  if (coach.slides_to_go_on && in_play) {
    if (!score.helped()) show_message("With the slides to go shown, this puzzle sets no best result.");
    score.mark_helped();
  }
  if (coach.slides_to_go_on && in_play && !coach.following)
    coach_follow(!fewest_waiting || !coach_board_as_dealt());
  update_status();
}

void Puzzlemaker::shortestway_Click() {
  coach.shortest_way_on = !coach.shortest_way_on;
  shortestway.set_checked(coach.shortest_way_on);
  write_setting(kShortestWayFile, coach.shortest_way_on ? 1 : 0, "The shortest-way setting");
  if (coach.shortest_way_on && score.scored() && !score.finished() && !coach.following)
    coach_follow(!fewest_waiting || !coach_board_as_dealt());
}

// ---- The hint

void Puzzlemaker::hint_Click() {
  if (phase != 3 || solve_mode != 0 || !score.scored() || score.finished()) return;
  remove_hint_mark();
  score_help();
  if (!coach.following) coach_follow(true);
  coach.hint_wanted = true;
  coach_take_figure();
  if (coach.shown) {
    show_hint_mark();
  } else {
    coach.worker.search();
    coach_poll_soon();
    update_status();
  }
}

void Puzzlemaker::show_hint_mark() {
  remove_hint_mark();  // one mark at a time
  if (!coach.shown) return;
  const SlidesToGo& figure = *coach.shown;
  Cell cell = figure.solution.empty() ? stray_turn() : puzzle.neighbour(figure.solution.front());
  if (!puzzle.on_board(cell) || cell == puzzle.gap()) {
    update_status();
    return;
  }
  coach.hint_turn = rotatable == 1 && puzzle.turn(cell) != kUpright;
  const PieceArea a = piece_area(puzzle, cell);
  if (a.w < 1 || a.h < 1 || a.x + a.w > canvas.width() || a.y + a.h > canvas.height()) return;
  // What lies under the mark is kept, so that the cell is exactly as before once it goes.
  coach.hint_saved = Picture(a.w, a.h);
  for (int y = 0; y < a.h; ++y)
    for (int x = 0; x < a.w; ++x) coach.hint_saved.at(x, y) = canvas.pixel(a.x + x, a.y + y);
  coach.hint_width = std::clamp(std::min(a.w, a.h) / 10, 1, 6);
  const int colour = hint_colour(puzzle.puzzle_bg, coach.hint_turn);
  for_each_mark_bar(a, coach.hint_width, [&](int x1, int y1, int x2, int y2) { canvas.fill_box(colour, x1, y1, x2, y2); });
  coach.hint_pixel = canvas.pixel(a.x, a.y);
  coach.hint_cell = cell;
  coach.hint_lasted = false;
  coach.hint_action_seen = false;
  hint_timer.stop();
  hint_timer.start();
  update_status();
}

void Puzzlemaker::remove_hint_mark() {
  coach.hint_wanted = false;
  if (!coach.hint_cell) return;
  const Cell cell = *coach.hint_cell;
  coach.hint_cell.reset();
  hint_timer.stop();
  const PieceArea a = piece_area(puzzle, cell);
  // Where a piece was drawn over the mark since, the cell shows what it should already.
  bool intact = a.w == coach.hint_saved.width && a.h == coach.hint_saved.height;
  if (intact)
    for_each_mark_bar(a, coach.hint_width, [&](int x1, int y1, int x2, int y2) {
      for (int y = y1; intact && y <= y2; ++y)
        for (int x = x1; intact && x <= x2; ++x) intact = canvas.pixel(x, y) == coach.hint_pixel;
    });
  if (intact) {
    if (puzzle.pic_kind == 0)
      canvas.stretch_copy(coach.hint_saved, 0, 0, a.w, a.h, a.x, a.y, a.w, a.h);
    else
      draw_piece(cell);  // the moving picture has moved on: the piece as it shows now
  }
  coach.hint_saved = Picture();
  update_status();
}

bool Puzzlemaker::coach_player_action() {
  if (coach.showing) {
    stop_showing_way();
    return true;
  }
  if (coach.hint_cell) {
    if (coach.hint_lasted)
      remove_hint_mark();
    else
      coach.hint_action_seen = true;
  }
  return false;
}

void Puzzlemaker::hint_timer_Timer() {
  hint_timer.stop();
  coach.hint_lasted = true;
  if (coach.hint_action_seen) remove_hint_mark();
}

// ---- The shortest way shown after a finish

void Puzzlemaker::coach_finish_shown(bool shown) {
  if (shown) {
    coach.hint_cell.reset();  // the whole picture is drawn over it
    coach.hint_wanted = false;
    hint_timer.stop();
    coach_timer.stop();
    showway.set_enabled(score.scored() && score.finished() && solve_mode == 0 && coach.dealt &&
                        fewest_slides_exact(puzzle.W, puzzle.H));
  } else {
    if (coach.showing) {
      coach.showing = false;
      way_timer.stop();
      puzzle = *coach.finished;
      coach.finished.reset();
    }
    showway.disable();
  }
  update_status();
}

void Puzzlemaker::showway_Click() {
  if (phase != 4 || puzzle_finished != 1 || coach.showing || !coach.dealt) return;
  if (!coach.dealt_figure) {
    show_message("The shortest way is still being worked out.");
    return;
  }
  coach.finished = puzzle;
  puzzle = *coach.dealt;
  coach.way = coach.dealt_figure->solution;
  coach.way_done = 0;
  coach.showing = true;
  draw_new_board(canvas, puzzle, background);
  if (puzzle.pic_kind == 1) draw_sprite_pieces(canvas, puzzle, piece_sources());
  way_timer.set_interval(std::max(1.0, 10 * move_time));
  way_timer.stop();
  way_timer.start();
  update_status();
}

void Puzzlemaker::way_timer_Timer() {
  if (!coach.showing) {
    way_timer.stop();
    return;
  }
  PuzzleState& s = puzzle;
  if (coach.way_done > coach.way.size()) {  // the solved board has been seen
    stop_showing_way();
    return;
  }
  // The next piece to slide, or once all are slid a piece still turned, is turned upright first.
  Cell cell = s.gap();
  if (coach.way_done < coach.way.size()) {
    cell = s.neighbour(coach.way[coach.way_done]);
  } else {
    for (int y = 1; y <= s.H; ++y)
      for (int x = 1; x <= s.W; ++x)
        if (Cell{x, y} != s.gap() && s.turn(x, y) != kUpright && cell == s.gap()) cell = {x, y};
  }
  if (cell != s.gap() && s.turn(cell) != kUpright) {
    s.turn(cell) = next_orientation(s.turn(cell));
    draw_piece(cell, 0, true);
    way_timer.set_interval(std::max(1.0, 10 * rotate_time));
    return;
  }
  way_timer.set_interval(std::max(1.0, 10 * move_time));
  if (coach.way_done == coach.way.size()) {
    ++coach.way_done;
    way_timer.set_interval(kWayEndHoldMs);
    update_status();
    return;
  }
  const Cell gap = s.gap();
  if (s.slide(coach.way[coach.way_done])) {
    erase_cell(cell);
    draw_piece(gap);
  }
  ++coach.way_done;
  update_status();
}

void Puzzlemaker::stop_showing_way() {
  if (!coach.showing) return;
  coach.showing = false;
  way_timer.stop();
  puzzle = *coach.finished;
  coach.finished.reset();
  // Back to the finished picture, as the finish shows it.
  if (puzzle.pic_kind == 0)
    canvas.draw_picture(background);
  else
    canvas.fill_box(puzzle.picture_bg, 0, 0, static_cast<int>(puzzle.board_px_w), static_cast<int>(puzzle.board_px_h));
  update_status();
}

std::string Puzzlemaker::coach_status_text() const {
  if (coach.showing) {
    const std::size_t left = coach.way.size() - std::min(coach.way_done, coach.way.size());
    return "Shortest way: " + std::to_string(left) + (left == 1 ? " slide to go" : " slides to go");
  }
  if (!score.scored()) return "";
  std::string text;
  if (coach.hint_cell)
    text = coach.hint_turn ? "Hint: turn the marked piece" : "Hint: slide the marked piece";
  else if (coach.hint_wanted)
    text = "Hint \u2026";
  if (coach.slides_to_go_on && coach.following && !score.finished()) {
    if (!text.empty()) text += " \u00b7 ";
    text += slides_to_go_text(coach.shown);
  }
  return text;
}

}  // namespace jumblix
