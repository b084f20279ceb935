// Undo, redo and restart: the board, both move lists and the counts go back exactly, so that
// B and the computer still solve the puzzle afterwards.
#include <sstream>

#include "app/game_harness.h"

namespace jumblix::testing {
namespace {

// Shown when two boards differ.
std::string shown(const BoardSnapshot& b) {
  std::ostringstream os;
  for (int c : b.cells) os << c << " ";
  os << "turns ";
  for (int t : b.turns) os << t;
  os << " user " << b.user_moves.len() << ":" << b.user_moves.top() << " solution " << b.solution_moves.len() << ":"
     << b.solution_moves.top() << " counts " << b.counts.slides << "/" << b.counts.turns;
  return os.str();
}

class UndoTest : public GameTest {
 protected:
  BoardSnapshot now() { return snapshot_of(game().puzzle, {game().score.slides(), game().score.turns()}); }
  void key(int k) {
    r().loop.key_down(k);
    r().run_for(3);
  }
  // A first puzzle with rotation on or off.
  void begin(bool rotation, const std::string& size = "4") {
    start();
    ASSERT_TRUE(r().run_until([&] { return game().started == 1; }));
    r().loop.post([&] { rotation ? game().yes_Click() : game().no_Click(); });
    begin_first_puzzle(size, size);
  }
  // Slides (both ways, so that the lists both grow and cancel), turns and B's help.
  std::vector<BoardSnapshot> play_a_while(bool rotation) {
    Puzzlemaker& g = game();
    std::vector<BoardSnapshot> states{now()};
    // Only what changed the board is a step (a key pointing off the board is none).
    auto step_made = [&] {
      if (!(now() == states.back())) states.push_back(now());
    };
    for (int k : {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeyLeft}) {
      key(k);
      step_made();
    }
    // The mouse on the piece left of the gap, then back: the history may cancel it.
    const Cell gap = g.puzzle.gap();
    r().loop.mouse_down((gap.x - 1) * g.puzzle.piece_w + 5, (gap.y - 1) * g.puzzle.piece_h + 5);
    r().run_for(3);
    step_made();
    if (rotation) {
      key(g.puzzle.gap_y > 1 ? kKeyI : kKeyK);
      step_made();
    }
    key(kKeyB);
    step_made();
    return states;
  }
  void solve_with_b() {
    Puzzlemaker& g = game();
    for (int i = 0; i < 5000 && g.phase == 3; ++i) key(kKeyB);
    EXPECT_EQ(g.phase, 4);
    EXPECT_TRUE(g.puzzle.finished());
  }
};

TEST_F(UndoTest, EveryStepGoesBackAndComesAgainExactlyAndBSolvesAfterwards) {
  for (bool rotation : {true, false}) {
    SCOPED_TRACE(rotation ? "rotation" : "no rotation");
    runner.reset();
    begin(rotation);
    Puzzlemaker& g = game();
    const std::vector<BoardSnapshot> states = play_a_while(rotation);
    const double clock = g.score.elapsed_ms(r().loop.now_ms());
    for (std::size_t i = states.size() - 1; i > 0; --i) {
      menu(g.undo);
      ASSERT_EQ(now(), states[i - 1]) << "undo to state " << i - 1 << "\n" << shown(now()) << "\n" << shown(states[i - 1]) << "\n" << shown(states[i]);
    }
    menu(g.undo);  // nothing is left to take back
    EXPECT_EQ(now(), states.front());
    EXPECT_TRUE(g.score.clock_running());
    EXPECT_GT(g.score.elapsed_ms(r().loop.now_ms()), clock);
    EXPECT_EQ(g.status_line.text().rfind("Moves 0 ", 0), 0u) << g.status_line.text();
    for (std::size_t i = 1; i < states.size(); ++i) {
      menu(g.redo);
      ASSERT_EQ(now(), states[i]) << "redo to state " << i;
    }
    // Half way back, then B plays the lists to the finish.
    for (int i = 0; i < 3; ++i) menu(g.undo);
    solve_with_b();
    menu(g.undo);  // the finished picture takes nothing back
    EXPECT_TRUE(g.puzzle.finished());
  }
}

TEST_F(UndoTest, ANewSlideClearsRedoAndTheComputerSolvesAfterAnyMix) {
  begin(true, "3");
  Puzzlemaker& g = game();
  EXPECT_GT(play_a_while(true).size(), 4u);
  menu(g.undo);
  menu(g.undo);
  const BoardSnapshot undone = now();
  key(g.puzzle.gap_x < g.puzzle.W ? kKeyLeft : kKeyRight);
  const BoardSnapshot slid = now();
  EXPECT_FALSE(g.redo.enabled()) << "nothing to redo any more: greyed";
  EXPECT_TRUE(g.undo.enabled());
  menu(g.redo);
  EXPECT_EQ(now(), slid);
  menu(g.undo);
  EXPECT_EQ(now(), undone);
  g.move_time = 0;
  g.rotate_time = 0;
  menu(g.csolve);
  menu(g.undo);  // the computer solves: undo does nothing, and the steps are gone
  EXPECT_FALSE(g.undo.enabled());
  ASSERT_TRUE(r().run_until([&] { return g.phase == 4; }, 1e6));
  EXPECT_TRUE(g.puzzle.finished());
  EXPECT_TRUE(g.undo_steps.empty());
}

TEST_F(UndoTest, RestartDealsTheBoardAgainUndoablyAndTheClockRunsOn) {
  begin(true, "3");
  Puzzlemaker& g = game();
  const BoardSnapshot dealt = now();
  play_a_while(true);
  const BoardSnapshot played = now();
  r().run_for(5000);
  menu(g.restart);
  EXPECT_EQ(now(), dealt);
  EXPECT_GE(g.score.elapsed_ms(r().loop.now_ms()), 5000);
  menu(g.undo);
  EXPECT_EQ(now(), played);
  menu(g.redo);
  EXPECT_EQ(now(), dealt);
  solve_with_b();
}

}  // namespace
}  // namespace jumblix::testing
