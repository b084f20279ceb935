#include "puzzle/picture_import.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <new>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>

#include "platform/bitmap_image.h"
#include "platform/file_io.h"
#include "platform/picture.h"
#include "puzzle/picture_library.h"
#include "puzzle/png_metadata.h"
#include "settings/main_form.h"

namespace jumblix {

AreaSize largest_drawing_area(std::optional<AreaSize> screen, int menu_bar_height) {
  const AreaSize design{kDesignClientWidth, kDesignClientHeight};
  if (!screen || screen->width <= 0 || screen->height <= 0) return design;
  // The window frame's title bar is left in: a little too large only crops the picture,
  // too small would leave a strip of the board without it.
  return {std::max(screen->width, design.width),
          std::max(screen->height - std::max(menu_bar_height, 0), design.height)};
}

AreaSize player_drawing_area() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  const QString platform = app ? QGuiApplication::platformName() : QString();
  if (!app || platform == "offscreen" || platform == "minimal")
    return largest_drawing_area(std::nullopt, 0);
  std::optional<AreaSize> largest;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect free_area = screen->availableGeometry();
    if (!largest) largest = AreaSize{};
    largest->width = std::max(largest->width, free_area.width());
    largest->height = std::max(largest->height, free_area.height());
  }
  // The menu bar is at least one line of the window's type high.
  return largest_drawing_area(largest, QFontMetrics(QGuiApplication::font()).height());
}

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

std::string size_text(const QSize& size) {
  return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

// The picture's base name as a file name of its own: no control characters, never empty.
QString picture_base_name(const QString& file) {
  QString base = QFileInfo(file).completeBaseName();
  for (QChar& c : base)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = '_';
  base = base.trimmed();
  if (base.isEmpty() || base == "." || base == "..") base = "picture";
  return base;
}

// Transparent parts stand on white, as they would on a page.
QImage on_white(const QImage& image) {
  if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
  QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      const int a = qAlpha(line[x]);
      auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
      line[x] = qRgb(mix(qRed(line[x])), mix(qGreen(line[x])), mix(qBlue(line[x])));
    }
  }
  return argb.convertToFormat(QImage::Format_RGB32);
}

// The smallest size with the picture's proportions that covers `cover`, kept within the
// largest picture the game loads (a very long, thin picture covers what it can).
QSize covering_size(QSize size, AreaSize cover) {
  const long long w = size.width(), h = size.height();
  long long nw, nh;
  if (cover.width * h >= cover.height * w) {
    nw = cover.width;
    nh = (h * cover.width + w - 1) / w;
  } else {
    nh = cover.height;
    nw = (w * cover.height + h - 1) / h;
  }
  const long long longest = std::max(nw, nh);
  if (longest > kMaxPictureSide) {
    nw = std::max(1LL, nw * kMaxPictureSide / longest);
    nh = std::max(1LL, nh * kMaxPictureSide / longest);
  }
  return {static_cast<int>(nw), static_cast<int>(nh)};
}

ImportResult refused(std::string why) { return {false, "", std::move(why), {}}; }

}  // namespace

std::string free_picture_name(const std::string& picture_folder, const std::string& base) {
  const QDir folder(q(picture_folder));
  auto taken = [&](const QString& name) {
    if (name == kTitlePictureName || name == kTitleSpriteName) return true;
    const QFileInfo info(folder.filePath(name));
    return info.exists() || info.isSymLink();
  };
  for (int n = 1; n <= 10000; ++n) {
    const QString name = q(base) + (n == 1 ? QString() : " " + QString::number(n)) + ".bmp";
    if (!taken(name)) return name.toStdString();
  }
  return {};
}

