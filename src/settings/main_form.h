#pragma once
// The main window's layout: the complete menu tree, every control of the in-window panels
// and the timers, with their captions, texts, limits, positions and initial states.
#include <array>

#include "platform/form.h"
#include "platform/window_form.h"

namespace jumblix {

inline constexpr int kDesignClientWidth = 754;
inline constexpr int kDesignClientHeight = 385;
inline constexpr const char* kTitleCaption = "Jumblix: By Corvel (age 18) - (Click to begin)";

class MainForm : public WindowForm {
 public:
  MainForm();

  // Menu bar: Options.
  MenuItem options{"options", "Options", nullptr};
  MenuItem sfancy{"sfancy", "sfancy", &options};
  MenuItem puzzle7{"puzzle7", "Puzzle", &options};
  MenuItem newpuzzle{"newpuzzle", "New puzzle", &puzzle7};
  MenuItem prandom{"prandom", "Pictures are random", &puzzle7};
  MenuItem pnrandom{"pnrandom", "Pictures are not random", &puzzle7};
  MenuItem choosepicture{"choosepicture", "Choose \"regular\" puzzle picture and size", &puzzle7};
  MenuItem choosepicture2{"choosepicture2", "Choose \"animated\" puzzle picture and size", &puzzle7};
  MenuItem addpictures{"addpictures", "Add your own pictures...", &puzzle7};
  MenuItem bestresults{"bestresults", "Best results", &puzzle7};
  MenuItem undo{"undo", "Undo", &puzzle7};
  MenuItem redo{"redo", "Redo", &puzzle7};
  MenuItem restart{"restart", "Restart this puzzle", &puzzle7};
  MenuItem copycode{"copycode", "Copy puzzle code", &puzzle7};
  MenuItem playcode{"playcode", "Play a puzzle code...", &puzzle7};
  MenuItem hint{"hint", "Hint", &puzzle7};
  MenuItem showway{"showway", "Show the shortest way", &puzzle7};
  MenuItem anispeed{"anispeed", "Animated puzzle speed", &options};
  MenuItem tslow{"tslow", "Slow", &anispeed};
  MenuItem tfast{"tfast", "Fast", &anispeed};
  MenuItem soptions{"soptions", "Solving options", &options};
  MenuItem usolve{"usolve", "User solves puzzle", &soptions};
  MenuItem csolve{"csolve", "Computer solves puzzle (regular mode)-[Press \"b\" for one move]", &soptions};
  MenuItem csolves{"csolves", "Computer solves puzzle (scr-saver mode)", &soptions};
  MenuItem shortestway{"shortestway", "The computer takes the shortest way", &soptions};
  MenuItem ctime{"ctime", "Computertime", &soptions};
  MenuItem cpiece{"cpiece", "Choose time taken to move a piece", &ctime};
  MenuItem rpiece{"rpiece", "Choose time taken to rotate a piece", &ctime};
  MenuItem cpicture{"cpicture", "Choose time taken to load a new picture (scr-saver mode)", &ctime};
  MenuItem slidestogo{"slidestogo", "Show the slides to go", &soptions};
  MenuItem protate{"protate", "Pieces rotatable?", &options};
  MenuItem yes{"yes", "Yes", &protate};
  MenuItem no{"no", "No", &protate};
  MenuItem colour{"colour", "Colour", &options};
  MenuItem pcolour{"pcolour", "Choose puzzle background colour", &colour};
  MenuItem dcolour{"dcolour", "Choose default puzzle background colour", &colour};
  MenuItem pcolour2{"pcolour2", "Choose picture background colour (ani)", &colour};
  MenuItem dcolour2{"dcolour2", "Choose default picture background colour (ani)", &colour};
  MenuItem scrsaveroptions{"scrsaveroptions", "Scr-Saver options", &options};
  MenuItem spictures{"spictures", "Save pictures into Screensaver folder", &scrsaveroptions};
  MenuItem dspictures{"dspictures", "Don't save pictures into Screensaver folder", &scrsaveroptions};
  // Shown on the title screen only while a kept or shared puzzle waits for the first click.
  MenuItem newinstead{"newinstead", "New puzzle", &options};
  MenuItem quit{"quit", "Quit", &options};
  // Menu bar: Instructions.
  MenuItem instructions{"instructions", "Instructions", nullptr};
  MenuItem gfdgf{"gfdgf", "Moving a piece:", &instructions};
  MenuItem fdgd{"fdgd", "{Click left mouse button on piece}", &gfdgf};
  MenuItem fdg{"fdg", "Rotating a piece:", &instructions};
  MenuItem fdgdfg{"fdgdfg", "{Click right mouse button on piece}", &fdg};
  // Menu bar: Key help.
  MenuItem ffgf{"ffgf", "Key help", nullptr};
  MenuItem hjhjjh{"hjhjjh", "Moving a piece:", &ffgf};
  MenuItem ghjhjh{"ghjhjh", "{Use the numeric keypad}", &hjhjjh};
  MenuItem hgjhjh{"hgjhjh", "Rotating a piece:", &ffgf};
  MenuItem hgj{"hgj", "{Use \"I, J, K, or L}", &hgjhjh};
  MenuItem dsfdfdf{"dsfdfdf", "Toggling animation on or off", &ffgf};
  MenuItem ghj{"ghj", "{Press enter}", &dsfdfdf};
  MenuItem parhelp{"parhelp", "\"Par\" in the line under the board:", &ffgf};
  MenuItem parhelp_text{"parhelp_text", "{The fewest slides that solve the puzzle as dealt}", &parhelp};
  MenuItem about{"about", "About Jumblix", &ffgf};

