#include "search/pattern_table_cache.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace jumblix::fewest {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "JMBXPAT2";
// save_cached_table's temporary files: this prefix and the six letters or digits mkstemp adds.
constexpr std::string_view kTemporaryPrefix = ".fewest-";

void put_u32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put_u64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
std::uint64_t get_u64(const std::string& in, std::size_t at) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return v;
}

std::uint64_t fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ull) {
  for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001b3ull;
  return hash;
}

// Everything before the checksum: the game version that made the table, what it is for and
// how many entries it holds.
std::string header(int w, int h, const std::vector<int>& homes, std::string_view version) {
  std::string out(kMagic);
  put_u32(out, static_cast<std::uint32_t>(version.size()));
  out.append(version);
  put_u32(out, static_cast<std::uint32_t>(w));
  put_u32(out, static_cast<std::uint32_t>(h));
  put_u32(out, static_cast<std::uint32_t>(homes.size()));
  for (int c : homes) put_u32(out, static_cast<std::uint32_t>(c));
  put_u64(out, placement_count(w * h, static_cast<int>(homes.size())));
  return out;
}

std::string_view entries_of(const PatternTable& table) {
  return {reinterpret_cast<const char*>(table.moves.data()), table.moves.size()};
}

std::string header_and_checksum(const PatternTable& table, std::string_view version) {
  std::string head = header(table.w, table.h, table.homes, version);
  put_u64(head, fnv1a(entries_of(table), fnv1a(head)));
  return head;
}

bool valid_group(int w, int h, const std::vector<int>& homes) {
  const int n = w * h;
  if (n > kMaxTableCells || homes.empty() || static_cast<int>(homes.size()) >= n) return false;
  for (int c : homes)
    if (c < 1 || c >= n) return false;
  return true;
}

}  // namespace

std::string table_cache_folder() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/')
    return (fs::path(xdg) / "jumblix").string();
  if (const char* home = std::getenv("HOME"); home && home[0] == '/')
    return (fs::path(home) / ".cache" / "jumblix").string();
  return {};
}

std::string_view table_maker_version() { return JUMBLIX_TABLE_MAKER_VERSION; }

std::string table_file_name(int w, int h, const std::vector<int>& homes) {
  std::string name = "fewest-" + std::to_string(w) + "x" + std::to_string(h);
  for (std::size_t j = 0; j < homes.size(); ++j) name.append(j == 0 ? "-" : ".").append(std::to_string(homes[j]));
  return name + ".table";
}

std::optional<PatternTable> load_cached_table(const std::string& folder, int w, int h,
                                              const std::vector<int>& homes) {
  if (folder.empty() || !valid_group(w, h, homes)) return std::nullopt;
  const fs::path path = fs::path(folder) / table_file_name(w, h, homes);
  const std::string head = header(w, h, homes, table_maker_version());
  const std::uint64_t entries = placement_count(w * h, static_cast<int>(homes.size()));
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) != head.size() + 8 + entries || ec)
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::string head_read(head.size() + 8, '\0');
  PatternTable table{w, h, homes, std::vector<std::uint8_t>(entries)};
  if (!in.read(head_read.data(), static_cast<std::streamsize>(head_read.size())) ||
      !in.read(reinterpret_cast<char*>(table.moves.data()), static_cast<std::streamsize>(entries)))
    return std::nullopt;
  if (head_read.compare(0, head.size(), head) != 0) return std::nullopt;
  const std::string_view body(reinterpret_cast<const char*>(table.moves.data()), entries);
  if (get_u64(head_read, head.size()) != fnv1a(body, fnv1a(head))) return std::nullopt;
  // The group at home needs no slide; a table that says otherwise was not made by us.
  std::vector<std::uint32_t> weights = placement_weights(w * h, static_cast<int>(homes.size()));
  if (table.moves[placement_index(homes.data(), static_cast<int>(homes.size()), weights.data())] != 0)
    return std::nullopt;
  // The checksum only catches accidents; entries changed on purpose (or by a fault) must still
  // keep the rules every such table keeps.
  if (!table_consistent(table)) return std::nullopt;
  return table;
}

std::string table_file_bytes(const PatternTable& table, std::string_view version) {
  std::string bytes = header_and_checksum(table, version);
  bytes.append(entries_of(table));
  return bytes;
}

bool save_cached_table(const std::string& folder, const PatternTable& table) {
  if (folder.empty()) return false;
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string head = header_and_checksum(table, table_maker_version());

  // Written whole into a new file beside the old one, then renamed over it.
  const fs::path path = fs::path(folder) / table_file_name(table.w, table.h, table.homes);
  std::string temp = (fs::path(folder) / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  for (std::string_view part : {std::string_view(head), entries_of(table)}) {
    for (std::size_t at = 0; ok && at < part.size();) {
      const ssize_t n = ::write(fd, part.data() + at, part.size() - at);
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) at += static_cast<std::size_t>(n);
    }
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

int remove_stale_table_files(const std::string& folder, double min_age_seconds) {
  int removed = 0;
  if (folder.empty()) return removed;
  std::error_code ec;
  const std::time_t now = std::time(nullptr);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != kTemporaryPrefix.size() + 6 || name.compare(0, kTemporaryPrefix.size(), kTemporaryPrefix) != 0 ||
        !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kTemporaryPrefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
      continue;
    struct stat st {};
    const std::string path = it->path().string();
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (std::difftime(now, st.st_mtime) < min_age_seconds) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

std::optional<PatternTable> cached_or_built_table(int w, int h, const std::vector<int>& homes,
                                                  const std::atomic<bool>* abort) {
  if (!valid_group(w, h, homes)) return std::nullopt;
  const std::string folder = table_cache_folder();
  if (auto table = load_cached_table(folder, w, h, homes)) return table;
  auto table = build_pattern_table(w, h, homes, abort);
  if (table) save_cached_table(folder, *table);
  return table;
}

}  // namespace jumblix::fewest
