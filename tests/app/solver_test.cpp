// The computer solving at its pace, the finished picture and the screensaver cycle.
#include <algorithm>
#include <unistd.h>

#include <fstream>

#include "app/game_harness.h"

namespace jumblix::testing {
namespace {

using SolverTest = GameTest;

// Plays the scramble back and sets every piece upright, behind the game's back.
void solve_upright_in_memory(PuzzleState& s) {
  while (!s.solution_moves.empty()) {
    s.slide(s.solution_moves.top());
    s.solution_moves.pop();
  }
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x) s.turn(x, y) = kUpright;
}

TEST_F(SolverTest, SlidesOncePerMoveTime) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  g.move_time = 100;  // one slide a second
  const int slides = g.puzzle.solution_len();
  const double start = r().loop.now_ms();
  menu(g.csolve);
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 1e7));
  const double seconds = (r().loop.now_ms() - start) / 1000.0;
  EXPECT_NEAR(seconds, slides, 0.05 * slides + 1);
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel-(Finished regular puzzle)");
}

TEST_F(SolverTest, AWaitingGameSleepsUntilItsNextTimerTick) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  // The player thinks for a minute: nothing is due, so the clock moves on in a few yields.
  long long yields = r().loop.yields();
  const std::span<const std::uint32_t> shown = g.canvas.image().pixels;
  const std::vector<std::uint32_t> board(shown.begin(), shown.end());
  r().run_for(60000);
  EXPECT_LT(r().loop.yields() - yields, 10);
  EXPECT_TRUE(std::ranges::equal(g.canvas.image().pixels, board));
  // The computer's next slide waits ten seconds: reached in a few yields, on time.
  g.move_time = 1000;
  const int slides = g.puzzle.solution_len();
  menu(g.csolve);
  yields = r().loop.yields();
  const double armed_at = r().loop.now_ms();
  ASSERT_TRUE(r().run_until([&] { return g.puzzle.solution_len() < slides; }, 20000));
  EXPECT_NEAR(r().loop.now_ms() - armed_at, 10000, 5);
  EXPECT_LT(r().loop.yields() - yields, 10);
}

TEST_F(SolverTest, ComputerSolvingCountsItsSlidesAndMakesThePuzzleHelped) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  g.move_time = 0;
  r().loop.key_down(kKeyLeft);  // the player's own slide first
  r().run_for(3);
  menu(g.csolve);
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }));
  EXPECT_EQ(g.status_line.text(), "Computer: " + std::to_string(g.score.computer_slides()) + " slides");
  EXPECT_GT(g.score.computer_slides(), 1);
  menu(g.usolve);
  EXPECT_EQ(g.status_line.text(), "Moves 1 \u00b7 0:00 \u00b7 Helped: no best result");
  EXPECT_FALSE(dir.exists(kBestResultsFile));
}

TEST_F(SolverTest, ZeroMoveTimeMakesOneChangePerPassWithoutTimers) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  g.move_time = 0;
  menu(g.csolve);
  int before = g.puzzle.solution_len();
  bool timer_ran = false;
  for (int pass = 0; pass < 20 && g.phase == 3; ++pass) {
    r().run_for(2);  // two yields: one pass
    timer_ran |= g.Timer1.enabled();
    EXPECT_GE(before - g.puzzle.solution_len(), 0);
    EXPECT_LE(before - g.puzzle.solution_len(), 1);
    before = g.puzzle.solution_len();
  }
  EXPECT_FALSE(timer_ran);
}

// The computer at move time 0 on the loop's clock: the same boards (slides left, the gap, one
// cell) after the same times, and the same finish.
TEST_F(SolverTest, ZeroMoveTimeSolveReachesTheSameBoardsAfterTheSameTimes) {
  begin_first_puzzle("5", "5");
  Puzzlemaker& g = game();
  PuzzleState& s = g.puzzle;
  g.move_time = 0;
  const double start = r().loop.now_ms();
  menu(g.csolve);
  std::vector<int> seen;
  for (double at : {100.0, 250.0}) {
    r().run_until([&] { return r().loop.now_ms() - start >= at; });
    seen.insert(seen.end(), {s.solution_len(), s.gap().x, s.gap().y, s.board(3, 3)});
  }
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 60000));
  seen.push_back(static_cast<int>(r().loop.now_ms() - start));
  EXPECT_EQ(seen, (std::vector<int>{488, 4, 2, 18, 413, 3, 4, 18, 1076}));
}

