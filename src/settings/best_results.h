#pragma once
// The player's best results, kept in one text file of the game folder, "best.results": for
// each picture, size and rotation setting, the fewest moves and the shortest time of the
// puzzles finished without help, each with its date. The file is replaced whole at every
// new best. A file that cannot be read, or holds something else, is set aside under a name
// of its own (never overwritten) and a new one begun.
//
// The file's text: the first line "Jumblix best results 1", then one line per result with
// nine fields separated by tabs:
//   kind (regular | animated), picture file name, width, height, rotation (yes | no),
//   fewest moves, their date (YYYY-MM-DD), shortest time in milliseconds, its date.
// In the picture name a backslash, tab, line feed and carriage return are written \\ \t \n \r.
//
// The file never grows beyond what the game reads back: when a new result would take it past
// kMaxBestResultsBytes, the results not bettered for the longest time are dropped.
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace jumblix {

inline constexpr const char* kBestResultsFile = "best.results";
// A larger file is none of the game's.
inline constexpr std::size_t kMaxBestResultsBytes = 4 << 20;

struct ResultKey {
  bool animated = false;
  std::string picture;
  int width = 0, height = 0;
  bool rotation = false;
  auto operator<=>(const ResultKey&) const = default;
  bool operator==(const ResultKey&) const = default;
};

struct BestResult {
  ResultKey key;
  int moves = 0;
  std::string moves_date;
  long long time_ms = 0;
  std::string time_date;
  bool operator==(const BestResult&) const = default;
};

std::string encode_best_results(const std::vector<BestResult>& results);
// nullopt when the text is not a best results file (a line that cannot be read, a field out
// of range). An empty text is an empty table.
std::optional<std::vector<BestResult>> decode_best_results(const std::string& text);

class BestResults {
 public:
  explicit BestResults(std::string folder) : folder_(std::move(folder)) {}
  std::string path() const;

  // Begins reading and decoding the file on a thread of its own, so that load() later finds
  // it done: a file of the largest size takes a noticeable moment. Once, before load().
  void prefetch();
  // Reads the file (once; later calls do nothing), taking what prefetch() read when the file
  // has not changed since. Returns what the player should be told, empty when all went well
  // or there was no file yet.
  std::string load();
  bool loaded() const { return loaded_; }

  const std::vector<BestResult>& all() const { return results_; }
  const BestResult* find(const ResultKey& key) const;

  struct Outcome {
    bool fewer_moves = false;    // a new best number of moves
    bool shorter_time = false;   // a new best time
    std::string problem;         // what the player should be told (a save that failed)
  };
  // An unhelped finish. A new best is written to the file at once; when it cannot be, it
  // holds in memory and is written again at the next finish. A result the file could not
  // hold (no picture name, a size beyond 20) is no result.
  Outcome record(const ResultKey& key, int moves, long long time_ms, const std::string& date);

 private:
  // What reading the file came to.
  struct Reading {
    enum class State { missing, unreadable, damaged, read } state = State::missing;
    std::vector<BestResult> results;
    std::string stamp;  // the file's size and time of change as it was read
  };
  static Reading read(const std::string& path);
  // Renames the file beside itself; the new name, or empty when it could not be moved.
  std::string set_aside() const;
  // Drops the results bettered longest ago, never `kept`, until the file fits the limit.
  void keep_within_limit(const ResultKey& kept);

  std::string folder_;
  bool loaded_ = false;
  // False while an unreadable file could not be set aside: it is never written over.
  bool may_write_ = true;
  bool unsaved_ = false;  // the file lacks a best that could not be written
  std::vector<BestResult> results_;  // sorted by key
  std::future<Reading> prefetched_;
};

// Today's date on this computer, "YYYY-MM-DD".
std::string today_text();

}  // namespace jumblix
