#include "app/app_icon.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>

#include "puzzle/builtin_pictures.h"

namespace jumblix {

QImage render_app_icon(int size) {
  const Picture picture = make_moving_picture();
  const QImage full(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                    picture.height, picture.width * 4, QImage::Format_RGB32);
  // A square from the middle of the picture: the whole balloon, from its top to the basket.
  const int side = std::min(picture.width, picture.height);
  const QImage square = full.copy((picture.width - side) / 2, (picture.height - side) / 2, side, side);

  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRectF area = QRectF(0, 0, size, size).adjusted(size / 32.0, size / 32.0, -size / 32.0,
                                                        -size / 32.0);
  QPainterPath outline;
  outline.addRoundedRect(area, size * 0.16, size * 0.16);
  painter.setClipPath(outline);
  // Shrinking in halving steps keeps the small icons sharp where one smooth pass would blur.
  QImage scaled = square;
  while (scaled.width() / 2 >= area.width())
    scaled = scaled.scaled(scaled.width() / 2, scaled.height() / 2, Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
  painter.drawImage(area, scaled);
  painter.end();
  return icon;
}

}  // namespace jumblix