  // Picture and size chooser.
  Label Label1{"Label1", "Width of puzzle (3-20):", {32, 112, 113, 17}, 10};
  TextBox Text1{"Text1", "4", 2, {144, 112, 25, 19}};
  Label Label2{"Label2", "Height of puzzle (3-20):", {32, 152, 113, 17}, 10};
  TextBox Text2{"Text2", "4", 2, {144, 152, 25, 19}};
  Label Label5{"Label5", "Chosen picture:", {32, 16, 81, 17}, 11};
  TextBox Text3{"Text3", "", 0, {112, 16, 81, 19}};
  FileListBox File1{"File1", "*.regular_picture", {192, 16, 81, 58}};
  FileListBox File2{"File2", "*.animation_picture", {384, 16, 81, 58}};
  Label Label8{"Label8", "Animation pictures:", {296, 16, 89, 17}, 12};
  CheckBox Check1{"Check1", "Picture's are Random (not chosen)", {496, 16, 121, 33}};
  CommandButton Command1{"Command1", "Begin", {32, 200, 81, 33}, ButtonRole::default_button};
  CommandButton Command2{"Command2", "Done", {296, 16, 65, 33}, ButtonRole::default_button};
  CommandButton Command3{"Command3", "Cancel", {296, 72, 65, 33}, ButtonRole::cancel_button};

  // Colour panels.
  Label Label7{"Label7", "Please select this puzzle's background colour:", {32, 16, 217, 17}, 13};
  Label Label3{"Label3", "Please select the default puzzle background colour:", {32, 16, 249, 17}, 13};
  Label Label9{"Label9", "Please select this picture's background colour:", {32, 16, 225, 17}, 13};
  Label Label10{"Label10", "Please select the default picture background colour:", {32, 16, 257, 17}, 13};
  OptionGroup colour_options;
  OptionButton Option1{"Option1", colour_options, option_rect(1)};
  OptionButton Option2{"Option2", colour_options, option_rect(2)};
  OptionButton Option3{"Option3", colour_options, option_rect(3)};
  OptionButton Option4{"Option4", colour_options, option_rect(4)};
  OptionButton Option5{"Option5", colour_options, option_rect(5)};
  OptionButton Option6{"Option6", colour_options, option_rect(6)};
  OptionButton Option7{"Option7", colour_options, option_rect(7)};
  OptionButton Option8{"Option8", colour_options, option_rect(8)};
  OptionButton Option9{"Option9", colour_options, option_rect(9)};
  OptionButton Option10{"Option10", colour_options, option_rect(10)};
  OptionButton Option11{"Option11", colour_options, option_rect(11)};
  OptionButton Option12{"Option12", colour_options, option_rect(12)};
  OptionButton Option13{"Option13", colour_options, option_rect(13)};
  OptionButton Option14{"Option14", colour_options, option_rect(14)};
  OptionButton Option15{"Option15", colour_options, option_rect(15)};
  OptionButton Option16{"Option16", colour_options, option_rect(16)};
  CommandButton Command5{"Command5", "Done", {32, 224, 65, 33}, ButtonRole::default_button};
  CommandButton Command4{"Command4", "Cancel", {128, 224, 65, 33}, ButtonRole::cancel_button};

