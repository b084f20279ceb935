// The real event loop: timers only inside a yield, an animation's short ticks on the frame
// grid, other timers on time, the end of the program, and a yield that does not hold the
// processor.
#include "platform/qt/qt_loop.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include <QTest>
#include <QTime>
#include <QTimer>

#include "platform/qt/background_work.h"

namespace jumblix {
namespace {

double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void yield_for(QtLoop& loop, double ms) {
  const double until = loop.now_ms() + ms;
  while (loop.now_ms() < until) loop.yield();
}

// A clock the test sets, for the exact frame-grid arithmetic.
class SetClock : public EventLoop {
 public:
  void yield() override {}
  void end_program() override {}
  bool ended() const override { return false; }
  double now_ms() const override { return now; }
  double seconds_since_midnight() const override { return 0; }
  void add_timer(Timer& timer) override { timer.attach(this); }
  double now = 0;
};

TEST(QtLoop, TimersFireOnlyInsideAYield) {
  QtLoop loop;
  Timer timer("t", 1);
  int ticks = 0;
  timer.on_timer = [&] { ++ticks; };
  loop.add_timer(timer);
  timer.start();
  QTest::qWait(60);  // Qt runs its own events, but the game's timer waits for a yield
  EXPECT_EQ(ticks, 0);
  loop.yield();
  EXPECT_EQ(ticks, 1);
  timer.stop();
  QTest::qWait(40);
  loop.yield();
  EXPECT_EQ(ticks, 1);
}

TEST(QtLoop, AnAnimationsShortTicksFallOnFramesOtherTimersTickOnTime) {
  SetClock clock;
  Timer timer("anim", 1);
  clock.add_timer(timer);
  clock.now = 5;
  timer.start();  // a frame-paced 1 ms countdown ends at the next frame boundary
  EXPECT_FALSE(QtLoop::timer_due(timer, kFrameMs - 0.1, true));
  EXPECT_TRUE(QtLoop::timer_due(timer, kFrameMs, true));
  timer.fire(kFrameMs + 0.8);  // a late tick does not push the next one a frame further
  EXPECT_FALSE(QtLoop::timer_due(timer, 2 * kFrameMs - 0.1, true));
  EXPECT_TRUE(QtLoop::timer_due(timer, 2 * kFrameMs, true));

  Timer step("step", 10);  // the computer's 10 ms step waits 10 ms, not a frame
  clock.add_timer(step);
  clock.now = 5;
  step.start();
  EXPECT_FALSE(QtLoop::timer_due(step, 14.9, false));
  EXPECT_TRUE(QtLoop::timer_due(step, 15, false));

  Timer slow("slow", 50);
  clock.add_timer(slow);
  clock.now = 0;
  slow.start();
  EXPECT_FALSE(QtLoop::timer_due(slow, 49.9, true));
  EXPECT_TRUE(QtLoop::timer_due(slow, 50, true));
  slow.stop();
  EXPECT_FALSE(QtLoop::timer_due(slow, 100, true));
}

TEST(QtLoop, AOneMillisecondTimerRestartedEachTickTicksAboutOncePerFrame) {
  // The slow animation: start the 1 ms timer, yield until it ticks, stop it; repeat.
  QtLoop loop;
  Timer timer("anim", 1);
  loop.add_timer(timer);
  loop.pace_with_frames(timer);
  bool tick = false;
  timer.on_timer = [&] { tick = true; };
  int frames = 0;
  const double start = loop.now_ms();
  while (loop.now_ms() - start < 500) {
    tick = false;
    timer.start();
    while (!tick) loop.yield();
    timer.stop();
    ++frames;
  }
  const double per_second = frames * 1000.0 / (loop.now_ms() - start);
  EXPECT_LE(per_second, 64);
  EXPECT_GE(per_second, 30);  // generous: the machine may be busy
}

TEST(QtLoop, AWorkingGamesYieldsKeepTheirPaceWithoutHoldingTheProcessor) {
  QtLoop loop;  // no answer from a game: it counts as working pass after pass
  const auto wall_start = std::chrono::steady_clock::now();
  const double cpu_start = cpu_seconds();
  int yields = 0;
  for (; yields < 400; ++yields) loop.yield();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  const double cpu = cpu_seconds() - cpu_start;
  std::printf("[ figures  ] %d working yields: %.2f ms each, CPU %.1f %% of one core\n", yields,
              wall * 1000 / yields, 100 * cpu / wall);
  EXPECT_GE(wall, 0.2);  // each yield takes about its breather
  EXPECT_LT(wall, 4.0);  // and never much longer
  EXPECT_LT(cpu / wall, 0.5);
}

TEST(QtLoop, PassesDueWithinAFrameRunTogetherAtTheSamePace) {
  // The yields of a game working pass after pass, each after 0.2 ms of work, on a set clock:
  // a yield whose time has not come sleeps until the frame it falls in.
  FramePace pace;
  double now = 0, late = 0;
  int yields = 0, wakes = 0;
  auto run_until = [&](auto done) {
    while (!done()) {
      now += 0.2;
      const double due = pace.due(Work::paced, now);
      if (due > now) {
        now = FramePace::frame_at_or_after(due) + late;
        late = 0;
        ++wakes;
      }
      pace.returned(now);
      ++yields;
    }
  };
  run_until([&] { return now >= 1000; });
  // As many as if each yield slept its breather (the last frame's passes run at its end).
  EXPECT_NEAR(yields, 1000 / (0.2 + kPassBreatherMs), kFrameMs / (0.2 + kPassBreatherMs));
  EXPECT_NEAR(wakes, 60, 1);  // but the loop woke once a frame
  // A wake-up half a second late catches up two frames' worth of passes, not the whole wait.
  late = 500;
  const int first = wakes + 1;
  run_until([&] { return wakes == first; });
  yields = 0;
  run_until([&] { return wakes == first + 1; });
  EXPECT_NEAR(yields, 2 * kFrameMs / kPassBreatherMs, 2);
  // A yield due at once takes no breather; one that waited for the player starts afresh.
  pace.returned(now);
  EXPECT_EQ(pace.due(Work::now, now), -kNever);
  pace.returned(now);
  EXPECT_EQ(pace.due(Work::none, now + 3), kNever);
  pace.returned(now + 3000);
  EXPECT_DOUBLE_EQ(pace.due(Work::paced, now + 3000), now + 3000 + kPassBreatherMs);
}

TEST(QtLoop, AnIdleGameSleepsUntilTheNextTickAnEventOrASignal) {
  QtLoop loop;
  Work next_work = Work::none;  // the game's answer
  loop.set_next_work([&] { return next_work; });
  bool gave_up = false;  // only if a sleeping yield were never woken
  QTimer give_up;
  give_up.setSingleShot(true);
  QObject::connect(&give_up, &QTimer::timeout, [&] { gave_up = true; });
  give_up.start(5000);

  Timer timer("t", 30);
  int ticks = 0, yields = 0;
  timer.on_timer = [&] { ++ticks; };
  loop.add_timer(timer);
  timer.start();
  for (; ticks == 0 && yields < 100; ++yields) loop.yield();
  EXPECT_EQ(ticks, 1);
  EXPECT_LE(yields, 3);  // one sleep, not thirty short polls
  timer.stop();

  // A handler's own yield returns at once: the handler has more to do.
  bool handler_finished = false;
  QTimer::singleShot(0, [&] {
    run_from_qt([&] {
      loop.yield();
      handler_finished = true;
      next_work = Work::now;  // what it changed gives the game work
    });
  });
  while (!handler_finished && !gave_up) loop.yield();
  EXPECT_TRUE(handler_finished);
  next_work = Work::none;

  // With no timer running, a termination signal still wakes the sleeping yield.
  std::thread signal([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    QtLoop::request_end_from_signal();
  });
  EXPECT_THROW(while (true) loop.yield(), ProgramEnded);
  signal.join();
  EXPECT_FALSE(gave_up);
}

TEST(QtLoop, EndingTheProgramOrASignalMakesTheNextYieldThrow) {
  QtLoop loop;
  loop.yield();
  loop.end_program();
  EXPECT_TRUE(loop.ended());
  EXPECT_THROW(loop.yield(), ProgramEnded);
  EXPECT_THROW(loop.yield(), ProgramEnded);

  QtLoop signalled;
  QtLoop::request_end_from_signal();  // as the SIGTERM handler does
  EXPECT_THROW(signalled.yield(), ProgramEnded);
}

TEST(QtLoop, AnEndInsideANestedYieldUnwindsOutsideQtOnly) {
  // A handler run by Qt that itself yields (as making a puzzle does) while the player quits:
  // the nested yield throws, the handler stops, and the outer yield throws after Qt returns.
  QtLoop loop;
  bool handler_finished = false;
  QTimer::singleShot(0, [&] {
    run_from_qt([&] {
      loop.end_program();
      loop.yield();
      handler_finished = true;
    });
  });
  EXPECT_THROW(yield_for(loop, 200), ProgramEnded);
  EXPECT_FALSE(handler_finished);
}

TEST(QtLoop, AnErrorInAHandlerRunByQtResurfacesFromTheYield) {
  QtLoop loop;
  QTimer::singleShot(0, [] { run_from_qt([] { throw std::runtime_error("broken handler"); }); });
  EXPECT_THROW(yield_for(loop, 200), std::runtime_error);
  EXPECT_NO_THROW(loop.yield());
}

// Work handed to the background runs on another thread while yields go on, and its answer
// comes back inside a yield; at the end, work not begun is dropped and never answered.
TEST(QtLoop, BackgroundWorkLeavesTheLoopAnswering) {
  QtLoop loop;
  WindowForm form("form", "", 10, 10);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::thread::id worker;
  bool answered = false, dropped_answered = false;
  {
    BackgroundWork background(form);
    form.run_in_background([&] { worker = std::this_thread::get_id(); released.wait(); }, [&] { answered = true; });
    yield_for(loop, 50);
    EXPECT_FALSE(answered) << "the loop went on while the work waited";
    release.set_value();
    const double until = loop.now_ms() + 5000;
    while (!answered && loop.now_ms() < until) loop.yield();
    EXPECT_TRUE(answered);
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_EQ(background.under_way(), 0);

    form.run_in_background([] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }, [] {});
    form.run_in_background([&] { ADD_FAILURE() << "begun after the end"; }, [&] { dropped_answered = true; });
  }
  EXPECT_FALSE(dropped_answered);
  EXPECT_FALSE(form.on_run_in_background);
}

// A player who quits during a long import is not kept waiting for it: the work is left to
// itself and never answered.
TEST(QtLoop, TheEndDoesNotWaitForLongWork) {
  QtLoop loop;
  WindowForm form("form", "", 10, 10);
  std::promise<void> release, finished;
  std::shared_future<void> released = release.get_future().share();
  bool answered = false;
  {
    BackgroundWork background(form);
    form.run_in_background([released] { released.wait(); }, [&] { answered = true; });
    form.run_in_background([&finished] { finished.set_value(); }, [] {});  // never begun
    yield_for(loop, 20);
  }  // returns while the work still waits
  EXPECT_TRUE(BackgroundWork::work_left_running());
  release.set_value();
  yield_for(loop, 50);
  EXPECT_FALSE(answered);
}

TEST(QtLoop, TimeOfDayIsLocalTime) {
  QtLoop loop;
  const double expected = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
  const double got = loop.seconds_since_midnight();
  EXPECT_GE(got, 0);
  EXPECT_LT(got, 86400);
  EXPECT_NEAR(got, expected, 1.0);
}

}  // namespace
}  // namespace jumblix
