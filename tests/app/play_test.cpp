// Playing with the mouse and the keys, through the event queue so the input latch counts.
#include <gmock/gmock.h>

#include <chrono>
#include <thread>

#include "app/game_harness.h"
#include "search/fewest_slides.h"
#include "platform/palette.h"
#include "puzzle/scramble.h"

namespace jumblix::testing {
namespace {

class PlayTest : public GameTest {
 protected:
  // A first 4 x 4 regular puzzle with a known arrangement: solved but for the slides given.
  Puzzlemaker& arranged(std::initializer_list<int> scramble_slides, bool rotation = false) {
    GameRunner& r = begin_first_puzzle();
    Puzzlemaker& g = r.game;
    g.rotatable = rotation ? 1 : 0;
    PuzzleState& s = g.puzzle;
    s.reset_solved(4, 4);
    for (int y = 1; y <= 4; ++y)
      for (int x = 1; x <= 4; ++x) s.turn(x, y) = kUpright;
    s.solution_moves.clear();
    s.user_moves.clear();
    for (int d : scramble_slides) {
      s.slide(d);
      s.solution_moves.push(inverse(d));
    }
    draw_new_board(g.canvas, s, g.background);
    // Counted and timed as if dealt so.
    g.score_key.rotation = rotation;
    g.begin_scoring();
    return g;
  }
  // Lets exactly the queued events be handled.
  void settle() { r().run_for(5); }
  // Centre of a cell.
  static std::pair<double, double> centre(const Puzzlemaker& g, Cell c) {
    return {(c.x - 0.5) * g.puzzle.piece_w, (c.y - 0.5) * g.puzzle.piece_h};
  }
  void click(Cell c, int button = kLeftButton) {
    const auto [x, y] = centre(r().game, c);
    r().loop.mouse_down(x, y, button);
  }
};

TEST_F(PlayTest, MouseSlidesRecordAndCancelWithoutRotation) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown});  // gap now at (2, 2)
  ASSERT_EQ(g.puzzle.gap(), (Cell{2, 2}));
  click({3, 2});  // piece right of the gap travels left
  settle();
  EXPECT_EQ(g.puzzle.gap(), (Cell{3, 2}));
  EXPECT_EQ(g.puzzle.user_moves_len(), 1);
  EXPECT_EQ(g.puzzle.user_moves.top(), kGapLeft);
  click({2, 2});  // and back: the history forgets both
  settle();
  EXPECT_EQ(g.puzzle.user_moves_len(), 0);
  // The computer's next slide made by hand shortens the solution instead.
  const int len = g.puzzle.solution_len();
  click({2, 1});
  settle();
  EXPECT_EQ(g.puzzle.solution_len(), len - 1);
  EXPECT_EQ(g.puzzle.user_moves_len(), 0);
}

TEST_F(PlayTest, TwoClicksInOneYieldActOnce) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown});
  click({3, 2});
  click({3, 2});  // would slide the piece back if it were handled
  settle();
  EXPECT_EQ(g.puzzle.gap(), (Cell{3, 2}));
  // A click that changes nothing still uses up the one action of its yield.
  click({1, 1});  // diagonal to the gap
  click({4, 2});
  settle();
  EXPECT_EQ(g.puzzle.gap(), (Cell{3, 2}));
  click({4, 2});
  settle();
  EXPECT_EQ(g.puzzle.gap(), (Cell{4, 2}));
}

TEST_F(PlayTest, RightClickTurnsOnlyWithRotationAndNextToTheGap) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown}, /*rotation=*/false);
  click({3, 2}, kRightButton);
  settle();
  EXPECT_EQ(g.puzzle.turn(3, 2), kUpright);
  g.rotatable = 1;
  click({3, 2}, kRightButton);
  settle();
  EXPECT_EQ(g.puzzle.turn(3, 2), kMirroredLeftRight);
  click({4, 4}, kRightButton);  // not next to the gap
  settle();
  EXPECT_EQ(g.puzzle.turn(4, 4), kUpright);
  EXPECT_EQ(g.puzzle.user_moves_len(), 0) << "turns are never recorded";
}

