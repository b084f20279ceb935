#include "puzzle/picture_library.h"

#include <filesystem>

#include "platform/file_io.h"
#include "settings/settings_store.h"

namespace jumblix {

namespace fs = std::filesystem;

std::string join_path(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

std::string picture_base(const std::string& name) {
  return name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string();
}

bool install_picture(const std::string& folder, const std::string& name, const Picture& picture,
                     std::string* error) {
  const std::string path = join_path(folder, name);
  if (save_bitmap(path, picture, BitmapDepth::palette8)) return true;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    if (error) *error = ec.message();  // the folder's own reason, not the save's "no such file"
    return false;
  }
  return save_bitmap(path, picture, BitmapDepth::palette8, error);
}

bool copy_to_screensaver(const std::string& name, const Picture& picture) {
  const std::string folder = screensaver_picture_folder();
  std::error_code ec;
  if (!plain_file_name(name) || !fs::is_directory(folder, ec)) return false;
  const std::string path = join_path(folder, name);
  const std::string bytes = encode_bitmap(picture);
  if (bytes.empty()) return false;
  // A copy that is already there unchanged is left alone: pictures can be large.
  return file_holds(path, bytes) || replace_file(path, bytes);
}

}  // namespace jumblix
