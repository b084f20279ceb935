// The player's own pictures: "Add your own pictures..." and image files dropped on the window.
#include "app/puzzlemaker.h"
#include "puzzle/picture_import.h"

namespace jumblix {

void Puzzlemaker::addpictures_Click() {
  hold_clock(true);  // the player's time does not run while he picks files
  const PictureFilesChoice choice = choose_picture_files();
  hold_clock(false);
  if (!choice.files.empty()) import_pictures(choice.files, choice.animated);
}

void Puzzlemaker::Form_FilesDropped(const std::vector<std::string>& files) {
  if (!files.empty()) import_pictures(files, false);
}

void Puzzlemaker::import_pictures(const std::vector<std::string>& files, bool animated) {
  const std::string folder = animated ? animation_folder() : regular_folder();
  const AreaSize cover = player_drawing_area();
  const char* kind_words = animated ? "animation pictures" : "regular pictures";
  int added = 0, refused = 0;
  std::string added_name, first_refusal;
  for (const std::string& file : files) {
    const ImportResult result =
        import_picture(file, animated ? PictureKind::animated : PictureKind::regular, folder, cover);
    if (result.added) {
      ++added;
      added_name = result.picture_name;
      continue;
    }
    if (refused++ == 0) {
      const auto slash = file.find_last_of('/');
      const std::string shown = slash == std::string::npos ? file : file.substr(slash + 1);
      first_refusal = "\"" + shown + "\" was not added: " + result.detail + ".";
    }
  }
  // The lists show the new pictures at once, not only at the next start.
  (animated ? File2 : File1).refresh();

  std::string text;
  if (refused > 0) {
    text = first_refusal;
    if (refused > 1) text += " " + std::to_string(refused - 1) + " more could not be added.";
    if (added > 0) text += " " + std::to_string(added) + " added to the " + kind_words + ".";
  } else if (added == 1) {
    text = "Added \"" + added_name + "\" to the " + std::string(kind_words) + ".";
  } else if (added > 1) {
    text = "Added " + std::to_string(added) + " pictures to the " + kind_words + ".";
  }
  show_message(text);
}

}  // namespace jumblix
