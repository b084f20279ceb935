#pragma once
// Work for the game away from the window's thread (importing the player's pictures): one
// worker thread takes the pieces of work in turn, and each piece's answer comes back to the
// window's thread as an event, which the game's next yield delivers. The game's main loop
// never waits for it. While work is under way the pointer shows that the program is busy,
// though the window, its menus and the board keep answering.
#include <chrono>
#include <functional>
#include <memory>

#include <QObject>

#include "platform/window_form.h"

namespace jumblix {

class BackgroundWork : public QObject {
  Q_OBJECT

 public:
  // Serves `form`'s run_in_background until destroyed; the form must outlive it.
  explicit BackgroundWork(WindowForm& form);
  // Drops the work not yet begun and gives the piece under way (one picture) a moment to
  // end. A piece that takes longer (a huge picture) is left to itself, never answered: the
  // player who quits is not kept waiting, and what it writes is replaced whole or not at all.
  ~BackgroundWork() override;
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  void run(std::function<void()> work, std::function<void()> done);
  // Pieces of work whose answer has not come back yet.
  int under_way() const { return under_way_; }

  // How long the end waits for the piece under way.
  static constexpr std::chrono::milliseconds kGraceAtEnd{500};
  // True once some work was left running at the end: the process should then end with
  // _exit, not wait for it or tear down what it may still use.
  static bool work_left_running();

 private:
  struct Shared;
  // Runs the oldest answer that came back; queued once for each by the worker.
  Q_INVOKABLE void answer_next();

  WindowForm& form_;
  std::shared_ptr<Shared> shared_;  // also held by the worker, which may outlive this object
  bool started_ = false;
  int under_way_ = 0;  // the window's thread only
};

}  // namespace jumblix
