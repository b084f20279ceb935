#include "platform/headless/headless_loop.h"

#include <string>

#include <gtest/gtest.h>

namespace jumblix {
namespace {

// A loop of 1 ms steps with one timer that counts its ticks.
struct TimerTest : ::testing::Test {
  HeadlessLoop loop{1.0};
  Timer timer{"Timer1"};
  int fired = 0;
  void SetUp() override {
    loop.add_timer(timer);
    timer.on_timer = [this] { ++fired; };
  }
  // Yields until the next tick and says how many yields that took (0: none within 50).
  int yields_to_tick() {
    for (int i = 1, before = fired; i <= 50; ++i) {
      loop.yield();
      if (fired > before) return i;
    }
    return 0;
  }
};

TEST_F(TimerTest, FiresByVirtualTimeOnlyInsideYield) {
  timer.set_interval(10);
  timer.start();
  EXPECT_EQ(yields_to_tick(), 10);
  loop.advance(100);  // time passing outside a yield fires nothing, and ticks do not pile up
  EXPECT_EQ(fired, 1);
  loop.yield();
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(yields_to_tick(), 10);
}

TEST_F(TimerTest, SameIntervalOrStartKeepsTheCountdownANewIntervalRestartsIt) {
  timer.set_interval(10);
  timer.start();
  for (int i = 0; i < 5; ++i) loop.yield();
  timer.set_interval(10);
  timer.start();
  EXPECT_EQ(yields_to_tick(), 5);
  for (int i = 0; i < 4; ++i) loop.yield();
  timer.set_interval(8);
  EXPECT_EQ(yields_to_tick(), 8);
  timer.stop();
  EXPECT_EQ(yields_to_tick(), 0);
  timer.set_interval(0);
  timer.start();
  EXPECT_EQ(yields_to_tick(), 0);
}

TEST(HeadlessLoop, DeliversEventsInOrderAndLaterPostsAtTheNextYield) {
  HeadlessLoop loop;
  std::string seen;
  loop.post([&] {
    seen += 'a';
    loop.post([&] { seen += 'c'; });
  });
  loop.post([&] { seen += 'b'; });
  loop.yield();
  EXPECT_EQ(seen, "ab");
  loop.yield();
  EXPECT_EQ(seen, "abc");
}

TEST(HeadlessLoop, EndingTheProgramMakesEveryLaterYieldThrow) {
  HeadlessLoop loop;
  bool after = false;
  loop.post([&] { loop.end_program(); });
  loop.post([&] { after = true; });
  EXPECT_THROW(loop.yield(), ProgramEnded);
  EXPECT_FALSE(after);
  EXPECT_THROW(loop.yield(), ProgramEnded);

  HeadlessLoop stopping;
  int yields = 0;
  stopping.stop_when([&] { return yields == 3; });
  EXPECT_THROW(while (yields < 10) { ++yields; stopping.yield(); }, ProgramEnded);
  EXPECT_EQ(yields, 3);
}

}  // namespace
}  // namespace jumblix