TEST_F(PlayTest, KeysSlideTurnAndRecord) {
  Puzzlemaker& g = arranged({kGapRight}, /*rotation=*/false);  // gap at (2, 1)
  // Right and Down point off the board here... Down (piece above) is off: the latch stays clear.
  r().loop.key_down(kKeyDown);
  r().loop.key_down(kKeyLeft);  // handled in the same yield because the first did nothing
  settle();
  EXPECT_EQ(g.puzzle.gap(), (Cell{3, 1}));
  r().loop.key_down(kKeyRight);
  settle();
  EXPECT_EQ(g.puzzle.gap(), (Cell{2, 1}));
  // Without rotation keyboard slides never cancel.
  ASSERT_EQ(g.puzzle.user_moves_len(), 2);
  EXPECT_EQ(g.puzzle.user_moves.at(1), kGapLeft);
  EXPECT_EQ(g.puzzle.user_moves.at(2), kGapRight);

  g.rotatable = 1;
  r().loop.key_down(kKeyJ);  // the piece left of the gap
  settle();
  EXPECT_EQ(g.puzzle.turn(1, 1), kMirroredLeftRight);
  r().loop.key_down(kKeyI);  // nothing above row 1: dropped, latch clear
  r().loop.key_down(kKeyJ);
  settle();
  EXPECT_EQ(g.puzzle.turn(1, 1), kTurned180);
}

TEST_F(PlayTest, KeyboardSlideDrawsWithTheKeyboardVariants) {
  Puzzlemaker& g = arranged({kGapRight});
  const PuzzleState& s = g.puzzle;
  r().loop.key_down(kKeyLeft);  // the piece at (3, 1) moves to (2, 1)
  settle();
  const int pw = s.piece_w, ph = s.piece_h;
  // The vacated cell is erased one column wider, into the next cell's grid line.
  EXPECT_EQ(g.canvas.pixel(2 * pw, 5), palette_rgb(s.puzzle_bg));
  EXPECT_EQ(g.canvas.pixel(3 * pw, 5), palette_rgb(s.puzzle_bg));
  EXPECT_EQ(g.canvas.pixel(3 * pw - 1, ph - 1), palette_rgb(s.puzzle_bg));
  // The moved piece is stretched from a region one pixel smaller.
  const int dx = 1 + pw, dy = 1;
  EXPECT_EQ(g.canvas.pixel(dx, dy), g.background.at(1 + 2 * pw, 1));
  EXPECT_EQ(g.canvas.pixel(dx + pw - 2, dy + ph - 2), g.background.at(2 * pw + pw - 2, ph - 2));
}

TEST_F(PlayTest, KeyboardSlideShowsWhatThePictureHasOfAPartlyCoveredPiece) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown});  // gap at (2, 2)
  const PuzzleState& s = g.puzzle;
  g.background = coded_picture(300, 400);  // ends inside column 2
  r().loop.key_down(kKeyUp);  // the piece whose home is (2, 3) moves up to (2, 2)
  settle();
  ASSERT_EQ(s.gap(), (Cell{2, 3}));
  const int pw = s.piece_w, ph = s.piece_h;
  ASSERT_GT(2 * pw, 300);
  EXPECT_EQ(g.canvas.pixel(pw + 1, ph + 1), code(pw + 1, 2 * ph + 1)) << "the covered part shows the picture";
  EXPECT_EQ(g.canvas.pixel(2 * pw - 1, ph + 1), palette_rgb(s.picture_bg));
}

TEST_F(PlayTest, BTurnsThePieceUprightThenSlidesIt) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown}, /*rotation=*/true);
  PuzzleState& s = g.puzzle;
  // The next solving slide (gap up) moves the piece at (2, 1); it stands mirrored left-to-right.
  s.turn(2, 1) = kMirroredLeftRight;
  const int len = s.solution_len();
  for (int expected : {kTurned180, kMirroredTopBottom, kUpright}) {
    r().loop.key_down(kKeyB);
    settle();
    EXPECT_EQ(s.turn(2, 1), expected);
    EXPECT_EQ(s.solution_len(), len);
  }
  r().loop.key_down(kKeyB);
  settle();
  EXPECT_EQ(s.gap(), (Cell{2, 1}));
  EXPECT_EQ(s.solution_len(), len - 1);
  EXPECT_EQ(s.user_moves_len(), 0) << "the computer's slide is not recorded";
  r().loop.key_down(kKeyB);
  settle();
  EXPECT_TRUE(s.finished());
  // Both lists empty: B changes nothing.
  r().loop.key_down(kKeyB);
  settle();
  EXPECT_EQ(s.gap(), (Cell{1, 1}));
}

