// Drives the real game window (any Qt platform, offscreen included) into one situation and
// measures it: CPU share of the process, animation pixels per second, computer slides per
// second. Optionally saves a screenshot of the situation.
//
//   jumblix_window_probe --state title|start-panel|regular|animated-fast|animated-slow|
//                               solve-mt1|solve-mt0|colour-panel
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
  if (state.startsWith("solve")) {
    steps.push_back([&] {
      game.Text1.set_text("20");
      game.Text2.set_text("20");
      game.newpuzzle.click();
    });
    steps.push_back([&] {
      game.move_time = state == "solve-mt0" ? 0 : 1;
      game.csolve.click();
    });
  }
  int delay = 600;
  for (auto& step : steps) {
    QTimer::singleShot(delay, &window, step);
    delay += 400;
  }

  double cpu0 = 0, wall0 = 0;
  long long steps0 = 0;
  int solution0 = 0;
  QTimer::singleShot(delay + 500, Qt::PreciseTimer, &window, [&] {
    cpu0 = cpu_seconds();
    wall0 = wall_seconds();
    steps0 = game.sprite_steps;
    solution0 = game.puzzle.solution_len();
  });
  QTimer::singleShot(delay + 500 + static_cast<int>(seconds * 1000), Qt::PreciseTimer, &window, [&] {
    const double wall = wall_seconds() - wall0;
    std::printf("state %s: cpu %.1f %% of one core over %.1f s", qPrintable(state),
                100 * (cpu_seconds() - cpu0) / wall, wall);
    if (state.startsWith("animated"))
      std::printf(", %.1f px/s", static_cast<double>(game.sprite_steps - steps0) / wall);
    if (state.startsWith("solve"))
      std::printf(", %.1f slides/s", (solution0 - game.puzzle.solution_len()) / wall);
    std::printf("\n");
    if (!screenshot.isEmpty()) window.save_screenshot(screenshot);
    game.quit_Click();
  });

  try {
    game.Form_Activate();
  } catch (const jumblix::ProgramEnded&) {
  }
  std::filesystem::remove_all(dir);
  return 0;
}
