// Jumblix: opens the window and runs the game in the current directory, which holds the
// settings files and the picture folders.
//
//   jumblix [--screenshot FILE] [--quit-after MS]
//
// --quit-after closes the window after MS milliseconds, as if the player had closed it;
// --screenshot saves what the window shows as a PNG at that moment (or after 2 s).
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "app/puzzlemaker.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace {

// The game ends at its next yield. Should it not get there (a system call that never returns),
// a second signal, or the same one left unanswered for a second, ends the process at once.
volatile std::sig_atomic_t termination_signal = 0;

void on_overdue_end(int) { ::_exit(128 + termination_signal); }

void on_termination_signal(int signal_number) {
  if (termination_signal != 0) ::_exit(128 + signal_number);
  termination_signal = signal_number;
  jumblix::QtLoop::request_end_from_signal();
  ::alarm(1);
}

void install_termination_handlers() {
  struct sigaction action {};
  action.sa_handler = on_termination_signal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal_number, &action, nullptr);
  struct sigaction overdue {};
  overdue.sa_handler = on_overdue_end;
  sigemptyset(&overdue.sa_mask);
  sigaction(SIGALRM, &overdue, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Jumblix");
  // The game decides when it ends; closing the window asks it to.
  QApplication::setQuitOnLastWindowClosed(false);

  QString screenshot_path;
  int quit_after_ms = -1;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == "--screenshot") screenshot_path = args[++i];
    else if (args[i] == "--quit-after") quit_after_ms = args[++i].toInt();
  }

  install_termination_handlers();
  jumblix::QtLoop loop;
  jumblix::Puzzlemaker game(loop, ".");
  jumblix::QtWindow window(game);
  for (jumblix::Timer* timer : game.timers()) loop.add_timer(*timer);
  window.show();

  // Test and documentation hooks: a screenshot, then closing the window as the player would.
  const int shot_at_ms = quit_after_ms >= 0 ? quit_after_ms : 2000;
  if (!screenshot_path.isEmpty() || quit_after_ms >= 0)
    QTimer::singleShot(shot_at_ms, Qt::PreciseTimer, &window, [&] {
      if (!screenshot_path.isEmpty()) window.save_screenshot(screenshot_path);
      if (quit_after_ms >= 0) window.close();
    });

  try {
    game.Form_Activate();
  } catch (const jumblix::ProgramEnded&) {
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "jumblix: %s\n", e.what());
    return 1;
  }
  return 0;
}
