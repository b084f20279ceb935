// "About Jumblix": what the game is, its version and licence, and where it keeps its files.
#include <filesystem>
#include <system_error>

#include "app/puzzlemaker.h"
#include "jumblix_version.h"

namespace jumblix {

std::string Puzzlemaker::about_text() const {
  std::error_code error;
  std::string folder = std::filesystem::absolute(working_dir, error).lexically_normal().string();
  if (error) folder = working_dir;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();  // "/games/jumblix/." ends in '/'
  return std::string("Jumblix ") + JUMBLIX_VERSION +
         "\n\nA sliding-picture puzzle: still pictures and small pictures that glide over "
         "the board, cut into pieces that slide into the one gap.\n\n"
         "Free software under the GNU General Public License, version 3 or later.\n\n"
         "Game folder (settings and pictures):\n" + folder;
}

void Puzzlemaker::about_Click() { show_about(about_text()); }

}  // namespace jumblix
