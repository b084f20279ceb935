// Jumblix: opens the window and runs the game in the game folder, which holds the settings
// files and the picture folders (the current directory unless the command line names
// another). `jumblix --help` lists the options; command_line.cpp reads them.
//
// --quit-after closes the window after MS milliseconds, as if the player had closed it;
// --screenshot saves what the window shows as a PNG at that moment (or after 2 s).
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QSessionManager>
#include <QStringList>
#include <QTimer>

#include "app/app_icon.h"
#include "app/command_line.h"
#include "app/import_command.h"
#include "app/puzzlemaker.h"
#include "jumblix_version.h"
#include "platform/qt/background_work.h"
#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace {

// The game ends at its next yield. Should it not get there (a system call that never returns),
// a second signal, or the same one left unanswered for a second, ends the process at once.
// The handlers may run on any of the program's threads.
std::atomic<int> termination_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

void on_overdue_end(int) { ::_exit(128 + termination_signal.load()); }

void on_termination_signal(int signal_number) {
  if (termination_signal.exchange(signal_number) != 0) ::_exit(128 + signal_number);
  const int interrupted_errno = errno;  // the write below must not change it under the thread
  jumblix::QtLoop::request_end_from_signal();
  ::alarm(1);
  errno = interrupted_errno;
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

struct EndAtOnceIfWorkLeft {
  const int& status;
  ~EndAtOnceIfWorkLeft() {
    if (!jumblix::BackgroundWork::work_left_running()) return;
    std::fflush(nullptr);
    ::_exit(status);
  }
};

// A session may ask every Qt program for Wayland (QT_QPA_PLATFORM=wayland). Without Qt's
// Wayland plugin (Debian's qt6-wayland, which the package only suggests) Qt would then
// abort; where an X server runs beside the compositor (XWayland), it may fall back to it,
// Wayland staying the first choice. Unset, Qt already tries Wayland and then X11 itself;
// any other choice is left as it is.
void allow_x11_after_wayland() {
  if (qgetenv("QT_QPA_PLATFORM") == "wayland" && !qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "wayland;xcb");
}

// The command line, read before any window system is touched.
jumblix::CommandLine read_command_line(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return jumblix::parse_command_line(arguments);
}

// The installed icon when the icon theme has it, else the same picture drawn now.
QIcon window_icon() {
  QIcon drawn;
  for (int size : {16, 32, 48, 64, 128, 256})
    drawn.addPixmap(QPixmap::fromImage(jumblix::render_app_icon(size)));
  return QIcon::fromTheme(JUMBLIX_APP_ID, drawn);
}

int play(int argc, char** argv, const jumblix::CommandLine& command_line,
         const std::optional<jumblix::SharedDeal>& shared_deal) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Jumblix");
  QApplication::setApplicationVersion(JUMBLIX_VERSION);
  QApplication::setDesktopFileName(JUMBLIX_APP_ID);
  QApplication::setWindowIcon(window_icon());
  // The game decides when it ends; closing the window asks it to.
  QApplication::setQuitOnLastWindowClosed(false);

  const QString screenshot_path = command_line.screenshot_path;
  const int quit_after_ms = command_line.quit_after_ms;

  install_termination_handlers();
  int status = 0;
  jumblix::QtLoop loop;
  jumblix::Puzzlemaker game(loop, ".");
  // Once the work below is gone: a picture import still running then (a huge picture) is not
  // waited for; the process ends at once, before the rest is taken down under it.
  const EndAtOnceIfWorkLeft end_at_once{status};
  game.code_waiting = shared_deal;
  // Logging out: the puzzle in play is kept before the session ends the program.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, [&game](QSessionManager&) { game.keep_puzzle(); });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [&loop] { loop.end_program(); });
  // Made before the window so that, at the end, the window goes first and the picture being
  // imported is then given a moment to finish.
  jumblix::BackgroundWork background(game);
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
  } catch (const std::exception& e) {
    std::fprintf(stderr, "jumblix: %s\n", e.what());
    status = 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  jumblix::CommandLine command_line = read_command_line(argc, argv);
  if (const auto status = jumblix::answer_without_window(command_line, stdout, stderr))
    return *status;

  // A shared puzzle's code is checked whole before any window opens.
  std::optional<jumblix::SharedDeal> shared_deal;
  if (!command_line.puzzle_code.isEmpty()) {
    std::string problem;
    shared_deal = jumblix::read_puzzle_code(command_line.puzzle_code.toStdString(), &problem);
    if (!shared_deal) {
      std::fprintf(stderr, "jumblix: the puzzle code cannot be played: %s.\n", problem.c_str());
      return jumblix::kUsageExitStatus;
    }
  }

  QString error;
  const auto game_folder = jumblix::make_game_folder(command_line.game_folder, &error);
  if (!game_folder) {
    std::fprintf(stderr, "jumblix: %s\n", qPrintable(error));
    return 1;
  }

  allow_x11_after_wayland();
  if (command_line.action == jumblix::CommandLine::Action::import_pictures) {
    // No window is opened; the screen, when there is one, tells how large a regular picture
    // must be to fill the maximized window. Without a display the offscreen platform stands in.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      QByteArray platforms = "offscreen";
      if (!qEnvironmentVariableIsEmpty("DISPLAY")) platforms.prepend("xcb;");
      if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) platforms.prepend("wayland;");
      qputenv("QT_QPA_PLATFORM", platforms);
      if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    }
    QGuiApplication app(argc, argv);
    return jumblix::run_import_command(command_line.import_files, command_line.import_animated,
                                       *game_folder);
  }

  // The screenshot is named from where the program was started, not from the game folder.
  if (!command_line.screenshot_path.isEmpty())
    command_line.screenshot_path = QFileInfo(command_line.screenshot_path).absoluteFilePath();
  if (!QDir::setCurrent(*game_folder)) {
    std::fprintf(stderr, "jumblix: cannot enter the game folder '%s'\n",
                 qPrintable(jumblix::printable_name(command_line.game_folder)));
    return 1;
  }
  return play(argc, argv, command_line, shared_deal);
}
