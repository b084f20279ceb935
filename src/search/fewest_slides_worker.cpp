#include "search/fewest_slides_worker.h"

#include "search/slide_board.h"

namespace jumblix {

FewestSlidesWorker::FewestSlidesWorker(FewestSlidesLimits limits) : limits_(limits) {}

FewestSlidesWorker::~FewestSlidesWorker() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    drop_current_locked();
    abandon_tables_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FewestSlidesWorker::drop_current_locked() {
  pending_.reset();
  if (running_cancel_) *running_cancel_ = true;
  result_.reset();
  busy_ = false;
}

std::uint64_t FewestSlidesWorker::start(int w, int h, std::vector<int> cells, std::vector<int> known_solution) {
  std::uint64_t number;
  {
    std::lock_guard lock(mutex_);
    drop_current_locked();
    number = ++latest_;
    // Tables being made for another size are of no use now; for this size they still are.
    if (preparing_w_ != 0 && (preparing_w_ != w || preparing_h_ != h)) abandon_tables_ = true;
    pending_ = Job{number, w, h, std::move(cells), std::move(known_solution), std::make_shared<std::atomic<bool>>(false)};
    busy_ = true;
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  wake_.notify_all();
  return number;
}

void FewestSlidesWorker::stop() {
  std::lock_guard lock(mutex_);
  drop_current_locked();
  if (preparing_w_ != 0) abandon_tables_ = true;
}

std::optional<FewestSlides> FewestSlidesWorker::take_result() {
  std::lock_guard lock(mutex_);
  std::optional<FewestSlides> r = std::move(result_);
  result_.reset();
  return r;
}

bool FewestSlidesWorker::busy() const {
  std::lock_guard lock(mutex_);
  return busy_;
}

std::uint64_t FewestSlidesWorker::latest() const {
  std::lock_guard lock(mutex_);
  return latest_;
}

void FewestSlidesWorker::run() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return closing_ || pending_.has_value(); });
      if (closing_) return;
      job = std::move(*pending_);
      pending_.reset();
      running_cancel_ = job.cancel;
      if (fewest_slides_exact(job.w, job.h)) {
        preparing_w_ = job.w;
        preparing_h_ = job.h;
        abandon_tables_ = false;
      }
    }
    std::optional<FewestSlides> answer;
    try {
      bool ready = !board_problem(job.w, job.h, job.cells);  // no tables for a board that is none
      if (ready && fewest_slides_exact(job.w, job.h)) ready = prepare_fewest_slides_tables(job.w, job.h, &abandon_tables_);
      if (ready && !*job.cancel) {
        FewestSlidesLimits limits = limits_;
        limits.cancel = job.cancel.get();
        answer = find_fewest_slides(job.w, job.h, job.cells, limits, job.known_solution);
      }
    } catch (...) {
      answer.reset();  // out of memory, say: no figure rather than no game
    }
    std::lock_guard lock(mutex_);
    running_cancel_.reset();
    preparing_w_ = preparing_h_ = 0;
    if (job.number == latest_) {
      busy_ = false;
      if (answer && !*job.cancel &&
          (answer->kind == FewestSlides::Kind::kExact || answer->kind == FewestSlides::Kind::kBound))
        result_ = std::move(answer);
    }
  }
}

}  // namespace jumblix
