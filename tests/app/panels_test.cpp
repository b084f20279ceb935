// The in-window panels: picture chooser, colours, times, and the menu switches.
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "app/game_harness.h"
#include "platform/file_io.h"
#include "platform/palette.h"
#include "platform/test_support.h"

namespace jumblix::testing {
namespace {

class PanelTest : public GameTest {
 protected:
  // Clears the box as a player would, types the text and presses `key` in it.
  void enter(TextBox& box, const std::string& text, int key = kKeyEnter) {
    box.set_text("");
    r().loop.type(box, text);
    r().loop.key_in(box, key);
    r().run_for(3);
  }
  void add_picture(const std::string& folder, const std::string& name, std::uint32_t colour) {
    std::filesystem::create_directories(dir.file(folder));
    ASSERT_TRUE(save_bitmap(dir.file(folder + "/" + name), Picture(800, 600, colour)));
  }
  void switch_to_animated() {
    menu(game().choosepicture2);
    press(game().Command2);
    ASSERT_EQ(game().puzzle.pic_kind, 1);
  }
};

TEST_F(PanelTest, ChooserPicksPictureAndSizeOrCancels) {
  add_picture("regular pictures", "zebra.bmp", 0xFFFF8000);
  begin_first_puzzle();
  Puzzlemaker& g = game();
  menu(g.choosepicture);
  EXPECT_EQ(g.phase, -5);
  EXPECT_EQ(g.Text3.text(), "title1.bmp") << "nothing selected: the first listed picture";
  EXPECT_FALSE(g.puzzle7.enabled());
  EXPECT_FALSE(g.soptions.enabled());
  EXPECT_FALSE(g.colour.enabled());
  EXPECT_TRUE(g.Command2.visible() && g.Command3.visible() && g.File1.visible());
  EXPECT_FALSE(g.File2.visible());

  // Sizes over 20 are cut as they are typed.
  g.Text1.set_text("");
  r().loop.type(g.Text1, "25");
  g.Text2.set_text("");
  r().loop.type(g.Text2, "19");
  r().run_for(3);
  EXPECT_EQ(g.Text1.text(), "20");
  EXPECT_EQ(g.Text2.text(), "19");

  r().loop.pick(g.File1, 1);
  r().run_for(3);
  EXPECT_EQ(g.Text3.text(), "zebra.bmp");
  press(g.Command3);  // Cancel
  EXPECT_EQ(g.Text1.text(), "4");
  EXPECT_EQ(g.Text2.text(), "4");
  EXPECT_EQ(g.Text3.text(), "title1.bmp");
  EXPECT_EQ(g.phase, 3);
  EXPECT_TRUE(g.puzzle7.enabled());
  EXPECT_FALSE(g.Command2.visible());

  menu(g.choosepicture);
  g.Text1.set_text("0");
  g.Text2.set_text("ab");
  r().loop.pick(g.File1, 1);
  press(g.Command2);  // Done
  EXPECT_EQ(g.puzzle.pic_name, "zebra.bmp");
  EXPECT_EQ(g.puzzle.W, 2);
  EXPECT_EQ(g.puzzle.H, 2);
  EXPECT_EQ(g.Text1.text(), "2");
  EXPECT_EQ(g.canvas.pixel(500, 300), 0xFFFF8000u) << "the board is cut from the new picture";
  // With the screensaver copy on, a regular picture is copied there (when the folder exists).
  EXPECT_FALSE(std::filesystem::exists(system.file("Jumblix-pictures/zebra.bmp")));
}

TEST_F(PanelTest, DoneWithRandomPicturesOnMakesOneChosenPuzzle) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  menu(g.prandom);
  EXPECT_EQ(g.Check1.value(), 1);
  switch_to_animated();
  EXPECT_EQ(g.puzzle.pic_name, "title2.bmp");
  EXPECT_TRUE(g.prandom.checked()) << "random pictures come back once the chosen puzzle is made";
  EXPECT_FALSE(g.pnrandom.checked());
  EXPECT_EQ(g.Check1.value(), 1);
  EXPECT_EQ(g.File2.left(), g.File1.left()) << "the animated list stands where the regular one does";
  EXPECT_TRUE(g.pcolour2.visible());
  EXPECT_TRUE(g.anispeed.enabled());
  menu(g.newpuzzle);  // a random picture of the same kind
  EXPECT_EQ(g.puzzle.pic_kind, 1);
}

TEST_F(PanelTest, UnloadablePictureKeepsThePreviousOneAndSaysSo) {
  dir.write("regular pictures/zbroken.bmp", "BM this is not really a bitmap");
  begin_first_puzzle();
  Puzzlemaker& g = game();
  menu(g.choosepicture);
  r().loop.pick(g.File1, 1);  // zbroken.bmp
  press(g.Command2);
  EXPECT_EQ(g.puzzle.pic_name, "title1.bmp");
  EXPECT_TRUE(g.message.visible());
  EXPECT_NE(g.message.caption().find("zbroken.bmp"), std::string::npos);
  EXPECT_EQ(g.phase, 3);
  EXPECT_EQ(g.puzzle.in_place, 0) << "a proper puzzle is still made from the previous picture";
  menu(g.newpuzzle);  // the name still points at the broken file: still refused, still playable
  EXPECT_EQ(g.puzzle.pic_name, "title1.bmp");
  // The notice goes away by itself after a few seconds, or at the player's next action.
  ASSERT_TRUE(g.message.visible());
  r().run_for(6000);
  EXPECT_FALSE(g.message.visible());
  menu(g.newpuzzle);
  ASSERT_TRUE(g.message.visible());
  r().loop.mouse_down(300, 5);  // on the notice: a click on the board all the same
  r().run_for(3);
  EXPECT_FALSE(g.message.visible());

  // A picture over the game's limit says so, with the limit.
  std::string huge = "BM" + std::string(8, '\0') + std::string("\x36\0\0\0\x28\0\0\0", 8);
  huge += std::string("\x20\x4E\0\0\x20\x4E\0\0\x01\0\x18\0", 12) + std::string(24 + 64, '\0');
  dir.write("regular pictures/zbroken.bmp", huge);  // 20000 x 20000
  menu(g.newpuzzle);
  EXPECT_EQ(g.puzzle.pic_name, "title1.bmp");
  EXPECT_NE(g.message.caption().find("too large (at most 16384 pixels a side"), std::string::npos)
      << g.message.caption();
}

// "Chosen picture:" names a file in its picture folder: an absolute name, or one that climbs
// out with "../", is no picture, and nothing is written for it anywhere.
TEST_F(PanelTest, TypedPathsOutsideThePictureFolderAreRefusedAndNothingIsWritten) {
  std::filesystem::create_directories(system.file("Jumblix-pictures"));
  std::filesystem::create_directories(system.file("Quiltrest-pictures"));
  add_picture("outside", "victim.bmp", 0xFF102030);
  dir.write("outside/victim.colour", " 4 \r\n");
  const std::string picture_bytes = dir.read("outside/victim.bmp");
  const auto colour_time = std::filesystem::last_write_time(dir.file("outside/victim.colour"));
  begin_first_puzzle();
  Puzzlemaker& g = game();
  for (const std::string& typed : {dir.file("outside/victim.bmp"), std::string("../outside/victim.bmp")}) {
    menu(g.choosepicture);
    g.Text3.set_text(typed);
    press(g.Command2);
    EXPECT_EQ(g.puzzle.pic_name, "title1.bmp") << typed;
    EXPECT_NE(g.message.caption().find("could not be loaded"), std::string::npos) << typed;
  }
  EXPECT_EQ(dir.read("outside/victim.bmp"), picture_bytes);
  EXPECT_EQ(std::filesystem::last_write_time(dir.file("outside/victim.colour")), colour_time);
  EXPECT_FALSE(std::filesystem::exists(system.file("Quiltrest-pictures/victim.colour")));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(system.path()))
    EXPECT_EQ(entry.path().filename().string().find("victim"), std::string::npos) << entry.path();
}

