// The coach in play: the slides to go in the status line, the hint's mark, the shortest way
// shown after a finish and the computer taking a shortest way.
#include <chrono>
#include <thread>

#include "app/game_harness.h"
#include "puzzle/fewest_slides_input.h"
#include "search/fewest_slides.h"

namespace jumblix::testing {
namespace {

class CoachTest : public GameTest {
 protected:
  CoachTest() { setenv("XDG_CACHE_HOME", cache.path().c_str(), 1); }

  // Lets the game run until the coach has worked out the board as it stands and the game
  // has taken the figure.
  bool coach_settles() {
    for (int i = 0; i < 3000; ++i) {
      r().run_for(20);
      if (!game().coach.worker.busy() && !game().coach.hint_wanted && !game().coach_timer.enabled()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
  int fewest_now() {
    const FewestSlidesInput in = fewest_slides_input(game().puzzle);
    return find_fewest_slides(in.w, in.h, in.cells).slides;
  }
  void key(int code) {
    r().loop.key_down(code);
    r().run_for(3);
  }
  std::vector<std::uint32_t> pixels() {
    const auto shown = game().canvas.image().pixels;
    return {shown.begin(), shown.end()};
  }

  TempDir cache;
};

TEST_F(CoachTest, SlidesToGoFollowEverySlideAndHelpThePuzzle) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  menu(g.slidestogo);
  EXPECT_TRUE(g.slidestogo.checked());
  EXPECT_TRUE(g.score.helped());
  ASSERT_TRUE(coach_settles());
  const int arrows[] = {kKeyLeft, kKeyUp, kKeyRight, kKeyDown};
  int last = fewest_now();
  for (int i = 0; i < 12; ++i) {
    key(arrows[(i * 7 + i / 3) % 4]);
    ASSERT_TRUE(coach_settles());
    const int now = fewest_now();
    const std::string expected = "To go " + std::to_string(now) + (now > last ? " (+1)" : "");
    EXPECT_NE(g.status_line.text().find(expected), std::string::npos) << g.status_line.text();
    last = now;
  }
  // Kept for the next start.
  EXPECT_EQ(g.settings.read(kSlidesToGoFile), 1.0);
}

TEST_F(CoachTest, AHintMarksAPieceOfAShortestWayAndLeavesTheBoardExact) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  key(g.puzzle.on_board(g.puzzle.neighbour(kGapRight)) ? kKeyLeft : kKeyUp);  // drawn shrunk, as keys draw
  const std::vector<std::uint32_t> before = pixels();
  const int fewest = fewest_now();
  menu(g.hint);
  ASSERT_TRUE(coach_settles());
  ASSERT_TRUE(g.coach.hint_cell);
  const Cell marked = *g.coach.hint_cell;
  EXPECT_TRUE(g.puzzle.next_to_gap(marked));
  EXPECT_TRUE(g.score.helped());
  EXPECT_NE(pixels(), before);
  EXPECT_NE(g.status_line.text().find("Hint: slide the marked piece"), std::string::npos);
  // The marked piece's slide brings the board one nearer.
  int d = 0;
  for (int k = 1; k <= 4; ++k)
    if (g.puzzle.neighbour(k) == marked) d = k;
  PuzzleState trial = g.puzzle;
  ASSERT_TRUE(trial.slide(d));
  const FewestSlidesInput in = fewest_slides_input(trial);
  EXPECT_EQ(find_fewest_slides(in.w, in.h, in.cells).slides, fewest - 1);

  // A key that does nothing comes before its two seconds: the mark stays until they pass.
  key(88);
  EXPECT_TRUE(g.coach.hint_cell);
  r().run_for(2100);
  EXPECT_FALSE(g.coach.hint_cell);
  EXPECT_EQ(pixels(), before);
}

TEST_F(CoachTest, TheShortestWayShownAfterAFinishTakesTheFewestSlides) {
  start();
  r().search->answers = true;
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  const FewestSlidesInput dealt = fewest_slides_input(g.puzzle);
  const FewestSlides fewest = find_fewest_slides(dealt.w, dealt.h, dealt.cells);
  r().search->answer = FewestFigure{fewest.slides, true, fewest.solution};
  r().run_for(200);
  // The player finishes (by B, along the scramble's way back).
  for (int i = 0; i < 500 && g.phase == 3; ++i) key(kKeyB);
  ASSERT_TRUE(r().run_until([&] { return g.puzzle_finished == 1; }));
  const std::vector<std::uint32_t> finished = pixels();
  const int moves = g.score.slides();
  const std::string status = g.status_line.text();
  ASSERT_TRUE(g.showway.enabled());

  menu(g.showway);
  ASSERT_TRUE(g.coach.showing);
  int slides = 0;
  int gap_x = g.puzzle.gap_x, gap_y = g.puzzle.gap_y;
  while (g.coach.showing && g.coach.way_done < g.coach.way.size()) {
    r().run_for(1);
    if (g.puzzle.gap_x != gap_x || g.puzzle.gap_y != gap_y) ++slides;
    gap_x = g.puzzle.gap_x;
    gap_y = g.puzzle.gap_y;
  }
  EXPECT_EQ(slides, fewest.slides);
  EXPECT_TRUE(g.puzzle.finished());
  ASSERT_TRUE(r().run_until([&] { return !g.coach.showing; }, 5000));
  EXPECT_EQ(pixels(), finished);
  EXPECT_EQ(g.score.slides(), moves);
  EXPECT_EQ(g.status_line.text(), status);

  // A key stops it at once, back to the finished picture.
  menu(g.showway);
  r().run_for(20);
  key(88);
  EXPECT_FALSE(g.coach.showing);
  EXPECT_EQ(pixels(), finished);
  EXPECT_EQ(g.phase, 4);
}

TEST_F(CoachTest, TheComputersShortestWayStaysRightAfterPlayerSlidesAndTurns) {
  start();
  Puzzlemaker& g = game();
  r().run_until([&] { return g.started == 1; });
  menu(g.yes);
  begin_first_puzzle("3", "3");
  menu(g.shortestway);
  EXPECT_TRUE(g.shortestway.checked());
  for (int k : {kKeyLeft, kKeyI, kKeyUp, kKeyJ, kKeyK, kKeyRight, kKeyL}) key(k);
  ASSERT_TRUE(coach_settles());
  const int fewest = fewest_now();
  const int before = g.score.slides();
  for (int i = 0; i < 300 && g.phase == 3; ++i) {
    key(kKeyB);
    ASSERT_TRUE(coach_settles());
  }
  EXPECT_EQ(g.score.slides() - before, fewest);

  // Switched off halfway, the computer still finishes along the way back.
  menu(g.newpuzzle);
  r().run_until([&] { return g.phase == 3 && g.puzzle_finished == 0; });
  for (int k : {kKeyLeft, kKeyI, kKeyUp}) key(k);
  ASSERT_TRUE(coach_settles());
  for (int i = 0; i < 6; ++i) {
    key(kKeyB);
    ASSERT_TRUE(coach_settles());
  }
  menu(g.shortestway);
  EXPECT_FALSE(g.shortestway.checked());
  g.move_time = 0;
  menu(g.csolve);
  EXPECT_TRUE(r().run_until([&] { return g.phase == 4; }, 100000));
}

TEST_F(CoachTest, UndoAndRedoKeepTheFigureAndTheWayBackRight) {
  begin_first_puzzle("3", "3");
  Puzzlemaker& g = game();
  menu(g.slidestogo);
  menu(g.shortestway);
  auto shows_figure = [&] {
    const std::string text = g.status_line.text(), figure = "To go " + std::to_string(fewest_now());
    const std::size_t at = text.find(figure);
    return at != std::string::npos && (at + figure.size() == text.size() || text[at + figure.size()] == ' ');
  };
  for (int k : {kKeyLeft, kKeyUp, kKeyB, kKeyB}) {  // B along the shortest way is a step too
    key(k);
    ASSERT_TRUE(coach_settles());
  }
  for (MenuItem* item : {&g.undo, &g.undo, &g.undo, &g.redo}) {
    menu(*item);
    ASSERT_TRUE(coach_settles());
    EXPECT_TRUE(shows_figure()) << g.status_line.text();
  }
  // Switched off, the computer finishes along the history the steps left.
  menu(g.shortestway);
  g.move_time = 0;
  menu(g.csolve);
  EXPECT_TRUE(r().run_until([&] { return g.phase == 4; }, 100000));
}

}  // namespace
}  // namespace jumblix::testing
