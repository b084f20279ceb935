#include "search/fewest_slides.h"

#include <stdlib.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <tuple>
#include <thread>
#include <unordered_map>

#include <gtest/gtest.h>

#include "platform/random.h"
#include "play/move_rules.h"
#include "platform/test_support.h"
#include "search/exact_search.h"
#include "search/line_by_line_solver.h"
#include "search/path_shortening.h"
#include "puzzle/fewest_slides_input.h"
#include "search/fewest_slides_worker.h"
#include "search/pattern_heuristic.h"
#include "search/pattern_table_cache.h"
#include "puzzle/puzzle_state.h"
#include "puzzle/scramble.h"
#include "search/slide_board.h"

namespace jumblix {
namespace {

using Clock = std::chrono::steady_clock;
using testing::TempDir;

// Tables go to a scratch cache folder, never the user's.
class FewestSlidesTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("XDG_CACHE_HOME", cache_.path().c_str(), 1); }
  TempDir cache_;
};

// Polls until `done` holds; false when it still does not after two minutes. The limit only
// keeps a broken build from hanging: a sanitizer or a loaded machine may be many times slower.
template <class Done>
bool eventually(Done done) {
  for (const auto give_up = Clock::now() + std::chrono::minutes(2); !done();) {
    if (Clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Plays the slides on the game's own board: true when each stays on the board and the last
// leaves every piece home.
bool game_board_solved_by(int w, int h, const std::vector<int>& cells, const std::vector<int>& slides) {
  PuzzleState s;
  s.reset_solved(w, h);
  for (int y = 1; y <= h; ++y)
    for (int x = 1; x <= w; ++x) {
      s.board(x, y) = cells[static_cast<std::size_t>((y - 1) * w + x - 1)];
      s.turn(x, y) = kUpright;
      if (s.board(x, y) == 0) {
        s.gap_x = x;
        s.gap_y = y;
      }
    }
  s.in_place = s.count_in_place();
  for (int d : slides)
    if (!s.slide(d)) return false;
  return s.finished();
}

std::vector<int> korf_board(std::initializer_list<int> tiles) {  // Korf's tile t is piece t + 1
  std::vector<int> cells;
  for (int t : tiles) cells.push_back(t == 0 ? 0 : t + 1);
  return cells;
}

// A 5-5-5 split of 4 x 4 and its reflection: small tables (a second to build) for testing the
// search on 4 x 4 without the big ones.
const fewest::HeuristicPlan kSmall4x4 = {{{1, 2, 3, 6, 7}, {4, 5, 8, 9, 12}, {10, 11, 13, 14, 15}},
                                         {{4, 8, 12, 9, 13}, {1, 5, 2, 6, 3}, {10, 14, 7, 11, 15}}};

TEST_F(FewestSlidesTest, EveryThreeByThreeBoardMatchesBreadthFirstSearch) {
  // Distances from the solved board over all 181,440 boards; a slide undone is a slide, so
  // the distance back is the same.
  using Key = std::uint64_t;
  auto key = [](const SlideBoard& b) {
    Key k = 0;
    for (int c : b.cells) k = k << 4 | static_cast<Key>(c);
    return k;
  };
  std::unordered_map<Key, int> distance;
  std::deque<SlideBoard> queue{SlideBoard{3, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8}}};
  distance[key(queue.front())] = 0;
  std::vector<SlideBoard> boards;
  while (!queue.empty()) {
    const SlideBoard b = queue.front();
    queue.pop_front();
    boards.push_back(b);
    for (int d = 1; d <= 4; ++d) {
      SlideBoard next = b;
      if (next.slide(d) && distance.emplace(key(next), distance[key(b)] + 1).second) queue.push_back(next);
    }
  }
  ASSERT_EQ(boards.size(), 181440u);

  // The game's search on every board; on every seventh, a search over an additive split
  // whose groups share tables through mirror images, its tables spread and compact.
  const fewest::HeuristicPlan plan = {{{1, 2, 5}, {3, 6, 7}, {4, 8}}, {{3, 4, 7}, {1, 2, 5}, {6, 8}}};
  auto split = fewest::make_pattern_heuristic(3, 3, plan, nullptr);
  auto compact = fewest::make_pattern_heuristic(3, 3, plan, nullptr, 0);
  ASSERT_TRUE(split && compact);
  EXPECT_EQ(split->tables.size(), 4u) << "{3, 6, 7} mirrors {1, 2, 5} through the diagonal";
  EXPECT_TRUE(split->tables[0].spread);
  EXPECT_FALSE(compact->tables[0].spread);
  for (std::size_t i = 0; i < boards.size(); ++i) {
    const std::vector<int> cells = game_cells_of(boards[i]);
    const int want = distance[key(boards[i])];
    const FewestSlides r = find_fewest_slides(3, 3, cells);
    ASSERT_EQ(r.kind, FewestSlides::Kind::kExact);
    ASSERT_EQ(r.slides, want);
    ASSERT_EQ(r.solution.size(), static_cast<std::size_t>(want));
    if (i % 7 == 0) {
      for (const auto* heuristic : {split.get(), compact.get()}) {
        const fewest::ExactOutcome e = fewest::solve_exactly(boards[i], *heuristic, {});
        ASSERT_EQ(e.slides.size(), static_cast<std::size_t>(want));
        ASSERT_TRUE(slides_solve(boards[i], e.slides));
      }
    }
    if (i % 997 == 0) {
      ASSERT_TRUE(game_board_solved_by(3, 3, cells, r.solution));
    }
  }
}

TEST_F(FewestSlidesTest, FourByFourBoardsWithKnownFewestSlides) {
  // Some of Korf's 100 boards (1985) that need few searches, with their published figures.
  const std::pair<std::vector<int>, int> known[] = {
      {korf_board({14, 1, 9, 6, 4, 8, 12, 5, 7, 2, 3, 0, 10, 11, 13, 15}), 45},   // 12
      {korf_board({13, 8, 14, 3, 9, 1, 0, 7, 15, 5, 4, 10, 12, 2, 6, 11}), 41},   // 55
      {korf_board({0, 1, 9, 7, 11, 13, 5, 3, 14, 12, 4, 2, 8, 6, 10, 15}), 42},   // 79
      {korf_board({9, 14, 5, 7, 8, 15, 1, 2, 10, 4, 13, 6, 12, 0, 11, 3}), 44}};  // 97
  auto small = fewest::make_pattern_heuristic(4, 4, kSmall4x4, nullptr);
  ASSERT_TRUE(small);
  for (const auto& [cells, fewest_slides] : known) {
    const fewest::ExactOutcome e = fewest::solve_exactly(board_from_game_cells(4, 4, cells), *small, {});
    ASSERT_TRUE(e.solved);
    EXPECT_EQ(e.slides.size(), static_cast<std::size_t>(fewest_slides));
    EXPECT_TRUE(game_board_solved_by(4, 4, cells, e.slides));
  }
}

TEST(FewestSlidesPlan, EveryViewSplitsAllPiecesIntoGroupsThatFit) {
  for (int w = 2; w <= 8; ++w)
    for (int h = 2; w * h <= 16; ++h) {
      SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
      const fewest::HeuristicPlan plan = fewest::heuristic_plan(w, h);
      ASSERT_FALSE(plan.empty());
      for (const auto& view : plan) {
        std::vector<int> pieces;
        for (const auto& group : view) {
          EXPECT_TRUE(group.size() <= 6 || w * h <= 10);
          pieces.insert(pieces.end(), group.begin(), group.end());
        }
        std::sort(pieces.begin(), pieces.end());
        std::vector<int> all(static_cast<std::size_t>(w * h - 1));
        for (int c = 1; c < w * h; ++c) all[static_cast<std::size_t>(c - 1)] = c;
        EXPECT_EQ(pieces, all);
      }
    }
}

TEST_F(FewestSlidesTest, LargerBoardsGetAShorterRealSolutionAsABound) {
  for (auto [w, h] : {std::pair{20, 20}, std::pair{5, 4}, std::pair{2, 13}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    Random random(17);
    PuzzleState s;
    build_solved_grid(s, w, h, false, random);
    scramble(s, random);
    std::vector<int> cells, way_back;
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x) cells.push_back(s.board(x, y));
    for (int k = s.solution_len(); k >= 1; --k) way_back.push_back(s.solution_moves.at(k));

    const auto start = Clock::now();
    const FewestSlides r = find_fewest_slides(w, h, cells, {}, way_back);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30)) << "a budget of a second, however slow the machine";
    EXPECT_EQ(r.kind, FewestSlides::Kind::kBound);
    EXPECT_LT(r.slides, static_cast<int>(way_back.size()));
    EXPECT_EQ(r.solution.size(), static_cast<std::size_t>(r.slides));
    EXPECT_TRUE(game_board_solved_by(w, h, cells, r.solution));

    // With no time at all, the way back (its loops cut out) is the bound: nothing else was
    // tried once the budget was spent.
    FewestSlidesLimits hurried;
    hurried.bound_budget = std::chrono::milliseconds(0);
    const FewestSlides quick = find_fewest_slides(w, h, cells, hurried, way_back);
    EXPECT_EQ(quick.kind, FewestSlides::Kind::kBound);
    EXPECT_EQ(quick.solution, fewest::cut_loops(board_from_game_cells(w, h, cells), way_back));
  }
}

