#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

namespace jumblix {

namespace {

int injected_write_error = 0;

// replace_file's temporary files: this prefix and the six letters or digits mkstemp adds.
constexpr const char* kTemporaryPrefix = ".jumblix-";

bool temporary_file_name(const std::string& name) {
  const std::size_t prefix = std::strlen(kTemporaryPrefix);
  if (name.size() != prefix + 6 || name.compare(0, prefix, kTemporaryPrefix) != 0) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

bool read_fully(int fd, char* data, std::size_t size, std::size_t* got) {
  *got = 0;
  while (*got < size) {
    const ssize_t n = ::read(fd, data + *got, size - *got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    *got += static_cast<std::size_t>(n);
  }
  return true;
}

bool write_fully(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int open_regular_file(const std::string& path, long long* size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  if (size) *size = st.st_size;
  return fd;
}

std::optional<std::string> read_file_start(const std::string& path, std::size_t max_bytes) {
  const int fd = open_regular_file(path);
  if (fd < 0) return std::nullopt;
  std::string text(max_bytes, '\0');
  std::size_t got = 0;
  const bool ok = read_fully(fd, text.data(), text.size(), &got);
  ::close(fd);
  if (!ok) return std::nullopt;
  text.resize(got);
  return text;
}

bool file_holds(const std::string& path, const std::string& bytes) {
  long long size = 0;
  const int fd = open_regular_file(path, &size);
  if (fd < 0) return false;
  bool same = size == static_cast<long long>(bytes.size());
  std::vector<char> chunk(1 << 20);
  for (std::size_t at = 0; same && at < bytes.size();) {
    std::size_t got = 0;
    const std::size_t want = std::min(chunk.size(), bytes.size() - at);
    same = read_fully(fd, chunk.data(), want, &got) && got == want &&
           std::memcmp(chunk.data(), bytes.data() + at, want) == 0;
    at += want;
  }
  ::close(fd);
  return same;
}

bool replace_file(const std::string& path, const std::string& bytes, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // A short temporary name, so that a long target name still gets its own error on rename.
  std::string temp = (folder / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
  auto fail = [&](int number) {
    if (error) *error = std::strerror(number);
    return false;
  };
  if (target.filename().empty()) return fail(EISDIR);
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return fail(errno);
  // The new file keeps the old one's permissions, or gets the usual ones for a new file.
  struct stat st {};
  mode_t mode = 0;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int number = 0;
  errno = 0;
  if (!write_fully(fd, bytes.data(), bytes.size()) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
    number = errno ? errno : EIO;
  if (number == 0 && injected_write_error != 0) number = injected_write_error;
  if (::close(fd) != 0 && number == 0) number = errno;
  if (number == 0 && ::rename(temp.c_str(), path.c_str()) != 0) number = errno;
  if (number != 0) {
    ::unlink(temp.c_str());
    return fail(number);
  }
  return true;
}

std::string folder_write_problem(const std::string& folder) {
  std::string probe = (std::filesystem::path(folder) / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
  const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

std::string folder_read_problem(const std::string& folder) {
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  return ec ? ec.message() : std::string();
}

int remove_stale_temporary_files(const std::string& folder, double min_age_seconds) {
  namespace fs = std::filesystem;
  int removed = 0;
  std::error_code ec;
  const std::time_t now = std::time(nullptr);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!temporary_file_name(name)) continue;
    struct stat st {};
    const std::string path = it->path().string();
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (std::difftime(now, st.st_mtime) < min_age_seconds) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

void fail_file_writes_for_testing(int error_number) { injected_write_error = error_number; }

}  // namespace jumblix
