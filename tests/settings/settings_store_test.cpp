#include "settings/settings_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/test_support.h"
#include "settings/number_text.h"

namespace jumblix::testing {
namespace {

namespace fs = std::filesystem;

struct Written {
  double value;
  const char* bytes;
};

class SettingsWrite : public ::testing::TestWithParam<Written> {};

TEST_P(SettingsWrite, WritesOneNumberLineAndReadsItBack) {
  TempDir dir;
  const SettingsStore store(dir.path());
  ASSERT_TRUE(store.write("movepiece.Time", 777));
  ASSERT_TRUE(store.write("movepiece.Time", GetParam().value));  // truncates, never appends
  EXPECT_EQ(dir.read("movepiece.Time"), GetParam().bytes);
  EXPECT_EQ(store.read("movepiece.Time"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsWrite,
                         ::testing::Values(Written{3, " 3 \r\n"}, Written{100, " 100 \r\n"},
                                           Written{0.5, " .5 \r\n"}, Written{0.25, " .25 \r\n"},
                                           Written{-2, "-2 \r\n"}, Written{0, " 0 \r\n"},
                                           Written{-0.5, "-.5 \r\n"}, Written{1e20, " 100000000000000000000 \r\n"}));

TEST(SettingsRead, TakesTheFirstNumberAndRefusesEverythingElse) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"1", 1},        {".5", 0.5},        {"  7 \r\n", 7},     {"8,9\r\n", 8},         {"2\r\n9", 2},
      {"-3", -3},      {"", std::nullopt}, {"\r\n", std::nullopt}, {"word", std::nullopt}, {"12abc", std::nullopt},
      {"1e999", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt}};
  TempDir dir;
  const SettingsStore store(dir.path());
  for (const auto& [text, value] : cases) {
    dir.write("rotate.mode", text);
    EXPECT_EQ(store.read("rotate.mode"), value) << '"' << text << '"';
  }
  EXPECT_EQ(store.read("missing.file"), std::nullopt);
}

TEST(SettingsFiles, NamesMatchWithoutRegardToLetterCase) {
  TempDir dir;
  const SettingsStore store(dir.path());
  dir.write("animation.Time", " 7 \r\n");
  EXPECT_EQ(store.read("animation.time"), 7);
  ASSERT_TRUE(store.write("ANIMATION.TIME", 1));
  EXPECT_EQ(dir.read("animation.Time"), " 1 \r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// Settings copied from another system may hold a name in two spellings: reads and writes of
// either spelling all reach the first in name order.
TEST(SettingsFiles, BothSpellingsPresentReachOneFile) {
  TempDir dir;
  const SettingsStore store(dir.path());
  dir.write("animation.time", " 0 \r\n");
  dir.write("animation.Time", " 1 \r\n");
  EXPECT_EQ(store.read("animation.time"), 1);
  ASSERT_TRUE(store.write("animation.time", 0));
  EXPECT_EQ(store.read("animation.Time"), 0);
  EXPECT_EQ(dir.read("animation.Time"), " 0 \r\n");
}

// The bytes this process has read through read() so far, as the kernel counts them.
std::optional<long long> bytes_read_so_far() {
  std::ifstream io("/proc/self/io");
  for (std::string field; io >> field;) {
    long long value = 0;
    if (!(io >> value)) break;
    if (field == "rchar:") return value;
  }
  return std::nullopt;
}

// A huge file, or a FIFO, where a setting should be: the first few kilobytes or nothing.
TEST(SettingsFiles, ReadsOnlyTheStartOfARegularFile) {
  TempDir dir;
  const SettingsStore store(dir.path());
  dir.write("rotate.mode", "1\r");  // no line end: the rest of 256 MB is one long line
  ASSERT_EQ(::truncate(dir.file("rotate.mode").c_str(), 256 << 20), 0);
  const auto before = bytes_read_so_far();
  EXPECT_EQ(store.read("rotate.mode"), 1);
  if (const auto after = bytes_read_so_far(); before && after) {
    EXPECT_LE(*after - *before, 1 << 20) << "read far beyond the first line";
  }
  ASSERT_EQ(::mkfifo(dir.file("puzzle.settings").c_str(), 0600), 0);
  EXPECT_EQ(store.read("puzzle.settings"), std::nullopt);  // returns at once, no writer needed
}

// On a failed write (a full disk, here an injected failure) the old file stays whole; a
// symbolic link is replaced, and the file it points to is never written.
TEST(SettingsFiles, FailedWriteKeepsTheOldFileAndLinksAreNotFollowed) {
  TempDir dir;
  const SettingsStore store(dir.path());
  ASSERT_TRUE(store.write("movepiece.Time", 5));
  fail_file_writes_for_testing(ENOSPC);
  std::string error;
  EXPECT_FALSE(store.write("movepiece.Time", 7, &error));
  fail_file_writes_for_testing(0);
  EXPECT_EQ(error, std::strerror(ENOSPC));
  EXPECT_EQ(dir.read("movepiece.Time"), " 5 \r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << "no leftovers";

  dir.write("elsewhere/notes.txt", "12 keep me");
  fs::create_symlink(dir.file("elsewhere/notes.txt"), dir.file("sunset.colour"));
  ASSERT_TRUE(store.write("sunset.colour", 4));
  EXPECT_EQ(dir.read("elsewhere/notes.txt"), "12 keep me");
  EXPECT_EQ(dir.read("sunset.colour"), " 4 \r\n");
  EXPECT_FALSE(store.write("../escaped.colour", 4));
  EXPECT_FALSE(fs::exists(fs::path(dir.path()).parent_path() / "escaped.colour"));
}

TEST(SettingsFiles, WritingWhereNoFileCanBeMadeFails) {
  TempDir dir;
  dir.write("plain-file", "x");
  fs::create_directory(dir.file("rotate.mode"));
  EXPECT_FALSE(SettingsStore(dir.file("missing")).write("rotate.mode", 1));
  EXPECT_FALSE(SettingsStore(dir.file("plain-file")).write("rotate.mode", 1));
  EXPECT_FALSE(SettingsStore(dir.path()).write("rotate.mode", 1));  // a folder of that name
  fs::create_directory(dir.file("locked"));
  fs::permissions(dir.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
  if (::geteuid() != 0) {  // permissions do not bind the superuser
    EXPECT_FALSE(SettingsStore(dir.file("locked")).write("rotate.mode", 1));
  }
}

TEST(SettingsFiles, ScreensaverCopiesGoOnlyIntoAnExistingFolder) {
  TempDir dir;
  const char* old = std::getenv("JUMBLIX_SYSTEM_DIR");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  ::setenv("JUMBLIX_SYSTEM_DIR", dir.path().c_str(), 1);
  EXPECT_EQ(fs::path(screensaver_picture_folder()), fs::path(dir.file("Jumblix-pictures")));
  EXPECT_FALSE(write_screensaver_copy("sunset.colour", 4));
  EXPECT_FALSE(fs::exists(screensaver_colour_folder()));
  fs::create_directory(dir.file("Quiltrest-pictures"));
  EXPECT_TRUE(write_screensaver_copy("sunset.colour", 4));
  EXPECT_EQ(dir.read("Quiltrest-pictures/sunset.colour"), " 4 \r\n");
  saved ? ::setenv("JUMBLIX_SYSTEM_DIR", saved->c_str(), 1) : ::unsetenv("JUMBLIX_SYSTEM_DIR");
}

TEST(NumberText, ReadsTheLeadingNumberAndWritesTheShortestDecimal) {
  const std::pair<const char*, double> cases[] = {{"25", 25}, {"-7", -7}, {"ab", 0},  {"", 0},
                                                  {" 3x", 3}, {".5", 0.5}, {"1.2.3", 1.2}, {"-", 0}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(leading_number(text), value) << text;
  EXPECT_EQ(leading_number(std::string(400, '9')), 0);  // too large to be a number
  EXPECT_EQ(shortest_decimal(1), "1");
  EXPECT_EQ(shortest_decimal(0.5), ".5");
  EXPECT_EQ(shortest_decimal(100), "100");
  EXPECT_EQ(shortest_decimal(-0.25), "-.25");
}

}  // namespace
}  // namespace jumblix::testing
