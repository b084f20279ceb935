#pragma once
// Pattern tables kept between runs in the user's cache folder, one file per table. A file is
// written whole (a temporary file renamed over the old one) and read back only when its size,
// header (the game version that made it, the board shape, the group, the entry count) and
// checksum all agree with the table asked for, and its entries pass a consistency check; any
// other file is rebuilt.
#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/pattern_table.h"

namespace jumblix::fewest {

// $XDG_CACHE_HOME/jumblix when that is an absolute path, else ~/.cache/jumblix; empty when
// neither is known (tables are then built in memory only).
std::string table_cache_folder();

std::string table_file_name(int w, int h, const std::vector<int>& homes);

// The game version whose tables are read; a table another version made is rebuilt.
std::string_view table_maker_version();

// A table file's bytes: its header naming `version`, its checksum, its entries.
std::string table_file_bytes(const PatternTable& table, std::string_view version = table_maker_version());

std::optional<PatternTable> load_cached_table(const std::string& folder, int w, int h,
                                              const std::vector<int>& homes);
bool save_cached_table(const std::string& folder, const PatternTable& table);

// Removes from `folder` the temporary files save_cached_table leaves when the program is killed
// in the middle of a write (".fewest-" and six letters or digits), only those older than
// `min_age_seconds`, since another running game may be writing one. Returns how many went.
int remove_stale_table_files(const std::string& folder, double min_age_seconds = 60);

// The table from the cache folder, or built (and then stored there when the folder can be
// written). Nothing when `abort` stops the building.
std::optional<PatternTable> cached_or_built_table(int w, int h, const std::vector<int>& homes,
                                                  const std::atomic<bool>* abort);

}  // namespace jumblix::fewest