// A listed name that is not valid UTF-8 loads by its exact bytes; its screensaver copy, made
// once, is not written again while it is unchanged.
TEST_F(PanelTest, ListedNamesLoadByTheirBytesAndUnchangedCopiesStay) {
  std::filesystem::create_directories(system.file("Jumblix-pictures"));
  const std::string name = "caf\xE9.bmp";
  add_picture("regular pictures", name, 0xFF406080);
  begin_first_puzzle();
  Puzzlemaker& g = game();
  menu(g.choosepicture);
  r().loop.pick(g.File1, 0);
  ASSERT_EQ(g.Text3.text(), name);
  press(g.Command2);
  EXPECT_EQ(g.puzzle.pic_name, name);
  EXPECT_FALSE(g.message.visible()) << g.message.caption();
  EXPECT_EQ(g.canvas.pixel(500, 300), 0xFF406080u);
  struct stat before {}, after {};
  ASSERT_EQ(::stat(system.file("Jumblix-pictures/" + name).c_str(), &before), 0);
  menu(g.newpuzzle);
  ASSERT_EQ(::stat(system.file("Jumblix-pictures/" + name).c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino) << "an identical copy is not rewritten";
}

// A setting that cannot be written (a full disk) keeps its old file and the player is told; so
// is a picture whose colour file's name is too long for the file system.
TEST_F(PanelTest, SettingsThatCannotBeSavedAreSaidSo) {
  const std::string long_name = std::string(250, 'p') + ".bmp";  // ".colour" makes 257 bytes
  add_picture("regular pictures", long_name, 0xFF405060);
  dir.write("movepiece.Time", " 5 \r\n");
  begin_first_puzzle();
  Puzzlemaker& g = game();
  fail_file_writes_for_testing(ENOSPC);
  menu(g.cpiece);
  enter(g.Text4, "9");
  fail_file_writes_for_testing(0);
  EXPECT_EQ(g.move_time, 9) << "the value holds for this run";
  EXPECT_EQ(dir.read("movepiece.Time"), " 5 \r\n");
  EXPECT_TRUE(g.message.visible());
  EXPECT_NE(g.message.caption().find("could not be saved"), std::string::npos) << g.message.caption();

  menu(g.choosepicture);
  r().loop.pick(g.File1, 0);
  press(g.Command2);
  ASSERT_EQ(g.puzzle.pic_name, long_name);
  menu(g.pcolour);
  g.Option5.set_value(true);
  press(g.Command5);
  EXPECT_EQ(g.puzzle.puzzle_bg, 4);
  EXPECT_NE(g.message.caption().find("The colour of this picture could not be saved"), std::string::npos)
      << g.message.caption();
}

TEST_F(PanelTest, OwnPicturesAreListedAtOnceAndMakePuzzles) {
  std::filesystem::create_directories(dir.file("photos"));
  ASSERT_TRUE(save_bitmap(dir.file("photos/meadow.bmp"), Picture(400, 300, 0xFF20A040)));
  dir.write("photos/notes.txt", "not a picture");
  begin_first_puzzle();
  Puzzlemaker& g = game();
  r().loop.answer_picture_dialog({dir.file("photos/meadow.bmp")}, false);
  menu(g.addpictures);
  EXPECT_EQ(g.File1.entries(), (std::vector<std::string>{"meadow.bmp", "title1.bmp"}));
  EXPECT_TRUE(g.message.visible());
  r().loop.answer_picture_dialog({dir.file("photos/meadow.bmp")}, true);
  menu(g.addpictures);
  EXPECT_EQ(g.File2.entries(), (std::vector<std::string>{"meadow.bmp", "title2.bmp"}));

  r().loop.drop_files({dir.file("photos/notes.txt")});
  r().run_for(3);
  EXPECT_TRUE(g.message.visible());
  EXPECT_NE(g.message.caption().find("notes.txt"), std::string::npos) << g.message.caption();
  EXPECT_EQ(g.File1.count(), 2);

  menu(g.choosepicture);
  r().loop.pick(g.File1, 0);
  press(g.Command2);
  EXPECT_EQ(g.puzzle.pic_name, "meadow.bmp");
  EXPECT_EQ(g.canvas.pixel(500, 300), 0xFF20A040u) << "the board is cut from the imported picture";
}

TEST_F(PanelTest, ColourPanelsSelectGreyWriteAndCopy) {
  dir.write("title2.colour", " 4 \r\n");
  std::filesystem::create_directories(system.file("Quiltrest-pictures"));
  begin_first_puzzle();
  Puzzlemaker& g = game();
  switch_to_animated();
  ASSERT_EQ(g.puzzle.puzzle_bg, 4);
  ASSERT_EQ(g.puzzle.picture_bg, 15);

  menu(g.pcolour);
  EXPECT_EQ(g.phase, -2);
  EXPECT_TRUE(g.Label7.visible());
  EXPECT_TRUE(g.Option5.value());
  EXPECT_FALSE(g.Option2.enabled()) << "the picture's background colour is not offered";
  press(g.Command4);  // Cancel changes nothing
  EXPECT_EQ(g.puzzle.puzzle_bg, 4);
  EXPECT_FALSE(g.Option1.visible());

  menu(g.pcolour2);
  EXPECT_TRUE(g.Option2.value());
  EXPECT_FALSE(g.Option5.enabled());
  EXPECT_TRUE(g.Option2.enabled());
  g.Option14.set_value(true);  // light magenta
  press(g.Command5);
  EXPECT_EQ(g.puzzle.picture_bg, 13);
  EXPECT_EQ(dir.read("title2.colour2"), " 13 \r\n");
  EXPECT_EQ(system.read("Quiltrest-pictures/colour.dcolour"), " 3 \r\n") << "refreshed on every Done";

  // Even with screensaver copies switched off, Done refreshes the default colour's copy.
  menu(g.dspictures);
  menu(g.dcolour);
  g.Option16.set_value(true);  // blue
  press(g.Command5);
  EXPECT_EQ(g.default_puzzle_bg, 1);
  EXPECT_EQ(dir.read("colour.dcolour"), " 1 \r\n");
  EXPECT_EQ(system.read("Quiltrest-pictures/colour.dcolour"), " 1 \r\n");
  EXPECT_EQ(g.phase, 3);
  EXPECT_TRUE(g.colour.enabled());
}

TEST_F(PanelTest, FinishedPictureRepaintsItsGridInTheNewPuzzleColour) {
  begin_first_puzzle("2", "2");
  Puzzlemaker& g = game();
  g.move_time = 0;
  menu(g.csolve);
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 10000));
  menu(g.pcolour);
  g.Option13.set_value(true);  // light red
  press(g.Command5);
  EXPECT_EQ(g.canvas.pixel(g.puzzle.piece_w, 5), palette_rgb(12));
  EXPECT_EQ(dir.read("title1.colour"), " 12 \r\n");
}

