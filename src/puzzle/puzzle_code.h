#pragma once
// Puzzle codes: a short line of text that names a picture, the board's size and rotation and
// holds the dealt board with every piece's orientation, so that a friend can be dealt exactly
// the same puzzle. For example
//
//   JX1.r4x4t.GsJgNu0bkwdViEaU.sunset.bmp
//
// "JX1", then the kind (r regular, a animated), width x height and rotation (t turns, n none),
// then the board, then the picture's file name. The board holds the cells in row order, each
// as one or two characters of the URL-safe base-64 alphabet (one while 4 x W x H <= 64): the
// value is 4 x index + orientation - 1, where index is 0 for the gap and piece number - 1 for
// a piece. The name is the rest of the line, with bytes outside letters, digits and "-_.~()+,!"
// written as %XX. Blanks and line breaks in a pasted code are ignored.
#include <optional>
#include <string>
#include <vector>

namespace jumblix {

// Far more than the largest board's code needs, so that a pasted essay is refused at once.
inline constexpr std::size_t kMaxPuzzleCodeLength = 2000;
inline constexpr std::size_t kMaxPictureNameBytes = 255;

struct SharedDeal {
  bool animated = false;
  std::string picture;     // file name in the picture folder of its kind
  int w = 0, h = 0;
  bool rotation = false;
  std::vector<int> cells;  // row order: piece numbers, 0 the gap
  std::vector<int> turns;  // row order: orientation codes 1..4
  bool operator==(const SharedDeal&) const = default;
};

std::string puzzle_code(const SharedDeal& deal);

// The deal a code holds, checked whole: the size, a permutation of the cells that slides can
// solve, the orientations, the name and the lengths. Nothing, with the reason in `problem`,
// for anything else.
std::optional<SharedDeal> read_puzzle_code(const std::string& code, std::string* problem);

// A way back for the deal's board (the gap's directions, to be played in order), built line by
// line and shortened; nothing, with the reason, when none is found.
std::optional<std::vector<int>> deal_way_back(const SharedDeal& deal, std::string* problem);

// Whether `name` can be a file in a picture folder: not empty, no folder in it, no control
// characters, at most kMaxPictureNameBytes bytes.
bool picture_file_name(const std::string& name);

}  // namespace jumblix
