// A long stretch of random play through every menu, panel, button, key and mouse button:
// the game must neither crash nor lose track of its board.
#include <random>
#include <set>

#include "app/game_harness.h"

namespace jumblix::testing {
namespace {

void expect_board_sound(const PuzzleState& s) {
  std::set<int> pieces;
  int gaps = 0;
  for (int y = 1; y <= s.H; ++y)
    for (int x = 1; x <= s.W; ++x) {
      if (s.board(x, y) == 0) {
        ++gaps;
        ASSERT_EQ(s.gap(), (Cell{x, y}));
      } else {
        pieces.insert(s.board(x, y));
      }
    }
  ASSERT_EQ(gaps, 1);
  ASSERT_EQ(static_cast<int>(pieces.size()), s.W * s.H - 1);
  ASSERT_EQ(*pieces.begin(), 2);
  ASSERT_EQ(*pieces.rbegin(), s.W * s.H);
  ASSERT_EQ(s.in_place, s.count_in_place());
}

using RandomPlayTest = GameTest;

TEST_F(RandomPlayTest, ThousandsOfRandomActionsKeepTheGameSound) {
  dir.write("regular pictures/broken.bmp", "BM not a picture");
  GameRunner& r = begin_first_puzzle("3", "3");
  Puzzlemaker& g = r.game;
  std::mt19937 rng(20261209);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::vector<MenuItem*> menus;
  for (MenuItem* m : g.menu_items())
    if (m->children().empty() && m != &g.quit) menus.push_back(m);
  std::vector<CommandButton*> buttons{&g.Command1, &g.Command2, &g.Command3, &g.Command4, &g.Command5,
                                      &g.best_close};
  std::vector<TextBox*> boxes{&g.Text1, &g.Text2, &g.Text4, &g.Text5, &g.Text6, &g.code_text};
  const int keys[] = {kKeyEnter, kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeyB, kKeyI, kKeyJ, kKeyK, kKeyL, 65, kKeyEscape};
  const char* texts[] = {"", "0", "-7", "ab", "25", "3", ".5", "9"};
  for (int action = 0; action < 4000; ++action) {
    switch (pick(8)) {
      case 0: r.loop.menu(*menus[static_cast<std::size_t>(pick(static_cast<int>(menus.size())))]); break;
      case 1: r.loop.press(*buttons[static_cast<std::size_t>(pick(static_cast<int>(buttons.size())))]); break;
      case 2: {
        TextBox& box = *boxes[static_cast<std::size_t>(pick(static_cast<int>(boxes.size())))];
        if (!box.visible()) break;
        box.set_text("");
        r.loop.type(box, texts[pick(8)]);
        r.loop.key_in(box, pick(2) ? kKeyEnter : kKeyEscape);
        break;
      }
      case 3: r.loop.pick(pick(2) ? g.File1 : g.File2, pick(3)); break;
      case 4: g.option_buttons()[static_cast<std::size_t>(pick(16))]->set_value(true); break;
      case 5: r.loop.key_down(keys[pick(12)]); break;
      default:
        r.loop.mouse_down(pick(g.canvas.width() + 40) - 20, pick(g.canvas.height() + 40) - 20,
                          1 << pick(3));
    }
    r.run_for(1 + pick(30));
    ASSERT_FALSE(r.ended()) << "after action " << action;
    ASSERT_NO_FATAL_FAILURE(expect_board_sound(g.puzzle)) << "after action " << action;
    ASSERT_TRUE(g.puzzle.puzzle_bg >= 0 && g.puzzle.puzzle_bg < 16);
  }
  EXPECT_GT(g.puzzles_made, 10) << "the random play reached the puzzle-making commands";
}

}  // namespace
}  // namespace jumblix::testing
