#include "app/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include "jumblix_version.h"

namespace jumblix {
namespace {

const QCommandLineOption kHelp({"h", "help"}, "Show this help and exit.");
const QCommandLineOption kVersion({"v", "version"}, "Show the version and exit.");
const QCommandLineOption kGameFolder(
    "game-folder",
    "Keep the settings files and picture folders in DIR (created when missing). "
    "Default: the current directory.",
    "DIR");
const QCommandLineOption kUserGameFolder(
    "user-game-folder",
    "Keep them in $XDG_DATA_HOME/jumblix (default ~/.local/share/jumblix), created on first "
    "start. The applications menu starts the game this way.");
const QCommandLineOption kAddPicture(
    "add-picture",
    "Add image files to the regular pictures of the game folder and exit without opening the "
    "window. Any file the image plugins read (PNG, JPEG, BMP, ...); more files may follow "
    "as further arguments, or repeat the option; -- ends the options.",
    "FILE");
const QCommandLineOption kAddAnimatedPicture(
    "add-animated-picture",
    "The same for the animated pictures: each file becomes a small picture that glides over "
    "the board.",
    "FILE");
const QCommandLineOption kScreenshot(
    "screenshot",
    "Save what the window shows as a PNG file: after --quit-after's time, or after 2 seconds.",
    "FILE");
const QCommandLineOption kPuzzle(
    "puzzle",
    "Deal the puzzle of a code (\"Copy puzzle code\" in the Puzzle menu makes one): the first "
    "click on the title screen plays it.",
    "CODE");
const QCommandLineOption kQuitAfter(
    "quit-after", "Close the window after MS milliseconds, as the player would.", "MS");

void build(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "Jumblix, a sliding-picture puzzle.\n"
      "The game folder holds the settings files and the folders \"regular pictures\" and\n"
      "\"animation pictures\"; see jumblix(6).");
  parser.addOptions({kHelp, kVersion, kGameFolder, kUserGameFolder, kAddPicture,
                     kAddAnimatedPicture, kScreenshot, kQuitAfter, kPuzzle});
  parser.addPositionalArgument("FILE", "With --add-picture or --add-animated-picture: more image "
                                       "files to add.", "[FILE...]");
}

QString usage_lines() {
  return "Usage: jumblix [--game-folder DIR | --user-game-folder] [--puzzle CODE] [--screenshot FILE] "
         "[--quit-after MS]\n"
         "       jumblix [--game-folder DIR | --user-game-folder] --add-picture FILE...\n"
         "       jumblix [--game-folder DIR | --user-game-folder] --add-animated-picture FILE...\n";
}

// "--" ends the options, also right after an option that takes a file, which Qt's parser
// would take as the file itself: "--add-picture -- -dash.png" adds "-dash.png".
QStringList with_end_of_options(QStringList arguments) {
  auto takes_value = [](const QString& argument, bool* file) {
    for (const QCommandLineOption* option : {&kGameFolder, &kAddPicture, &kAddAnimatedPicture, &kScreenshot, &kQuitAfter, &kPuzzle})
      if (argument == "--" + option->names().first()) {
        *file = option == &kAddPicture || option == &kAddAnimatedPicture;
        return true;
      }
    return false;
  };
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--") break;
    bool file = false;
    if (!takes_value(arguments[i], &file)) continue;
    if (file && i + 1 < arguments.size() && arguments[i + 1] == "--") {
      // The option's file is the first argument after "--" (none: Qt reports it missing).
      if (i + 2 < arguments.size())
        arguments.swapItemsAt(i + 1, i + 2);
      else
        arguments.removeAt(i + 1);
      break;
    }
    ++i;  // the option's value, whatever it looks like
  }
  return arguments;
}

CommandLine usage_error(QString message) {
  CommandLine result;
  result.action = CommandLine::Action::usage_error;
  result.error = std::move(message);
  return result;
}

}  // namespace