TEST_F(SolverTest, PlayersSlidesAreUndoneFirstLastOneFirst) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  PuzzleState& s = g.puzzle;
  // Three keyboard slides of the player's own (without rotation none of them cancels).
  std::vector<Cell> gaps_before;
  for (int key : {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeyLeft, kKeyUp}) {
    const int d = key == kKeyLeft ? kGapRight : key == kKeyUp ? kGapDown : key == kKeyRight ? kGapLeft : kGapUp;
    if (gaps_before.size() == 3 || !s.on_board(s.neighbour(d))) continue;
    gaps_before.push_back(s.gap());
    r().loop.key_down(key);
    r().run_for(3);
  }
  ASSERT_EQ(s.user_moves_len(), 3);
  const int scramble_len = s.solution_len();
  g.move_time = 0;
  r().loop.menu(g.csolve);
  // Undone last one first: the gap goes back through the same cells in reverse.
  for (int i = 2; i >= 0; --i) {
    const int before = s.solution_len() + s.user_moves_len();
    ASSERT_TRUE(r().run_until([&] { return s.solution_len() + s.user_moves_len() < before; }, 1000));
    EXPECT_EQ(s.gap(), gaps_before[static_cast<std::size_t>(i)]) << "undo " << i;
  }
  EXPECT_EQ(s.solution_len(), scramble_len);
  EXPECT_EQ(s.user_moves_len(), 0);
}

TEST_F(SolverTest, RotatedPieceIsTurnedUprightStepByStepBeforeItSlides) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  PuzzleState& s = g.puzzle;
  g.rotatable = 1;
  g.move_time = 0;
  const Cell next = s.neighbour(s.solution_moves.top());
  s.turn(next) = kMirroredLeftRight;
  std::vector<int> seen;
  r().loop.menu(g.csolve);
  ASSERT_TRUE(r().run_until([&] {
    if (seen.empty() || seen.back() != s.turn(next)) seen.push_back(s.turn(next));
    return s.gap() == next;
  }, 1000));
  EXPECT_EQ(seen, (std::vector<int>{kMirroredLeftRight, kTurned180, kMirroredTopBottom, kUpright}))
      << "seen " << ::testing::PrintToString(seen);
}

TEST_F(SolverTest, GapCarryingATurnIsNotFinishedUntilTheComputerRightsIt) {
  begin_first_puzzle();
  Puzzlemaker& g = game();
  PuzzleState& s = g.puzzle;
  // Solve the board by hand in memory, leaving the gap's code at 3.
  solve_upright_in_memory(s);
  s.turn(1, 1) = kMirroredTopBottom;
  g.rotatable = 1;
  r().run_for(200);
  EXPECT_EQ(g.phase, 3) << "not finished in user mode";
  g.move_time = 0;
  menu(g.csolve);
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 1000));
  EXPECT_EQ(s.turn(1, 1), kUpright);
}

TEST_F(SolverTest, ScreensaverModeShowsEachFinishedPictureForTheNewPictureTime) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  g.move_time = 0;
  menu(g.csolves);
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 10000));
  const double finished_at = r().loop.now_ms();
  const long long made = g.puzzles_made;
  ASSERT_TRUE(r().run_until([&] { return g.puzzles_made > made; }, 20000));
  EXPECT_NEAR(r().loop.now_ms() - finished_at, 10000, 50);
  EXPECT_EQ(g.phase, 3);
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel-(Solving regular puzzle)");
  EXPECT_EQ(r().search->started.size(), 1u) << "the screensaver's own puzzles are not searched";
  // Choosing regular mode while the picture waits stops the countdown.
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 10000));
  menu(g.csolve);
  r().run_for(20000);
  EXPECT_EQ(g.phase, 4);
  const long long before_click = g.puzzles_made;
  r().loop.mouse_down(50, 50);  // a click makes the next puzzle at once
  ASSERT_TRUE(r().run_until([&] { return g.puzzles_made > before_click; }, 100));
  EXPECT_EQ(g.phase, 3);
  EXPECT_EQ(g.puzzle.in_place, 0);
}

TEST_F(SolverTest, TitleScreenCyclesWithoutFinishedCaptions) {
  GameRunner& run = start();
  Puzzlemaker& g = run.game;
  g.move_time = 0;
  ASSERT_TRUE(run.run_until([&] {
    EXPECT_EQ(g.caption(), kTitleCaption);
    return g.puzzles_made == 3;
  }, 200000));
}

TEST_F(SolverTest, ClickOnFinishedTitleLeadsToOneFirstPuzzle) {
  GameRunner& run = start();
  Puzzlemaker& g = run.game;
  g.move_time = 0;
  ASSERT_TRUE(run.run_until([&] { return g.phase == 4; }, 100000));
  run.loop.mouse_down(20, 20);
  ASSERT_TRUE(run.run_until([&] { return g.Command1.visible(); }, 100));
  run.run_for(100);
  // The title puzzle is still complete: it is found finished once more, quietly.
  EXPECT_EQ(g.phase, 4);
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel");
  EXPECT_FALSE(g.Timer1.enabled());
  const long long made = g.puzzles_made;
  run.loop.press(g.Command1);
  run.run_for(2000);
  EXPECT_EQ(g.puzzles_made, made + 1);
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel-(Solving regular puzzle)");
}