TEST_F(PlayTest, BUndoesThePlayersOwnSlidesFirst) {
  Puzzlemaker& g = arranged({kGapRight});
  PuzzleState& s = g.puzzle;
  r().loop.key_down(kKeyUp);  // gap (2,1) -> (2,2)
  settle();
  ASSERT_EQ(s.user_moves_len(), 1);
  r().loop.key_down(kKeyB);
  settle();
  EXPECT_EQ(s.gap(), (Cell{2, 1}));
  EXPECT_EQ(s.user_moves_len(), 0);
  EXPECT_EQ(s.solution_len(), 1);
}

TEST_F(PlayTest, EnterStopsTheMovingPictureAndFreezesInput) {
  GameRunner& run = begin_first_puzzle();
  Puzzlemaker& g = run.game;
  // Turn the puzzle into an animated one from the built-in moving picture.
  run.loop.menu(g.choosepicture2);
  ASSERT_TRUE(run.run_until([&] { return g.phase == -5; }));
  run.loop.press(g.Command2);
  ASSERT_TRUE(run.run_until([&] { return g.puzzle.pic_kind == 1 && g.phase == 3; }));
  run.loop.key_down(kKeyEnter);
  ASSERT_TRUE(run.run_until([&] { return g.anim_off == 1; }));
  const int left = g.Picture1.left();
  const Cell gap = g.puzzle.gap();
  run.run_for(50);
  EXPECT_EQ(g.Picture1.left(), left);
  // Clicks and other keys do nothing, not even take the latch.
  const auto [x, y] = std::pair{(gap.x + 0.5) * g.puzzle.piece_w, (gap.y - 0.5) * g.puzzle.piece_h};
  run.loop.mouse_down(x, y);
  run.loop.key_down(kKeyLeft);
  run.run_for(5);
  EXPECT_EQ(g.puzzle.gap(), gap);
  run.loop.key_down(kKeyEnter);
  run.run_for(50);
  EXPECT_NE(g.Picture1.left(), left);
}

TEST_F(PlayTest, TitleScreenKeysOnlyTakeTheLatch) {
  GameRunner& run = start();
  Puzzlemaker& g = run.game;
  ASSERT_TRUE(run.run_until([&] { return g.started == 1; }));
  run.loop.key_down(kKeyB);
  run.loop.mouse_down(5, 5);  // dropped: the key took this yield's action
  run.run_for(1);
  EXPECT_EQ(g.started, 1);
  EXPECT_EQ(g.caption(), kTitleCaption);
}

TEST_F(PlayTest, EverySlideAndTurnCountsAndTheFirstStartsTheClock) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown}, /*rotation=*/true);  // gap at (2, 2)
  EXPECT_EQ(g.status_line.text(), "Moves 0 \u00b7 Turns 0 \u00b7 0:00");
  r().run_for(5000);  // looking before the first action is not timed, and nothing ticks
  EXPECT_FALSE(g.status_timer.enabled());
  click({3, 2});  // mouse slide
  settle();
  click({3, 1}, kRightButton);  // mouse turn
  settle();
  r().loop.key_down(kKeyLeft);  // key slide
  settle();
  r().loop.key_down(kKeyK);  // key turn
  settle();
  r().run_for(2500);
  EXPECT_EQ(g.status_line.text(), "Moves 2 \u00b7 Turns 2 \u00b7 0:02");
}

TEST_F(PlayTest, BCountsAndMakesThePuzzleHelpedSoItsFinishIsNoBest) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown});
  r().loop.key_down(kKeyB);
  settle();
  EXPECT_EQ(g.status_line.text(), "Moves 1 \u00b7 0:00 \u00b7 Helped: no best result");
  click({1, 1});  // the player's own last slide finishes the picture
  settle();
  ASSERT_EQ(g.phase, 4);
  EXPECT_EQ(g.score.slides(), 2);
  EXPECT_FALSE(dir.exists(kBestResultsFile));
}

