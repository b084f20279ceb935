#pragma once
// The program's command line: what the player asked for, the game folder it applies to,
// and the answers given without opening the window (help, version, usage errors).
#include <cstdio>
#include <optional>

#include <QString>
#include <QStringList>

namespace jumblix {

struct CommandLine {
  enum class Action { play, import_pictures, show_help, show_version, usage_error };
  Action action = Action::play;
  QString error;                 // usage_error: what was wrong, one line without the program name
  QString game_folder = ".";     // the folder that holds the settings files and picture folders
  QString screenshot_path;       // empty: no screenshot
  int quit_after_ms = -1;        // negative: the window stays open
  QString puzzle_code;           // empty: none; else the shared puzzle the first click plays
  QStringList import_files;      // import_pictures: the image files, in the order given
  bool import_animated = false;  // import_pictures: into the animated pictures
};

// `arguments` as the program received them, the program's own name first.
CommandLine parse_command_line(const QStringList& arguments);

// A file name (or a line naming one) as the program prints it: control characters escaped as
// \n, \t, \r or \xHH and the backslash doubled, so that every file keeps to its one line and
// nothing in a name reaches the terminal as a command.
QString printable_name(const QString& name);

// What --help prints.
QString help_text();
// What --version prints: "jumblix" and the version.
QString version_text();

// $XDG_DATA_HOME/jumblix, or ~/.local/share/jumblix when XDG_DATA_HOME is unset, empty or
// not an absolute path.
QString user_game_folder();

// Answers help, version and usage errors on `out` / `err` and returns the exit status;
// nullopt when the program goes on (to play or to import).
std::optional<int> answer_without_window(const CommandLine& command_line, std::FILE* out,
                                         std::FILE* err);

// Creates `folder` (and its parents) when missing and checks it can be entered. Returns
// its absolute path, or nullopt with a one-line reason in `error`.
std::optional<QString> make_game_folder(const QString& folder, QString* error);

// The exit status of a usage error.
inline constexpr int kUsageExitStatus = 2;

}  // namespace jumblix
