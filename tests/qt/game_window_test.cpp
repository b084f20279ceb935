// The whole game in the real window, wired as the program wires it: a player's way from the
// title screen into play and through a panel, and the two ways out.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

#include "app/puzzlemaker.h"
#include "jumblix_version.h"
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

  // A player's step, taken once the game shows what it waits for.
  struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
  };
  // Takes the steps in turn while the game runs, each as soon as it is ready: a slow machine
  // only takes longer. A step not ready within a minute fails the test and ends the game.
  void take_steps(std::vector<Step> steps) {
    auto* poll = new QTimer(&window);
    auto next = std::make_shared<std::size_t>(0);
    auto deadline = std::make_shared<std::chrono::steady_clock::time_point>();
    *deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    QObject::connect(poll, &QTimer::timeout, &window, [this, poll, next, deadline, steps = std::move(steps)] {
      if (*next == steps.size()) return poll->stop();
      const Step& step = steps[*next];
      if (!step.ready()) {
        if (std::chrono::steady_clock::now() < *deadline) return;
        ADD_FAILURE() << "step " << *next << " never became ready";
        poll->stop();
        return window.action_for(game.quit)->trigger();
      }
      ++*next;
      *deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
      step.act();
    });
    poll->start(20);
  }

  QTemporaryDir dir;
  QtLoop loop;
  Puzzlemaker game{loop, dir.path().toStdString()};
  QtWindow window{game};
};

TEST_F(GameWindowTest, QuitFromTheMenuEndsTheGameAtOnce) {
  const double took = run_game_and_time_ending(500, [&] { window.action_for(game.quit)->trigger(); });
  EXPECT_LT(took, 2000);
}

TEST_F(GameWindowTest, ClosingTheWindowEndsTheGameAtOnce) {
  const double took = run_game_and_time_ending(500, [&] { window.close(); });
  EXPECT_LT(took, 2000);
  EXPECT_FALSE(window.isVisible());
}

// Real clicks and keys, each as soon as the game is ready for it, from the title screen to a
// puzzle in play, a slide by mouse and by key, a time typed into its panel and a picture picked.
TEST_F(GameWindowTest, APlayerClicksTypesAndSlidesThroughTheRealWidgets) {
  auto centre_of = [&](Cell c) {
    return QPoint(static_cast<int>((c.x - 0.5) * game.puzzle.piece_w),
                  static_cast<int>((c.y - 0.5) * game.puzzle.piece_h));
  };
  auto caption_is = [&](const char* text) { return [&, text] { return game.caption() == text; }; };
  auto title_plays = [&] { return game.puzzles_made > 0; };
  take_steps({
      {title_plays, [&] { QTest::mouseClick(window.canvas_widget(), Qt::LeftButton, {}, QPoint(50, 50)); }},
      {caption_is("Jumblix: By Corvel"),
       [&] { QTest::mouseClick(window.widget_for(game.Command1), Qt::LeftButton); }},
      {caption_is("Jumblix: By Corvel-(Solving regular puzzle)"),
       [&] {
         ASSERT_EQ(game.puzzle.gap(), (Cell{1, 1}));
         QTest::keyClick(window.canvas_widget(), Qt::Key_Left);  // the piece right of the gap
       }},
      {[&] { return game.puzzle.gap() == Cell{2, 1}; },
       [&] { QTest::mouseClick(window.canvas_widget(), Qt::LeftButton, {}, centre_of({2, 2})); }},
      {[&] { return game.puzzle.gap() == Cell{2, 2}; },
       [&] {
         EXPECT_EQ(game.puzzle.user_moves_len(), 2);
         window.action_for(game.cpiece)->trigger();
       }},
      {[&] { return window.widget_for(game.Text4)->isVisible(); },
       [&] {
         auto* box = qobject_cast<QLineEdit*>(window.widget_for(game.Text4));
         ASSERT_TRUE(box);
         QTest::mouseClick(box, Qt::LeftButton);
         box->selectAll();
         QTest::keyClicks(box, "250");  // the third character does not fit
         QTest::keyClick(box, Qt::Key_Return);
       }},
      {[&] { return !window.widget_for(game.Text4)->isVisible(); },
       [&] {
         EXPECT_EQ(game.move_time, 25);
         window.action_for(game.choosepicture)->trigger();
       }},
      {[&] {
         auto* list = qobject_cast<QListWidget*>(window.widget_for(game.File1));
         return list && list->isVisible() && list->count() > 0;
       },
       [&] {
         auto* list = qobject_cast<QListWidget*>(window.widget_for(game.File1));
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
       }},
      {[&] { return game.File1.selected() == 0; },
       [&] {
         EXPECT_EQ(game.Text3.text(), "title1.bmp");
         window.action_for(game.quit)->trigger();
       }},
  });
  EXPECT_THROW(game.Form_Activate(), ProgramEnded);
}