TEST_F(SolverTest, ClickOnFinishedTitleBehindTheStartPanelBeginsTheGame) {
  GameRunner& run = start();
  Puzzlemaker& g = run.game;
  g.move_time = 0;
  ASSERT_TRUE(run.run_until([&] { return g.phase == 4; }, 100000));
  run.loop.mouse_down(20, 20);
  ASSERT_TRUE(run.run_until([&] { return g.Command1.visible() && g.phase == 4; }, 1000));
  const long long made = g.puzzles_made;
  run.loop.mouse_down(20, 20);  // not "Begin": a click on the finished title behind the panel
  ASSERT_TRUE(run.run_until([&] { return g.puzzles_made > made; }, 1000));
  EXPECT_EQ(g.begun, 1);
  EXPECT_TRUE(g.puzzle7.visible() && g.soptions.visible() && g.colour.visible());
  menu(g.csolve);
  ASSERT_TRUE(run.run_until([&] { return g.phase == 4; }, 100000));
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel-(Finished regular puzzle)");
  EXPECT_EQ(g.puzzles_made, made + 1);
}

TEST_F(SolverTest, ModeChangedWhileTheMovingPictureIsStoppedStillFinishes) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  PuzzleState& s = g.puzzle;
  menu(g.choosepicture2);
  press(g.Command2);
  ASSERT_EQ(s.pic_kind, 1);
  menu(g.csolve);
  r().run_for(100);
  ASSERT_EQ(g.phase, 3);
  menu(g.usolve);
  // One slide of the player's own (keyboard, no rotation: always recorded).
  const int key = s.on_board(s.neighbour(kGapRight)) ? kKeyLeft : kKeyRight;
  r().loop.key_down(key);
  r().run_for(3);
  ASSERT_EQ(s.user_moves_len(), 1);
  r().loop.key_down(kKeyEnter);
  r().run_for(3);
  ASSERT_EQ(g.anim_off, 1);
  menu(g.csolve);
  r().run_for(50);
  r().loop.key_down(kKeyEnter);
  EXPECT_TRUE(r().run_until([&] { return g.phase == 4; }, 60000)) << "the computer never finished";
}

TEST_F(SolverTest, ScreensaverModeRightsAPieceTurnedAfterItCameHome) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  PuzzleState& s = g.puzzle;
  // Solved in memory but for one home piece the player turned while the computer solved.
  solve_upright_in_memory(s);
  s.turn(3, 3) = kMirroredTopBottom;
  g.rotatable = 1;
  g.move_time = 0;
  g.rotate_time = 0;
  const long long made = g.puzzles_made;
  menu(g.csolves);
  EXPECT_TRUE(r().run_until([&] { return g.puzzles_made > made; }, 30000)) << "the cycle stopped";
}

TEST_F(SolverTest, PlayersFinishedPictureStaysAfterTheComputerHadSolved) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  PuzzleState& s = g.puzzle;
  menu(g.csolve);
  r().run_for(100);
  menu(g.usolve);
  ASSERT_TRUE(g.Timer1.enabled()) << "the step timer still runs from the computer's steps";
  for (int press = 0; press < 10000 && !s.finished(); ++press) {
    r().loop.key_down(kKeyB);
    r().run_for(3);
  }
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 100));
  const long long made = g.puzzles_made;
  r().run_for(30000);
  EXPECT_EQ(g.phase, 4);
  EXPECT_EQ(g.puzzles_made, made);
  EXPECT_EQ(g.caption(), "Jumblix: By Corvel-(Finished regular puzzle)");
}

long resident_kb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key)
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
  return 0;
}

TEST_F(SolverTest, ScreensaverSoakSolvesEveryPuzzleWithFlatMemory) {
  // Mixed sizes, both kinds and rotation on and off, as fast as the clock allows.
  dir.write("newpuzzle.Time", " .1 \r\n");
  dir.write("movepiece.Time", " 0 \r\n");
  dir.write("rotate.Time", " 0 \r\n");
  begin_first_puzzle("2", "2");
  Puzzlemaker& g = game();
  menu(g.prandom);
  menu(g.csolves);
  int solved = 0;
  bool counted = false;
  long memory_at_100 = 0;
  const char* sizes[] = {"2", "3", "5", "4", "2", "7"};
  ASSERT_TRUE(r().run_until([&] {
    if (g.puzzle_finished == 0) counted = false;
    if (g.puzzle_finished == 1 && !counted) {
      counted = true;
      ++solved;
      // The next puzzle: another size, now and then the other kind and rotation setting.
      g.Text1.set_text(sizes[solved % 6]);
      g.Text2.set_text(sizes[(solved / 6) % 6]);
      if (solved % 5 == 0) g.kind_picked = 0;
      if (solved % 7 == 0) (g.yes.checked() ? g.no : g.yes).click();
      if (solved == 100) memory_at_100 = resident_kb();
    }
    return solved >= 1000;
  }, 1e9)) << "solved " << solved;
  EXPECT_LT(resident_kb() - memory_at_100, 4096) << "memory grows while puzzles cycle";
}

}  // namespace
}  // namespace jumblix::testing
