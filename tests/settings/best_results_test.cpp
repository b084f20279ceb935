// The best results file: written whole, read back, and never lost or overwritten.
#include "settings/best_results.h"

#include <cerrno>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/test_support.h"

namespace jumblix::testing {
namespace {

const ResultKey kSunset{false, "sun\tset.bmp", 4, 4, false};

// A best results file of distinct results dated `date`, as large as the game accepts.
std::vector<BestResult> results_filling_the_file(const std::string& date) {
  std::vector<BestResult> results;
  std::size_t bytes = encode_best_results({}).size();
  for (int n = 0;; ++n) {
    BestResult r{{n % 2 == 1, "photo " + std::to_string(n / 722) + ".bmp", 2 + n / 19 % 19, 2 + n % 19,
                  n / 361 % 2 == 1},
                 30 + n % 900, date, 91000 + n, date};
    bytes += encode_best_results({r}).size() - encode_best_results({}).size();
    if (bytes > kMaxBestResultsBytes) return results;
    results.push_back(std::move(r));
  }
}

TEST(BestResultsTest, MissingFileIsAnEmptyTableAndEachNewBestIsWrittenWhole) {
  TempDir dir;
  BestResults best(dir.path());
  EXPECT_EQ(best.load(), "");
  EXPECT_TRUE(best.all().empty());
  const auto first = best.record(kSunset, 52, 91000, "2026-12-01");
  EXPECT_TRUE(first.fewer_moves && first.shorter_time);
  const auto second = best.record(kSunset, 60, 80000, "2026-12-02");
  EXPECT_FALSE(second.fewer_moves);
  EXPECT_TRUE(second.shorter_time);

  BestResults again(dir.path());
  EXPECT_EQ(again.load(), "");
  ASSERT_NE(again.find(kSunset), nullptr);
  EXPECT_EQ(*again.find(kSunset), (BestResult{kSunset, 52, "2026-12-01", 80000, "2026-12-02"}));
}

TEST(BestResultsTest, DamagedOrUnreadableFilesAreSetAsideNeverOverwritten) {
  TempDir dir;
  for (const char* damaged : {"Jumblix best results 1\nregular\tx.bmp\t4\t99\tno\t5\t2026-12-01\t9\t2026-12-01\n",
                              "Jumblix best results 1\nregular\tx.bmp\t4\t4\tno\t-5\t2026-12-01\t9\t2026-12-01\n",
                              "Jumblix best results 1\nregular\tx.bmp\t4\t4\tno\t5\t2026-12-01\n"})
    EXPECT_FALSE(decode_best_results(damaged)) << damaged;

  dir.write(kBestResultsFile, "first damaged");
  EXPECT_NE(BestResults(dir.path()).load().find("is damaged"), std::string::npos);
  dir.write(kBestResultsFile, "second damaged");
  BestResults best(dir.path());
  EXPECT_NE(best.load().find("best.results.damaged-2"), std::string::npos);
  EXPECT_EQ(dir.read("best.results.damaged"), "first damaged");
  EXPECT_EQ(dir.read("best.results.damaged-2"), "second damaged");
  best.record(kSunset, 52, 91000, "2026-12-01");
  EXPECT_TRUE(dir.exists(kBestResultsFile));

  std::filesystem::remove(dir.file(kBestResultsFile));
  std::filesystem::create_directory(dir.file(kBestResultsFile));
  EXPECT_NE(BestResults(dir.path()).load().find("cannot be read"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("best.results.damaged-3")));
}

TEST(BestResultsTest, AFailedSaveIsToldAndLosesNothing) {
  TempDir dir;
  BestResults best(dir.path());
  best.load();
  best.record(kSunset, 52, 91000, "2026-12-01");
  const std::string before = dir.read(kBestResultsFile);
  fail_file_writes_for_testing(ENOSPC);
  const auto failed = best.record(kSunset, 40, 95000, "2026-12-02");
  fail_file_writes_for_testing(0);
  EXPECT_TRUE(failed.fewer_moves);
  EXPECT_NE(failed.problem.find("could not be saved"), std::string::npos);
  EXPECT_EQ(dir.read(kBestResultsFile), before) << "the file stays as it was";
  EXPECT_EQ(best.find(kSunset)->moves, 40) << "the best holds for this run";
  // The next finish, even no best, writes what is still missing.
  EXPECT_EQ(best.record(kSunset, 70, 99000, "2026-12-03").problem, "");
  BestResults again(dir.path());
  again.load();
  EXPECT_EQ(again.find(kSunset)->moves, 40);
}

TEST(BestResultsTest, TheLargestFileIsReadWholeAndAReadAheadSeesLaterChanges) {
  TempDir dir;
  BestResults best(dir.path());
  best.prefetch();  // finds no file yet
  std::vector<BestResult> results = results_filling_the_file("2026-12-01");
  ASSERT_GT(results.size(), 60000u);
  // Room for the same result twice: the better of each field is kept.
  results.pop_back();
  const std::size_t header = encode_best_results({}).size();
  const std::string text = encode_best_results(results) +
                           encode_best_results({{results[5].key, 2, "2026-12-09", 999999, "2026-12-09"}}).substr(header);
  ASSERT_LE(text.size(), kMaxBestResultsBytes);
  dir.write(kBestResultsFile, text);
  EXPECT_EQ(best.load(), "");
  EXPECT_EQ(best.all().size(), results.size());
  EXPECT_EQ(*best.find(results[5].key), (BestResult{results[5].key, 2, "2026-12-09", results[5].time_ms, "2026-12-01"}));
}

TEST(BestResultsTest, TheWriterDropsTheResultsBetteredLongestAgoRatherThanOutgrowTheReader) {
  TempDir dir;
  std::vector<BestResult> results = results_filling_the_file("2025-01-01");
  results[7].time_date = "2026-06-01";  // lately bettered: stays
  dir.write(kBestResultsFile, encode_best_results(results));
  BestResults best(dir.path());
  ASSERT_EQ(best.load(), "");
  const ResultKey fresh{false, "a new picture with a long name.bmp", 20, 20, true};
  EXPECT_TRUE(best.record(fresh, 900, 600000, "2026-12-01").fewer_moves);
  const std::string written = dir.read(kBestResultsFile);
  EXPECT_LE(written.size(), kMaxBestResultsBytes);
  BestResults again(dir.path());
  EXPECT_EQ(again.load(), "") << "the game reads back what it wrote";
  EXPECT_NE(again.find(fresh), nullptr);
  EXPECT_NE(again.find(results[7].key), nullptr);
  EXPECT_LT(again.all().size(), results.size() + 1);
  EXPECT_GT(again.all().size(), results.size() - 3) << "only as many go as must";
}

}  // namespace
}  // namespace jumblix::testing