// Lightly scrambled large boards, where the gap is far from the last pieces of a line, once
// left the gap walled in; with no way back known, the bound rests on the line-by-line solution.
TEST_F(FewestSlidesTest, LightlyScrambledLargeBoardsAreAlwaysSolvedLineByLine) {
  std::mt19937 random(25);
  const std::tuple<int, int, int> boards[] = {{20, 20, 10}, {12, 12, 10}, {13, 17, 100},
                                              {20, 20, 300}, {12, 15, 1000}, {20, 18, 1000}};
  for (auto [w, h, walk] : boards) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + ", " + std::to_string(walk) + " slides");
    SlideBoard board{w, h, std::vector<int>(static_cast<std::size_t>(w * h))};
    std::iota(board.cells.begin(), board.cells.end(), 0);
    for (int done = 0, last = 0; done < walk;) {
      const int d = static_cast<int>(random() % 4) + 1;
      if ((d + 1) / 2 == (last + 1) / 2 && d != last) continue;  // not straight back
      if (board.slide(d)) ++done, last = d;
    }
    const auto slides = fewest::solve_line_by_line(board, {});
    ASSERT_TRUE(slides);
    EXPECT_TRUE(slides_solve(board, *slides));
  }
  // Two slides from solved: the bound finds them.
  SlideBoard near{20, 20, std::vector<int>(400)};
  std::iota(near.cells.begin(), near.cells.end(), 0);
  near.slide(2);
  near.slide(4);
  const FewestSlides r = find_fewest_slides(20, 20, game_cells_of(near));
  EXPECT_EQ(r.kind, FewestSlides::Kind::kBound);
  EXPECT_EQ(r.slides, 2);
  EXPECT_TRUE(game_board_solved_by(20, 20, game_cells_of(near), r.solution));
}

