#include "play/move_rules.h"

#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace jumblix {
namespace {

std::vector<int> entries(const MoveList& list) {
  std::vector<int> out;
  for (int k = 1; k <= list.len(); ++k) out.push_back(list.at(k));
  return out;
}

TEST(RecordMove, CancellingIsTriedForMouseWithoutRotationAndKeysWithIt) {
  const struct {
    bool by_keyboard, rotatable;
    std::vector<int> after_back;
  } cases[] = {{false, false, {}}, {true, false, {2, 1}}, {true, true, {}}, {false, true, {2, 1}}};
  for (const auto& c : cases) {
    PuzzleState s;
    record_move(s, kGapLeft, c.by_keyboard, c.rotatable);  // a piece slides right...
    EXPECT_EQ(entries(s.user_moves), std::vector<int>{kGapRight});
    record_move(s, kGapRight, c.by_keyboard, c.rotatable);  // ...and back
    EXPECT_EQ(entries(s.user_moves), c.after_back) << c.by_keyboard << c.rotatable;
    EXPECT_TRUE(s.solution_moves.empty());
  }
}

TEST(RecordMove, TheComputersNextSlideComesOffTheSolutionOnlyWhileThePlayerHasNone) {
  PuzzleState s;
  s.solution_moves.push(kGapUp);
  s.solution_moves.push(kGapDown);
  record_move(s, kGapDown, false, false);
  EXPECT_EQ(entries(s.solution_moves), std::vector<int>{kGapUp});
  EXPECT_TRUE(s.user_moves.empty());
  record_move(s, kGapRight, false, false);
  record_move(s, kGapUp, false, false);
  EXPECT_EQ(entries(s.solution_moves), std::vector<int>{kGapUp});
  EXPECT_EQ(entries(s.user_moves), (std::vector<int>{kGapLeft, kGapDown}));

  PuzzleState keys;  // keyboard without rotation: no cancelling at all
  keys.solution_moves.push(kGapLeft);
  record_move(keys, kGapLeft, true, false);
  EXPECT_EQ(entries(keys.solution_moves), std::vector<int>{kGapLeft});
  EXPECT_EQ(entries(keys.user_moves), std::vector<int>{kGapRight});
}

TEST(CellAtPoint, GridLinesBelongToTheCellLeftOfOrAboveThem) {
  PuzzleState s;
  s.reset_solved(4, 3);
  s.piece_w = 40;
  s.piece_h = 30;
  constexpr std::optional<int> none;
  const struct {
    double at;
    std::optional<int> column, row;
  } cases[] = {{0, 1, 1},   {-28.5, 1, 1}, {-38.5, 1, none}, {-39, none, none}, {30, 1, 1},    {31, 1, 2},
               {40, 1, 2},  {41, 2, 2},    {80.5, 2, 3},     {90, 3, 3},        {91, 3, none}, {160, 4, none},
               {161, none, none}};
  for (const auto& c : cases) {
    const auto by_x = cell_at_point(s, c.at, 10), by_y = cell_at_point(s, 10, c.at);
    EXPECT_EQ(by_x ? std::optional(by_x->x) : none, c.column) << "X = " << c.at;
    EXPECT_EQ(by_y ? std::optional(by_y->y) : none, c.row) << "Y = " << c.at;
  }
}

TEST(SlideDirection, MovesTheChosenPieceIntoTheGap) {
  PuzzleState s;
  s.reset_solved(3, 3);
  s.slide(kGapRight);
  s.slide(kGapDown);  // the gap is in the middle
  for (Cell c : {Cell{1, 2}, Cell{3, 2}, Cell{2, 1}, Cell{2, 3}}) {
    PuzzleState t = s;
    ASSERT_TRUE(t.slide(slide_direction_for(t, c)));
    EXPECT_EQ(t.board(2, 2), s.board(c));
    EXPECT_EQ(t.gap(), c);
  }
  for (Cell c : {Cell{1, 1}, Cell{3, 3}, Cell{2, 2}}) EXPECT_EQ(slide_direction_for(s, c), kNoMove);
}

}  // namespace
}  // namespace jumblix
