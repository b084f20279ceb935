#include "platform/qt/background_work.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QMetaObject>

#include "platform/qt/qt_loop.h"

namespace jumblix {

BackgroundWork::BackgroundWork(WindowForm& form) : form_(form) {
  form_.on_run_in_background = [this](std::function<void()> work, std::function<void()> done) {
    run(std::move(work), std::move(done));
  };
}

BackgroundWork::~BackgroundWork() {
  form_.on_run_in_background = nullptr;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    waiting_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
  // Answers still queued for the window's thread go with this object, unanswered.
  if (under_way_ > 0) QGuiApplication::restoreOverrideCursor();
}

void BackgroundWork::run(std::function<void()> work, std::function<void()> done) {
  if (under_way_++ == 0) QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
  {
    const std::lock_guard lock(mutex_);
    waiting_.push_back({std::move(work), std::move(done)});
  }
  wake_.notify_one();
  if (worker_.joinable()) return;
  // Qt's image plugins are made first here, on the window's lasting thread: made first by
  // the worker, which ends before the program does, they would outlive their thread.
  (void)QImageReader::supportedImageFormats();
  worker_ = std::thread([this] { serve(); });
}

void BackgroundWork::serve() {
  for (;;) {
    Piece piece;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      piece = std::move(waiting_.front());
      waiting_.pop_front();
    }
    try {
      piece.work();
    } catch (...) {
      // The work reports its own failures; nothing may end the worker.
    }
    // Queued to this object on the window's thread: dropped unanswered if it goes first.
    QMetaObject::invokeMethod(this, [this, done = std::move(piece.done)] { answer(done); }, Qt::QueuedConnection);
  }
}

void BackgroundWork::answer(const std::function<void()>& done) {
  if (--under_way_ == 0) QGuiApplication::restoreOverrideCursor();
  run_from_qt(done);
}

}  // namespace jumblix
