#include "settings/best_results.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/file_io.h"

namespace jumblix {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "Jumblix best results 1";
constexpr int kMaxSideInFile = 20;
constexpr long long kMaxMoves = 1000000000;
constexpr long long kMaxTimeMs = 10000000000000;  // some three centuries

std::string escaped(const std::string& name) {
  std::string out;
  for (char c : name) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> unescaped(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

std::optional<long long> whole_number(const std::string& field, long long low, long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

bool date_field(const std::string& field) {
  if (field.size() != 10 || field[4] != '-' || field[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (field[i] < '0' || field[i] > '9') return false;
  return true;
}

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = line.find(separator, start);
    fields.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return fields;
    start = at + 1;
  }
}

std::optional<BestResult> decode_line(const std::string& line) {
  const std::vector<std::string> f = split(line, '\t');
  if (f.size() != 9) return std::nullopt;
  BestResult r;
  if (f[0] != "regular" && f[0] != "animated") return std::nullopt;
  r.key.animated = f[0] == "animated";
  const auto picture = unescaped(f[1]);
  const auto width = whole_number(f[2], 2, kMaxSideInFile);
  const auto height = whole_number(f[3], 2, kMaxSideInFile);
  const auto moves = whole_number(f[5], 1, kMaxMoves);
  const auto time = whole_number(f[7], 0, kMaxTimeMs);
  if (!picture || picture->empty() || !width || !height || !moves || !time) return std::nullopt;
  if (f[4] != "yes" && f[4] != "no") return std::nullopt;
  if (!date_field(f[6]) || !date_field(f[8])) return std::nullopt;
  r.key.picture = *picture;
  r.key.width = static_cast<int>(*width);
  r.key.height = static_cast<int>(*height);
  r.key.rotation = f[4] == "yes";
  r.moves = static_cast<int>(*moves);
  r.moves_date = f[6];
  r.time_ms = *time;
  r.time_date = f[8];
  return r;
}

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

}  // namespace

std::string encode_best_results(const std::vector<BestResult>& results) {
  std::string text = std::string(kHeader) + "\n";
  for (const BestResult& r : results)
    text += std::string(r.key.animated ? "animated" : "regular") + "\t" + escaped(r.key.picture) + "\t" +
            std::to_string(r.key.width) + "\t" + std::to_string(r.key.height) + "\t" +
            (r.key.rotation ? "yes" : "no") + "\t" + std::to_string(r.moves) + "\t" + r.moves_date + "\t" +
            std::to_string(r.time_ms) + "\t" + r.time_date + "\n";
  return text;
}

std::optional<std::vector<BestResult>> decode_best_results(const std::string& text) {
  std::vector<BestResult> results;
  if (text.empty()) return results;
  std::vector<std::string> lines = split(text, '\n');
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();  // edited on another system
  if (lines.front() != kHeader) return std::nullopt;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const auto result = decode_line(lines[i]);
    if (!result) return std::nullopt;
    const auto same = std::find_if(results.begin(), results.end(),
                                   [&](const BestResult& r) { return r.key == result->key; });
    if (same == results.end())
      results.push_back(*result);
    else
      merge_into(*same, *result);
  }
  std::sort(results.begin(), results.end(), [](const BestResult& a, const BestResult& b) { return a.key < b.key; });
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

std::string BestResults::load() {
  if (loaded_) return {};
  loaded_ = true;
  std::error_code ec;
  const fs::file_type type = fs::symlink_status(path(), ec).type();
  if (type == fs::file_type::not_found) return {};
  const auto text = read_file_start(path(), kMaxBestResultsBytes + 1);
  std::optional<std::vector<BestResult>> results;
  if (text && text->size() <= kMaxBestResultsBytes) results = decode_best_results(*text);
  if (results) {
    results_ = std::move(*results);
    return {};
  }
  const std::string what = text ? "is damaged" : "cannot be read";
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
  for (const BestResult& r : results_)
    if (r.key == key) return &r;
  return nullptr;
}

BestResults::Outcome BestResults::record(const ResultKey& key, int moves, long long time_ms,
                                         const std::string& date) {
  Outcome outcome;
  // Only what the file can hold, so that it always reads back.
  if (key.picture.empty() || key.width < 2 || key.width > kMaxSideInFile || key.height < 2 ||
      key.height > kMaxSideInFile || moves < 1 || moves > kMaxMoves || time_ms < 0 || time_ms > kMaxTimeMs ||
      !date_field(date))
    return outcome;
  auto it = std::find_if(results_.begin(), results_.end(), [&](const BestResult& r) { return r.key == key; });
  if (it == results_.end()) {
    it = results_.insert(std::upper_bound(results_.begin(), results_.end(), key,
                                          [](const ResultKey& k, const BestResult& r) { return k < r.key; }),
                         BestResult{key, moves, date, time_ms, date});
    outcome.fewer_moves = outcome.shorter_time = true;
  } else {
    outcome.fewer_moves = moves < it->moves;
    outcome.shorter_time = time_ms < it->time_ms;
    merge_into(*it, BestResult{key, moves, date, time_ms, date});
  }
  if (!(outcome.fewer_moves || outcome.shorter_time || unsaved_) || !may_write_) return outcome;
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
