#pragma once
// One-number settings files: " 3 \r\n" style lines in the working directory, file names
// matched without regard to letter case, plus best-effort copies into the screensaver folders.
#include <optional>
#include <string>

namespace jumblix {

// File names of the settings.
inline constexpr const char* kRotateModeFile = "rotate.mode";
inline constexpr const char* kPuzzleSettingsFile = "puzzle.settings";
inline constexpr const char* kMoveTimeFile = "movepiece.Time";
inline constexpr const char* kNewPictureTimeFile = "newpuzzle.Time";
inline constexpr const char* kAnimationTimeFile = "animation.Time";
inline constexpr const char* kRotateTimeFile = "rotate.Time";
inline constexpr const char* kDefaultPuzzleColourFile = "colour.dcolour";
inline constexpr const char* kDefaultPictureColourFile = "colour.dcolour2";
inline constexpr const char* kSlidesToGoFile = "slidestogo.mode";
inline constexpr const char* kShortestWayFile = "shortestway.mode";

// A settings file is read no further than this.
inline constexpr std::size_t kMaxSettingBytes = 4096;

// A name that stays inside its folder: no path separator, not "." or "..".
bool plain_file_name(const std::string& name);

// The numeric print layout: a space (or '-') for the sign, the number without exponent and
// without a zero before the point of a fraction, then a space, CR and LF.
std::string format_setting(double value);
// The first number of a file's text: leading blanks skipped, ends at a blank, a comma or the
// line's end; ".5" is accepted. nullopt when the text does not start with a finite number.
std::optional<double> parse_setting(const std::string& text);

class SettingsStore {
 public:
  explicit SettingsStore(std::string directory = ".") : directory_(std::move(directory)) {}
  const std::string& directory() const { return directory_; }

  // The value in the named file; nullopt when it is missing, unreadable or holds no number.
  std::optional<double> read(const std::string& name) const;
  // Replaces the named file whole (an existing file of any letter case is reused); on failure
  // the old file stays and `error` gets the reason.
  bool write(const std::string& name, double value, std::string* error = nullptr) const;

  // Path of the file `name` in `folder`: when files of that name exist in any letter case,
  // the first of them in name order, so every spelling reaches the same one file.
  static std::string resolve(const std::string& folder, const std::string& name);
  // Reads only the first line of the file's first kMaxSettingBytes bytes.
  static std::optional<double> read_file(const std::string& path);
  static bool write_file(const std::string& path, double value, std::string* error = nullptr);

 private:
  std::string directory_;
};

// The per-user screensaver folders; their parent is $JUMBLIX_SYSTEM_DIR when set, else
// $XDG_DATA_HOME, else ~/.local/share. The game never creates them.
std::string screensaver_parent();
std::string screensaver_picture_folder();  // ".../Jumblix-pictures"
std::string screensaver_colour_folder();   // ".../Quiltrest-pictures"
// Writes a screensaver copy when the folder exists; silent failure otherwise.
bool write_screensaver_copy(const std::string& name, double value);

}  // namespace jumblix
