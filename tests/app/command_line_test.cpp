// The program's command line: every option, the usage errors with their exit status and
// message, and the game folder being made.
#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/test_support.h"

namespace jumblix {
namespace {

using Action = CommandLine::Action;
using testing::TempDir;

CommandLine parse(QStringList arguments) {
  arguments.prepend("jumblix");
  return parse_command_line(arguments);
}

// Runs answer_without_window and keeps what it printed.
struct Answer {
  std::optional<int> status;
  std::string out, err;
};
Answer answer(const QStringList& arguments) {
  Answer result;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  result.status = answer_without_window(parse(arguments), out, err);
  for (auto [file, text] : {std::pair{out, &result.out}, std::pair{err, &result.err}}) {
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text->push_back(static_cast<char>(c));
    std::fclose(file);
  }
  return result;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(CommandLine, PlayOptions) {
  const CommandLine plain = parse({});
  EXPECT_EQ(plain.action, Action::play);
  EXPECT_EQ(plain.game_folder, ".");
  EXPECT_TRUE(plain.screenshot_path.isEmpty());
  EXPECT_LT(plain.quit_after_ms, 0);

  const CommandLine all = parse({"--game-folder", "/tmp/g", "--screenshot", "shot.png",
                                 "--quit-after", "1500"});
  EXPECT_EQ(all.action, Action::play);
  EXPECT_EQ(all.game_folder, "/tmp/g");
  EXPECT_EQ(all.screenshot_path, "shot.png");
  EXPECT_EQ(all.quit_after_ms, 1500);
  EXPECT_EQ(parse({"--game-folder=/tmp/h"}).game_folder, "/tmp/h");
}

TEST(CommandLine, UserGameFolderFollowsXdgDataHome) {
  ScopedEnv home("HOME", "/home/player");
  {
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(parse({"--user-game-folder"}).game_folder, "/home/player/.local/share/jumblix");
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/data/player/");
    EXPECT_EQ(parse({"--user-game-folder"}).game_folder, "/data/player/jumblix");
  }
  {
    // A relative XDG_DATA_HOME is not to be used.
    ScopedEnv xdg("XDG_DATA_HOME", "relative");
    EXPECT_EQ(parse({"--user-game-folder"}).game_folder, "/home/player/.local/share/jumblix");
  }
}

TEST(CommandLine, ImportOptionsTakeFilesEitherWay) {
  const CommandLine following = parse({"--add-picture", "a.jpg", "b.png", "c.bmp"});
  EXPECT_EQ(following.action, Action::import_pictures);
  EXPECT_FALSE(following.import_animated);
  EXPECT_EQ(following.import_files, (QStringList{"a.jpg", "b.png", "c.bmp"}));

  const CommandLine repeated =
      parse({"--add-animated-picture", "a.jpg", "--game-folder", "/g", "--add-animated-picture", "b.png"});
  EXPECT_EQ(repeated.action, Action::import_pictures);
  EXPECT_TRUE(repeated.import_animated);
  EXPECT_EQ(repeated.import_files, (QStringList{"a.jpg", "b.png"}));
  EXPECT_EQ(repeated.game_folder, "/g");

  // "--" ends the options, right after the option too.
  EXPECT_EQ(parse({"--add-picture", "--", "-dash.png", "--help"}).import_files, (QStringList{"-dash.png", "--help"}));
  EXPECT_EQ(parse({"--add-picture", "a.png", "--", "-b.png"}).import_files, (QStringList{"a.png", "-b.png"}));
}

TEST(CommandLine, NamesArePrintedOnOneLineWithControlCharactersEscaped) {
  EXPECT_EQ(printable_name("holiday\n2.png"), "holiday\\n2.png");
  EXPECT_EQ(printable_name("\x1B]0;title\a\t.png"), "\\x1b]0;title\\x07\\t.png");
  EXPECT_EQ(printable_name(QString::fromUtf8("caf\u00e9\u0085\\.png")), QString::fromUtf8("caf\u00e9\\x85\\\\.png"));
  const Answer bogus = answer({"--bogus\x1B[2J"});
  EXPECT_EQ(bogus.err.rfind("jumblix: Unknown option 'bogus\\x1b[2J'.\n", 0), 0u) << bogus.err;
}

TEST(CommandLine, HelpAndVersionAnswerOnStdout) {
  const Answer help = answer({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.err.empty());
  for (const char* option : {"--help", "--version", "--game-folder", "--user-game-folder",
                             "--add-picture", "--add-animated-picture", "--screenshot",
                             "--quit-after"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  EXPECT_EQ(help.out.rfind("Usage: jumblix ", 0), 0u);
  EXPECT_EQ(answer({"-h"}).status, 0);

  const Answer version = answer({"-v"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("jumblix ", 0), 0u);
  EXPECT_GT(version.out.size(), std::string("jumblix \n").size());

  EXPECT_EQ(answer({"--quit-after", "10"}).status, std::nullopt);
  EXPECT_EQ(answer({"--add-picture", "a.png"}).status, std::nullopt);
}

TEST(CommandLine, UsageErrorsExitWithStatusTwoAndOneLineOfReason) {
  struct Case {
    QStringList arguments;
    std::string reason;
  };
  const Case cases[] = {
      {{"--bogus"}, "jumblix: Unknown option 'bogus'."},
      {{"--game-folder"}, "jumblix: Missing value after '--game-folder'."},
      {{"--screenshot"}, "jumblix: Missing value after '--screenshot'."},
      {{"--quit-after"}, "jumblix: Missing value after '--quit-after'."},
      {{"--add-picture"}, "jumblix: Missing value after '--add-picture'."},
      {{"--add-picture", "--"}, "jumblix: Missing value after '--add-picture'."},
      {{"--quit-after", "soon"}, "jumblix: --quit-after needs a number of milliseconds"},
      {{"--quit-after", "-5"}, "jumblix: --quit-after needs a number of milliseconds"},
      {{"picture.png"}, "jumblix: Unexpected argument 'picture.png'"},
      {{"--game-folder", "g", "--user-game-folder"}, "jumblix: --game-folder and --user-game-folder"},
      {{"--add-picture", "a", "--add-animated-picture", "b"}, "jumblix: --add-picture and"},
  };
  for (const Case& c : cases) {
    const Answer a = answer(c.arguments);
    const std::string what = c.arguments.join(' ').toStdString();
    EXPECT_EQ(a.status, kUsageExitStatus) << what;
    EXPECT_TRUE(a.out.empty()) << what;
    EXPECT_EQ(a.err.rfind(c.reason, 0), 0u) << what << "\n" << a.err;
    // The reason is one line; the usage follows it.
    EXPECT_EQ(a.err.find("Usage: jumblix "), a.err.find('\n') + 1) << what;
  }
}

TEST(CommandLine, GameFolderIsCreatedOrRefusedWithAReason) {
  TempDir dir;
  QString error;
  const QString nested = QString::fromStdString(dir.file("a/b/jumblix"));
  EXPECT_EQ(make_game_folder(nested, &error), nested);
  EXPECT_TRUE(dir.exists("a/b/jumblix"));
  EXPECT_EQ(make_game_folder(nested, &error), nested);  // already there

  dir.write("plain-file", "x");
  const QString file = QString::fromStdString(dir.file("plain-file"));
  EXPECT_EQ(make_game_folder(file, &error), std::nullopt);
  EXPECT_TRUE(error.contains("is not a folder")) << error.toStdString();
  EXPECT_EQ(make_game_folder(file + "/below", &error), std::nullopt);
  EXPECT_TRUE(error.startsWith("cannot create the game folder")) << error.toStdString();
}

}  // namespace
}  // namespace jumblix
