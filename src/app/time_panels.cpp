// The time panels (move, new-picture and rotate times) and the animation speed.
#include "app/puzzlemaker.h"
#include "settings/number_text.h"

namespace jumblix {

void Puzzlemaker::open_time_panel(Label& prompt, TextBox& box, double value) {
  set_panel_menus_enabled(false);
  saved_phase = phase;
  box.set_text(shortest_decimal(value));
  prompt.show();
  box.show();
  phase = 0;
}

void Puzzlemaker::cpiece_Click() { open_time_panel(Label4, Text4, move_time); }
void Puzzlemaker::cpicture_Click() { open_time_panel(Label6, Text5, new_picture_time); }
void Puzzlemaker::rpiece_Click() { open_time_panel(Label11, Text6, rotate_time); }

// Enter stores the number at the start of the box: a negative time becomes "0", or, where
// zero is not allowed, anything not above 0 becomes "1". Escape leaves everything as it was.
void Puzzlemaker::time_panel_key(TextBox& box, int key, double& value, const char* file,
                                 bool zero_allowed) {
  if (key != kKeyEnter && key != kKeyEscape) return;
  if (key == kKeyEnter) {
    const double typed = leading_number(box.text());
    if (zero_allowed && typed < 0) box.set_text("0");
    if (!zero_allowed && typed <= 0) box.set_text("1");
    value = leading_number(box.text());
    write_setting(file, value, "The time");
  }
  phase = saved_phase;
  set_panel_menus_enabled(true);
  if (&box == &Text6) {
    Text6.hide();
    Label11.hide();
  } else {
    Label4.hide();
    Text4.hide();
    Label6.hide();
    Text5.hide();
  }
}

void Puzzlemaker::Text4_KeyDown(int key) { time_panel_key(Text4, key, move_time, kMoveTimeFile, true); }
void Puzzlemaker::Text5_KeyDown(int key) {
  time_panel_key(Text5, key, new_picture_time, kNewPictureTimeFile, false);
}
void Puzzlemaker::Text6_KeyDown(int key) { time_panel_key(Text6, key, rotate_time, kRotateTimeFile, true); }

void Puzzlemaker::tslow_Click() {
  tslow.set_checked(true);
  tfast.set_checked(false);
  anim_slow = 1;
  write_setting(kAnimationTimeFile, 1, "The animation speed");
}

void Puzzlemaker::tfast_Click() {
  tfast.set_checked(true);
  tslow.set_checked(false);
  anim_slow = 0;
  write_setting(kAnimationTimeFile, 0, "The animation speed");
}

}  // namespace jumblix
