#pragma once
// The two pictures the game ships with, painted by code so they are the same on every
// machine and need no files. Each uses at most 256 colours, so saving it as an 8-bit
// palette bitmap (title1.bmp, title2.bmp) loses nothing.
#include "platform/picture.h"

namespace jumblix {

// Size of the title picture, and the part of it the window shows at start; the
// lettering and the busy part of the scene sit inside the shown part.
inline constexpr int kTitlePictureWidth = 800;
inline constexpr int kTitlePictureHeight = 600;
inline constexpr int kTitleShownWidth = 754;
inline constexpr int kTitleShownHeight = 385;

// Size of the picture that glides about during the animated puzzle.
inline constexpr int kMovingPictureWidth = 267;
inline constexpr int kMovingPictureHeight = 236;

// The start-up background: "JUMBLIX" over a sunny landscape with a tiled floor. It is
// also the puzzle the computer solves on the title screen, so every part of the shown
// area carries its own shapes and colours.
Picture make_title_picture();

// A smiling hot-air balloon with "JUMBLIX" on its band, on a pale sky with small clouds
// and birds in the corners.
Picture make_moving_picture();

}  // namespace jumblix
