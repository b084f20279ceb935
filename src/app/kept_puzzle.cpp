// The puzzle kept in the game folder when the game quits in the middle of it, and the puzzle
// (kept, or shared by a code on the command line) that waits on the title screen for the
// first click.
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/puzzlemaker.h"
#include "platform/file_io.h"
#include "puzzle/picture_library.h"

namespace jumblix {

namespace fs = std::filesystem;

namespace {

// A damaged file is renamed, never written over: "kept.puzzle.damaged", "-2", "-3", ...
std::string set_aside(const std::string& path) {
  for (int n = 1; n <= 100; ++n) {
    const std::string name = std::string(kKeptPuzzleFile) + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
    const fs::path target = fs::path(path).parent_path() / name;
    std::error_code ec;
    if (fs::symlink_status(target, ec).type() != fs::file_type::not_found) continue;
    fs::rename(path, target, ec);
    return ec ? std::string() : name;
  }
  return {};
}

}  // namespace

std::string Puzzlemaker::kept_puzzle_path() const { return join_path(working_dir, kKeptPuzzleFile); }

void Puzzlemaker::read_kept_puzzle() {
  const std::string path = kept_puzzle_path();
  std::error_code ec;
  if (fs::symlink_status(path, ec).type() != fs::file_type::not_found) {
    // Bounded, so that reading and checking it takes a moment at most (see bench/).
    const auto text = read_file_start(path, kMaxKeptPuzzleBytes + 1);
    std::string problem = "it cannot be read";
    if (text) kept_waiting = decode_kept_puzzle(*text, &problem);
    if (!kept_waiting) {
      const std::string kept_as = set_aside(path);
      // Said on the title screen's status line, and again when the title screen is left.
      kept_problem = std::string("The kept puzzle could not be brought back (") + problem + ")" +
                     (kept_as.empty() ? "." : "; the file is kept as \"" + kept_as + "\".");
    }
  }
  newinstead.set_visible(puzzle_waiting());
}

void Puzzlemaker::keep_puzzle() {
  const bool players_puzzle = begun == 1 && was_started != 0 && started == 1 && dealt_board && score.scored();
  if (!players_puzzle) return;  // a kept puzzle not yet taken up stays as it is
  const bool unfinished = puzzle_finished == 0 && !score.finished() && !puzzle.finished();
  if (!unfinished) return;  // its file went at the finish
  if (solve_mode != 0) {
    // Handed over to the computer: nothing to come back to.
    std::error_code ec;
    fs::remove(kept_puzzle_path(), ec);
    return;
  }
  KeptPuzzle k;
  k.animated = puzzle.pic_kind == 1;
  k.picture = puzzle.pic_name;
  k.rotation = rotatable == 1;
  k.dealt = *dealt_board;
  k.now = snapshot_of(puzzle, {score.slides(), score.turns()});
  k.undo = undo_steps;
  k.redo = redo_steps;
  k.clock_ms = score.elapsed_ms(loop.now_ms());
  k.clock_started = score.clock_started();
  k.helped = score.helped();
  if (!fewest_waiting) k.fewest = fewest;
  std::string text = encode_kept_puzzle(k);
  // A very long game keeps its newest steps only.
  while (text.size() > kMaxKeptPuzzleBytes && !(k.undo.empty() && k.redo.empty())) {
    if (!k.redo.empty()) k.redo.erase(k.redo.begin(), k.redo.begin() + static_cast<long>((k.redo.size() + 1) / 2));
    else k.undo.erase(k.undo.begin(), k.undo.begin() + static_cast<long>((k.undo.size() + 1) / 2));
    text = encode_kept_puzzle(k);
  }
  if (text.size() <= kMaxKeptPuzzleBytes) replace_file(kept_puzzle_path(), text);
}

bool Puzzlemaker::take_waiting_puzzle() {
  tell(std::exchange(kept_problem, {}));
  newinstead.hide();
  if (waiting_declined || !(kept_waiting || code_waiting)) return false;
  if (code_waiting) {
    const SharedDeal deal = *std::exchange(code_waiting, std::nullopt);
    const std::string problem = play_shared_deal(deal);
    if (problem.empty()) return true;
    tell("The puzzle code cannot be played: " + problem + ".");
    if (!kept_waiting) return false;
  }
  const KeptPuzzle k = std::move(*std::exchange(kept_waiting, std::nullopt));
  begin_game();
  Timer2.stop();
  Timer1.stop();
  deal_to_make = DealToMake{{k.animated, k.picture, k.dealt.w, k.dealt.h, k.rotation, k.dealt.cells, k.dealt.turns},
                            k.dealt.solution_moves, true};
  makenewpuzzle();
  timer_rearm();
  PlayCounts counts;
  restore_snapshot(puzzle, counts, k.now);
  undo_steps = k.undo;
  redo_steps = k.redo;
  score.resume(counts.slides, counts.turns, k.helped, k.clock_ms, k.clock_started, loop.now_ms());
  if (k.fewest) {
    fewest_search->cancel();
    fewest_waiting = false;
    fewest_timer.stop();
    fewest = k.fewest;
  }
  board_changed({});
  status_timer_Timer();
  tell("Your puzzle is back as you left it.");
  return true;
}

void Puzzlemaker::newinstead_Click() {
  waiting_declined = true;
  newinstead.hide();
  if (was_started == 0) {  // leaves the title screen as a click does, to the start panel
    phase = 3;
    started = 5;
    was_started = 5;
  }
  update_status();
}

bool Puzzlemaker::load_dealt_picture(const SharedDeal& deal) {
  puzzle.pic_kind = deal.animated ? 1 : 0;
  chosen_kind = puzzle.pic_kind;
  kind_picked = 1;
  anispeed.set_enabled(deal.animated);
  std::optional<Picture> loaded;
  if (picture_file_name(deal.picture))
    loaded = load_bitmap(join_path(deal.animated ? animation_folder() : regular_folder(), deal.picture));
  if (!loaded) {
    // The built-in picture of the kind stands in.
    puzzle.pic_name = deal.animated ? kTitleSpriteName : kTitlePictureName;
    loaded = deal.animated ? builtin_sprite : title_picture;
    show_message("The picture \"" + deal.picture + "\" is missing or cannot be loaded; the puzzle uses the built-in " +
                 (deal.animated ? "moving" : "title") + " picture.");
  } else {
    puzzle.pic_name = deal.picture;
  }
  puzzle.pic_base = picture_base(puzzle.pic_name);
  Text3.set_text(puzzle.pic_name);  // "New puzzle" goes on with this picture
  if (puzzle.pic_kind == 0) {
    background = std::move(*loaded);
    background_name = puzzle.pic_name;
  } else {
    sprite_name = puzzle.pic_name;
    Picture1.resize(loaded->width + 2, loaded->height + 2);
    Picture1.set_picture(std::move(*loaded));
  }
  return true;
}

void Puzzlemaker::puzzle_dealt(bool resumed) {
  forget_steps();
  PlayCounts none;
  dealt_board = snapshot_of(puzzle, none);
  // A new puzzle of the player's replaces the one kept (the kept one coming back stays in its
  // file until it is over, should this run end without a word).
  if (was_started != 0 && !resumed) puzzle_over();
}

void Puzzlemaker::puzzle_over() {
  forget_steps();
  std::error_code ec;
  fs::remove(kept_puzzle_path(), ec);
}

}  // namespace jumblix
