// The best results file: written whole, read back, and never lost or overwritten.
#include "settings/best_results.h"

#include <cerrno>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/test_support.h"

namespace jumblix::testing {
namespace {

const ResultKey kSunset{false, "sun\tset.bmp", 4, 4, false};

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

}  // namespace
}  // namespace jumblix::testing
