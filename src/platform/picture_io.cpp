// Bitmap files through QImage: the one place outside the Qt backend that uses Qt.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <cstdlib>

#include "platform/picture.h"

namespace jumblix {

namespace {

// The file starts as a Windows bitmap ("BM") and, when its pixels are stored uncompressed,
// is long enough to hold all of them: Qt would read a cut-off file as a partly filled
// picture, and it would read other image formats whatever the file is called.
bool whole_bitmap_file(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray h = file.read(34);
  if (h.size() < 34 || h[0] != 'B' || h[1] != 'M') return false;
  auto field = [&h](int at, int bytes) {
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uchar>(h[at + i]);
    return v;
  };
  const quint32 compression = field(30, 4);
  if (field(14, 4) < 40 || (compression != 0 && compression != 3)) return true;  // Qt checks
  const long long width = std::llabs(static_cast<qint32>(field(18, 4)));
  const long long height = std::llabs(static_cast<qint32>(field(22, 4)));
  if (width > kMaxPictureSide || height > kMaxPictureSide) return false;
  const long long row_bytes = (width * field(28, 2) + 31) / 32 * 4;
  return file.size() >= static_cast<long long>(field(10, 4)) + row_bytes * height;
}

}  // namespace

std::optional<Picture> load_bitmap(const std::string& path) {
  if (!whole_bitmap_file(QString::fromStdString(path))) return std::nullopt;
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
