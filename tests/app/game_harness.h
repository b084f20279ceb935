#pragma once
// Runs the whole game headless on a thread of its own and parks it inside a yield whenever a
// condition holds, so a test can look at the window, post events and let it run on. Only one
// side runs at a time, so the game is never read while it changes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/puzzlemaker.h"
#include "platform/headless/headless_loop.h"
#include "platform/test_support.h"

namespace jumblix::testing {

// The fewest slides as the test says them, instead of the search: a test that wants figures
// sets `answers` and later `answer`; otherwise no search is ever under way.
struct ScriptedSearch : FewestSearch {
  void start(const DealtBoard& board) override {
    started.push_back(board);
    running = answers;
    answer.reset();
  }
  void cancel() override {
    ++cancels;
    running = false;
  }
  bool pending() const override { return running; }
  std::optional<FewestFigure> poll() override {
    if (!running || !answer) return std::nullopt;
    running = false;
    return answer;
  }
  bool answers = false;
  std::vector<DealtBoard> started;
  int cancels = 0;
  bool running = false;
  std::optional<FewestFigure> answer;
};

class GameRunner {
 public:
  explicit GameRunner(const std::string& dir, int maximized_width = 754, int maximized_height = 385)
      : game(loop, dir) {
    // Figures that come when the test says so, not when a thread happens to finish.
    auto scripted = std::make_unique<ScriptedSearch>();
    search = scripted.get();
    game.fewest_search = std::move(scripted);
    load_picture_plugins_here();
    loop.attach(game, maximized_width, maximized_height);
    loop.on_yield = [this] { park_if_done(); };
  }
  ~GameRunner() {
    if (!thread_.joinable()) return;
    {
      std::unique_lock lock(mutex_);
      loop.end_program();
      until_ = nullptr;
      game_turn_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

  // Lets the game run (starting it on first use) until `condition` holds at a yield or the
  // virtual clock has advanced by `limit_ms`. Returns whether the condition holds.
  bool run_until(std::function<bool()> condition, double limit_ms = 600000) {
    const double deadline = loop.now_ms() + limit_ms;
    loop.set_horizon(deadline);  // an idle game may skip ahead to here, not beyond
    {
      std::unique_lock lock(mutex_);
      until_ = [this, condition, deadline] { return condition() || loop.now_ms() >= deadline; };
      game_turn_ = true;
    }
    if (!thread_.joinable()) thread_ = std::thread([this] { game_thread(); });
    cv_.notify_all();
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return !game_turn_; });
    return !ended_ && condition();
  }
  // Runs for a stretch of virtual time.
  void run_for(double ms) { run_until([] { return false; }, ms); }
  bool ended() const { return ended_; }

  HeadlessLoop loop;
  Puzzlemaker game;
  ScriptedSearch* search = nullptr;  // the game's, unless a test gives it another

 private:
  void game_thread() {
    {
      std::unique_lock lock(mutex_);
      cv_.wait(lock, [this] { return game_turn_; });
    }
    try {
      game.Form_Activate();
    } catch (const ProgramEnded&) {
    }
    std::unique_lock lock(mutex_);
    ended_ = true;
    game_turn_ = false;
    cv_.notify_all();
  }
  // Qt's picture plugins, once made, live until the program exits: make them on this
  // (lasting) thread rather than on a game thread that ends before them.
  static void load_picture_plugins_here() {
    static const bool loaded = [] {
      const TempDir scratch;
      const std::string file = scratch.path() + "/plugins.bmp";
      Picture dot;
      dot.width = dot.height = 1;
      dot.pixels = {0};
      save_bitmap(file, dot);
      return load_bitmap(file).has_value();
    }();
    (void)loaded;
  }
  void park_if_done() {
    std::unique_lock lock(mutex_);
    if (!until_ || !until_()) return;
    game_turn_ = false;
    cv_.notify_all();
    cv_.wait(lock, [this] { return game_turn_; });
  }

  std::mutex mutex_;
  std::condition_variable cv_;
  bool game_turn_ = false;
  bool ended_ = false;
  std::function<bool()> until_;
  std::thread thread_;
};

// A test with its own working directory and screensaver folder parent.
class GameTest : public ::testing::Test {
 protected:
  GameTest() {
    // Qt's picture plugins are set up here, on the main thread: set up first on a game
    // thread, which ends before the program does, they corrupt the heap at exit.
    (void)encode_bitmap(Picture(1, 1));
    const char* old = getenv("JUMBLIX_SYSTEM_DIR");
    old_system_dir_ = old ? old : "";
    setenv("JUMBLIX_SYSTEM_DIR", system.path().c_str(), 1);
  }
  ~GameTest() override {
    if (old_system_dir_.empty())
      unsetenv("JUMBLIX_SYSTEM_DIR");
    else
      setenv("JUMBLIX_SYSTEM_DIR", old_system_dir_.c_str(), 1);
  }
  GameRunner& start(int maximized_width = 754, int maximized_height = 385) {
    runner = std::make_unique<GameRunner>(dir.path(), maximized_width, maximized_height);
    return *runner;
  }
  Puzzlemaker& game() { return runner->game; }
  GameRunner& r() { return *runner; }
  // A menu command or a button, then a few milliseconds for it to be handled.
  void menu(MenuItem& item) {
    runner->loop.menu(item);
    runner->run_for(3);
  }
  void press(CommandButton& button) {
    runner->loop.press(button);
    runner->run_for(3);
  }
  // Starts the game and clicks through the title screen and "Begin" to a first puzzle.
  GameRunner& begin_first_puzzle(const std::string& width = "4", const std::string& height = "4");

  TempDir dir;
  TempDir system;
  std::unique_ptr<GameRunner> runner;

 private:
  std::string old_system_dir_;
};

inline GameRunner& GameTest::begin_first_puzzle(const std::string& width, const std::string& height) {
  GameRunner& r = runner ? *runner : start();  // a test may start it with its own window sizes
  Puzzlemaker& g = r.game;
  EXPECT_TRUE(r.run_until([&] { return g.started == 1 && g.fresh_puzzle == 1; }));
  r.loop.mouse_down(100, 100);
  EXPECT_TRUE(r.run_until([&] { return g.Command1.visible(); }));
  g.Text1.set_text(width);
  g.Text2.set_text(height);
  r.loop.press(g.Command1);
  EXPECT_TRUE(r.run_until([&] { return g.begun == 1 && !g.Command1.visible(); }));
  return r;
}

}  // namespace jumblix::testing
