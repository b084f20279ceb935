// The player's own pictures: "Add your own pictures..." and image files dropped on the window.
// Each picture is imported away from the window's thread, so the game goes on meanwhile.
#include <memory>

#include "app/puzzlemaker.h"
#include "puzzle/picture_import.h"

namespace jumblix {

namespace {

// One "add these pictures" of the player's, followed file by file.
struct ImportBatch {
  std::vector<std::string> files;
  bool animated = false;
  std::vector<ImportResult> results;  // one per file, each filled by its own piece of work
  std::size_t done = 0;
};

std::string shown_name(const std::string& file) {
  const auto slash = file.find_last_of('/');
  return slash == std::string::npos ? file : file.substr(slash + 1);
}

// What came of a batch, for the message line.
std::string outcome(const ImportBatch& batch) {
  const char* kind_words = batch.animated ? "animation pictures" : "regular pictures";
  int added = 0, refused = 0;
  std::string added_name, first_refusal;
  for (std::size_t i = 0; i < batch.files.size(); ++i) {
    const ImportResult& result = batch.results[i];
    if (result.added) {
      ++added;
      added_name = result.picture_name;
    } else if (refused++ == 0) {
      first_refusal = "\"" + shown_name(batch.files[i]) + "\" was not added: " + result.detail + ".";
    }
  }
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
  return text;
}

}  // namespace

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
  if (files.empty()) return;
  const std::string folder = animated ? animation_folder() : regular_folder();
  const AreaSize cover = player_drawing_area();
  const PictureKind kind = animated ? PictureKind::animated : PictureKind::regular;
  auto batch = std::make_shared<ImportBatch>();
  batch->files = files;
  batch->animated = animated;
  batch->results.resize(files.size());
  show_message(files.size() == 1 ? "Adding \"" + shown_name(files.front()) + "\"..."
                                 : "Adding " + std::to_string(files.size()) + " pictures...",
               true);
  for (std::size_t i = 0; i < files.size(); ++i) {
    run_in_background(
        [batch, i, kind, folder, cover] {
          batch->results[i] = import_picture(batch->files[i], kind, folder, cover);
        },
        [this, batch] {
          // The lists show each new picture at once, not only at the next start.
          (batch->animated ? File2 : File1).refresh();
          if (++batch->done < batch->files.size())
            show_message("Adding pictures: " + std::to_string(batch->done) + " of " +
                             std::to_string(batch->files.size()) + " done...",
                         true);
          else
            show_message(outcome(*batch));
        });
  }
}

}  // namespace jumblix
