// The start panel, the picture and size chooser and the other "Puzzle" menu commands.
#include "app/puzzlemaker.h"
#include "settings/number_text.h"

namespace jumblix {

namespace {

void hide_chooser(Puzzlemaker& g) {
  for (Control* c : std::initializer_list<Control*>{&g.Label5, &g.Text3, &g.File1, &g.File2, &g.Label1,
                                                    &g.Text1, &g.Label2, &g.Text2, &g.Command2, &g.Command3})
    c->hide();
}

// Too large a size is cut to "20" as it is typed; everything else waits for the new puzzle.
void guard_size(TextBox& box) {
  if (leading_number(box.text()) > 20) box.set_text("20");
}

}  // namespace

void Puzzlemaker::choosepicture_Click() {
  saved_chosen_kind = chosen_kind;
  chosen_kind = 0;
  if (File1.count() == 0) return;
  set_panel_menus_enabled(false);
  saved_phase = phase;
  Text3.set_text(File1.selected_text().empty() ? File1.entry(0) : File1.selected_text());
  saved_w_text = Text1.text();
  saved_h_text = Text2.text();
  for (Control* c : std::initializer_list<Control*>{&Label5, &Text3, &File1, &Label1, &Text1, &Label2,
                                                    &Text2, &Command2, &Command3})
    c->show();
  phase = -5;
}

void Puzzlemaker::choosepicture2_Click() {
  saved_chosen_kind = chosen_kind;
  chosen_kind = 1;
  if (File2.count() == 0) return;
  set_panel_menus_enabled(false);
  saved_phase = phase;
  Text3.set_text(File2.selected_text().empty() ? File2.entry(0) : File2.selected_text());
  saved_w_text = Text1.text();
  saved_h_text = Text2.text();
  // The animated list stands where the regular one does, so both choosers look alike.
  File2.move(File1.left(), File1.top());
  for (Control* c : std::initializer_list<Control*>{&Label5, &Text3, &File2, &Label1, &Text1, &Label2,
                                                    &Text2, &Command2, &Command3})
    c->show();
  phase = -5;
}

void Puzzlemaker::File1_Click() {
  Text3.set_text(File1.selected_text());
  chosen_kind = 0;
}

void Puzzlemaker::File2_Click() {
  Text3.set_text(File2.selected_text());
  chosen_kind = 1;
}

void Puzzlemaker::Text1_KeyUp(int) { guard_size(Text1); }
void Puzzlemaker::Text2_KeyUp(int) { guard_size(Text2); }

void Puzzlemaker::Command2_Click() {
  pending_random_mode = prandom.checked() ? 1 : 2;
  // This one puzzle uses the chosen picture; a random mode comes back once it is made.
  Check1.set_value(0);
  prandom.set_checked(false);
  pnrandom.set_checked(true);
  set_panel_menus_enabled(true);
  hide_chooser(*this);
  phase = saved_phase;
  Timer2.stop();
  Timer1.stop();
  if (chosen_kind == 0) {
    regular_chosen = 1;
    phase = 3;
  }
  makenewpuzzle();
  timer_rearm();
}

void Puzzlemaker::Command3_Click() {
  set_panel_menus_enabled(true);
  Text1.set_text(saved_w_text);
  Text2.set_text(saved_h_text);
  Text3.set_text(puzzle.pic_name);
  hide_chooser(*this);
  phase = saved_phase;
  chosen_kind = saved_chosen_kind;
}

void Puzzlemaker::begin_game() {
  begun = 1;
  puzzle7.show();
  soptions.show();
  colour.show();
}

void Puzzlemaker::Command1_Click() {
  begin_game();
  Timer1.stop();
  Timer2.stop();
  makenewpuzzle();
  timer_rearm();
}

void Puzzlemaker::newpuzzle_Click() {
  chosen_kind = puzzle.pic_kind;
  Timer2.stop();
  Timer1.stop();
  makenewpuzzle();
  timer_rearm();
}

void Puzzlemaker::leave_title_screen() {
  phase = 3;
  started = 5;
  was_started = 5;  // the latch stays clear: the main loop leaves the title screen next
}

void Puzzlemaker::newpuzzle_Shortcut() {
  if (was_started == 0 && anim_off == 0) leave_title_screen();
}

void Puzzlemaker::prandom_Click() {
  prandom.set_checked(true);
  pnrandom.set_checked(false);
  Check1.set_value(1);
}

void Puzzlemaker::pnrandom_Click() {
  prandom.set_checked(false);
  pnrandom.set_checked(true);
  Check1.set_value(0);
}

}  // namespace jumblix
