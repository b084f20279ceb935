// Bitmap files through QImage: the one place outside the Qt backend that uses Qt.
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/bitmap_image.h"
#include "platform/file_io.h"
#include "platform/picture.h"

namespace jumblix {

namespace {

std::uint32_t field(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

void put_field(std::string& bytes, std::size_t at, int size, std::uint32_t v) {
  for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

// A file read front to back in pieces of bounded size, never past `end`.
class PieceReader {
 public:
  PieceReader(int fd, long long from, long long end) : fd_(fd), at_(from), end_(end) {}
  // The next byte, or -1 at the end or on a read error.
  int next() {
    if (head_ == piece_.size() && !refill()) return -1;
    return static_cast<unsigned char>(piece_[head_++]);
  }
  bool skip(long long bytes) {
    for (; bytes > 0; --bytes)
      if (next() < 0) return false;
    return true;
  }

 private:
  bool refill() {
    if (at_ >= end_) return false;
    piece_.resize(static_cast<std::size_t>(std::min<long long>(end_ - at_, 64 * 1024)));
    const ssize_t n = ::pread(fd_, piece_.data(), piece_.size(), static_cast<off_t>(at_));
    if (n <= 0) return false;
    piece_.resize(static_cast<std::size_t>(n));
    at_ += n;
    head_ = 0;
    return true;
  }
  int fd_;
  long long at_, end_;
  std::string piece_;
  std::size_t head_ = 0;
};

// Whether run-length encoded pixels (8 or 4 bits) end inside the file, where the bitmap
// reader stops: at the end-of-picture code, or at an end of row once every row is done.
// A stream that stops early would leave the rest of the picture undecoded. The stream is
// walked from the file in pieces and never further than `width` x `height` pixels can take
// (at most 4 bytes a pixel and a row end or jump per row), so a picture followed by a long
// tail, a damaged download or a disk image, costs no more than the picture itself.
bool rle_stream_complete(int fd, long long offset, long long file_size, long long width, long long height,
                         int bits) {
  const long long most = 4 * width * height + 4 * height + 2;
  PieceReader stream(fd, offset, std::min(file_size, offset + most));
  long long row = 0;
  for (;;) {
    const int count = stream.next();
    const int code = stream.next();
    if (count < 0 || code < 0) return false;
    if (count != 0) continue;  // a run of one value
    if (code == 0) {           // end of a row
      if (++row >= height) return true;
    } else if (code == 1) {  // end of the picture
      return true;
    } else if (code == 2) {  // a jump right and down, never beyond the last row
      const int right = stream.next();
      const int down = stream.next();
      if (right < 0 || down < 0) return false;
      row = std::min(row + down, height - 1);
    } else {  // an absolute run of `code` pixels, padded to a whole number of 16-bit words
      const long long bytes = bits == 8 ? code : (code + 1) / 2;
      if (!stream.skip((bytes + 1) / 2 * 2)) return false;
    }
  }
}

// What the game's check found out about a bitmap file, and the header Qt's reader is to see.
struct BitmapLayout {
  // The file's headers as Qt's reader understands them, standing for the file's first
  // `rest_from` bytes: Qt 6's reader knows neither the 52- and 56-byte headers nor alpha bit
  // fields (compression 6), and refuses a plane count other than 1, a 124-byte header whose
  // last field is not 0 and palettes of over 256 colours, all of which other programs read.
  std::string head;
  long long rest_from = 0;
  QImage::Format format = QImage::Format_Invalid;  // what Qt's reader decodes into
};

// Checks the bitmap's headers against the file before Qt sees it: the file must be a bitmap
// whose every pixel is present, and the picture must be within the game's limits.
PictureError check_bitmap_file(int fd, long long file_size, BitmapLayout& layout) {
  std::string h(kFileHeaderSize + 124 + 16, '\0');
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
    if (h.size() < kFileHeaderSize + header_size) return PictureError::unreadable;
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
  // Alpha bit fields after a 40-byte header: four masks follow it.
  const std::uint32_t masks_after = header_size == 40 && compression == kAlphaBitFields ? 16 : 0;
  const long long rest_from = kFileHeaderSize + header_size + masks_after;
  if (width <= 0 || height <= 0 || file_size < rest_from || offset < rest_from ||
      h.size() < static_cast<std::size_t>(rest_from))
    return PictureError::unreadable;
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
    return PictureError::too_large;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return PictureError::unreadable;
  switch (compression) {
    case 0:  // plain rows
    case kBitFields:  // plain rows with colour masks
    case kAlphaBitFields: {
      if (compression != 0 && bits != 16 && bits != 32) return PictureError::unreadable;
      const long long row_bytes = (width * bits + 31) / 32 * 4;
      if (file_size < static_cast<long long>(offset) + row_bytes * height) return PictureError::unreadable;
      break;
    }
    case 1:
    case 2:
      if (top_down || bits != (compression == 1 ? 8u : 4u)) return PictureError::unreadable;
      if (!rle_stream_complete(fd, offset, file_size, width, height, static_cast<int>(bits)))
        return PictureError::unreadable;
      break;
    default:  // pictures packed in other formats
      return PictureError::unreadable;
  }

  // The header for Qt's reader. The 52- and 56-byte headers are the 40-byte one followed by
  // the colour masks (and the alpha mask); the 108-byte header has them at the same place.
  std::string head = h.substr(0, kFileHeaderSize + header_size);
  std::uint32_t alpha_mask = header_size >= 56 && header_size != 64 ? field(h, kFileHeaderSize + 52, 4) : 0;
  if (header_size == 52 || header_size == 56 || masks_after != 0) {
    std::string masks(16, '\0');
    masks.replace(0, header_size == 52 ? 12 : 16, h, kFileHeaderSize + 40, header_size == 52 ? 12 : 16);
    alpha_mask = field(masks, 12, 4);
    head = h.substr(0, kFileHeaderSize + 40) + masks + std::string(kV4HeaderSize - 40 - 16, '\0');
    put_field(head, 14, 4, kV4HeaderSize);
  }
  if (header_size == 124) put_field(head, kFileHeaderSize + 120, 4, 0);
  if (header_size != 12) {
    put_field(head, 26, 2, 1);  // one plane
    if (compression == kAlphaBitFields) put_field(head, 30, 4, kBitFields);
    // A palette longer than the depth can use: the pixels still start at the offset.
    if (bits <= 8 && field(head, 46, 4) > (1u << bits)) put_field(head, 46, 4, 1u << bits);
  } else {
    put_field(head, 22, 2, 1);
  }
  const long long shift = static_cast<long long>(head.size()) - rest_from;
  put_field(head, 10, 4, static_cast<std::uint32_t>(offset + shift));
  put_field(head, 2, 4, static_cast<std::uint32_t>(std::min<long long>(file_size + shift, 0xFFFFFFFF)));

  layout.head = std::move(head);
  layout.rest_from = rest_from;
  if (bits >= 16)
    layout.format = (compression == kBitFields || compression == kAlphaBitFields) && alpha_mask != 0
                        ? QImage::Format_ARGB32
                        : QImage::Format_RGB32;
  else
    layout.format = bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8;
  return PictureError::none;
}

// The bitmap file as Qt's reader is to see it: the rewritten headers, then the rest of the
// file read in place, a piece at a time (never the whole file).
class RewrittenBitmap : public QIODevice {
 public:
  RewrittenBitmap(int fd, const BitmapLayout& layout, long long file_size)
      : fd_(fd), head_(layout.head), rest_from_(layout.rest_from), file_size_(file_size) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return false; }
  qint64 size() const override { return static_cast<qint64>(head_.size()) + file_size_ - rest_from_; }

 protected:
  qint64 readData(char* data, qint64 max_size) override {
    qint64 done = 0;
    long long at = pos();
    const auto head_size = static_cast<long long>(head_.size());
    while (done < max_size) {
      long long n = 0;
      if (at < head_size) {
        n = std::min<long long>(max_size - done, head_size - at);
        std::memcpy(data + done, head_.data() + at, static_cast<std::size_t>(n));
      } else {
        const long long file_at = rest_from_ + at - head_size;
        if (file_at < window_at_ || file_at >= window_at_ + static_cast<long long>(window_.size())) {
          window_.resize(std::min<std::size_t>(256 * 1024, static_cast<std::size_t>(std::max(0LL, file_size_ - file_at))));
          const ssize_t got = window_.empty() ? 0 : ::pread(fd_, window_.data(), window_.size(), static_cast<off_t>(file_at));
          window_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
          window_at_ = file_at;
          if (got <= 0) break;
        }
        n = std::min<long long>(max_size - done, window_at_ + static_cast<long long>(window_.size()) - file_at);
        std::memcpy(data + done, window_.data() + (file_at - window_at_), static_cast<std::size_t>(n));
      }
      done += n;
      at += n;
    }
    return done;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  int fd_;
  std::string head_;
  long long rest_from_, file_size_;
  std::string window_;
  long long window_at_ = 0;
};

QImage decode_bitmap(int fd, long long file_size, PictureError& error) {
  BitmapLayout layout;
  error = check_bitmap_file(fd, file_size, layout);
  if (error != PictureError::none) return {};
  error = PictureError::unreadable;
  RewrittenBitmap file(fd, layout, file_size);
  QImageReader reader(&file, "bmp");
  reader.setDecideFormatFromContent(false);
  // The limits above are the game's own; Qt's default allocation limit would stop short of them.
  reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
  // Qt gives a top-down picture's height as the file stores it, negative.
  const QSize stored = reader.size();
  const QSize size(stored.width(), std::abs(stored.height()));
  if (!reader.canRead() || size.isEmpty() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
    return {};
  // Decoded into a picture filled beforehand, so that pixels the reader leaves out are
  // colour 0 and never memory that held something else; a reader that would decode
  // elsewhere is not trusted.
  QImage image(size, layout.format);
  if (image.isNull()) return {};
  image.fill(0);
  const uchar* const buffer = image.constBits();
  if (!reader.read(&image) || image.isNull() || image.size() != size) return {};
  if (image.constBits() != buffer) return {};
  error = PictureError::none;
  return image;
}

}  // namespace

QImage read_bitmap_image(const std::string& path, PictureError* error) {
  PictureError why = PictureError::unreadable;
  QImage image;
  long long size = 0;
  // Opened by the name's exact bytes, whatever character set they are in.
  const int fd = open_regular_file(path, &size);
  if (fd >= 0) {
    try {
      image = decode_bitmap(fd, size, why);
    } catch (const std::bad_alloc&) {
      image = QImage();
      why = PictureError::unreadable;
    }
    ::close(fd);
  }
  if (error) *error = why;
  return image;
}

std::optional<Picture> load_bitmap(const std::string& path, PictureError* error) {
  PictureError why = PictureError::unreadable;
  QImage image = read_bitmap_image(path, &why);
  std::optional<Picture> picture;
  // Memory short of the picture makes it one that cannot be loaded, never the game's end.
  try {
    if (!image.isNull()) image = image.convertToFormat(QImage::Format_RGB32);
    if (!image.isNull()) {
      picture.emplace(image.width(), image.height());
      for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::copy_n(line, image.width(), &picture->pixels[static_cast<std::size_t>(y) * picture->width]);
      }
    } else if (why == PictureError::none) {
      why = PictureError::unreadable;
    }
  } catch (const std::bad_alloc&) {
    picture.reset();
    why = PictureError::unreadable;
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
