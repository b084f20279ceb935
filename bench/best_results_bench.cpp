// Reading the largest best-results file the game accepts: every line a picture, size and
// rotation of its own, up to the size limit (some 73,000 lines).
#include <benchmark/benchmark.h>

#include <string>

#include "settings/best_results.h"

namespace {

std::string largest_best_results_text() {
  std::string text = "Jumblix best results 1\n";
  for (int n = 0;; ++n) {
    const std::string line = std::string(n % 2 ? "regular" : "animated") + "\tholiday photo " +
                             std::to_string(n / 722) + ".bmp\t" + std::to_string(2 + n / 19 % 19) + "\t" +
                             std::to_string(2 + n % 19) + "\t" + (n / 361 % 2 ? "yes" : "no") + "\t" +
                             std::to_string(30 + n % 900) + "\t2026-12-01\t" + std::to_string(91000 + n) +
                             "\t2026-12-03\n";
    if (text.size() + line.size() > jumblix::kMaxBestResultsBytes) return text;
    text += line;
  }
}

void BM_DecodeLargestBestResults(benchmark::State& state) {
  const std::string text = largest_best_results_text();
  std::size_t results = 0;
  for (auto _ : state) {
    const auto decoded = jumblix::decode_best_results(text);
    results = decoded ? decoded->size() : 0;
    benchmark::DoNotOptimize(results);
  }
  state.counters["results"] = static_cast<double>(results);
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_DecodeLargestBestResults)->Unit(benchmark::kMillisecond);

}  // namespace
