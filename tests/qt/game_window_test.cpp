// The whole game in the real window, wired as the program wires it: the two ways out.
#include <gtest/gtest.h>

#include <chrono>

#include <QAction>
#include <QTemporaryDir>
#include <QTimer>

#include "app/puzzlemaker.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace jumblix {
namespace {

class GameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (Timer* t : game.timers()) loop.add_timer(*t);
    window.show();
  }
  // Runs the game until it ends; returns how long that took after `after_ms`.
  double run_game_and_time_ending(int after_ms, const std::function<void()>& player_action) {
    double acted_at = -1;
    QTimer::singleShot(after_ms, &window, [&] {
      acted_at = loop.now_ms();
      player_action();
    });
    EXPECT_THROW(game.Form_Activate(), ProgramEnded);
    EXPECT_GE(acted_at, 0);
    return loop.now_ms() - acted_at;
  }

  QTemporaryDir dir;
  QtLoop loop;
  Puzzlemaker game{loop, dir.path().toStdString()};
  QtWindow window{game};
};

TEST_F(GameWindowTest, QuitFromTheMenuEndsTheGameAtOnce) {
  const double took = run_game_and_time_ending(500, [&] { window.action_for(game.quit)->trigger(); });
  EXPECT_LT(took, 500);
}

TEST_F(GameWindowTest, ClosingTheWindowEndsTheGameAtOnce) {
  const double took = run_game_and_time_ending(500, [&] { window.close(); });
  EXPECT_LT(took, 500);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace jumblix
