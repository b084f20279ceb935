#include "puzzle/scramble.h"

#include <limits>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace jumblix {
namespace {

struct Size {
  int w, h;
};

std::vector<Size> board_sizes() {
  std::vector<Size> sizes{{2, 7}, {7, 2}, {13, 4}, {4, 13}, {2, 20}, {20, 3}};
  for (int n = 2; n <= 20; ++n) sizes.push_back({n, n});
  return sizes;
}

PuzzleState scrambled(int w, int h, bool rotatable, std::uint64_t seed) {
  Random random(seed);
  PuzzleState s;
  build_solved_grid(s, w, h, rotatable, random);
  scramble(s, random);
  return s;
}

TEST(Random, EverySeedValueIsWellDefined) {
  // Worked out while compiling, where a conversion with an undefined result would not compile:
  // the fixed reset value -1, a value beyond any clock and one that is not a number.
  constexpr std::uint64_t reset = Random::seed_key(-1), other = Random::seed_key(-2);
  constexpr std::uint64_t huge = Random::seed_key(1e300);
  constexpr std::uint64_t nan = Random::seed_key(std::numeric_limits<double>::quiet_NaN());
  static_assert(reset != other && huge != reset && nan != reset && nan != huge);
  // Times of day keep their millisecond seeds.
  static_assert(Random::seed_key(43200.5) != Random::seed_key(43200.501));
  Random a(7), b(8);
  a.seed(-1);
  b.seed(-1);
  EXPECT_EQ(a.next(), b.next()) << "the reset is one fixed state";
}

class Scramble : public ::testing::TestWithParam<Size> {};

TEST_P(Scramble, EndsFullyDisplacedAndItsSolutionSolvesIt) {
  const auto [W, H] = GetParam();
  for (std::uint64_t seed = 1; seed <= (W * H <= 100 ? 40u : 12u); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const PuzzleState s = scrambled(W, H, true, seed);
    ASSERT_EQ(s.gap(), (Cell{1, 1}));
    EXPECT_EQ(s.in_place, 0);
    EXPECT_EQ(s.count_in_place(), 0);

    // The walk rebuilt from the stored inverses: it stays on the board, no step undoes the
    // one before (so no entry is followed by its own inverse), each piece keeps the
    // orientation it was given, and it ends on the scrambled board.
    PuzzleState walk;
    Random same_draws(seed);
    build_solved_grid(walk, W, H, true, same_draws);
    for (int k = 1; k <= s.solution_len(); ++k) {
      ASSERT_TRUE(walk.slide(inverse(s.solution_moves.at(k)))) << "step " << k;
      ASSERT_TRUE(k == 1 || s.solution_moves.at(k) != inverse(s.solution_moves.at(k - 1))) << "step " << k;
    }
    for (int y = 1; y <= H; ++y)
      for (int x = 1; x <= W; ++x) {
        ASSERT_EQ(walk.board(x, y), s.board(x, y));
        ASSERT_EQ(walk.turn(x, y), s.turn(x, y));
      }

    // Played back from the top, the solution brings every piece home.
    PuzzleState solving = s;
    for (; !solving.solution_moves.empty(); solving.solution_moves.pop())
      ASSERT_TRUE(solving.slide(solving.solution_moves.top()));
    EXPECT_EQ(solving.gap(), (Cell{1, 1}));
    EXPECT_EQ(solving.in_place, W * H - 1);
    EXPECT_EQ(solving.count_in_place(), W * H - 1);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryShape, Scramble, ::testing::ValuesIn(board_sizes()), [](const auto& info) {
  return std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
});

TEST(ScrambleOrientation, UprightWithoutRotationEveryCodeWithIt) {
  for (bool rotatable : {false, true}) {
    const PuzzleState s = scrambled(10, 10, rotatable, 99);
    std::set<int> codes;
    for (int y = 1; y <= 10; ++y)
      for (int x = 1; x <= 10; ++x) codes.insert(s.turn(x, y));
    EXPECT_EQ(codes, (rotatable ? std::set<int>{1, 2, 3, 4} : std::set<int>{1}));
  }
}

TEST(ScrambleOrientation, SameSeedSamePuzzleWhateverTheRotationSetting) {
  auto moves = [](const PuzzleState& s) {
    std::vector<int> out;
    for (int k = 1; k <= s.solution_len(); ++k) out.push_back(s.solution_moves.at(k));
    return out;
  };
  const PuzzleState a = scrambled(6, 5, true, 2024), b = scrambled(6, 5, true, 2024);
  EXPECT_EQ(moves(a), moves(b));
  EXPECT_EQ(moves(a), moves(scrambled(6, 5, false, 2024)));  // one draw per cell either way
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 6; ++x) EXPECT_EQ(a.turn(x, y), b.turn(x, y));
}

}  // namespace
}  // namespace jumblix
