// Startup, the title screen and the way from it to a first puzzle.
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "app/game_harness.h"
#include "platform/picture.h"
#include "puzzle/picture_library.h"

namespace jumblix::testing {
namespace {

using StartupTest = GameTest;

TEST_F(StartupTest, EmptyDirectoryGetsTitlePicturesAndDefaults) {
  GameRunner& r = start();
  Puzzlemaker& g = r.game;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));

  const auto title = load_bitmap(dir.file("regular pictures/title1.bmp"));
  const auto sprite = load_bitmap(dir.file("animation pictures/title2.bmp"));
  ASSERT_TRUE(title && sprite);
  EXPECT_EQ(title->width, 800);
  EXPECT_EQ(title->height, 600);
  EXPECT_EQ(sprite->width, 267);
  EXPECT_EQ(sprite->height, 236);
  EXPECT_EQ(*title, g.title_picture) << "the title picture is saved without loss";

  EXPECT_EQ(g.rotatable, 0);
  EXPECT_TRUE(g.no.checked());
  EXPECT_FALSE(g.yes.checked());
  EXPECT_EQ(g.anim_slow, 0);
  EXPECT_TRUE(g.tfast.checked());
  EXPECT_DOUBLE_EQ(g.move_time, 1);
  EXPECT_DOUBLE_EQ(g.rotate_time, 1);
  EXPECT_DOUBLE_EQ(g.new_picture_time, 100);
  EXPECT_EQ(g.default_puzzle_bg, 3);
  EXPECT_EQ(g.default_picture_bg, 15);
  EXPECT_TRUE(g.spictures.checked());
  EXPECT_EQ(g.File1.entries(), std::vector<std::string>{"title1.bmp"});
  EXPECT_EQ(g.File2.entries(), std::vector<std::string>{"title2.bmp"});
  EXPECT_EQ(g.Text3.text(), "title1.bmp");
  // The title puzzle keeps inviting the player to click and is solved by the computer.
  EXPECT_EQ(g.caption(), kTitleCaption);
  EXPECT_EQ(g.solve_mode, 2);
  EXPECT_EQ(g.puzzle.W, 4);
  EXPECT_EQ(g.puzzle.H, 4);
  EXPECT_TRUE(g.puzzle.pic_name == "title1.bmp" || g.puzzle.pic_name == "title2.bmp");
  // Every option button shows the colour it stands for.
  EXPECT_EQ(g.Option1.background(), 0);
  EXPECT_EQ(g.Option2.background(), 15);
  EXPECT_EQ(g.Option3.background(), 2);
  EXPECT_EQ(g.Option16.background(), 1);
}

TEST_F(StartupTest, SettingsFilesAreHonouredAndBadOnesKeepDefaults) {
  dir.write("rotate.mode", " 1 \r\n");
  dir.write("puzzle.settings", "2");
  dir.write("animation.Time", " 1 \r\n");  // read under another spelling
  dir.write("movepiece.Time", " .5 \r\n");
  dir.write("newpuzzle.Time", "-3");        // not a usable delay
  dir.write("rotate.Time", "nan");
  dir.write("colour.dcolour", " 99 \r\n");  // not one of the 16 colours
  dir.write("colour.dcolour2", "1e999");
  dir.write("regular pictures/notes.txt", "not a picture");
  GameRunner& r = start();
  Puzzlemaker& g = r.game;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));
  EXPECT_EQ(g.rotatable, 1);
  EXPECT_TRUE(g.yes.checked());
  EXPECT_EQ(g.no_saver_copy, 1);
  EXPECT_TRUE(g.dspictures.checked());
  EXPECT_FALSE(g.spictures.checked());
  EXPECT_EQ(g.anim_slow, 1);
  EXPECT_TRUE(g.tslow.checked());
  EXPECT_FALSE(g.tfast.checked());
  EXPECT_DOUBLE_EQ(g.move_time, 0.5);
  EXPECT_DOUBLE_EQ(g.new_picture_time, 100);
  EXPECT_DOUBLE_EQ(g.rotate_time, 1);
  EXPECT_EQ(g.default_puzzle_bg, 3) << "a colour outside the 16 counts as no colour";
  EXPECT_EQ(g.default_picture_bg, 15);
  EXPECT_EQ(g.File1.entries(), std::vector<std::string>{"title1.bmp"});
  // The files are read, never rewritten, at startup.
  EXPECT_EQ(dir.read("colour.dcolour"), " 99 \r\n");
}

// A timer that would wait longer than a day never fires: such times count as missing.
TEST_F(StartupTest, TimesOverADayCountAsMissing) {
  dir.write("movepiece.Time", "1e300");
  dir.write("newpuzzle.Time", "2147483648");
  dir.write("rotate.Time", " 8640001 \r\n");
  GameRunner& r = start();
  Puzzlemaker& g = r.game;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));
  EXPECT_DOUBLE_EQ(g.move_time, 1);
  EXPECT_DOUBLE_EQ(g.new_picture_time, 100);
  EXPECT_DOUBLE_EQ(g.rotate_time, 1);
}