TEST_F(PanelTest, PictureColourChangedDuringPlayKeepsTheGridAndTheGap) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  switch_to_animated();
  const PuzzleState& s = g.puzzle;
  menu(g.pcolour2);
  g.Option14.set_value(true);  // light magenta
  press(g.Command5);
  ASSERT_EQ(s.picture_bg, 13);
  const std::uint32_t grid = palette_rgb(s.puzzle_bg);
  EXPECT_EQ(g.canvas.pixel(s.piece_w, s.piece_h / 2), grid);
  EXPECT_EQ(g.canvas.pixel(s.piece_w / 2, s.piece_h), grid);
  const Cell gap = s.gap();
  EXPECT_EQ(g.canvas.pixel((gap.x - 1) * s.piece_w + s.piece_w / 2, (gap.y - 1) * s.piece_h + s.piece_h / 2),
            grid) << "the gap";
}

TEST_F(PanelTest, RegularPuzzleAfterAnAnimatedOneShowsItsOwnPictureBeyondTheBoard) {
  std::filesystem::create_directories(dir.file("regular pictures"));
  ASSERT_TRUE(save_bitmap(dir.file("regular pictures/coded.bmp"), coded_picture(800, 600)));
  begin_first_puzzle();
  Puzzlemaker& g = game();
  switch_to_animated();
  menu(g.choosepicture);
  r().loop.pick(g.File1, 0);  // coded.bmp
  press(g.Command2);
  const PuzzleState& s = g.puzzle;
  ASSERT_EQ(s.pic_name, "coded.bmp");
  const int right = g.canvas.width() - 1;
  ASSERT_GT(right, s.piece_w * s.W) << "a strip beyond the last grid line";
  for (int y : {10, 200, g.canvas.height() - 1})
    EXPECT_EQ(g.canvas.pixel(right, y), code(right, y)) << "y " << y;
}

