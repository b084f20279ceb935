// Drives the real game window (any Qt platform, offscreen included) into one situation and
// measures it: CPU share of the process, wake-ups per second of the game's thread (its
// voluntary context switches), the X server's CPU share while it shows the game (given its
// process id), animation pixels per second, computer slides per second and the time between
// slides. Optionally saves a screenshot of the situation.
//
//   jumblix_window_probe --state title|title-still|start-panel|regular|finished-regular|panel|
//                               animated-fast|animated-slow|finished-fast|solve-mt0|solve-mt1|
//                               solve-mt5|screensaver-mt0|screensaver-mt1|colour-panel
//                        [--seconds N] [--screenshot FILE] [--x-server-pid PID] [--fields]
//
// --fields prints one tab-separated line for bench/cpu: state, game CPU %, wake-ups/s,
// X server CPU % (- without a pid), pace, its unit, and "ok" or "not-reached".
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
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

// CPU seconds another process has used so far (user and system), from /proc; -1 if unknown.
double process_cpu_seconds(long pid) {
  if (pid <= 0) return -1;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return -1;
  // The command name may hold spaces: the fields after it start behind its closing parenthesis.
  const auto close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  double utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stod(field);
    if (i == 15) stime = std::stod(field);
  }
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
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

// Seeds the game's generator so that the next title puzzle uses the built-in picture of that
// kind (1 the still title, 2 the moving one): the title is the same in every run.
void choose_title(jumblix::Puzzlemaker& game, int kind) {
  for (double seed = 1;; ++seed) {
    jumblix::Random trial;
    trial.seed(seed);
    if (trial.pick(2) == kind) {
      game.random.seed(seed);
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QString state = "title", screenshot;
  double seconds = 10;
  long x_server_pid = 0;
  bool fields = false;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == "--fields") fields = true;
    if (i + 1 >= args.size()) continue;
    if (args[i] == "--state") state = args[++i];
    else if (args[i] == "--seconds") seconds = args[++i].toDouble();
    else if (args[i] == "--screenshot") screenshot = args[++i];
    else if (args[i] == "--x-server-pid") x_server_pid = args[++i].toLong();
  }

  const std::string dir = (std::filesystem::temp_directory_path() /
                           ("jumblix-probe-" + std::to_string(getpid()))).string();
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
  const bool on_title = state == "title" || state == "title-still";
  if (!on_title) steps.push_back(click_title);
  if (!on_title && state != "start-panel") steps.push_back(begin);
  if (state.startsWith("animated") || state == "finished-fast") {
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
  if (state == "finished-regular" || state == "finished-fast") {
    // A small puzzle the computer solves at once; the finished picture then waits for a click
    // (the moving picture glides meanwhile).
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
  if (state.startsWith("screensaver")) {
    // Puzzle after puzzle: each solved, shown finished for a second, then the next.
    steps.push_back([&] {
      game.move_time = state == "screensaver-mt0" ? 0 : 1;
      game.new_picture_time = 10;
      game.csolves.click();
    });
  }
  // The situation has been reached (the finished picture needs the solving to end first).
  auto ready = [&] {
    return (state != "finished-regular" && state != "finished-fast") || game.puzzle_finished == 1;
  };
  int delay = 600;
  for (auto& step : steps) {
    QTimer::singleShot(delay, &window, step);
    delay += 400;
  }

  double cpu0 = 0, x_cpu0 = 0, wall0 = 0;
  long wakeups0 = 0;
  long long steps0 = 0, puzzles0 = 0;
  int solution0 = 0;
  auto finish = [&] {
    const double wall = wall_seconds() - wall0;
    const double cpu = 100 * (cpu_seconds() - cpu0) / wall;
    const double wakeups = static_cast<double>(thread_wakeups() - wakeups0) / wall;
    const double x_cpu_now = process_cpu_seconds(x_server_pid);
    const double x_cpu = x_cpu0 >= 0 && x_cpu_now >= 0 ? 100 * (x_cpu_now - x_cpu0) / wall : -1;
    double pace = -1;
    const char* unit = "-";
    std::string extra;
    const bool glides = state.startsWith("animated") || state == "finished-fast" || state == "title";
    if (glides) {
      pace = static_cast<double>(game.sprite_steps - steps0) / wall;
      unit = "px/s";
    }
    if (state.startsWith("solve")) {
      const int slides = solution0 - game.puzzle.solution_len();
      pace = slides / wall;
      unit = "slides/s";
      if (slides > 0) extra = "  " + std::to_string(1000 * wall / slides).substr(0, 5) + " ms between slides";
    }
    if (state.startsWith("screensaver")) {
      pace = static_cast<double>(game.puzzles_made - puzzles0) / wall * 60;
      unit = "puzzles/min";
    }
    if (fields) {
      std::printf("%s\t%.2f\t%.1f\t", qPrintable(state), cpu, wakeups);
      if (x_cpu >= 0) std::printf("%.2f\t", x_cpu);
      else std::printf("-\t");
      if (pace >= 0) std::printf("%.1f\t%s\t", pace, unit);
      else std::printf("-\t-\t");
      std::printf("%s\n", ready() ? "ok" : "not-reached");
    } else {
      std::printf("%-16s cpu %5.2f %%  wake-ups %6.1f/s", qPrintable(state), cpu, wakeups);
      if (x_cpu >= 0) std::printf("  X server cpu %5.2f %%", x_cpu);
      if (pace >= 0) std::printf("  %.1f %s%s", pace, unit, extra.c_str());
      if (!ready()) std::printf("  (situation not reached)");
      std::printf("  [%.1f s]\n", wall);
    }
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
    x_cpu0 = process_cpu_seconds(x_server_pid);
    wall0 = wall_seconds();
    wakeups0 = thread_wakeups();
    steps0 = game.sprite_steps;
    puzzles0 = game.puzzles_made;
    solution0 = game.puzzle.solution_len();
    QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &window, finish);
  };
  wall0 = wall_seconds();
  QTimer::singleShot(delay + 500, Qt::PreciseTimer, &window, start);

  try {
    game.startup();
    // The title puzzle is one of two pictures picked at random: measure the same one each time.
    choose_title(game, state == "title-still" ? 1 : 2);
    for (;;) game.run_pass();
  } catch (const jumblix::ProgramEnded&) {
  }
  std::filesystem::remove_all(dir);
  return 0;
}
