#include "app/puzzlemaker.h"

#include <cmath>

#include "puzzle/builtin_pictures.h"
#include "puzzle/picture_library.h"

namespace jumblix {

Puzzlemaker::Puzzlemaker(EventLoop& event_loop, std::string dir)
    : loop(event_loop), settings(dir), working_dir(std::move(dir)) {
  title_picture = make_title_picture();
  builtin_sprite = make_moving_picture();
  background = title_picture;
  Picture1.set_picture(builtin_sprite);
  canvas.draw_picture(background);
  wire_handlers();
  loop.pace_with_frames(Timer4);
  loop.set_next_work([this] { return next_work(); });
}

Puzzlemaker::~Puzzlemaker() { loop.set_next_work(nullptr); }

void Puzzlemaker::wire_handlers() {
  on_mouse_down = [this](int button, int shift, double x, double y) { Form_MouseDown(button, shift, x, y); };
  on_key_down = [this](int key, int shift) { Form_KeyDown(key, shift); };
  on_unload = [this] { Form_Unload(); };
  on_files_dropped = [this](const std::vector<std::string>& files) { Form_FilesDropped(files); };
  on_full_screen_changed = [this](bool full) { Form_FullScreenChanged(full); };
  newpuzzle.on_unreachable_shortcut = [this] { newpuzzle_Shortcut(); };

  quit.on_click = [this] { quit_Click(); };
  about.on_click = [this] { about_Click(); };
  newpuzzle.on_click = [this] { newpuzzle_Click(); };
  prandom.on_click = [this] { prandom_Click(); };
  pnrandom.on_click = [this] { pnrandom_Click(); };
  choosepicture.on_click = [this] { choosepicture_Click(); };
  choosepicture2.on_click = [this] { choosepicture2_Click(); };
  addpictures.on_click = [this] { addpictures_Click(); };
  bestresults.on_click = [this] { bestresults_Click(); };
  undo.on_click = [this] { undo_Click(); };
  redo.on_click = [this] { redo_Click(); };
  restart.on_click = [this] { restart_Click(); };
  copycode.on_click = [this] { copycode_Click(); };
  playcode.on_click = [this] { playcode_Click(); };
  newinstead.on_click = [this] { newinstead_Click(); };
  code_text.on_key_down = [this](int key) { code_text_KeyDown(key); };
  tslow.on_click = [this] { tslow_Click(); };
  tfast.on_click = [this] { tfast_Click(); };
  usolve.on_click = [this] { usolve_Click(); };
  csolve.on_click = [this] { csolve_Click(); };
  csolves.on_click = [this] { csolves_Click(); };
  cpiece.on_click = [this] { cpiece_Click(); };
  rpiece.on_click = [this] { rpiece_Click(); };
  cpicture.on_click = [this] { cpicture_Click(); };
  yes.on_click = [this] { yes_Click(); };
  no.on_click = [this] { no_Click(); };
  pcolour.on_click = [this] { pcolour_Click(); };
  dcolour.on_click = [this] { dcolour_Click(); };
  pcolour2.on_click = [this] { pcolour2_Click(); };
  dcolour2.on_click = [this] { dcolour2_Click(); };
  spictures.on_click = [this] { spictures_Click(); };
  dspictures.on_click = [this] { dspictures_Click(); };

  File1.on_click = [this] { File1_Click(); };
  File2.on_click = [this] { File2_Click(); };
  Text1.on_key_up = [this](int key) { Text1_KeyUp(key); };
  Text2.on_key_up = [this](int key) { Text2_KeyUp(key); };
  Text4.on_key_down = [this](int key) { Text4_KeyDown(key); };
  Text5.on_key_down = [this](int key) { Text5_KeyDown(key); };
  Text6.on_key_down = [this](int key) { Text6_KeyDown(key); };
  Command1.on_click = [this] { Command1_Click(); };
  Command2.on_click = [this] { Command2_Click(); };
  Command3.on_click = [this] { Command3_Click(); };
  Command4.on_click = [this] { Command4_Click(); };
  Command5.on_click = [this] { Command5_Click(); };
  best_close.on_click = [this] { close_best_results(); };

  Timer1.on_timer = [this] { Timer1_Timer(); };
  Timer2.on_timer = [this] { Timer2_Timer(); };
  Timer4.on_timer = [this] { Timer4_Timer(); };
  status_timer.on_timer = [this] { status_timer_Timer(); };
  fewest_timer.on_timer = [this] { poll_fewest(); };
  wire_coach();

  // A notice over the board goes away at the player's next action: a menu command here, a
  // mouse press or a key in their handlers.
  for (MenuItem* item : menu_items())
    if (item->on_click)
      item->on_click = [this, command = std::move(item->on_click)] {
        dismiss_message();
        command();
      };
}

void Puzzlemaker::yield_input() {
  input_latch = 0;
  loop.yield();
}

void Puzzlemaker::set_panel_menus_enabled(bool enabled) {
  puzzle7.set_enabled(enabled);
  soptions.set_enabled(enabled);
  colour.set_enabled(enabled);
  hold_clock(!enabled);
}

SpriteView Puzzlemaker::sprite_view() const {
  return {&Picture1.picture(), Picture1.left(),        Picture1.top(),
          Picture1.width(),    Picture1.height(),      Picture1.scale_width(),
          Picture1.scale_height()};
}

void Puzzlemaker::draw_piece(Cell cell, int source_shrink, bool after_turn) {
  jumblix::draw_piece(canvas, puzzle, piece_sources(), cell, source_shrink, after_turn);
}

void Puzzlemaker::erase_cell(Cell cell, int extra_right) {
  jumblix::erase_cell(canvas, puzzle, cell, extra_right);
}

bool Puzzlemaker::read_setting(const char* file, double& value) const {
  const auto read = settings.read(file);
  if (!read) return false;
  value = *read;
  return true;
}

bool Puzzlemaker::read_setting(const char* file, int& value) const {
  const auto read = settings.read(file);
  // Values too large for the field count as unreadable rather than wrapping around.
  if (!read || *read < -1e9 || *read > 1e9) return false;
  value = static_cast<int>(std::lround(*read));
  return true;
}

bool Puzzlemaker::write_setting(const std::string& file, double value, const std::string& what) {
  std::string error;
  if (settings.write(file, value, &error)) return true;
  // The value holds in memory for this run; the player hears that it will not last.
  if (!what.empty()) {
    // A long name is shortened so that the reason still fits the message line.
    const std::string shown = file.size() <= 40 ? file : file.substr(0, 16) + "..." + file.substr(file.size() - 16);
    show_message(what + " could not be saved (" + error + ": \"" + shown + "\"); it holds until the game ends.");
  }
  return false;
}

std::string Puzzlemaker::regular_folder() const { return join_path(working_dir, kRegularFolderName); }
std::string Puzzlemaker::animation_folder() const { return join_path(working_dir, kAnimationFolderName); }

void Puzzlemaker::arm(Timer& timer, double interval_ms) {
  timer.set_interval(interval_ms);
  timer.start();
}

}  // namespace jumblix
