// The kept-puzzle file: what the game writes reads back the same; anything else, however
// hostile, is refused with a reason and never trusted.
#include "play/kept_puzzle_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/random.h"
#include "puzzle/scramble.h"

namespace jumblix {
namespace {

// A 4 x 3 puzzle with rotation, dealt, played a little (slides of both kinds, a turn, a
// restart) and partly taken back.
KeptPuzzle played_puzzle(std::uint64_t seed = 7) {
  Random random(seed);
  PuzzleState s;
  build_solved_grid(s, 4, 3, true, random);
  scramble(s, random);
  KeptPuzzle k;
  k.picture = "my\tpicture.bmp";
  k.rotation = true;
  k.dealt = snapshot_of(s, {});
  PlayCounts counts;
  auto slide = [&](int d) {
    if (!s.on_board(s.neighbour(d))) return;
    const int gap_turn = s.turn(s.gap());
    s.slide(d);
    ++counts.slides;
    k.undo.push_back(PlayStep::slide(d, record_move(s, d, true, true), gap_turn));
  };
  for (int d : {2, 4, 1, 2, 3}) slide(d);
  const Cell turned = s.neighbour(s.gap_x > 1 ? kGapLeft : kGapRight);
  s.turn(turned) = next_orientation(s.turn(turned));
  ++counts.turns;
  k.undo.push_back(PlayStep::turn(turned));
  k.undo.push_back(PlayStep::restart(snapshot_of(s, counts)));
  restore_snapshot(s, counts, k.dealt);
  slide(2);
  slide(4);
  EXPECT_TRUE(undo_step(s, counts, k.undo.back()));
  k.redo.push_back(k.undo.back());
  k.undo.pop_back();
  k.now = snapshot_of(s, counts);
  k.clock_ms = 61234;
  k.clock_started = true;
  k.fewest = FewestFigure{21, true};
  return k;
}

std::filesystem::path corpus() { return std::filesystem::path(__FILE__).parent_path() / "kept_puzzle_corpus"; }

// Decoding must never crash or hang, and what it accepts must write back the same way.
void check_reader(const std::string& text) {
  std::string problem;
  const auto k = decode_kept_puzzle(text, &problem);
  if (!k) {
    EXPECT_FALSE(problem.empty());
    return;
  }
  const std::string again = encode_kept_puzzle(*k);
  const auto k2 = decode_kept_puzzle(again, &problem);
  ASSERT_TRUE(k2) << problem;
  EXPECT_EQ(encode_kept_puzzle(*k2), again);
}

TEST(KeptPuzzleFile, WhatIsWrittenReadsBackTheSame) {
  const KeptPuzzle k = played_puzzle();
  const std::string text = encode_kept_puzzle(k);
  std::string problem;
  const auto back = decode_kept_puzzle(text, &problem);
  ASSERT_TRUE(back) << problem << "\n" << text;
  EXPECT_EQ(back->picture, k.picture);
  EXPECT_EQ(back->now, k.now);
  EXPECT_EQ(back->dealt, k.dealt);
  EXPECT_EQ(back->undo.size(), k.undo.size());
  EXPECT_EQ(back->redo.size(), 1u);
  EXPECT_EQ(back->fewest, k.fewest);
  EXPECT_EQ(encode_kept_puzzle(*back), text);
}

TEST(KeptPuzzleFile, RefusesBoardsAndHistoriesThatDoNotHoldTogether) {
  const KeptPuzzle good = played_puzzle();
  auto refused = [](const KeptPuzzle& k, const std::string& why) {
    std::string problem;
    EXPECT_FALSE(decode_kept_puzzle(encode_kept_puzzle(k), &problem)) << why;
    EXPECT_FALSE(problem.empty()) << why;
  };
  KeptPuzzle k = good;
  std::swap(k.now.cells[1], k.now.cells[2]);  // no longer what the history undoes
  refused(k, "swapped pieces");
  k = good;
  k.now.solution_moves.pop();
  refused(k, "a solution cut short");
  k = good;
  k.rotation = false;
  refused(k, "turned pieces without rotation");
  k = good;
  k.undo.insert(k.undo.begin(), PlayStep::slide(kGapLeft, HistoryEffect::popped_solution, 1));
  refused(k, "a step that fits no board");
  k = good;
  k.undo.clear();
  k.redo.clear();
  k.now.cells = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  k.now.turns.assign(12, 1);
  k.now.solution_moves.clear();
  k.now.user_moves.clear();
  refused(k, "a finished puzzle");
  refused(KeptPuzzle{}, "nothing at all");
  EXPECT_FALSE(decode_kept_puzzle(std::string(kMaxKeptPuzzleBytes + 1, 'x'), nullptr));
}

TEST(KeptPuzzleFile, HostileFilesOfTheCorpusAndRandomDamageAreRefusedOrReadSoundly) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus())) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    std::string problem;
    EXPECT_FALSE(decode_kept_puzzle(text, &problem)) << entry.path();
    ++files;
  }
  EXPECT_GT(files, 5);
  // Random damage to a good file. JUMBLIX_FUZZ_SECONDS runs it longer, outside CI; a file
  // that breaks the reader belongs in the corpus.
  const char* seconds = std::getenv("JUMBLIX_FUZZ_SECONDS");
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds ? std::atoi(seconds) : 0);
  const std::string good = encode_kept_puzzle(played_puzzle());
  Random random(1);
  for (long n = 0; n < 400 || std::chrono::steady_clock::now() < until; ++n) {
    std::string text = good;
    for (int edits = random.pick(4); edits > 0; --edits) {
      const auto at = static_cast<std::size_t>(random.next() * static_cast<double>(text.size()));
      switch (random.pick(4)) {
        case 1: text[at] = static_cast<char>(random.pick(256) - 1); break;
        case 2: text.erase(at, static_cast<std::size_t>(random.pick(8))); break;
        case 3: text.insert(at, text.substr(static_cast<std::size_t>(random.next() * static_cast<double>(text.size())), 6)); break;
        case 4: text[at] = "0123456789\t\n,-"[random.pick(15) - 1]; break;
      }
    }
    check_reader(text);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "the reader failed on:\n" << text;
      break;
    }
  }
}

}  // namespace
}  // namespace jumblix
