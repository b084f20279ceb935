#include "platform/qt/background_work.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QMetaObject>

#include "platform/qt/qt_loop.h"

namespace jumblix {

namespace {
std::atomic<bool> left_running{false};
}  // namespace

struct BackgroundWork::Shared {
  struct Piece {
    std::function<void()> work, done;
  };
  std::mutex mutex;
  std::condition_variable wake;  // work to do, or the end
  std::condition_variable idle;  // a piece ended
  std::deque<Piece> waiting;
  // Answers of ended pieces, taken in turn on the window's thread.
  std::deque<std::function<void()>> answers;
  bool stopping = false;
  bool busy = false;
  BackgroundWork* owner = nullptr;  // null once it is gone: no answer goes back

  void serve() {
    for (;;) {
      Piece piece;
      {
        std::unique_lock lock(mutex);
        wake.wait(lock, [this] { return stopping || !waiting.empty(); });
        if (stopping) return;
        piece = std::move(waiting.front());
        waiting.pop_front();
        busy = true;
      }
      try {
        piece.work();
      } catch (...) {
        // The work reports its own failures; nothing may end the worker.
      }
      const std::lock_guard lock(mutex);
      busy = false;
      idle.notify_all();
      // The owner takes the answer on the window's thread, or drops it if it goes first. The
      // call is queued by name: nothing made here is run, or destroyed, on the other thread.
      if (owner) {
        answers.push_back(std::move(piece.done));
        QMetaObject::invokeMethod(owner, "answer_next", Qt::QueuedConnection);
      }
    }
  }
};

bool BackgroundWork::work_left_running() { return left_running.load(); }

BackgroundWork::BackgroundWork(WindowForm& form) : form_(form), shared_(std::make_shared<Shared>()) {
  shared_->owner = this;
  form_.on_run_in_background = [this](std::function<void()> work, std::function<void()> done) {
    run(std::move(work), std::move(done));
  };
}

BackgroundWork::~BackgroundWork() {
  form_.on_run_in_background = nullptr;
  {
    std::unique_lock lock(shared_->mutex);
    shared_->stopping = true;
    shared_->owner = nullptr;
    shared_->waiting.clear();
    shared_->answers.clear();
    shared_->wake.notify_all();
    if (!shared_->idle.wait_for(lock, kGraceAtEnd, [this] { return !shared_->busy; }))
      left_running.store(true);
  }
  // Answers still queued for the window's thread go with this object, unanswered.
  if (under_way_ > 0) QGuiApplication::restoreOverrideCursor();
}

void BackgroundWork::run(std::function<void()> work, std::function<void()> done) {
  if (under_way_++ == 0) QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->waiting.push_back({std::move(work), std::move(done)});
  }
  shared_->wake.notify_one();
  if (started_) return;
  started_ = true;
  // Qt's image plugins are made first here, on the window's lasting thread: made first by
  // the worker, which ends before the program does, they would outlive their thread.
  (void)QImageReader::supportedImageFormats();
  // The worker holds the shared part itself: it may outlive this object (see the destructor).
  std::thread([shared = shared_] { shared->serve(); }).detach();
}

void BackgroundWork::answer_next() {
  std::function<void()> done;
  {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->answers.empty()) return;
    done = std::move(shared_->answers.front());
    shared_->answers.pop_front();
  }
  if (--under_way_ == 0) QGuiApplication::restoreOverrideCursor();
  run_from_qt(done);
}

}  // namespace jumblix
