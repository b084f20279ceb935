// Menu switches: rotation for the next puzzle, and copying into the screensaver folder.
#include "app/puzzlemaker.h"

namespace jumblix {

void Puzzlemaker::yes_Click() {
  yes.set_checked(true);
  no.set_checked(false);
  write_setting(kRotateModeFile, 1, "The rotation setting");
}

void Puzzlemaker::no_Click() {
  no.set_checked(true);
  yes.set_checked(false);
  write_setting(kRotateModeFile, 0, "The rotation setting");
}

void Puzzlemaker::spictures_Click() {
  if (spictures.checked()) return;
  spictures.set_checked(true);
  dspictures.set_checked(false);
  no_saver_copy = 0;
  write_setting(kPuzzleSettingsFile, 0, "The screensaver setting");
}

void Puzzlemaker::dspictures_Click() {
  if (dspictures.checked()) return;
  dspictures.set_checked(true);
  spictures.set_checked(false);
  no_saver_copy = 1;
  write_setting(kPuzzleSettingsFile, 1, "The screensaver setting");
}

}  // namespace jumblix
