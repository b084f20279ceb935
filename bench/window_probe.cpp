// Drives the real game window (any Qt platform, offscreen included) into one situation and
// measures it: CPU share of the process, wake-ups per second of the game's thread (its
// voluntary context switches), animation pixels per second, computer slides per second and
// the time between slides. Optionally saves a screenshot of the situation.
//
//   jumblix_window_probe --state title|start-panel|regular|finished-regular|panel|
//                               animated-fast|animated-slow|solve-mt0|solve-mt1|solve-mt5|
//                               colour-panel
//                        [--seconds N] [--screenshot FILE]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "app/puzzlemaker.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace {

double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
         usage.ru_stime.tv_usec / 1e6;
}

// Voluntary context switches of the calling thread: each is one wait that ended.
long thread_wakeups() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_nvcsw;
}

double wall_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QString state = "title", screenshot;
  double seconds = 10;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == "--state") state = args[++i];
    else if (args[i] == "--seconds") seconds = args[++i].toDouble();
    else if (args[i] == "--screenshot") screenshot = args[++i];
  }

  const std::string dir = (std::filesystem::temp_directory_path() / "jumblix-probe").string();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  setenv("JUMBLIX_SYSTEM_DIR", dir.c_str(), 1);

  jumblix::QtLoop loop;
  jumblix::Puzzlemaker game(loop, dir);
  jumblix::QtWindow window(game);
  for (jumblix::Timer* timer : game.timers()) loop.add_timer(*timer);
  window.show();

  // The player's steps, each a little after the last, all run inside the game's yields.
  std::vector<std::function<void()>> steps;
  auto click_title = [&] { game.Form_MouseDown(1, 0, 10, 10); };
  auto begin = [&] { game.Command1.click(); };
  if (state != "title") steps.push_back(click_title);
  if (state != "title" && state != "start-panel") steps.push_back(begin);
  if (state.startsWith("animated")) {
    steps.push_back([&] { game.choosepicture2.click(); });
    steps.push_back([&] { game.Command2.click(); });
    steps.push_back([&] { (state == "animated-slow" ? game.tslow : game.tfast).click(); });
  }
  if (state == "regular") {
    // A few of the player's own slides so the board shows play in progress.
    for (int i = 0; i < 3; ++i) steps.push_back([&] { game.computer_step(); });
  }
  if (state == "colour-panel") steps.push_back([&] { game.pcolour.click(); });
  if (state == "panel") steps.push_back([&] { game.cpiece.click(); });
  if (state == "finished-regular") {
    // A small puzzle the computer solves at once; the finished picture then waits for a click.
    steps.push_back([&] {
      game.Text1.set_text("3");
      game.Text2.set_text("3");
      game.newpuzzle.click();
    });
    steps.push_back([&] {
      game.move_time = 0;
      game.csolve.click();
    });
  }
  if (state.startsWith("solve")) {
    steps.push_back([&] {
      game.Text1.set_text("20");
      game.Text2.set_text("20");
      game.newpuzzle.click();
    });
    steps.push_back([&] {
      game.move_time = state == "solve-mt0" ? 0 : state == "solve-mt5" ? 5 : 1;
      game.csolve.click();
    });
  }
  // The situation has been reached (the finished picture needs the solving to end first).
  auto ready = [&] { return state != "finished-regular" || game.puzzle_finished == 1; };
  int delay = 600;
  for (auto& step : steps) {
    QTimer::singleShot(delay, &window, step);
    delay += 400;
  }

  double cpu0 = 0, wall0 = 0;
  long wakeups0 = 0;
  long long steps0 = 0;
  int solution0 = 0;
  auto finish = [&] {
    const double wall = wall_seconds() - wall0;
    const double wakeups = static_cast<double>(thread_wakeups() - wakeups0) / wall;
    std::printf("%-16s cpu %5.2f %%  wake-ups %6.1f/s", qPrintable(state),
                100 * (cpu_seconds() - cpu0) / wall, wakeups);
    if (state.startsWith("animated"))
      std::printf("  %.1f px/s", static_cast<double>(game.sprite_steps - steps0) / wall);
    if (state.startsWith("solve")) {
      const int slides = solution0 - game.puzzle.solution_len();
      std::printf("  %.1f slides/s", slides / wall);
      if (slides > 0) std::printf("  %.2f ms between slides", 1000 * wall / slides);
    }
    if (!ready()) std::printf("  (situation not reached)");
    std::printf("  [%.1f s]\n", wall);
    std::fflush(stdout);
    if (!screenshot.isEmpty()) window.save_screenshot(screenshot);
    game.quit_Click();
  };
  // Starts measuring once the situation holds (looking again every 200 ms until then).
  std::function<void()> start = [&] {
    if (!ready() && wall_seconds() - wall0 < 30) {
      QTimer::singleShot(200, &window, start);
      return;
    }
    cpu0 = cpu_seconds();
    wall0 = wall_seconds();
    wakeups0 = thread_wakeups();
    steps0 = game.sprite_steps;
    solution0 = game.puzzle.solution_len();
    QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &window, finish);
  };
  wall0 = wall_seconds();
  QTimer::singleShot(delay + 500, Qt::PreciseTimer, &window, start);

  try {
    game.Form_Activate();
  } catch (const jumblix::ProgramEnded&) {
  }
  std::filesystem::remove_all(dir);
  return 0;
}