// Ctrl+N, F11 and Ctrl+Q do what their menu items and the window do, only where the player
// could do it from the menus, and never count as the player's key (the latch stays clear).
TEST_F(GameWindowTest, DesktopKeysBelongToTheWindowNotToTheGame) {
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  // The shortcut's own key event; Ctrl pressed before it is a key of its own, as ever.
  auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
    QTest::simulateEvent(window.canvas_widget(), true, k, modifiers, QString(), false);
    QTest::simulateEvent(window.canvas_widget(), false, k, modifiers, QString(), false);
    EXPECT_EQ(game.input_latch, 0) << k;
  };
  auto always = [] { return true; };
  auto title_plays = [&] { return game.puzzles_made > 0; };
  take_steps({
      {title_plays, [&] { key(Qt::Key_N, Qt::ControlModifier); }},  // on the title screen: as the first click
      {[&] { return game.Command1.visible(); },
       [&] {
         EXPECT_FALSE(game.puzzle7.visible());
         QTest::keyClick(window.widget_for(game.Text1), Qt::Key_Return);  // "Begin"
       }},
      {[&] { return game.caption() == "Jumblix: By Corvel-(Solving regular puzzle)"; },
       [&] {
         ASSERT_TRUE(game.puzzle7.visible());
         QTest::keyClick(window.canvas_widget(), Qt::Key_Left);
       }},
      {[&] { return game.puzzle.user_moves_len() == 1; },
       [&] {
         key(Qt::Key_N, Qt::ControlModifier);
         EXPECT_EQ(game.puzzle.user_moves_len(), 0);  // a new puzzle
         EXPECT_EQ(game.puzzle.gap(), (Cell{1, 1}));
         key(Qt::Key_F11);
         EXPECT_TRUE(window.full_screen());
         EXPECT_GT(game.canvas.width(), kDesignClientWidth);
         key(Qt::Key_N, Qt::ControlModifier);  // cut for the whole screen
         key(Qt::Key_F11);
         EXPECT_FALSE(window.full_screen());
         EXPECT_TRUE(game.board_fits_window()) << "the board stays whole";
         QTest::keyClick(window.canvas_widget(), Qt::Key_Left);
       }},
      {[&] { return game.puzzle.gap() == Cell{2, 1}; },  // and playable
       [&] { window.action_for(game.about)->trigger(); }},
      {[&] {
         auto* about = window.findChild<QMessageBox*>();
         return about && about->isVisible();
       },
       [&] {
         auto* about = window.findChild<QMessageBox*>();
         EXPECT_TRUE(about->text().contains("Jumblix " JUMBLIX_VERSION));
         EXPECT_TRUE(about->text().contains(QDir(dir.path()).canonicalPath()));
         about->close();
         window.activateWindow();
       }},
      {always, [&] { key(Qt::Key_Q, Qt::ControlModifier); }},
  });
  EXPECT_THROW(game.Form_Activate(), ProgramEnded);
}

}  // namespace
}  // namespace jumblix