  // Time panels.
  Label Label4{"Label4",
               "Please enter the time elapsed (in 100ths of a second) before the computer moves a new piece:",
               {0, 16, 449, 17}, 13};
  TextBox Text4{"Text4", "", 2, {448, 16, 25, 19}};
  Label Label6{"Label6",
               "Please enter the time elapsed (in 10ths of a second) before the computer loads a new picture:",
               {0, 16, 449, 17}, 13};
  TextBox Text5{"Text5", "", 2, {448, 16, 25, 19}};
  Label Label11{"Label11",
                "Please choose time elapses (in 100ths of a second) before the computer rotates a piece:",
                {0, 16, 417, 17}, 13};
  TextBox Text6{"Text6", "1", 2, {416, 16, 25, 19}};

  // The best results panel: a prompt, the table and a Close button (Escape closes it too).
  Label best_prompt{"best_prompt", "", {32, 16, 420, 17}, 11};
  TableBox best_table{"best_table",
                      {"Picture", "Kind", "Size", "Rotation", "Fewest moves", "Moves set on", "Shortest time",
                       "Time set on"},
                      {32, 40, 690, 264}};
  CommandButton best_close{"best_close", "Close", {32, 312, 65, 33}, ButtonRole::cancel_button};

  // The puzzle code panel: a prompt (which says why a code is refused) and the code's box.
  Label code_prompt{"code_prompt", "", {32, 16, 690, 17}, 11};
  TextBox code_text{"code_text", "", 2000, {32, 40, 690, 19}};

  // Brings the status line up to date: once a second while the player's clock runs, and
  // soon after the computer's last slide while it solves. Asks after the fewest slides
  // while they are being worked out.
  Timer status_timer{"status_timer", 1000};
  Timer fewest_timer{"fewest_timer", 100};
  // The coach: asks after the slides to go while they are worked out, keeps a hint's mark
  // at least its time, and paces the shortest way shown.
  Timer coach_timer{"coach_timer", 50};
  Timer hint_timer{"hint_timer", 2000};
  Timer way_timer{"way_timer", 100};

  // Tells the player plainly when a picture file could not be loaded. The notice goes away
  // by itself after a few seconds (or at the player's next action, dismiss_message), and
  // clicks on it reach the board. A lasting notice (work under way) stays until replaced.
  Label message{"message", "", {0, 0, 600, 17}, 12};
  Timer message_timer{"message_timer", 4000};
  void show_message(const std::string& text, bool lasting = false);
  void dismiss_message() {
    if (message.visible()) show_message("");
  }

  // Picture holders, never shown: the moving picture and the loaded regular picture.
  PictureBox Picture1{"Picture1", {584, 200, 269, 238}};
  PictureBox Picture2{"Picture2", {0, 0, 81, 33}};

  Timer Timer1{"Timer1", 10000};
  Timer Timer2{"Timer2", 10000};
  Timer Timer4{"Timer4", 0};

  // The option buttons in number order (Option1 first) and the colour index each stands for.
  std::array<OptionButton*, 16> option_buttons();
  static int option_colour(int option_number);     // 1..16 -> colour index
  static int option_for_colour(int colour_index);  // colour index -> 1..16, 0 for none
  OptionButton* option_button_for_colour(int colour_index);

 private:
  static Rect option_rect(int number);
  // What a screen reader calls each box, list, colour and the board (main_form_names.cpp).
  void name_for_screen_readers();
};

}  // namespace jumblix
