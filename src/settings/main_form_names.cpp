// What a screen reader calls the controls that show no words of their own: each box and
// list by the prompt beside it (or what it is for), each colour swatch by its colour.
#include <string>

#include "settings/main_form.h"

namespace jumblix {

namespace {

// The 16 colours by index, as a player would name them.
constexpr const char* kColourNames[16] = {
    "Black",     "Blue",        "Green",       "Cyan",       "Red",           "Magenta",
    "Olive",     "Light grey",  "Grey",        "Light blue", "Light green",   "Light cyan",
    "Light red", "Light magenta", "Light yellow", "White"};

}  // namespace

void MainForm::name_for_screen_readers() {
  Text1.set_accessible_name("Width of puzzle (3-20)");
  Text2.set_accessible_name("Height of puzzle (3-20)");
  Text3.set_accessible_name("Chosen picture");
  File1.set_accessible_name("Regular pictures");
  File2.set_accessible_name("Animation pictures");
  Check1.set_accessible_name("Pictures are random");
  Text4.set_accessible_name("Time before the computer moves a piece, in 100ths of a second");
  Text5.set_accessible_name("Time before the computer loads a new picture, in 10ths of a second");
  Text6.set_accessible_name("Time before the computer rotates a piece, in 100ths of a second");
  best_table.set_accessible_name("Best results");
  code_text.set_accessible_name("Puzzle code");
  const auto options = option_buttons();
  for (int n = 1; n <= 16; ++n) {
    const int colour = option_colour(n);
    options[static_cast<std::size_t>(n - 1)]->set_accessible_name(
        std::string(kColourNames[colour]) + ", colour " + std::to_string(colour));
  }
  board.set_accessible_name("Puzzle");
}

}  // namespace jumblix
