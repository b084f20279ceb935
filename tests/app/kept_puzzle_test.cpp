// The puzzle kept when the game quits, brought back at the next start, and puzzle codes
// played in another game folder.
#include "app/game_harness.h"

namespace jumblix::testing {
namespace {

class KeptPuzzleTest : public GameTest {
 protected:
  BoardSnapshot now() { return snapshot_of(game().puzzle, {game().score.slides(), game().score.turns()}); }
  void key(int k) {
    r().loop.key_down(k);
    r().run_for(3);
  }
  // The next start, in the same folder: the game is ended as the player would end it.
  void restart_game() {
    runner.reset();
    start();
    ASSERT_TRUE(r().run_until([&] { return game().started == 1 && game().fresh_puzzle == 1; }));
  }
  void click_title() {
    r().loop.mouse_down(100, 100);
    r().run_for(50);
  }
};

TEST_F(KeptPuzzleTest, AQuitPuzzleComesBackAsItWasAndIsSolvedThenForgotten) {
  start();
  ASSERT_TRUE(r().run_until([&] { return game().started == 1; }));
  r().loop.post([&] { game().yes_Click(); });
  begin_first_puzzle();
  for (int k : {kKeyLeft, kKeyUp, kKeyK, kKeyRight, kKeyLeft, kKeyB}) key(k);
  menu(game().undo);
  r().run_for(20000);
  const BoardSnapshot before = now();
  const std::vector<PlayStep> undo = game().undo_steps;
  const double clock = game().score.elapsed_ms(r().loop.now_ms());
  restart_game();
  ASSERT_TRUE(dir.exists(kKeptPuzzleFile));
  EXPECT_NE(game().status_line.text().find("click to go on"), std::string::npos);
  click_title();
  Puzzlemaker& g = game();
  EXPECT_EQ(g.phase, 3);
  EXPECT_EQ(now(), before);
  EXPECT_EQ(g.undo_steps.size(), undo.size());
  EXPECT_EQ(g.redo_steps.size(), 1u);
  EXPECT_TRUE(g.score.helped());
  EXPECT_NEAR(g.score.elapsed_ms(r().loop.now_ms()), clock, 100);
  EXPECT_TRUE(g.puzzle7.visible());
  menu(g.redo);  // the kept redo step fits
  for (int i = 0; i < 2000 && g.phase == 3; ++i) key(kKeyB);
  ASSERT_EQ(g.phase, 4);
  EXPECT_FALSE(dir.exists(kKeptPuzzleFile));
}

TEST_F(KeptPuzzleTest, AnUnhelpedKeptPuzzleFinishesWithABestResult) {
  begin_first_puzzle("3", "3");
  key(kKeyLeft);
  const BoardSnapshot before = now();
  restart_game();
  click_title();
  Puzzlemaker& g = game();
  ASSERT_EQ(now(), before);
  // Solved along the computer's way, but by the player's own clicks.
  for (int i = 0; i < 2000 && g.phase == 3; ++i) {
    const Cell n = g.puzzle.neighbour(g.puzzle.user_moves.empty() ? g.puzzle.solution_moves.top() : g.puzzle.user_moves.top());
    r().loop.mouse_down((n.x - 1) * g.puzzle.piece_w + 5, (n.y - 1) * g.puzzle.piece_h + 5);
    r().run_for(3);
  }
  ASSERT_EQ(g.phase, 4);
  EXPECT_TRUE(dir.exists(kBestResultsFile));
  EXPECT_FALSE(dir.exists(kKeptPuzzleFile));
}

TEST_F(KeptPuzzleTest, DamagedMissingPictureAndDeclinedKeptPuzzles) {
  // A damaged file is set aside and said; the click opens the start panel.
  dir.write(kKeptPuzzleFile, "Jumblix kept puzzle 1\npicture\tregular\tx.bmp\nsize\t99\t4\n");
  start();
  ASSERT_TRUE(r().run_until([&] { return game().started == 1; }));
  EXPECT_NE(game().status_line.text().find("could not be brought back"), std::string::npos);
  EXPECT_TRUE(dir.exists(std::string(kKeptPuzzleFile) + ".damaged"));
  click_title();
  EXPECT_TRUE(game().Command1.visible());

  // A kept puzzle whose picture is gone comes back on the built-in picture of its kind.
  runner.reset();
  begin_first_puzzle();
  key(kKeyLeft);
  const BoardSnapshot before = now();
  runner.reset();
  std::string text = dir.read(kKeptPuzzleFile);
  text.replace(text.find("title1.bmp"), 10, "gone.bmp");
  dir.write(kKeptPuzzleFile, text);
  restart_game();
  click_title();
  EXPECT_EQ(now(), before);
  EXPECT_EQ(game().puzzle.pic_name, "title1.bmp");
  EXPECT_NE(game().message.caption().find("\"gone.bmp\""), std::string::npos);

  // Ctrl+N on the title screen: the start panel, and the kept puzzle goes once another is begun.
  restart_game();
  ASSERT_TRUE(game().newinstead.visible());
  menu(game().newinstead);
  ASSERT_TRUE(r().run_until([&] { return game().Command1.visible(); }));
  EXPECT_TRUE(dir.exists(kKeptPuzzleFile));
  press(game().Command1);
  EXPECT_FALSE(dir.exists(kKeptPuzzleFile));
}

TEST_F(KeptPuzzleTest, ACodePlayedInAnotherFolderDealsTheSameBoardAndRefusesBadCodes) {
  start();
  ASSERT_TRUE(r().run_until([&] { return game().started == 1; }));
  r().loop.post([&] { game().yes_Click(); });
  begin_first_puzzle("5", "3");
  key(kKeyLeft);
  menu(game().copycode);
  const std::string code = game().clipboard_text;
  const BoardSnapshot dealt = *game().dealt_board;
  ASSERT_FALSE(code.empty());

  runner.reset();
  const TempDir other;
  runner = std::make_unique<GameRunner>(other.path());
  GameRunner& r2 = *runner;
  Puzzlemaker& g = r2.game;
  begin_first_puzzle();
  menu(g.playcode);
  ASSERT_TRUE(g.code_text.visible());
  for (const std::string& bad : {std::string("JX1.r3x3n.BCDEFGHIA.x.bmp"), std::string("hello"), code + "%"}) {
    g.code_text.set_text(bad);
    r2.loop.key_in(g.code_text, kKeyEnter);
    r2.run_for(3);
    EXPECT_TRUE(g.code_text.visible()) << bad;
    EXPECT_NE(g.code_prompt.caption().find("cannot be played"), std::string::npos) << bad;
  }
  g.code_text.set_text(code);
  r2.loop.key_in(g.code_text, kKeyEnter);
  r2.run_for(3);
  EXPECT_FALSE(g.code_text.visible());
  EXPECT_EQ(g.puzzle.W, 5);
  EXPECT_EQ(g.puzzle.H, 3);
  EXPECT_EQ(g.rotatable, 1);
  EXPECT_EQ(snapshot_of(g.puzzle, {}).cells, dealt.cells);
  EXPECT_EQ(snapshot_of(g.puzzle, {}).turns, dealt.turns);
  // The computer's way back for a shared deal is a real solution.
  g.move_time = 0;
  g.rotate_time = 0;
  menu(g.csolve);
  ASSERT_TRUE(r2.run_until([&] { return g.phase == 4; }, 1e6));
}

}  // namespace
}  // namespace jumblix::testing
