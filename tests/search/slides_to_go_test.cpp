#include "search/slides_to_go.h"

#include <stdlib.h>

#include <chrono>
#include <deque>
#include <random>
#include <thread>
#include <unordered_map>

#include <gtest/gtest.h>

#include "platform/test_support.h"
#include "search/fewest_slides.h"

namespace jumblix {
namespace {

using testing::TempDir;

// Every 3 x 3 board's distance from the solved one, by breadth-first search.
class ThreeByThreeDistances {
 public:
  ThreeByThreeDistances() {
    std::deque<SlideBoard> queue{SlideBoard{3, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8}}};
    distance_[key(queue.front())] = 0;
    while (!queue.empty()) {
      const SlideBoard b = queue.front();
      queue.pop_front();
      for (int d = 1; d <= 4; ++d) {
        SlideBoard next = b;
        if (next.slide(d) && distance_.emplace(key(next), distance_[key(b)] + 1).second) queue.push_back(next);
      }
    }
  }
  int operator()(const SlideBoard& b) const { return distance_.at(key(b)); }

 private:
  static std::uint64_t key(const SlideBoard& b) {
    std::uint64_t k = 0;
    for (int c : b.cells) k = k << 4 | static_cast<std::uint64_t>(c);
    return k;
  }
  std::unordered_map<std::uint64_t, int> distance_;
};

std::optional<SlidesToGo> wait_for_figure(const SlidesToGoWorker& worker) {
  for (int i = 0; i < 5000; ++i) {
    if (auto f = worker.current()) return f;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return std::nullopt;
}

TEST(SlidesToGo, FollowsBreadthFirstSearchThroughARandomPlay) {
  TempDir cache;
  ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
  const ThreeByThreeDistances distance;
  std::mt19937 random(27);
  SlideBoard board{3, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8}};
  for (int i = 0; i < 200; ++i) board.slide(static_cast<int>(random() % 4) + 1);

  // Once the worker searches the board itself, once it takes a figure found elsewhere.
  for (const bool seeded : {false, true}) {
    SCOPED_TRACE(seeded ? "seeded" : "searched");
    SlidesToGoWorker worker;
    worker.follow(3, 3, game_cells_of(board), {}, !seeded);
    if (seeded) {
      EXPECT_FALSE(worker.current()) << "waits for its figure";
      const FewestSlides found = find_fewest_slides(3, 3, game_cells_of(board));
      worker.seed({found.slides, true, false, found.solution});
    }
    auto figure = wait_for_figure(worker);
    ASSERT_TRUE(figure);
    EXPECT_EQ(figure->slides, distance(board));
    int along = 0, away = 0;
    for (int step = 0; step < 300; ++step) {
      // Mostly the way shown, now and then a slide that may lead anywhere.
      int d = static_cast<int>(random() % 4) + 1;
      if (random() % 3 == 0 && !figure->solution.empty()) d = figure->solution.front();
      const int before = figure->slides;
      if (!board.slide(d)) continue;
      worker.slid(d);
      figure = wait_for_figure(worker);
      ASSERT_TRUE(figure);
      ASSERT_EQ(figure->slides, distance(board)) << "after slide " << step;
      ASSERT_TRUE(figure->exact);
      ASSERT_EQ(figure->away, figure->slides > before);
      ASSERT_TRUE(slides_solve(board, figure->solution));
      (figure->away ? away : along) += 1;
    }
    EXPECT_GT(along, 20);
    EXPECT_GT(away, 20);
  }
}

TEST(SlidesToGo, LargerBoardsFollowTheirBestWayKnownAsABound) {
  SlideBoard board{5, 5, {}};
  for (int c = 0; c < 25; ++c) board.cells.push_back(c);
  const SlidesToGo start{2, false, false, {1, 3}};
  board.slide(4);
  board.slide(2);  // now solved by 1, 3
  SlideBoard after = board;
  after.slide(3);
  const auto away = slides_to_go_after(after, 3, start, nullptr, {});
  ASSERT_TRUE(away);
  EXPECT_EQ(*away, (SlidesToGo{3, false, true, {4, 1, 3}}));
  board = after;
  after.slide(4);
  const auto back = slides_to_go_after(after, 4, *away, nullptr, {});
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, start);
}

}  // namespace
}  // namespace jumblix
