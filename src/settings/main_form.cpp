#include "settings/main_form.h"

namespace jumblix {

MainForm::MainForm() : WindowForm("puzzlemaker", kTitleCaption, kDesignClientWidth, kDesignClientHeight) {
  for (MenuItem* item : {&options, &sfancy, &puzzle7, &newpuzzle, &prandom, &pnrandom, &choosepicture,
                         &choosepicture2, &addpictures, &bestresults, &undo, &redo, &restart, &copycode,
                         &playcode, &hint, &showway, &anispeed, &tslow, &tfast, &soptions, &usolve, &csolve,
                         &csolves, &shortestway, &ctime, &cpiece, &rpiece, &cpicture, &slidestogo, &protate, &yes,
                         &no, &colour,
                         &pcolour, &dcolour, &pcolour2, &dcolour2, &scrsaveroptions, &spictures,
                         &dspictures, &newinstead, &quit, &instructions, &gfdgf, &fdgd, &fdg, &fdgdfg, &ffgf,
                         &hjhjjh, &ghjhjh, &hgjhjh, &hgj, &dsfdfdf, &ghj, &parhelp, &parhelp_text, &about})
    add(*item);
  sfancy.set_checked(true);
  sfancy.hide();
  puzzle7.hide();
  pnrandom.set_checked(true);
  tfast.set_checked(true);
  soptions.hide();
  usolve.set_checked(true);
  rpiece.hide();
  no.set_checked(true);
  colour.hide();
  spictures.set_checked(true);
  instructions.hide();
  ffgf.hide();
  dsfdfdf.disable();
  quit.set_shortcut("Ctrl+Q");
  newpuzzle.set_shortcut("Ctrl+N");
  newinstead.set_shortcut("Ctrl+N");
  newinstead.hide();
  undo.set_shortcut("Ctrl+Z");
  redo.set_shortcut("Ctrl+Shift+Z", "Ctrl+Y");
  instructions.set_shortcut("F1");
  hint.set_shortcut("Ctrl+H");
  showway.disable();

  for (Control* c : std::initializer_list<Control*>{
           &Label1, &Text1, &Label2, &Text2, &Label5, &Text3, &File1, &File2, &Label8, &Check1,
           &Command1, &Command2, &Command3, &Label7, &Label3, &Label9, &Label10})
    add(*c);
  for (OptionButton* o : option_buttons()) add(*o);
  for (Control* c : std::initializer_list<Control*>{&Command5, &Command4, &Label4, &Text4, &Label6,
                                                    &Text5, &Label11, &Text6, &best_prompt, &best_table,
                                                    &best_close, &code_prompt, &code_text, &message, &Picture1,
                                                    &Picture2})
    add(*c);
  Option1.set_value(true);
  name_for_screen_readers();
  code_text.set_focused_when_shown(true);
  message.set_clicks_through(true);
  message_timer.on_timer = [this] { show_message(""); };
  for (Timer* t : {&Timer1, &Timer2, &Timer4, &message_timer, &status_timer, &fewest_timer, &coach_timer,
                    &hint_timer, &way_timer})
    add(*t);
}

void MainForm::show_message(const std::string& text, bool lasting) {
  message.set_caption(text);
  message.set_visible(!text.empty());
  // Each new notice gets the whole time to be read.
  message_timer.stop();
  message_timer.set_enabled(!text.empty() && !lasting);
}

std::array<OptionButton*, 16> MainForm::option_buttons() {
  return {&Option1, &Option2,  &Option3,  &Option4,  &Option5,  &Option6,  &Option7,  &Option8,
          &Option9, &Option10, &Option11, &Option12, &Option13, &Option14, &Option15, &Option16};
}

// Option1 is black, Option2 bright white, Option3..Option15 the indices 2..14, Option16 blue.
int MainForm::option_colour(int number) {
  if (number == 1) return 0;
  if (number == 2) return 15;
  if (number == 16) return 1;
  return number - 1;
}

int MainForm::option_for_colour(int colour_index) {
  for (int n = 1; n <= 16; ++n)
    if (option_colour(n) == colour_index) return n;
  return 0;
}

OptionButton* MainForm::option_button_for_colour(int colour_index) {
  const int n = option_for_colour(colour_index);
  return n == 0 ? nullptr : option_buttons()[static_cast<std::size_t>(n - 1)];
}

Rect MainForm::option_rect(int number) {
  const int index = number - 1;
  const int row = index / 6, column = index % 6;
  return {32 + 104 * column, 56 + 56 * row, 81, 33};
}

}  // namespace jumblix
