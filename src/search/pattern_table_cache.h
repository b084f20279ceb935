#pragma once
// Pattern tables kept between runs in the user's cache folder, one file per table. A file is
// written whole (a temporary file renamed over the old one) and read back only when its size,
// header and checksum all agree with the table asked for; any other file is rebuilt.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "search/pattern_table.h"

namespace jumblix::fewest {

// $XDG_CACHE_HOME/jumblix when that is an absolute path, else ~/.cache/jumblix; empty when
// neither is known (tables are then built in memory only).
std::string table_cache_folder();

std::string table_file_name(int w, int h, const std::vector<int>& homes);

std::optional<PatternTable> load_cached_table(const std::string& folder, int w, int h,
                                              const std::vector<int>& homes);
bool save_cached_table(const std::string& folder, const PatternTable& table);

// The table from the cache folder, or built (and then stored there when the folder can be
// written). Nothing when `abort` stops the building.
std::optional<PatternTable> cached_or_built_table(int w, int h, const std::vector<int>& homes,
                                                  const std::atomic<bool>* abort);

}  // namespace jumblix::fewest