TEST_F(PanelTest, RegularPuzzleAfterAnAnimatedOneGetsTheWindowsNormalSize) {
  start(1000, 600);
  begin_first_puzzle();
  Puzzlemaker& g = game();
  ASSERT_EQ(g.canvas.width(), 754);
  switch_to_animated();
  ASSERT_EQ(g.canvas.width(), 1000);
  menu(g.choosepicture);
  press(g.Command2);
  EXPECT_EQ(g.canvas.width(), 754);
  EXPECT_EQ(g.canvas.height(), 385);
  EXPECT_EQ(g.puzzle.piece_w, 754 / 4);
}

TEST_F(PanelTest, TimePanelsReadCorrectAndStore) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  menu(g.cpiece);
  EXPECT_EQ(g.Text4.text(), "1");
  EXPECT_EQ(g.phase, 0);
  EXPECT_FALSE(g.soptions.enabled());
  enter(g.Text4, "-5");
  EXPECT_EQ(g.move_time, 0);
  EXPECT_EQ(g.Text4.text(), "0");
  EXPECT_EQ(dir.read("movepiece.Time"), " 0 \r\n");
  EXPECT_FALSE(g.Text4.visible());
  EXPECT_EQ(g.phase, 3);

  menu(g.cpiece);
  enter(g.Text4, ".5");
  EXPECT_EQ(g.move_time, 0.5);
  EXPECT_EQ(dir.read("movepiece.Time"), " .5 \r\n");
  menu(g.cpiece);
  EXPECT_EQ(g.Text4.text(), ".5");
  enter(g.Text4, "");
  EXPECT_EQ(g.move_time, 0);

  menu(g.cpicture);
  EXPECT_EQ(g.Text5.text(), "100") << "longer than can be typed, but shown whole";
  for (const char* typed : {"0", "-1", "", "ab"}) {
    enter(g.Text5, typed);
    EXPECT_EQ(g.new_picture_time, 1) << typed;
    EXPECT_EQ(g.Text5.text(), "1") << typed;
    menu(g.cpicture);
  }
  enter(g.Text5, "995");  // the third character does not fit
  EXPECT_EQ(g.new_picture_time, 99);
  menu(g.cpicture);
  enter(g.Text5, "7", kKeyEscape);
  EXPECT_EQ(g.new_picture_time, 99);
  EXPECT_EQ(dir.read("newpuzzle.Time"), " 99 \r\n");
  menu(g.cpicture);
  EXPECT_EQ(g.Text5.text(), "99");
}