TEST_F(PlayTest, AnUnhelpedFinishIsANewBestThatLastsAndANewPuzzleStartsAfresh) {
  Puzzlemaker& g = arranged({kGapRight, kGapDown});  // gap at (2, 2)
  click({2, 1});
  settle();
  r().run_for(1500);
  click({1, 1});
  settle();
  ASSERT_EQ(g.phase, 4);
  EXPECT_EQ(g.status_line.text(), "Moves 2 \u00b7 0:01 \u00b7 New best: fewest moves and shortest time!");
  EXPECT_FALSE(g.status_timer.enabled()) << "the clock stopped at the finish";
  EXPECT_THAT(dir.read(kBestResultsFile), ::testing::MatchesRegex("Jumblix best results 1\n"
                                                                  "regular\ttitle1\\.bmp\t4\t4\tno\t2\t"
                                                                  "....-..-..\t15..\t....-..-..\n"));
  // A new puzzle counts from nothing, and the best is remembered after a restart.
  runner.reset();
  begin_first_puzzle();
  EXPECT_EQ(game().status_line.text(), "Moves 0 \u00b7 0:00 \u00b7 Best: 2 moves \u00b7 0:01 fastest");
}

// A screen reader's board: its description follows each slide.
TEST_F(PlayTest, TheBoardsDescriptionFollowsASlide) {
  Puzzlemaker& g = arranged({kGapRight});
  EXPECT_EQ(g.board.accessible_description(), "4 by 4 puzzle, 14 of 15 pieces home, gap at column 2 row 1");
  r().loop.key_down(kKeyRight);
  r().run_for(3);
  EXPECT_EQ(g.board.accessible_description(), "4 by 4 puzzle, 15 of 15 pieces home, gap at column 1 row 1");
}

TEST_F(PlayTest, FewestSlidesShowWhenReadyAndANewPuzzleDropsTheSearch) {
  ScriptedSearch* search = start().search;
  search->answers = true;
  Puzzlemaker& g = begin_first_puzzle("3", "3").game;
  ASSERT_EQ(search->started.size(), 1u) << "title puzzles are not searched";
  const DealtBoard& dealt = search->started[0];
  EXPECT_EQ(dealt.w, 3);
  EXPECT_EQ(dealt.cells[0], 0) << "the gap is dealt at the top left";
  EXPECT_EQ(dealt.cells[4], g.puzzle.board(2, 2));
  EXPECT_THAT(g.status_line.text(), ::testing::EndsWith("Par \u2026"));
  search->answer = FewestFigure{22, true, {}};
  r().run_for(200);
  EXPECT_THAT(g.status_line.text(), ::testing::EndsWith("Par 22"));
  EXPECT_FALSE(g.fewest_timer.enabled()) << "nothing is asked after a figure that is in";

  menu(g.newpuzzle);
  EXPECT_GE(search->cancels, 1);
  EXPECT_EQ(search->started.size(), 2u);
  EXPECT_THAT(g.status_line.text(), ::testing::EndsWith("Par \u2026"));
  search->answer = FewestFigure{212, false, {}};
  r().run_for(200);
  EXPECT_THAT(g.status_line.text(), ::testing::EndsWith("Par at most 212"));
}

TEST_F(PlayTest, TheGamesOwnSearchShowsTheExactFewestSlidesWithinAMoment) {
  const TempDir cache;
  const char* old_cache = getenv("XDG_CACHE_HOME");
  const std::string kept = old_cache ? old_cache : "";
  setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
  start().game.fewest_search = make_fewest_search();
  r().search = nullptr;
  Puzzlemaker& g = begin_first_puzzle("3", "3").game;
  std::vector<int> cells;
  for (int y = 1; y <= 3; ++y)
    for (int x = 1; x <= 3; ++x) cells.push_back(g.puzzle.board(x, y));
  const FewestSlides expected = find_fewest_slides(3, 3, cells);
  ASSERT_EQ(expected.kind, FewestSlides::Kind::kExact);
  // The search runs on its own thread in real time, whatever the game's clock says.
  const std::string shown = "Par " + std::to_string(expected.slides);
  auto shows_it = [&] {
    const std::string& text = g.status_line.text();
    return text.size() >= shown.size() && text.compare(text.size() - shown.size(), shown.size(), shown) == 0;
  };
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!shows_it() && std::chrono::steady_clock::now() < give_up) {
    r().run_for(20);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_THAT(g.status_line.text(), ::testing::EndsWith(shown));
  EXPECT_FALSE(g.fewest_timer.enabled());
  if (old_cache) setenv("XDG_CACHE_HOME", kept.c_str(), 1);
  else unsetenv("XDG_CACHE_HOME");
}

}  // namespace
}  // namespace jumblix::testing
