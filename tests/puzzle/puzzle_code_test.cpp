// Puzzle codes: a deal goes into a code and comes out the same; a bad code is refused with
// its reason; the computer's way back for a shared deal solves it.
#include "puzzle/puzzle_code.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/random.h"
#include "puzzle/scramble.h"
#include "search/slide_board.h"

namespace jumblix {
namespace {

SharedDeal dealt(int w, int h, bool rotation, std::uint64_t seed, std::string picture = "sunset.bmp") {
  Random random(seed);
  PuzzleState s;
  build_solved_grid(s, w, h, rotation, random);
  scramble(s, random);
  SharedDeal deal{false, std::move(picture), w, h, rotation, {}, {}};
  for (int y = 1; y <= h; ++y)
    for (int x = 1; x <= w; ++x) {
      deal.cells.push_back(s.board(x, y));
      deal.turns.push_back(s.turn(x, y));
    }
  return deal;
}

TEST(PuzzleCode, DealsComeBackTheSameAndTheirWayBackSolvesThem) {
  for (const SharedDeal& deal : {dealt(4, 4, true, 1), dealt(3, 5, false, 2, "my holiday 100%.v2.bmp"),
                                 dealt(20, 20, true, 3, "\xc3\xa9t\xc3\xa9.bmp"), dealt(2, 3, true, 4)}) {
    const std::string code = puzzle_code(deal);
    EXPECT_EQ(code.find_first_of(" \t\n"), std::string::npos) << code;
    std::string problem;
    const auto back = read_puzzle_code("  " + code.substr(0, 9) + "\n" + code.substr(9) + "\n", &problem);
    ASSERT_TRUE(back) << problem << " " << code;
    EXPECT_EQ(*back, deal);
    const auto way = deal_way_back(deal, &problem);
    ASSERT_TRUE(way) << problem;
    EXPECT_TRUE(slides_solve(board_from_game_cells(deal.w, deal.h, deal.cells), *way));
  }
  EXPECT_EQ(puzzle_code(dealt(4, 4, true, 1)).size(), 4u + 6 + 16 + 11);  // short enough to say aloud
}

TEST(PuzzleCode, RefusesUnsolvableMalformedAndOversizedCodes) {
  SharedDeal unsolvable = dealt(4, 4, false, 5);
  std::swap(unsolvable.cells[1], unsolvable.cells[2]);
  const std::string good = puzzle_code(dealt(3, 3, false, 6));
  for (const std::string& code :
       {puzzle_code(unsolvable), std::string(), std::string("JX1"), good.substr(0, good.size() - 13),
        "JX2" + good.substr(3), "JX1.r21x3n." + std::string(63, 'A') + ".a.bmp", "JX1.r3x4n." + good.substr(10),
        good.substr(0, 11) + "A" + good.substr(12), good.substr(0, 10) + "*" + good.substr(11), good + "%2F",
        good + "%0A", good.substr(0, 20), good + std::string(3000, 'x')}) {
    std::string problem;
    EXPECT_FALSE(read_puzzle_code(code, &problem)) << code;
    EXPECT_FALSE(problem.empty()) << code;
  }
}

TEST(PuzzleCode, HostileCodesOfTheCorpusAreRefused) {
  std::ifstream in(std::filesystem::path(__FILE__).parent_path() / "puzzle_code_corpus.txt");
  int codes = 0;
  for (std::string line; std::getline(in, line); ++codes) EXPECT_FALSE(read_puzzle_code(line, nullptr)) << line;
  EXPECT_GT(codes, 5);
}

}  // namespace
}  // namespace jumblix
