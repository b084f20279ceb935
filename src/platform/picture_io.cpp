// Bitmap files through QImage: the one place outside the Qt backend that uses Qt.
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <cstdlib>

#include "platform/file_io.h"
#include "platform/picture.h"

namespace jumblix {

namespace {

std::uint32_t field(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

// Whether run-length encoded pixels (8 or 4 bits) reach their end-of-picture code inside the
// file. A stream that stops early would leave the rest of the picture undecoded.
bool rle_stream_complete(int fd, long long offset, long long file_size, int bits) {
  if (offset >= file_size) return false;
  std::string data(static_cast<std::size_t>(file_size - offset), '\0');
  std::size_t got = 0;
  while (got < data.size()) {
    const ssize_t n = ::pread(fd, data.data() + got, data.size() - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  std::size_t i = 0;
  while (i + 2 <= data.size()) {
    const unsigned count = static_cast<unsigned char>(data[i]);
    const unsigned code = static_cast<unsigned char>(data[i + 1]);
    i += 2;
    if (count != 0) continue;  // a run of one value
    if (code == 0) continue;   // end of a row
    if (code == 1) return true;  // end of the picture
    if (code == 2) {           // a jump right and down
      i += 2;
      continue;
    }
    // An absolute run of `code` pixels, padded to a whole number of 16-bit words.
    const std::size_t bytes = bits == 8 ? code : (code + 1) / 2;
    i += (bytes + 1) / 2 * 2;
  }
  return false;
}

// Checks the bitmap's headers against the file before Qt sees it: the file must be a bitmap
// whose every pixel is present, and the picture must be within the game's limits.
PictureError check_bitmap_file(int fd, long long file_size) {
  std::string h(14 + 124, '\0');
  const ssize_t n = ::pread(fd, h.data(), h.size(), 0);
  if (n < 26 || h[0] != 'B' || h[1] != 'M') return PictureError::unreadable;
  h.resize(static_cast<std::size_t>(n));
  const std::uint32_t offset = field(h, 10, 4);
  const std::uint32_t header_size = field(h, 14, 4);
  long long width = 0, height = 0;
  std::uint32_t bits = 0, compression = 0;
  bool top_down = false;
  if (header_size == 12) {  // the old OS/2 header: 16-bit sizes, never compressed
    width = field(h, 18, 2);
    height = field(h, 20, 2);
    bits = field(h, 24, 2);
  } else if (header_size == 40 || header_size == 52 || header_size == 56 || header_size == 64 ||
             header_size == 108 || header_size == 124) {
    if (h.size() < 14 + 40u) return PictureError::unreadable;
    width = static_cast<std::int32_t>(field(h, 18, 4));
    height = static_cast<std::int32_t>(field(h, 22, 4));
    bits = field(h, 28, 2);
    compression = field(h, 30, 4);
    top_down = height < 0;
    height = std::llabs(height);
    if (header_size == 64 && compression != 0) return PictureError::unreadable;
  } else {
    return PictureError::unreadable;
  }
  if (width <= 0 || height <= 0 || file_size < 14 + static_cast<long long>(header_size) ||
      offset < 14 + header_size)
    return PictureError::unreadable;
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
    return PictureError::too_large;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return PictureError::unreadable;
  switch (compression) {
    case 0:  // plain rows
    case 3:  // plain rows with colour masks
    case 6: {
      if (compression != 0 && bits != 16 && bits != 32) return PictureError::unreadable;
      const long long row_bytes = (width * bits + 31) / 32 * 4;
      return file_size >= static_cast<long long>(offset) + row_bytes * height ? PictureError::none
                                                                            : PictureError::unreadable;
    }
    case 1:
    case 2:
      if (top_down || bits != (compression == 1 ? 8u : 4u)) return PictureError::unreadable;
      return rle_stream_complete(fd, offset, file_size, static_cast<int>(bits)) ? PictureError::none
                                                                                : PictureError::unreadable;
    default:  // pictures packed in other formats
      return PictureError::unreadable;
  }
}

std::optional<Picture> decode_bitmap(int fd, long long file_size, PictureError& error) {
  error = check_bitmap_file(fd, file_size);
  if (error != PictureError::none) return std::nullopt;
  error = PictureError::unreadable;
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) return std::nullopt;
  QImageReader reader(&file, "bmp");
  reader.setDecideFormatFromContent(false);
  // The limits above are the game's own; Qt's default allocation limit would stop short of them.
  reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
  // Qt gives a top-down picture's height as the file stores it, negative.
  const QSize stored = reader.size();
  const QSize size(stored.width(), std::abs(stored.height()));
  if (!reader.canRead() || size.isEmpty() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
    return std::nullopt;
  // Decoded into a picture filled beforehand, so that pixels the reader leaves out are
  // colour 0 and never memory that held something else; a reader that would decode
  // elsewhere is not trusted.
  QImage image(size, reader.imageFormat());
  if (image.isNull()) return std::nullopt;
  image.fill(0);
  const uchar* const buffer = image.constBits();
  if (!reader.read(&image) || image.isNull() || image.size() != size) return std::nullopt;
  if (image.constBits() != buffer) return std::nullopt;
  image = image.convertToFormat(QImage::Format_RGB32);
  Picture picture(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    std::copy_n(line, image.width(), &picture.pixels[static_cast<std::size_t>(y) * picture.width]);
  }
  error = PictureError::none;
  return picture;
}

}  // namespace

std::optional<Picture> load_bitmap(const std::string& path, PictureError* error) {
  PictureError why = PictureError::unreadable;
  std::optional<Picture> picture;
  long long size = 0;
  // Opened by the name's exact bytes, whatever character set they are in.
  const int fd = open_regular_file(path, &size);
  if (fd >= 0) {
    picture = decode_bitmap(fd, size, why);
    ::close(fd);
  }
  if (error) *error = why;
  return picture;
}

std::string encode_bitmap(const Picture& picture, BitmapDepth depth) {
  if (picture.empty()) return {};
  QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
               picture.height, picture.width * 4, QImage::Format_RGB32);
  QImage out = depth == BitmapDepth::palette8
                   ? image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
                   : image.convertToFormat(QImage::Format_RGB888);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "bmp");
  if (!writer.write(out)) return {};
  return bytes.toStdString();
}

bool save_bitmap(const std::string& path, const Picture& picture, BitmapDepth depth, std::string* error) {
  const std::string bytes = encode_bitmap(picture, depth);
  if (bytes.empty()) {
    if (error) *error = "the picture could not be encoded";
    return false;
  }
  return replace_file(path, bytes, error);
}

}  // namespace jumblix
