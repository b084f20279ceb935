#include "puzzle/puzzle_state.h"

#include <vector>

#include <gtest/gtest.h>

#include "platform/random.h"

namespace jumblix {
namespace {

TEST(PuzzleState, PiecesAreNumberedInRowOrderFromTwo) {
  PuzzleState s;
  s.reset_solved(3, 3);
  EXPECT_EQ(s.board(1, 1), 0);
  EXPECT_EQ(s.home(1, 1), 1);
  EXPECT_EQ(s.home(1, 2), 4);
  EXPECT_EQ(s.home_cell(4), (Cell{1, 2}));
  EXPECT_EQ(s.home_cell(9), (Cell{3, 3}));
  for (int none : {0, 1, 10}) EXPECT_EQ(s.home_cell(none), (Cell{0, 0}));
  EXPECT_EQ(s.in_place, 8);
  s.reset_solved(7, 2);
  EXPECT_EQ(s.home_cell(8), (Cell{1, 2}));
}

TEST(PuzzleState, SlideOffTheBoardChangesNothing) {
  PuzzleState s;
  s.reset_solved(3, 3);
  for (int d : {1, 3, 0, 5}) EXPECT_FALSE(s.slide(d)) << d;
  EXPECT_EQ(s.gap(), (Cell{1, 1}));
  EXPECT_EQ(s.board(2, 1), 2);
  EXPECT_EQ(s.in_place, 8);
  EXPECT_EQ(s.move_dir, 0);
}

TEST(PuzzleState, SlideCarriesOrientationAndCountsPiecesOnTheirHome) {
  PuzzleState s;
  s.reset_solved(3, 3);
  s.turn(2, 1) = kMirroredTopBottom;
  ASSERT_TRUE(s.slide(kGapRight));  // piece 2 slides left into the corner
  EXPECT_EQ(s.board(1, 1), 2);
  EXPECT_EQ(s.board(2, 1), 0);
  EXPECT_EQ(s.turn(1, 1), kMirroredTopBottom);
  EXPECT_EQ(s.turn(2, 1), kMirroredTopBottom);  // the gap keeps the code of the piece that left
  // Pieces leave home, piece 3 moves twice between cells that are not its home, then all
  // go back.
  const int moves[] = {kGapRight, kGapDown, kGapLeft, kGapUp, kGapDown, kGapRight, kGapUp, kGapLeft, kGapLeft};
  const int in_place[] = {6, 5, 4, 4, 4, 5, 6, 7, 8};
  for (int i = 0; i < 9; ++i) {
    ASSERT_TRUE(s.slide(moves[i]));
    EXPECT_EQ(s.in_place, in_place[i]) << "after slide " << i;
  }
  EXPECT_FALSE(s.finished());  // piece 2 is home but still mirrored
}

TEST(PuzzleState, RandomSlidesKeepOneGapEveryPieceOnceAndTheCount) {
  PuzzleState s;
  s.reset_solved(5, 4);
  Random random(7);
  for (int step = 0; step < 2000; ++step) {
    s.slide(random.pick(4));
    std::vector<int> seen(21, 0);
    for (int y = 1; y <= 4; ++y)
      for (int x = 1; x <= 5; ++x) ++seen.at(static_cast<std::size_t>(s.board(x, y)));
    ASSERT_EQ(s.board(s.gap()), 0);
    ASSERT_EQ(seen, (std::vector<int>{1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    ASSERT_EQ(s.in_place, s.count_in_place()) << "after step " << step;
  }
}

}  // namespace
}  // namespace jumblix