TEST_F(FewestSlidesTest, ThePuzzleInPlayGivesItsCellsAndTheWayBackToBeat) {
  Random random(5);
  PuzzleState s;
  build_solved_grid(s, 3, 4, false, random);
  scramble(s, random);
  for (int d : {kGapRight, kGapDown, kGapDown, kGapLeft, kGapUp}) {  // the player's slides
    ASSERT_TRUE(s.slide(d));
    record_move(s, d, false, false);
  }
  const FewestSlidesInput in = fewest_slides_input(s);
  EXPECT_TRUE(game_board_solved_by(3, 4, in.cells, in.way_back));
  const FewestSlides r = find_fewest_slides(in.w, in.h, in.cells, {}, in.way_back);
  EXPECT_EQ(r.kind, FewestSlides::Kind::kExact);
  EXPECT_LE(r.slides, static_cast<int>(in.way_back.size()));
  EXPECT_TRUE(game_board_solved_by(3, 4, in.cells, r.solution));
}

TEST_F(FewestSlidesTest, CancellingStopsASearchPromptly) {
  std::atomic<bool> cancel{false};
  // Korf's 82nd board takes the small tables many seconds.
  auto small = fewest::make_pattern_heuristic(4, 4, kSmall4x4, nullptr);
  ASSERT_TRUE(small);
  const SlideBoard hard = board_from_game_cells(4, 4, korf_board({14, 10, 2, 1, 13, 9, 8, 11, 7, 3, 6, 12, 15, 5, 4, 0}));
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the search under way
    cancel = true;
  });
  const auto start = Clock::now();
  const fewest::ExactOutcome e = fewest::solve_exactly(hard, *small, fewest::SearchStop{&cancel, std::nullopt});
  stopper.join();
  EXPECT_FALSE(e.solved) << "stopped before the end";
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(30)) << "stopped when told, however slow the machine";

  // A budget used up stops it too, and then the figure is a bound with a real solution.
  FewestSlidesLimits limits;
  limits.exact_budget = std::chrono::milliseconds(0);
  const std::vector<int> reversed = {9, 8, 7, 6, 5, 4, 3, 2, 0};
  const FewestSlides bound = find_fewest_slides(3, 3, reversed, limits);
  EXPECT_EQ(bound.kind, FewestSlides::Kind::kBound);
  EXPECT_GE(bound.slides, find_fewest_slides(3, 3, reversed).slides);
  EXPECT_TRUE(game_board_solved_by(3, 3, reversed, bound.solution));

  // Cancelled, a large board gives no figure at all.
  SlideBoard large{20, 20, std::vector<int>(400)};
  for (int c = 0; c < 400; ++c) large.cells[static_cast<std::size_t>(c)] = c;
  large.slide(2);
  FewestSlidesLimits cancelled;
  cancelled.cancel = &cancel;
  EXPECT_EQ(find_fewest_slides(20, 20, game_cells_of(large), cancelled).kind, FewestSlides::Kind::kCancelled);
}

