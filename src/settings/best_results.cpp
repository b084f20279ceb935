#include "settings/best_results.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "platform/file_io.h"
#include "platform/text_fields.h"

namespace jumblix {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "Jumblix best results 1";
constexpr int kMaxSideInFile = 20;
constexpr long long kMaxMoves = 1000000000;
constexpr long long kMaxTimeMs = 10000000000000;  // some three centuries

std::optional<long long> whole_number(std::string_view field, long long low, long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

bool date_field(std::string_view field) {
  if (field.size() != 10 || field[4] != '-' || field[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (field[i] < '0' || field[i] > '9') return false;
  return true;
}

std::optional<BestResult> decode_line(std::string_view line) {
  constexpr std::size_t kFields = 9;
  std::array<std::string_view, kFields> f;
  std::size_t count = 0;
  for (std::size_t start = 0;;) {
    if (count == kFields) return std::nullopt;
    const std::size_t at = line.find('\t', start);
    f[count++] = line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  if (count != kFields) return std::nullopt;
  BestResult r;
  if (f[0] != "regular" && f[0] != "animated") return std::nullopt;
  r.key.animated = f[0] == "animated";
  auto picture = unescaped_field(f[1]);
  const auto width = whole_number(f[2], 2, kMaxSideInFile);
  const auto height = whole_number(f[3], 2, kMaxSideInFile);
  const auto moves = whole_number(f[5], 1, kMaxMoves);
  const auto time = whole_number(f[7], 0, kMaxTimeMs);
  if (!picture || picture->empty() || !width || !height || !moves || !time) return std::nullopt;
  if (f[4] != "yes" && f[4] != "no") return std::nullopt;
  if (!date_field(f[6]) || !date_field(f[8])) return std::nullopt;
  r.key.picture = std::move(*picture);
  r.key.width = static_cast<int>(*width);
  r.key.height = static_cast<int>(*height);
  r.key.rotation = f[4] == "yes";
  r.moves = static_cast<int>(*moves);
  r.moves_date = f[6];
  r.time_ms = *time;
  r.time_date = f[8];
  return r;
}

struct ResultKeyHash {
  std::size_t operator()(const ResultKey& k) const noexcept {
    const auto rest = static_cast<std::size_t>(((k.width * 32 + k.height) * 2 + k.animated) * 2 + k.rotation);
    return std::hash<std::string>()(k.picture) ^ (rest * 0x9E3779B97F4A7C15ULL);
  }
};

bool by_key(const BestResult& a, const BestResult& b) { return a.key < b.key; }

// Keeps the better of two results of one key, field by field.
void merge_into(BestResult& kept, const BestResult& other) {
  if (other.moves < kept.moves) {
    kept.moves = other.moves;
    kept.moves_date = other.moves_date;
  }
  if (other.time_ms < kept.time_ms) {
    kept.time_ms = other.time_ms;
    kept.time_date = other.time_date;
  }
}

std::string encode_line(const BestResult& r) {
  return std::string(r.key.animated ? "animated" : "regular") + "\t" + escaped_field(r.key.picture) + "\t" +
         std::to_string(r.key.width) + "\t" + std::to_string(r.key.height) + "\t" + (r.key.rotation ? "yes" : "no") +
         "\t" + std::to_string(r.moves) + "\t" + r.moves_date + "\t" + std::to_string(r.time_ms) + "\t" +
         r.time_date + "\n";
}

// What tells one state of a file from another: kind, size, time of change, identity.
std::string file_stamp(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "none";
  return std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) +
         "." + std::to_string(st.st_mtim.tv_nsec) + " " + std::to_string(st.st_ino) + " " + std::to_string(st.st_dev);
}

}  // namespace

std::string encode_best_results(const std::vector<BestResult>& results) {
  std::string text = std::string(kHeader) + "\n";
  for (const BestResult& r : results) text += encode_line(r);
  return text;
}

std::optional<std::vector<BestResult>> decode_best_results(const std::string& text) {
  std::vector<BestResult> results;
  if (text.empty()) return results;
  // Each key's place in `results`: a file of tens of thousands of lines is read in one pass.
  std::unordered_map<ResultKey, std::size_t, ResultKeyHash> place;
  const std::string_view all(text);
  bool header = true;
  for (std::size_t start = 0; start <= all.size();) {
    const std::size_t end = std::min(all.find('\n', start), all.size());
    std::string_view line = all.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // edited on another system
    if (header) {
      if (line != kHeader) return std::nullopt;
      header = false;
      continue;
    }
    if (line.empty()) continue;
    auto result = decode_line(line);
    if (!result) return std::nullopt;
    const auto [at, added] = place.try_emplace(result->key, results.size());
    if (added)
      results.push_back(std::move(*result));
    else
      merge_into(results[at->second], *result);
  }
  std::sort(results.begin(), results.end(), by_key);
  return results;
}

std::string BestResults::path() const { return (fs::path(folder_) / kBestResultsFile).string(); }

std::string BestResults::set_aside() const {
  for (int n = 1; n <= 100; ++n) {
    const std::string name = std::string(kBestResultsFile) + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
    const fs::path target = fs::path(folder_) / name;
    std::error_code ec;
    if (fs::symlink_status(target, ec).type() != fs::file_type::not_found) continue;  // never over another
    fs::rename(path(), target, ec);
    return ec ? std::string() : name;
  }
  return {};
}

BestResults::Reading BestResults::read(const std::string& path) {
  Reading reading;
  reading.stamp = file_stamp(path);
  std::error_code ec;
  if (fs::symlink_status(path, ec).type() == fs::file_type::not_found) return reading;
  const auto text = read_file_start(path, kMaxBestResultsBytes + 1);
  if (!text) {
    reading.state = Reading::State::unreadable;
    return reading;
  }
  std::optional<std::vector<BestResult>> results;
  if (text->size() <= kMaxBestResultsBytes) results = decode_best_results(*text);
  if (!results) {
    reading.state = Reading::State::damaged;
    return reading;
  }
  reading.state = Reading::State::read;
  reading.results = std::move(*results);
  return reading;
}

void BestResults::prefetch() {
  if (loaded_ || prefetched_.valid()) return;
  prefetched_ = std::async(std::launch::async, [path = path()] { return read(path); });
}

std::string BestResults::load() {
  if (loaded_) return {};
  loaded_ = true;
  Reading reading;
  if (prefetched_.valid()) reading = prefetched_.get();
  // Read again should the file have changed since (another copy of the game wrote it).
  if (reading.stamp.empty() || reading.stamp != file_stamp(path())) reading = read(path());
  switch (reading.state) {
    case Reading::State::missing: return {};
    case Reading::State::read: results_ = std::move(reading.results); return {};
    case Reading::State::unreadable:
    case Reading::State::damaged: break;
  }
  const std::string what = reading.state == Reading::State::damaged ? "is damaged" : "cannot be read";
  const std::string kept_as = set_aside();
  if (kept_as.empty()) {
    may_write_ = false;
    return std::string("The file \"") + kBestResultsFile + "\" " + what +
           " and cannot be moved aside: new best results hold until the game ends.";
  }
  return std::string("The file \"") + kBestResultsFile + "\" " + what + "; it is kept as \"" + kept_as +
         "\" and a new one begun.";
}

const BestResult* BestResults::find(const ResultKey& key) const {
  const auto it = std::lower_bound(results_.begin(), results_.end(), key,
                                   [](const BestResult& r, const ResultKey& k) { return r.key < k; });
  return it != results_.end() && it->key == key ? &*it : nullptr;
}

void BestResults::keep_within_limit(const ResultKey& kept) {
  std::vector<std::size_t> line_bytes(results_.size());
  std::size_t total = std::string(kHeader).size() + 1;
  for (std::size_t i = 0; i < results_.size(); ++i) total += line_bytes[i] = encode_line(results_[i]).size();
  if (total <= kMaxBestResultsBytes) return;
  // A result last bettered long ago goes first; among equals the first by key.
  auto last_bettered = [&](std::size_t i) { return std::max(results_[i].moves_date, results_[i].time_date); };
  std::vector<std::size_t> order(results_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return last_bettered(a) < last_bettered(b); });
  std::vector<bool> dropped(results_.size(), false);
  for (std::size_t i : order) {
    if (total <= kMaxBestResultsBytes) break;
    if (results_[i].key == kept) continue;
    dropped[i] = true;
    total -= line_bytes[i];
  }
  std::size_t to = 0;
  for (std::size_t i = 0; i < results_.size(); ++i)
    if (!dropped[i]) {
      if (to != i) results_[to] = std::move(results_[i]);
      ++to;
    }
  results_.resize(to);
}

BestResults::Outcome BestResults::record(const ResultKey& key, int moves, long long time_ms,
                                         const std::string& date) {
  Outcome outcome;
  // Only what the file can hold, so that it always reads back.
  if (key.picture.empty() || key.width < 2 || key.width > kMaxSideInFile || key.height < 2 ||
      key.height > kMaxSideInFile || moves < 1 || moves > kMaxMoves || time_ms < 0 || time_ms > kMaxTimeMs ||
      !date_field(date))
    return outcome;
  auto it = std::lower_bound(results_.begin(), results_.end(), key,
                             [](const BestResult& r, const ResultKey& k) { return r.key < k; });
  if (it == results_.end() || it->key != key) {
    results_.insert(it, BestResult{key, moves, date, time_ms, date});
    outcome.fewer_moves = outcome.shorter_time = true;
  } else {
    outcome.fewer_moves = moves < it->moves;
    outcome.shorter_time = time_ms < it->time_ms;
    merge_into(*it, BestResult{key, moves, date, time_ms, date});
  }
  if (!(outcome.fewer_moves || outcome.shorter_time || unsaved_) || !may_write_) return outcome;
  keep_within_limit(key);
  std::string error;
  unsaved_ = !replace_file(path(), encode_best_results(results_), &error);
  if (unsaved_)
    outcome.problem = "The best results could not be saved (" + error + "); they hold until the game ends.";
  return outcome;
}

std::string today_text() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

}  // namespace jumblix
