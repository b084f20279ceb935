#pragma once
// Bitmap files as Qt images, for the picture file code that works in Qt's terms (imports).
#include <string>

#include <QImage>

#include "platform/picture.h"

namespace jumblix {

// The bitmap file at `path` as load_bitmap reads it, with the same checks and limits, but
// as decoded: Mono, Indexed8, RGB32, or ARGB32 when the file has an alpha mask. A null image
// when it cannot be loaded, with the reason in `error`.
QImage read_bitmap_image(const std::string& path, PictureError* error = nullptr);

}  // namespace jumblix
