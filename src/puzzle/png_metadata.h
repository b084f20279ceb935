#pragma once
// A PNG file may carry any amount of text and other metadata beside its picture, and Qt's PNG
// reader holds all of it in memory as soon as it is asked the picture's size: a small picture
// with a comment of hundreds of megabytes would take gigabytes. Before Qt reads a PNG, its
// chunk headers are scanned, and Qt is shown the file without the metadata chunks beyond a
// sane total, so that an import costs about what its picture does.
#include <QIODevice>

#include <memory>
#include <vector>

namespace jumblix {

// Metadata (ancillary chunks: text, colour profile, EXIF, ...) kept of one PNG, in all.
inline constexpr qint64 kMaxPngMetadataBytes = 8 << 20;

// A byte range of the file.
struct FileRange {
  qint64 start = 0;
  qint64 length = 0;
};

// The ranges of `file` (a PNG, read from its start) to show Qt: everything but the metadata
// chunks past kMaxPngMetadataBytes in all. Empty when all of it may be read as it is: not a
// PNG, nothing to leave out, or a file too damaged to tell its chunks (Qt then refuses it).
std::vector<FileRange> png_without_excess_metadata(QIODevice& file);

// A read-only device showing the given ranges of `file` one after another, as one file.
class FileRangesDevice : public QIODevice {
 public:
  FileRangesDevice(QIODevice& file, std::vector<FileRange> ranges);
  bool isSequential() const override { return false; }
  qint64 size() const override { return size_; }

 protected:
  qint64 readData(char* data, qint64 max_size) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QIODevice& file_;
  std::vector<FileRange> ranges_;
  std::vector<qint64> starts_;  // where each range begins in what is shown
  qint64 size_ = 0;
};

}  // namespace jumblix