// The mode files are numbers compared exactly: .6 is not 1 and .4 is not 0.
TEST_F(StartupTest, FractionsInModeFilesAreNotRounded) {
  dir.write("rotate.mode", " .6 \r\n");
  dir.write("puzzle.settings", " .4 \r\n");
  GameRunner& r = start();
  Puzzlemaker& g = r.game;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));
  EXPECT_EQ(g.rotatable, 0);
  EXPECT_TRUE(g.no.checked());
  EXPECT_EQ(g.no_saver_copy, 1);
  EXPECT_TRUE(g.dspictures.checked());
}

TEST_F(StartupTest, TitlePuzzleUsesTitleColoursUnlessTheTitleHasItsOwn) {
  dir.write("colour.dcolour", " 4 \r\n");
  dir.write("colour.dcolour2", " 5 \r\n");
  std::filesystem::create_directories(system.file("Quiltrest-pictures"));
  GameRunner& r = start();
  Puzzlemaker& g = r.game;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));
  EXPECT_EQ(g.puzzle.puzzle_bg, 3);
  EXPECT_EQ(g.puzzle.picture_bg, 15);

  // With colour files of their own, both title pictures take them (and the
  // puzzle colour is copied for the screensaver).
  dir.write("title1.colour", " 9 \r\n");
  dir.write("title2.colour", " 9 \r\n");
  dir.write("title2.colour2", " 12 \r\n");
  g.phase = 3;
  g.started = 0;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));
  EXPECT_EQ(g.puzzle.puzzle_bg, 9);
  EXPECT_EQ(g.puzzle.picture_bg, g.puzzle.pic_kind == 1 ? 12 : 15);
  EXPECT_EQ(system.read("Quiltrest-pictures/" + g.puzzle.pic_base + ".colour"), " 9 \r\n");
}

TEST_F(StartupTest, ClickOnTitleLeadsToStartPanelThenBeginMakesFirstPuzzle) {
  GameRunner& r = start();
  Puzzlemaker& g = r.game;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));
  EXPECT_FALSE(g.instructions.visible());
  r.loop.mouse_down(10, 10);
  ASSERT_TRUE(r.run_until([&] { return g.Command1.visible(); }));
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel");
  EXPECT_EQ(g.solve_mode, 0);
  for (Control* c : std::initializer_list<Control*>{&g.Label1, &g.Label2, &g.Label5, &g.Label8, &g.File1,
                                                    &g.File2, &g.Text1, &g.Text2, &g.Text3})
    EXPECT_TRUE(c->visible()) << c->name();
  EXPECT_TRUE(g.instructions.visible());
  EXPECT_TRUE(g.ffgf.visible());
  EXPECT_FALSE(g.puzzle7.visible());

  // The start panel waits for "Begin" however long it takes.
  r.run_for(30000);
  EXPECT_TRUE(g.Command1.visible());
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel");

  r.loop.press(g.Command1);
  ASSERT_TRUE(r.run_until([&] { return !g.Command1.visible(); }));
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel-(Solving regular puzzle)");
  EXPECT_EQ(g.phase, 3);
  EXPECT_EQ(g.puzzle.pic_name, "title1.bmp");
  EXPECT_TRUE(g.puzzle7.visible());
  EXPECT_TRUE(g.soptions.visible());
  EXPECT_TRUE(g.colour.visible());
  EXPECT_EQ(g.puzzle.in_place, 0);
  EXPECT_GT(g.puzzle.solution_len(), 0);
}

// Temporary files of a run killed in the middle of a write go at the next start, from every
// folder the game writes; one a minute old at most (a second copy of the game may be writing
// it) and files of other names stay.
TEST_F(StartupTest, LeftoverTemporaryFilesAreRemovedAtStart) {
  const std::string stale[] = {".jumblix-a1B2c3", "regular pictures/.jumblix-Zz9yX8",
                               "Jumblix-pictures/.jumblix-000000"};
  const std::string kept[] = {".jumblix-fresh1", ".jumblix-old", "jumblix-abcdef"};
  const auto two_minutes_ago = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2);
  for (const std::string& name : stale) {
    TempDir& folder = name.rfind("Jumblix-pictures", 0) == 0 ? system : dir;
    folder.write(name, "half a file");
    std::filesystem::last_write_time(folder.file(name), two_minutes_ago);
  }
  for (const std::string& name : kept) dir.write(name, "not a leftover");
  std::filesystem::last_write_time(dir.file(".jumblix-old"), two_minutes_ago);
  std::filesystem::last_write_time(dir.file("jumblix-abcdef"), two_minutes_ago);
  GameRunner& r = start();
  ASSERT_TRUE(r.run_until([&] { return r.game.started == 1; }));
  EXPECT_FALSE(dir.exists(stale[0]));
  EXPECT_FALSE(dir.exists(stale[1]));
  EXPECT_FALSE(system.exists(stale[2]));
  for (const std::string& name : kept) EXPECT_TRUE(dir.exists(name)) << name;
}

