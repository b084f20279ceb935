#pragma once
// The picture folders under the working directory and the copies kept for the screensaver.
#include <string>

#include "platform/picture.h"

namespace jumblix {

inline constexpr const char* kRegularFolderName = "regular pictures";
inline constexpr const char* kAnimationFolderName = "animation pictures";
inline constexpr const char* kPicturePattern = "*.bmp";
inline constexpr const char* kTitlePictureName = "title1.bmp";
inline constexpr const char* kTitleSpriteName = "title2.bmp";

std::string join_path(const std::string& folder, const std::string& name);

// A picture's base name: its file name without the last four characters ("sunset.bmp" ->
// "sunset"); the per-picture colour files are named after it.
std::string picture_base(const std::string& name);

// Saves a built-in picture as an 8-bit palette bitmap into `folder`; when that fails the
// folder is created and the save tried once more. False when it still cannot be written,
// with the system's reason in `error`.
bool install_picture(const std::string& folder, const std::string& name, const Picture& picture,
                     std::string* error = nullptr);

// Best-effort copy of a regular picture into the screensaver picture folder; the folder is
// never created, so nothing happens when it is missing.
bool copy_to_screensaver(const std::string& name, const Picture& picture);

}  // namespace jumblix
