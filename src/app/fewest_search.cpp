#include "app/fewest_search.h"

namespace jumblix {

namespace {

// Until the game has a search of its own, no figure ever comes and nothing is pending, so
// the status line shows none and the game never wakes to ask.
class NoFewestSearch : public FewestSearch {
 public:
  void start(const DealtBoard&) override {}
  void cancel() override {}
  bool pending() const override { return false; }
  std::optional<FewestFigure> poll() override { return std::nullopt; }
};

}  // namespace

std::unique_ptr<FewestSearch> make_fewest_search() { return std::make_unique<NoFewestSearch>(); }

}  // namespace jumblix
