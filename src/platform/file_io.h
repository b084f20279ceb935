#pragma once
// Plain file access for everything the game reads and writes: only regular files are read,
// and a file is only ever replaced whole, never rewritten in place.
#include <cstddef>
#include <optional>
#include <string>

namespace jumblix {

// Opens `path` for reading when it is a regular file. The open never blocks, so a FIFO or a
// device that happens to carry a picture's or a setting's name is refused at once.
// Returns the descriptor (the caller closes it) and the file's size, or -1.
int open_regular_file(const std::string& path, long long* size = nullptr);

// At most `max_bytes` from the start of a regular file; nullopt when it cannot be read.
std::optional<std::string> read_file_start(const std::string& path, std::size_t max_bytes);

// Whether `path` is a regular file holding exactly `bytes`.
bool file_holds(const std::string& path, const std::string& bytes);

// Replaces `path` with `bytes`: they go into a new file in the same folder, which is flushed
// to disk and then renamed over the old one. Whatever fails (a full disk, no rights, a name
// too long), the old file stays as it was. A symbolic link at `path` is itself replaced,
// never written through. On failure `error` (when given) receives the system's reason.
bool replace_file(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// Whether a new file can be made in `folder`: empty when it can, else the system's reason
// ("Permission denied"). The probe is a temporary file as replace_file makes, removed at once.
std::string folder_write_problem(const std::string& folder);

// Why `folder` cannot be listed ("Permission denied", "Not a directory"); empty when it can.
std::string folder_read_problem(const std::string& folder);

// Removes from `folder` the temporary files that replace_file leaves behind when the program
// is killed in the middle of a write: only regular files named as replace_file names them
// (".jumblix-" and six letters or digits), and only those older than `min_age_seconds`, since
// a second copy of the game may be writing one now. Returns how many were removed.
int remove_stale_temporary_files(const std::string& folder, double min_age_seconds = 60);

// Test hook: when set, every replace_file fails with this error number after writing its
// temporary file, as a full disk would.
void fail_file_writes_for_testing(int error_number);

}  // namespace jumblix
