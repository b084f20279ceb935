#pragma once
// Work for the game away from the window's thread (importing the player's pictures): one
// worker thread takes the pieces of work in turn, and each piece's answer comes back to the
// window's thread as an event, which the game's next yield delivers. The game's main loop
// never waits for it. While work is under way the pointer shows that the program is busy,
// though the window, its menus and the board keep answering.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include <QObject>

#include "platform/window_form.h"

namespace jumblix {

class BackgroundWork : public QObject {
 public:
  // Serves `form`'s run_in_background until destroyed; the form must outlive it.
  explicit BackgroundWork(WindowForm& form);
  // Drops the work not yet begun and waits for the piece under way (one picture), so that
  // the program ends with every file it wrote whole.
  ~BackgroundWork() override;
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  void run(std::function<void()> work, std::function<void()> done);
  // Pieces of work whose answer has not come back yet.
  int under_way() const { return under_way_; }

 private:
  struct Piece {
    std::function<void()> work, done;
  };
  void serve();
  void answer(const std::function<void()>& done);

  WindowForm& form_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Piece> waiting_;
  bool stopping_ = false;
  std::thread worker_;
  int under_way_ = 0;  // the window's thread only
};

}  // namespace jumblix
