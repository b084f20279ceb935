// Startup, the title puzzle and the step that leaves the title screen.
#include <filesystem>
#include <vector>

#include "app/puzzlemaker.h"
#include "platform/file_io.h"
#include "platform/palette.h"
#include "puzzle/picture_library.h"
#include "search/pattern_table_cache.h"

namespace jumblix {

namespace {

constexpr double kOneDayMs = 24.0 * 60 * 60 * 1000;

// A colour setting that is not one of the 16 colours leaves the current value.
void read_colour(const Puzzlemaker& game, const char* file, int& colour) {
  int value = colour;
  if (game.read_setting(file, value) && is_colour_index(value)) colour = value;
}

std::string shown_folder(const std::string& folder) {
  std::filesystem::path path = std::filesystem::absolute(folder).lexically_normal();
  if (path.filename().empty()) path = path.parent_path();
  return "\"" + path.string() + "\"";
}

struct PictureFolderState {
  std::string folder;
  std::string write_error;  // why the built-in picture could not be saved there
  std::string read_error;   // why it cannot be listed
};

// What the start panel says when a folder the game uses cannot be used: the folder that
// really fails, with the system's reason. Empty when all is well.
std::string folder_problems(const std::string& game_folder, const std::vector<PictureFolderState>& pictures) {
  std::vector<const PictureFolderState*> failing;
  for (const PictureFolderState& p : pictures)
    if (!p.write_error.empty() || !p.read_error.empty()) failing.push_back(&p);
  if (failing.empty()) return {};
  // When the game folder itself cannot be written, that is the folder to name.
  const std::string game_error = folder_write_problem(game_folder);
  if (!game_error.empty())
    return "The folder " + shown_folder(game_folder) + " cannot be written (" + game_error +
           "): pictures and settings will not be kept.";
  const PictureFolderState& first = *failing.front();
  std::string text = "The folder " + shown_folder(first.folder);
  if (failing.size() > 1)
    text += " (and \"" + std::filesystem::path(failing[1]->folder).filename().string() + "\")";
  if (!first.read_error.empty() && !first.write_error.empty())
    return text + " cannot be read or written (" + first.read_error + ").";
  if (!first.read_error.empty())
    return text + " cannot be read (" + first.read_error + "): its pictures are not listed.";
  return text + " cannot be written (" + first.write_error + "): no pictures can be added to it.";
}

}  // namespace

void Puzzlemaker::Form_Activate() {
  startup();
  try {
    for (;;) run_pass();
  } catch (const ProgramEnded&) {
    keep_puzzle();  // however the game ends: the menu, the window closed, a signal
    throw;
  }
}

void Puzzlemaker::startup() {
  anim_slow = 0;
  rotatable = 0;

  // Temporary files of an earlier run that was killed in the middle of a write.
  for (const std::string& folder : {working_dir, regular_folder(), animation_folder(),
                                    screensaver_picture_folder(), screensaver_colour_folder()})
    remove_stale_temporary_files(folder);
  fewest::remove_stale_table_files(fewest::table_cache_folder());
  // Read while the title puzzles play, so that the first puzzle need not wait for it.
  best_results.prefetch();

  // The mode files are compared exactly: 0.6 is not 1, and 0.4 is not 0.
  double rotate_mode = 0;
  read_setting(kRotateModeFile, rotate_mode);
  rotatable = rotate_mode == 1 ? 1 : 0;
  yes.set_checked(rotatable == 1);
  no.set_checked(rotatable == 0);

  double saver = 0;
  if (read_setting(kPuzzleSettingsFile, saver)) {
    no_saver_copy = saver == 0 ? 0 : 1;
    spictures.set_checked(no_saver_copy == 0);
    dspictures.set_checked(no_saver_copy == 1);
  } else {
    no_saver_copy = 0;
  }

  // The coach's switches: on only when their files hold 1.
  double coach_mode = 0;
  coach.slides_to_go_on = read_setting(kSlidesToGoFile, coach_mode) && coach_mode == 1;
  coach_mode = 0;
  coach.shortest_way_on = read_setting(kShortestWayFile, coach_mode) && coach_mode == 1;
  slidestogo.set_checked(coach.slides_to_go_on);
  shortestway.set_checked(coach.shortest_way_on);

  std::string regular_error, animation_error;
  install_picture(regular_folder(), kTitlePictureName, title_picture, &regular_error);
  install_picture(animation_folder(), kTitleSpriteName, builtin_sprite, &animation_error);
  folder_problem = folder_problems(
      working_dir, {{regular_folder(), regular_error, folder_read_problem(regular_folder())},
                    {animation_folder(), animation_error, folder_read_problem(animation_folder())}});

  File1.set_folder(regular_folder());
  File2.set_folder(animation_folder());
  File1.set_pattern(kPicturePattern);
  File2.set_pattern(kPicturePattern);
  Text3.set_text(File1.selected_text().empty() ? File1.entry(0) : File1.selected_text());

  default_puzzle_bg = 3;
  default_picture_bg = 15;
  read_colour(*this, kDefaultPuzzleColourFile, default_puzzle_bg);
  read_colour(*this, kDefaultPictureColourFile, default_picture_bg);

  move_time = 1;
  rotate_time = 1;
  new_picture_time = 100;
  // Negative times would stop the computer for good, and so would times whose timer waits
  // longer than a day: such files count as unreadable.
  if (double t = move_time; read_setting(kMoveTimeFile, t) && t >= 0 && 10 * t <= kOneDayMs) move_time = t;
  if (double t = new_picture_time; read_setting(kNewPictureTimeFile, t) && t > 0 && 100 * t <= kOneDayMs)
    new_picture_time = t;
  double speed = 0;
  read_setting("animation.time", speed);
  anim_slow = speed == 1 ? 1 : 0;
  tfast.set_checked(anim_slow == 0);
  tslow.set_checked(anim_slow == 1);
  if (double t = rotate_time; read_setting(kRotateTimeFile, t) && t >= 0 && 10 * t <= kOneDayMs)
    rotate_time = t;

  solve_mode = 0;
  const auto options = option_buttons();
  for (int n = 1; n <= 16; ++n) options[static_cast<std::size_t>(n - 1)]->set_background(option_colour(n));

  random.seed(-1);
  random.seed(loop.seconds_since_midnight());

  puzzle.W = 4;
  puzzle.H = 4;
  started = 0;
  read_kept_puzzle();
}

void Puzzlemaker::read_picture_colours() {
  int colour_value = puzzle.puzzle_bg;
  const std::string colour_file = puzzle.pic_base + ".colour";
  if (read_setting(colour_file.c_str(), colour_value) && is_colour_index(colour_value)) {
    puzzle.puzzle_bg = colour_value;
    write_setting(colour_file, colour_value);
    if (no_saver_copy == 0) write_screensaver_copy(colour_file, colour_value);
  }
  if (puzzle.pic_kind == 1) {
    const std::string colour2_file = puzzle.pic_base + ".colour2";
    int picture_value = puzzle.picture_bg;
    if (read_setting(colour2_file.c_str(), picture_value) && is_colour_index(picture_value)) {
      puzzle.picture_bg = picture_value;
      write_setting(colour2_file, picture_value);
    }
  }
}

void Puzzlemaker::title_puzzle_setup() {
  solve_mode = 2;
  const int k = random.pick(2);
  chosen_kind = k == 1 ? 0 : 1;
  puzzle.pic_kind = chosen_kind;
  phase = 3;
  puzzle.pic_name = k == 1 ? kTitlePictureName : kTitleSpriteName;
  puzzle.pic_base = picture_base(puzzle.pic_name);
  default_puzzle_bg = 3;
  default_picture_bg = 15;
  puzzle.puzzle_bg = 3;
  puzzle.picture_bg = 15;
  // The title picture's own colour files, read by makenewpuzzle, win over these defaults.
  Timer2.stop();
  Timer1.stop();
  makenewpuzzle();
  timer_rearm();
}

void Puzzlemaker::click_to_begin() {
  puzzle.pic_kind = 0;
  chosen_kind = 0;
  solve_mode = 0;
  canvas.draw_picture(background);
  started = 1;
  was_started = 1;
  phase = 0;
  for (Control* c : std::initializer_list<Control*>{&Label1, &Label2, &Label5, &Label8, &File1, &File2,
                                                    &Text1, &Text2, &Text3, &Command1})
    c->show();
  instructions.show();
  ffgf.show();
  default_puzzle_bg = 3;
  default_picture_bg = 15;
  read_colour(*this, kDefaultPuzzleColourFile, default_puzzle_bg);
  read_colour(*this, kDefaultPictureColourFile, default_picture_bg);
  set_caption("Jumblix: By Corvel");
  if (!folder_problem.empty()) show_message(folder_problem);
  update_status();  // the title screen's hint goes
  take_waiting_puzzle();
}

void Puzzlemaker::timer_rearm() {
  tick_due = 0;
  const bool was_running = Timer1.enabled();
  Timer1.stop();
  Timer1.set_interval(phase == 4 ? 100 * new_picture_time : 10 * move_time);
  if (phase == 4) Timer1.set_enabled(was_running);
}

}  // namespace jumblix