TEST_F(PanelTest, ThePlayersClockStandsStillWhileAPanelIsOpen) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  r().loop.key_down(kKeyLeft);  // the first slide starts the clock
  r().run_for(2000);
  menu(g.cpiece);
  r().run_for(60000);
  EXPECT_FALSE(g.status_timer.enabled()) << "no tick while the clock stands still";
  enter(g.Text4, "", kKeyEscape);
  r().run_for(1000);
  EXPECT_NEAR(g.score.elapsed_ms(r().loop.now_ms()), 3000, 20);
  EXPECT_EQ(g.status_line.text(), "Moves 1 \u00b7 0:03");
}

TEST_F(PanelTest, BestResultsAreListedInAPanelThatEscapeCloses) {
  dir.write(kBestResultsFile, "Jumblix best results 1\n"
                              "regular\ttitle1.bmp\t4\t4\tno\t52\t2026-12-01\t91000\t2026-12-03\n"
                              "animated\tfish.bmp\t3\t5\tyes\t40\t2026-11-30\t3725000\t2026-11-30\n");
  begin_first_puzzle();
  Puzzlemaker& g = game();
  EXPECT_EQ(g.status_line.text(), "Moves 0 \u00b7 0:00 \u00b7 Best: 52 moves \u00b7 1:31 fastest");
  menu(g.bestresults);
  EXPECT_TRUE(g.best_table.visible());
  EXPECT_FALSE(g.puzzle7.enabled());
  EXPECT_EQ(g.best_table.rows(), (std::vector<std::vector<std::string>>{
                                     {"title1.bmp", "regular", "4 x 4", "no", "52", "2026-12-01", "1:31", "2026-12-03"},
                                     {"fish.bmp", "animated", "3 x 5", "yes", "40", "2026-11-30", "1:02:05", "2026-11-30"}}));
  r().loop.key_down(kKeyEscape);
  r().run_for(3);
  EXPECT_FALSE(g.best_table.visible());
  EXPECT_TRUE(g.puzzle7.enabled());
  EXPECT_EQ(g.phase, 3);
}

// Without a mouse: Ctrl+N leaves the title screen, Enter "Begin"s, and Escape on the board
// closes the chooser and a colour panel as their Cancel does.
TEST_F(PanelTest, TheKeyboardAloneBeginsAndEscapeCancelsAPanel) {
  GameRunner& run = start();
  Puzzlemaker& g = game();
  ASSERT_TRUE(run.run_until([&] { return g.started == 1 && g.fresh_puzzle == 1; }));
  EXPECT_EQ(g.status_line.text(), "Click the picture or press Ctrl+N to begin");
  run.loop.post([&] { g.newpuzzle.press_shortcut(); });
  ASSERT_TRUE(run.run_until([&] { return g.Command1.visible(); }));
  EXPECT_EQ(g.status_line.text(), "");
  run.loop.post([&] { g.press_default_button(); });
  ASSERT_TRUE(run.run_until([&] { return g.begun == 1 && g.phase == 3; }));
  for (MenuItem* opener : {&g.choosepicture, &g.pcolour}) {
    menu(*opener);
    ASSERT_LT(g.phase, 0) << opener->name();
    run.loop.key_down(kKeyEscape);
    run.run_for(3);
    EXPECT_EQ(g.phase, 3) << opener->name();
    EXPECT_TRUE(g.puzzle7.enabled());
    EXPECT_FALSE(g.Command3.visible() || g.Command4.visible());
  }
}