CommandLine parse_command_line(const QStringList& arguments) {
  QCommandLineParser parser;
  build(parser);
  if (!parser.parse(with_end_of_options(arguments))) return usage_error(parser.errorText());

  CommandLine result;
  if (parser.isSet(kHelp)) {
    result.action = CommandLine::Action::show_help;
    return result;
  }
  if (parser.isSet(kVersion)) {
    result.action = CommandLine::Action::show_version;
    return result;
  }

  if (parser.isSet(kGameFolder) && parser.isSet(kUserGameFolder))
    return usage_error("--game-folder and --user-game-folder cannot be used together.");
  if (parser.isSet(kGameFolder)) {
    result.game_folder = parser.value(kGameFolder);
    if (result.game_folder.isEmpty()) return usage_error("--game-folder needs a folder name.");
  } else if (parser.isSet(kUserGameFolder)) {
    result.game_folder = user_game_folder();
  }

  if (parser.isSet(kQuitAfter)) {
    bool ok = false;
    result.quit_after_ms = parser.value(kQuitAfter).toInt(&ok);
    if (!ok || result.quit_after_ms < 0)
      return usage_error("--quit-after needs a number of milliseconds, not '" +
                         parser.value(kQuitAfter) + "'.");
  }
  if (parser.isSet(kPuzzle)) {
    result.puzzle_code = parser.value(kPuzzle);
    if (result.puzzle_code.trimmed().isEmpty()) return usage_error("--puzzle needs a puzzle code.");
  }
  if (parser.isSet(kScreenshot)) {
    result.screenshot_path = parser.value(kScreenshot);
    if (result.screenshot_path.isEmpty()) return usage_error("--screenshot needs a file name.");
  }

  const bool regular = parser.isSet(kAddPicture);
  const bool animated = parser.isSet(kAddAnimatedPicture);
  if (regular && animated)
    return usage_error("--add-picture and --add-animated-picture cannot be used together.");
  if (regular || animated) {
    result.action = CommandLine::Action::import_pictures;
    result.import_animated = animated;
    result.import_files = parser.values(animated ? kAddAnimatedPicture : kAddPicture);
    result.import_files += parser.positionalArguments();
  } else if (!parser.positionalArguments().isEmpty()) {
    return usage_error("Unexpected argument '" + parser.positionalArguments().first() +
                       "' (files are added with --add-picture or --add-animated-picture).");
  }
  return result;
}

QString printable_name(const QString& name) {
  QString shown;
  for (const char32_t c : name.toUcs4()) {
    if (c == '\\') {
      shown += "\\\\";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      shown += QString("\\x%1").arg(static_cast<uint>(c), 2, 16, QChar('0'));
    } else {
      shown += QString::fromUcs4(&c, 1);
    }
  }
  return shown;
}

QString help_text() {
  QCommandLineParser parser;
  build(parser);
  QString text = parser.helpText();
  // Qt's own first line names the program as it was started; ours shows the three forms.
  const qsizetype end_of_first_line = text.indexOf('\n');
  return usage_lines() + text.mid(end_of_first_line + 1);
}

QString version_text() { return QStringLiteral("jumblix " JUMBLIX_VERSION "\n"); }

QString user_game_folder() {
  // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  const QString data_home = !xdg.isEmpty() && QDir::isAbsolutePath(xdg)
                                ? xdg
                                : QDir::homePath() + "/.local/share";
  return QDir::cleanPath(data_home + "/jumblix");
}

std::optional<int> answer_without_window(const CommandLine& command_line, std::FILE* out,
                                         std::FILE* err) {
  switch (command_line.action) {
    case CommandLine::Action::show_help:
      std::fputs(help_text().toLocal8Bit().constData(), out);
      return 0;
    case CommandLine::Action::show_version:
      std::fputs(version_text().toLocal8Bit().constData(), out);
      return 0;
    case CommandLine::Action::usage_error:
      std::fprintf(err, "jumblix: %s\n%s", printable_name(command_line.error).toLocal8Bit().constData(),
                   usage_lines().toLocal8Bit().constData());
      std::fputs("Try 'jumblix --help' for every option.\n", err);
      return kUsageExitStatus;
    case CommandLine::Action::play:
    case CommandLine::Action::import_pictures:
      break;
  }
  return std::nullopt;
}

std::optional<QString> make_game_folder(const QString& folder, QString* error) {
  namespace fs = std::filesystem;
  const fs::path path(QFile::encodeName(folder).toStdString());
  const QString quoted = "'" + printable_name(folder) + "'";
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    fs::create_directories(path, ec);
    if (ec) {
      *error = "cannot create the game folder " + quoted + ": " +
               QString::fromStdString(ec.message());
      return std::nullopt;
    }
  }
  if (!fs::is_directory(path, ec)) {
    *error = "the game folder " + quoted + " is not a folder";
    return std::nullopt;
  }
  if (::access(path.c_str(), X_OK) != 0) {
    *error = "cannot enter the game folder " + quoted + ": " +
             QString::fromLocal8Bit(std::strerror(errno));
    return std::nullopt;
  }
  return QDir::cleanPath(QDir(folder).absolutePath());
}

}  // namespace jumblix