namespace {

std::string too_large_reason(const QSize& size) {
  const std::string pixels = "it is " + size_text(size) + " pixels, over ";
  if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
    return pixels + std::to_string(kMaxPictureSide) + " a side";
  return pixels + std::to_string(kMaxPicturePixels / 1000000) + " million in all";
}

bool too_large(const QSize& size) {
  return size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
         static_cast<long long>(size.width()) * size.height() > kMaxPicturePixels;
}

// The size a picture of `upright` size is made for its kind: covering `cover` (regular),
// or fitting the moving picture (animated, only ever smaller).
QSize target_size(const QSize& upright, PictureKind kind, AreaSize cover) {
  if (kind == PictureKind::regular) return covering_size(upright, cover);
  if (upright.width() <= kMovingPictureArea.width && upright.height() <= kMovingPictureArea.height)
    return upright;
  return upright.scaled(kMovingPictureArea.width, kMovingPictureArea.height, Qt::KeepAspectRatio);
}

ImportResult import_checked(const std::string& file, PictureKind kind, const std::string& picture_folder,
                            AreaSize cover) {
  const QString path = q(file);
  const QFileInfo info(path);
  if (!info.exists()) return refused("there is no such file");
  if (info.isDir()) return refused("it is a folder, not a picture");

  // Only a regular file, opened without blocking: a FIFO named like a photo is refused at once.
  QFile source;
  const int fd = open_regular_file(file);
  if (fd < 0 || !source.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    if (fd >= 0) ::close(fd);
    return refused("it cannot be opened as a file");
  }
  // A PNG's metadata beyond a sane amount is left out before Qt sees the file.
  std::vector<FileRange> trimmed = png_without_excess_metadata(source);
  source.seek(0);
  FileRangesDevice trimmed_png(source, std::move(trimmed));
  QImageReader reader(trimmed_png.size() > 0 ? static_cast<QIODevice*>(&trimmed_png) : &source);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(true);  // a phone photo taken upright stands upright
  reader.setQuality(100);         // a photo decoded smaller is scaled smoothly
  // The largest picture the game takes, at up to 8 bytes a pixel, whatever Qt's default is.
  reader.setAllocationLimit(static_cast<int>(8 * kMaxPicturePixels / (1024 * 1024)) + 1);
  if (!reader.canRead()) {
    if (reader.error() == QImageReader::DeviceError)
      return refused("it cannot be opened (" + reader.errorString().toStdString() + ")");
    return refused("it is not a picture this game can read");
  }

  QImage image;
  if (reader.format() == "bmp") {
    // Bitmaps go through the game's own reader: the same checks and limits as loading.
    source.close();
    PictureError error = PictureError::unreadable;
    image = read_bitmap_image(file, &error);
    if (error == PictureError::too_large)
      return refused("it is over " + std::to_string(kMaxPictureSide) + " pixels a side or " +
                     std::to_string(kMaxPicturePixels / 1000000) + " million in all");
    if (image.isNull()) return refused("its picture data is damaged or cut off");
  } else {
    // The size is checked before anything is decoded; a large photo is decoded straight at
    // the size it is made (JPEG decodes smaller pictures in a fraction of the memory).
    const QSize stored = reader.size();
    if (stored.isValid() && too_large(stored)) return refused(too_large_reason(stored));
    if (stored.isValid() && !stored.isEmpty()) {
      const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
      const QSize upright = turned ? stored.transposed() : stored;
      const QSize target = target_size(upright, kind, cover);
      if (target.width() < upright.width() && target.height() < upright.height())
        reader.setScaledSize(turned ? target.transposed() : target);
    }
    if (!reader.read(&image) || image.isNull()) return refused("its picture data is damaged or cut off");
    if (too_large(image.size())) return refused(too_large_reason(image.size()));
  }
  const AreaSize decoded{image.width(), image.height()};

  image = on_white(image);
  const QSize target = target_size(image.size(), kind, cover);
  if (target != image.size()) image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  if (image.isNull()) return refused("there is not enough memory to scale it");
  image = image.convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return refused("there is not enough memory to scale it");

  const QString folder = q(picture_folder);
  if (!QDir().mkpath(folder)) return refused("the folder \"" + picture_folder + "\" cannot be made");
  const std::string name = free_picture_name(picture_folder, picture_base_name(path).toStdString());
  if (name.empty()) return refused("there is no free name for it in \"" + picture_folder + "\"");

  Picture picture(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y)
    std::copy_n(reinterpret_cast<const QRgb*>(image.constScanLine(y)), image.width(), &picture.at(0, y));
  std::string error;
  if (!save_bitmap(join_path(picture_folder, name), picture, BitmapDepth::rgb24, &error))
    return refused("it cannot be written into the picture folder (" + error + ")");
  return {true, name, "added as \"" + name + "\" (" + size_text(image.size()) + ")", decoded};
}

}  // namespace

ImportResult import_picture(const std::string& file, PictureKind kind, const std::string& picture_folder,
                            AreaSize cover) {
  // Memory short of a picture refuses that picture; the game goes on.
  try {
    return import_checked(file, kind, picture_folder, cover);
  } catch (const std::bad_alloc&) {
    return refused("there is not enough memory for it");
  }
}

}  // namespace jumblix