// A puzzle cut for the full screen stays whole in the smaller window: the window is maximized,
// and where that is still too small the same puzzle is cut again, every piece in its place.
TEST_F(PanelTest, APuzzleMadeInFullScreenStaysWholeAfterIt) {
  start(800, 420);
  begin_first_puzzle();
  Puzzlemaker& g = game();
  g.canvas.resize(1280, 1000);  // full screen
  menu(g.newpuzzle);
  ASSERT_EQ(g.puzzle.piece_w, 320);
  r().loop.key_down(kKeyLeft);
  r().run_for(3);
  const PuzzleState before = g.puzzle;
  g.canvas.resize(754, 385);  // and back
  r().loop.post([&] { g.Form_FullScreenChanged(false); });
  r().run_for(3);
  EXPECT_EQ(g.canvas.width(), 800) << "maximized";
  EXPECT_TRUE(g.board_fits_window());
  EXPECT_EQ(g.puzzle.piece_w, 200);
  EXPECT_EQ(g.puzzle.piece_h, 105);
  EXPECT_EQ(g.puzzle.gap(), before.gap());
  EXPECT_EQ(g.puzzle.user_moves_len(), 1);
  EXPECT_EQ(g.canvas.pixel(300, 50), palette_rgb(g.puzzle.puzzle_bg)) << "the gap, drawn where it is";
  r().loop.key_down(kKeyLeft);
  r().run_for(3);
  EXPECT_EQ(g.puzzle.gap(), (Cell{3, 1}));
}

TEST_F(PanelTest, ADamagedBestResultsFileIsSetAsideAndTold) {
  dir.write(kBestResultsFile, "my shopping list\n");
  begin_first_puzzle();
  Puzzlemaker& g = game();
  EXPECT_EQ(g.phase, 3) << "the game plays on";
  EXPECT_NE(g.message.caption().find("is damaged"), std::string::npos) << g.message.caption();
  EXPECT_EQ(dir.read(std::string(kBestResultsFile) + ".damaged"), "my shopping list\n");
  EXPECT_FALSE(dir.exists(kBestResultsFile));
}

TEST_F(PanelTest, SwitchesWriteTheirFilesAndSurviveARestart) {
  std::filesystem::create_directories(system.file("Jumblix-pictures"));
  begin_first_puzzle();
  Puzzlemaker& g = game();
  EXPECT_TRUE(std::filesystem::exists(system.file("Jumblix-pictures/title1.bmp")));
  menu(g.tslow);  // out of reach with a regular picture
  EXPECT_EQ(g.anim_slow, 0);
  switch_to_animated();
  menu(g.tslow);
  menu(g.tslow);  // written again although already checked
  EXPECT_EQ(dir.read("animation.Time"), " 1 \r\n");
  EXPECT_EQ(g.anim_slow, 1);
  menu(g.spictures);  // already checked: the file is left alone
  EXPECT_FALSE(dir.exists("puzzle.settings"));
  menu(g.dspictures);
  EXPECT_EQ(dir.read("puzzle.settings"), " 1 \r\n");
  menu(g.yes);
  EXPECT_EQ(dir.read("rotate.mode"), " 1 \r\n");
  EXPECT_EQ(g.rotatable, 0) << "the puzzle in play keeps its rule";
  std::filesystem::remove(system.file("Jumblix-pictures/title1.bmp"));
  menu(g.choosepicture);
  press(g.Command2);
  EXPECT_EQ(g.rotatable, 1);
  EXPECT_EQ(g.puzzle.pic_kind, 0);
  EXPECT_FALSE(std::filesystem::exists(system.file("Jumblix-pictures/title1.bmp")));
  menu(g.cpiece);
  enter(g.Text4, "25");

  runner.reset();
  GameRunner& again = start();
  ASSERT_TRUE(again.run_until([&] { return again.game.started == 1; }));
  EXPECT_EQ(again.game.anim_slow, 1);
  EXPECT_TRUE(again.game.tslow.checked());
  EXPECT_EQ(again.game.no_saver_copy, 1);
  EXPECT_TRUE(again.game.yes.checked());
  EXPECT_EQ(again.game.move_time, 25);
}

}  // namespace
}  // namespace jumblix::testing
