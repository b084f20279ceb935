#include "puzzle/png_metadata.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace jumblix {

namespace {

constexpr std::array<char, 8> kPngSignature{'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
constexpr qint64 kChunkFrame = 12;  // length, type and checksum around the chunk's data

quint32 big_endian(const char* bytes) {
  quint32 value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

void append(std::vector<FileRange>& ranges, qint64 start, qint64 length) {
  if (!ranges.empty() && ranges.back().start + ranges.back().length == start)
    ranges.back().length += length;
  else
    ranges.push_back({start, length});
}

}  // namespace

std::vector<FileRange> png_without_excess_metadata(QIODevice& file) {
  const qint64 size = file.size();
  std::array<char, 8> head{};
  if (!file.seek(0) || file.read(head.data(), 8) != 8 || head != kPngSignature) return {};
  std::vector<FileRange> kept{{0, 8}};
  qint64 metadata = 0;
  bool left_out = false;
  qint64 at = 8;
  while (at < size) {
    if (!file.seek(at) || file.read(head.data(), 8) != 8) break;
    const qint64 length = big_endian(head.data());
    if (length > 0x7FFFFFFF) return {};  // no PNG chunk is this long
    const qint64 chunk = std::min(length + kChunkFrame, size - at);  // the last may be cut off
    // A lower-case first letter marks a chunk the picture can do without.
    const bool ancillary = (head[4] & 0x20) != 0;
    if (ancillary && metadata + chunk > kMaxPngMetadataBytes) {
      left_out = true;
    } else {
      if (ancillary) metadata += chunk;
      append(kept, at, chunk);
    }
    if (std::memcmp(head.data() + 4, "IEND", 4) == 0) break;
    at += chunk;
  }
  if (!left_out) return {};
  return kept;
}

FileRangesDevice::FileRangesDevice(QIODevice& file, std::vector<FileRange> ranges)
    : file_(file), ranges_(std::move(ranges)) {
  for (const FileRange& r : ranges_) {
    starts_.push_back(size_);
    size_ += r.length;
  }
  // Unbuffered: reads come straight from the file, and pos() is where the reader stands.
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 FileRangesDevice::readData(char* data, qint64 max_size) {
  qint64 done = 0;
  while (done < max_size) {
    const qint64 at = pos() + done;
    if (at >= size_) break;
    const auto index = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin() - 1);
    const FileRange& r = ranges_[index];
    const qint64 offset = at - starts_[index];
    const qint64 want = std::min(max_size - done, r.length - offset);
    if (!file_.seek(r.start + offset)) return done > 0 ? done : -1;
    const qint64 got = file_.read(data + done, want);
    if (got <= 0) return done > 0 ? done : -1;
    done += got;
  }
  return done;
}

}  // namespace jumblix