// Picture folders that cannot be used (here: files standing where the folders would go)
// leave the lists empty; the start panel names the folder and the system's reason once, and
// "Begin" makes a puzzle from the built-in picture. A setting that cannot be kept is named.
TEST_F(StartupTest, UnwritableWorkingDirectoryDoesNotStopTheGame) {
  dir.write("regular pictures", "a file, not a folder");
  dir.write("animation pictures", "a file, not a folder");
  dir.write("rotate.mode/keep", "a folder where the setting's file would be");
  GameRunner& r = start();
  Puzzlemaker& g = r.game;
  ASSERT_TRUE(r.run_until([&] { return g.started == 1; }));
  EXPECT_EQ(g.File1.count(), 0);
  EXPECT_EQ(g.File2.count(), 0);
  EXPECT_GT(g.puzzle.solution_len(), 0) << "the title puzzle uses the built-in pictures";
  EXPECT_FALSE(g.message.visible());
  r.loop.mouse_down(5, 5);
  ASSERT_TRUE(r.run_until([&] { return g.Command1.visible(); }));
  EXPECT_TRUE(g.message.visible());
  const std::string said = g.message.caption();
  EXPECT_NE(said.find("/regular pictures\" (and \"animation pictures\") cannot be read or written (Not a directory)"),
            std::string::npos) << said;
  EXPECT_EQ(said.find("settings"), std::string::npos) << "the game folder can be written: " << said;
  r.loop.press(g.Command1);
  ASSERT_TRUE(r.run_until([&] { return !g.Command1.visible(); }, 100));
  EXPECT_EQ(g.begun, 1);
  EXPECT_TRUE(g.puzzle7.visible());
  EXPECT_EQ(g.phase, 3);
  EXPECT_EQ(g.puzzle.pic_name, "title1.bmp");
  EXPECT_GT(g.puzzle.solution_len(), 0);
  EXPECT_FALSE(g.message.visible()) << "said once";
  r.loop.menu(g.yes);
  r.run_for(3);
  EXPECT_TRUE(g.yes.checked());
  EXPECT_TRUE(g.message.visible()) << "the setting that could not be kept is named";
  EXPECT_NE(g.message.caption().find("rotate.mode"), std::string::npos) << g.message.caption();
}

// Only the regular pictures cannot be listed: that folder is named, and "Begin" plays the
// built-in picture without a word about a picture with no name.
TEST_F(StartupTest, AnUnreadablePictureFolderIsNamedWithItsReason) {
  dir.write("regular pictures", "a file, not a folder");
  GameRunner& r = begin_first_puzzle();
  Puzzlemaker& g = r.game;
  EXPECT_EQ(g.File1.count(), 0);
  EXPECT_EQ(g.puzzle.pic_name, "title1.bmp");
  EXPECT_GT(g.puzzle.solution_len(), 0);
  EXPECT_NE(g.folder_problem.find("/regular pictures\" cannot be read or written (Not a directory)."),
            std::string::npos) << g.folder_problem;
  EXPECT_FALSE(g.message.visible()) << g.message.caption();
  if (::geteuid() == 0) return;  // permissions do not bind the superuser
  TempDir other;
  std::filesystem::create_directories(other.file("regular pictures"));
  std::filesystem::permissions(other.file("regular pictures"), std::filesystem::perms::owner_write |
                                                                   std::filesystem::perms::owner_exec);
  HeadlessLoop loop;
  Puzzlemaker game(loop, other.path());
  game.startup();
  EXPECT_NE(game.folder_problem.find("/regular pictures\" cannot be read (Permission denied)"), std::string::npos)
      << game.folder_problem;
}

// A drawing area too small for the cells: no division by zero, nothing drawn off the canvas.
TEST_F(StartupTest, TinyWindowStillMakesAndSolvesAPuzzle) {
  GameRunner& r = begin_first_puzzle("20", "20");
  Puzzlemaker& g = r.game;
  g.canvas.resize(30, 12);
  g.move_time = 0;
  r.loop.menu(g.newpuzzle);
  ASSERT_TRUE(r.run_until([&] { return g.puzzle.piece_w == 1; }, 100));
  EXPECT_EQ(g.puzzle.piece_h, 0);
  r.loop.mouse_down(3, 3);
  r.loop.key_down(kKeyLeft);
  r.loop.menu(g.csolve);
  EXPECT_TRUE(r.run_until([&] { return g.phase == 4; }, 1e7));
}

}  // namespace
}  // namespace jumblix::testing
