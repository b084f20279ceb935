// Bitmap files through QImage: the one place outside the Qt backend that uses Qt.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include "platform/picture.h"

namespace jumblix {

std::optional<Picture> load_bitmap(const std::string& path) {
  QImageReader reader(QString::fromStdString(path), "bmp");
  reader.setDecideFormatFromContent(true);
  if (!reader.canRead() || reader.format() != "bmp") return std::nullopt;
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
    return std::nullopt;
  QImage image;
  if (!reader.read(&image) || image.isNull()) return std::nullopt;
  if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) return std::nullopt;
  image = image.convertToFormat(QImage::Format_RGB32);
  Picture picture(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    std::copy_n(line, image.width(), &picture.pixels[static_cast<std::size_t>(y) * picture.width]);
  }
  return picture;
}

bool save_bitmap(const std::string& path, const Picture& picture, BitmapDepth depth) {
  if (picture.empty()) return false;
  QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
               picture.height, picture.width * 4, QImage::Format_RGB32);
  QImage out = depth == BitmapDepth::palette8
                   ? image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
                   : image.convertToFormat(QImage::Format_RGB888);
  QImageWriter writer(QString::fromStdString(path), "bmp");
  return writer.write(out);
}

}  // namespace jumblix
