// The four colour panels: sixteen swatches, Done and Cancel.
#include "app/puzzlemaker.h"
#include "platform/palette.h"

namespace jumblix {

namespace {

enum ColourPanel { kDefaultPuzzleColour = -1, kPuzzleColour = -2, kPictureColour = -3,
                   kDefaultPictureColour = -4 };

void hide_colour_panel(Puzzlemaker& g) {
  for (Control* c : std::initializer_list<Control*>{&g.Label7, &g.Label3, &g.Label4, &g.Label9,
                                                    &g.Label10, &g.Command4, &g.Command5})
    c->hide();
  for (OptionButton* o : g.option_buttons()) o->hide();
}

}  // namespace

// `forbidden` is greyed for animated pictures: the two backgrounds of a kind must differ.
void Puzzlemaker::open_colour_panel(int code, Label& prompt, int current, int forbidden) {
  set_panel_menus_enabled(false);
  saved_phase = phase;
  for (OptionButton* o : option_buttons()) o->enable();
  if (puzzle.pic_kind == 1)
    if (OptionButton* o = option_button_for_colour(forbidden)) o->disable();
  for (OptionButton* o : option_buttons()) o->show();
  Command4.show();
  Command5.show();
  if (OptionButton* o = option_button_for_colour(current))
    o->set_value(true);
  else
    for (OptionButton* other : option_buttons()) other->set_value(false);
  prompt.show();
  if (code == kPuzzleColour || code == kDefaultPuzzleColour)
    for (Control* c : std::initializer_list<Control*>{&Label5, &Text3, &File1, &Check1, &Label1, &Label2,
                                                      &Text1, &Text2, &Command1})
      c->hide();
  phase = code;
}

void Puzzlemaker::pcolour_Click() { open_colour_panel(kPuzzleColour, Label7, puzzle.puzzle_bg, puzzle.picture_bg); }
void Puzzlemaker::dcolour_Click() {
  open_colour_panel(kDefaultPuzzleColour, Label3, default_puzzle_bg, default_picture_bg);
}
void Puzzlemaker::pcolour2_Click() {
  open_colour_panel(kPictureColour, Label9, puzzle.picture_bg, puzzle.puzzle_bg);
}
void Puzzlemaker::dcolour2_Click() {
  open_colour_panel(kDefaultPictureColour, Label10, default_picture_bg, default_puzzle_bg);
}

void Puzzlemaker::Command5_Click() {
  set_panel_menus_enabled(true);
  // With no swatch selected (a stored colour outside the 16) the colour stays as it was.
  int chosen = -1;
  const auto options = option_buttons();
  for (int n = 1; n <= 16; ++n)
    if (options[static_cast<std::size_t>(n - 1)]->value()) chosen = option_colour(n);
  hide_colour_panel(*this);
  input_latch = 0;
  loop.yield();

  if (phase == kDefaultPuzzleColour && chosen >= 0) {
    default_puzzle_bg = chosen;
    write_setting(kDefaultPuzzleColourFile, default_puzzle_bg, "The default colour");
  }
  write_screensaver_copy(kDefaultPuzzleColourFile, default_puzzle_bg);
  if (phase == kDefaultPictureColour && chosen >= 0) {
    default_picture_bg = chosen;
    write_setting(kDefaultPictureColourFile, default_picture_bg, "The default colour");
  }
  if (phase == kPictureColour && chosen >= 0) {
    puzzle.picture_bg = chosen;
    write_setting(puzzle.pic_base + ".colour2", puzzle.picture_bg, "The colour of this picture");
    canvas.fill_box(puzzle.picture_bg, 0, 0, static_cast<int>(puzzle.board_px_w),
                    static_cast<int>(puzzle.board_px_h));
    // The fill covers the grid and the gap too: paint them again, also during play, so the
    // player still sees where the gap is. The pieces under the moving picture come back at
    // once, even while it is stopped.
    repaint_grid(canvas, puzzle);
    if (puzzle_finished == 0 && puzzle.pic_kind == 1) draw_sprite_pieces(canvas, puzzle, piece_sources());
  }
  if (phase == kPuzzleColour && chosen >= 0) {
    puzzle.puzzle_bg = chosen;
    write_setting(puzzle.pic_base + ".colour", puzzle.puzzle_bg, "The colour of this picture");
    if (no_saver_copy == 0) write_screensaver_copy(puzzle.pic_base + ".colour", puzzle.puzzle_bg);
    if (puzzle_finished == 1) repaint_grid(canvas, puzzle);
  }
  phase = saved_phase;
}

void Puzzlemaker::Command4_Click() {
  set_panel_menus_enabled(true);
  hide_colour_panel(*this);
  phase = saved_phase;
}

}  // namespace jumblix
