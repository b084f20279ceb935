#include "app/fewest_search.h"

#include "search/fewest_slides_worker.h"

namespace jumblix {

namespace {

// The fewest-slides worker thread behind the game's questions.
class WorkerSearch : public FewestSearch {
 public:
  void start(const DealtBoard& board) override {
    worker_.start(board.w, board.h, board.cells, board.way_back);
    pending_ = true;
  }
  void cancel() override {
    worker_.stop();
    pending_ = false;
  }
  bool pending() const override { return pending_; }
  std::optional<FewestFigure> poll() override {
    if (!pending_) return std::nullopt;
    // Asked in this order, an answer that comes between the two questions is not missed:
    // the worker hands its answer over before it says it is done.
    const bool busy = worker_.busy();
    if (const auto answer = worker_.take_result()) {
      pending_ = false;
      return FewestFigure{answer->slides, answer->kind == FewestSlides::Kind::kExact, answer->solution};
    }
    if (!busy) pending_ = false;  // no figure for this board (cancelled, or no board)
    return std::nullopt;
  }

 private:
  FewestSlidesWorker worker_;
  bool pending_ = false;
};

}  // namespace

std::unique_ptr<FewestSearch> make_fewest_search() { return std::make_unique<WorkerSearch>(); }

}  // namespace jumblix
