#pragma once
// Turns the player's own image files (photos, drawings, anything the installed image
// plugins read) into ordinary bitmaps in a picture folder: stood upright as the camera
// recorded, scaled to fill the board (regular pictures) or to the moving picture's size
// (animated ones), written under a name of its own that never replaces another picture.
#include <optional>
#include <string>

namespace jumblix {

enum class PictureKind { regular, animated };

struct AreaSize {
  int width = 0;
  int height = 0;
  bool operator==(const AreaSize&) const = default;
};

// The built-in moving picture's size: animated pictures are made to fit within it.
inline constexpr AreaSize kMovingPictureArea{267, 236};

// The largest drawing area the window can have, which a regular picture must cover:
// on a screen whose free area (less panels and docks) is `screen`, that area less the
// menu bar, but never less than the window's design drawing area; without a screen the
// design drawing area, 754 x 385.
AreaSize largest_drawing_area(std::optional<AreaSize> screen, int menu_bar_height);

// largest_drawing_area for the screens the program runs on now (the largest of them);
// the design drawing area when there is no display (no GUI application, or one on the
// offscreen platform).
AreaSize player_drawing_area();

struct ImportResult {
  bool added = false;
  std::string picture_name;  // the file written into the picture folder, when added
  // For the player: "added as "sunset.bmp" (754 x 503)", or why nothing was added.
  std::string detail;
  // The size the picture was decoded at, when added: a large photo is decoded straight at
  // (or near) the size it is made, never at its full size.
  AreaSize decoded;
};

// Imports one image file into `picture_folder` (created when missing) as a 24-bit bitmap
// named after the file's base name, or the first free "name 2.bmp", "name 3.bmp", ...
// Regular pictures are scaled, keeping their proportions, to the smallest size covering
// `cover`; animated ones are scaled down to fit within the moving picture's size. A file
// that is not a readable picture, or is larger than the game loads (16384 pixels a side, 64
// million in all), writes nothing; the size is checked before the picture is decoded.
// Bitmaps are read as the game loads them. It may run away from the window's thread, one
// import at a time (two at once into one folder could both take the same free name).
ImportResult import_picture(const std::string& file, PictureKind kind,
                            const std::string& picture_folder, AreaSize cover);

// The name an imported picture called `base` gets in `picture_folder`: "base.bmp", or
// "base 2.bmp", "base 3.bmp", ... when that is taken. The built-in pictures' names are
// always taken (they are written afresh at every start). Empty when no name is free.
std::string free_picture_name(const std::string& picture_folder, const std::string& base);

}  // namespace jumblix
