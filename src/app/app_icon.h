#pragma once
// The game's icon: the smiling balloon of the built-in moving picture on a rounded square.
#include <QImage>

namespace jumblix {

// The icon at `size` x `size` pixels, with a transparent margin around the rounded corners.
QImage render_app_icon(int size);

}  // namespace jumblix