TEST_F(FewestSlidesTest, WorkerAnswersTheLatestBoardAndNeverMakesTheCallerWait) {
  const std::vector<int> three = {2, 0, 3, 4, 5, 6, 7, 8, 9};  // one slide from home
  const std::vector<int> tall = {2, 0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};  // 3 x 5
  // A 3 x 5 board's tables are made in turn: first one of two pieces, at once, then several
  // of six pieces, seconds each.
  auto tables_of_tall = [this] {
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(cache_.path() + "/jumblix", ec))
      count += entry.path().filename().string().starts_with("fewest-3x5-");
    return count;
  };
  {
    FewestSlidesWorker worker;
    // The 3 x 3 board that replaces the 3 x 5 one drops its tables and answers without them:
    // neither start waited for them.
    worker.start(3, 5, tall);
    worker.start(3, 3, three);
    std::optional<FewestSlides> r;
    ASSERT_TRUE(eventually([&] { return (r = worker.take_result()).has_value(); }));
    EXPECT_EQ(r->kind, FewestSlides::Kind::kExact);
    EXPECT_EQ(r->slides, 1);
    EXPECT_LE(tables_of_tall(), 1);
    EXPECT_FALSE(worker.take_result()) << "handed over once";
    EXPECT_FALSE(worker.busy());

    worker.start(3, 3, {2, 0, 3, 4, 5, 6, 7, 9, 9});  // no board: no figure
    ASSERT_TRUE(eventually([&] { return !worker.busy(); }));
    EXPECT_FALSE(worker.take_result());
  }
  // Going away in the middle of building tables: the thread stops there and joins, leaving the
  // rest unmade (a table finishing just then may still be kept).
  std::filesystem::remove_all(cache_.path() + "/jumblix");
  int made = 0;
  {
    FewestSlidesWorker worker;
    worker.start(3, 5, tall);
    ASSERT_TRUE(eventually([&] { return (made = tables_of_tall()) > 0; }));
  }
  EXPECT_LE(tables_of_tall(), made + 1);
}

TEST_F(FewestSlidesTest, DamagedOrForeignTableFilesAreRebuilt) {
  const std::string folder = fewest::table_cache_folder();
  ASSERT_EQ(folder, cache_.path() + "/jumblix");
  const std::vector<int> homes{1, 2, 3, 4, 5};
  const auto built = fewest::cached_or_built_table(3, 3, homes, nullptr);
  ASSERT_TRUE(built);
  const std::string path = folder + "/" + fewest::table_file_name(3, 3, homes);
  const std::string good = cache_.read("jumblix/" + fewest::table_file_name(3, 3, homes));
  ASSERT_TRUE(fewest::load_cached_table(folder, 3, 3, homes));

  EXPECT_EQ(good, fewest::table_file_bytes(*built));
  std::string flipped = good;
  flipped[flipped.size() / 2] ^= 1;
  // Changed entries under a checksum made to match, and a table another version made.
  fewest::PatternTable forged = *built;
  for (std::size_t i = 0; i < forged.moves.size(); i += 97) forged.moves[i] = static_cast<std::uint8_t>(forged.moves[i] + 3);
  const std::string other_version = fewest::table_file_bytes(*built, std::string(fewest::table_maker_version()) + ".1");
  for (const std::string& bad : {good.substr(0, good.size() - 1), good + "x", flipped, std::string(),
                                 fewest::table_file_bytes(forged), other_version}) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bad;
    EXPECT_FALSE(fewest::load_cached_table(folder, 3, 3, homes));
    const auto again = fewest::cached_or_built_table(3, 3, homes, nullptr);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->moves, built->moves);
    EXPECT_EQ(cache_.read("jumblix/" + fewest::table_file_name(3, 3, homes)), good) << "written whole again";
  }
  // A table made for another group never stands in for this one.
  EXPECT_FALSE(fewest::load_cached_table(folder, 3, 3, {1, 2, 3, 4, 6}));
}

// What a table write killed halfway leaves goes at the next start; one a minute old at most
// (another copy of the game may be writing it) and files of other names stay.
TEST_F(FewestSlidesTest, StaleTableTemporariesAreRemoved) {
  const auto two_minutes_ago = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2);
  for (const char* name : {"jumblix/.fewest-a1B2c3", "jumblix/.fewest-fresh1", "jumblix/.fewest-old",
                           "jumblix/.jumblix-a1B2c3", "jumblix/fewest-3x3-1.2.table"}) {
    cache_.write(name, "half a table");
    if (std::string(name) != "jumblix/.fewest-fresh1") std::filesystem::last_write_time(cache_.file(name), two_minutes_ago);
  }
  EXPECT_EQ(fewest::remove_stale_table_files(fewest::table_cache_folder()), 1);
  EXPECT_FALSE(cache_.exists("jumblix/.fewest-a1B2c3"));
  EXPECT_TRUE(cache_.exists("jumblix/.fewest-fresh1"));
  EXPECT_TRUE(cache_.exists("jumblix/.fewest-old"));
  EXPECT_TRUE(cache_.exists("jumblix/.jumblix-a1B2c3"));
  EXPECT_EQ(fewest::remove_stale_table_files(""), 0);
}

TEST(BoardLine, ALineThatIsNoBoardIsToldWhy) {
  std::string error;
  const auto good = parse_board_line("3 3 0 2 3 4 5 6 7 8 9", error);
  ASSERT_TRUE(good);
  EXPECT_EQ(good->cells, (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8, 9}));
  for (const char* bad : {"3 3 0 2 3 4 5 6 7 8", "3 3 0 2 3 4 5 6 7 8 9 10", "3 3 0 2 3 4 5 6 7 9 9",
                          "3 3 0 2 3 4 5 6 7 8 10", "3 3 1 2 3 4 5 6 7 8 9", "3 3 0 3 2 4 5 6 7 8 9",
                          "1 3 0 2 3", "21 2", "3 3 0 2 3 4 5 6 7 8 x", "3", ""}) {
    error.clear();
    EXPECT_FALSE(parse_board_line(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

}  // namespace
}  // namespace jumblix
