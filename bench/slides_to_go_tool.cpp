// jumblix_slides_to_go: how long the slides to go take to follow a slide. Boards are read from
// standard input as jumblix_fewest_slides reads them (boards of up to 16 cells only). Each is
// solved, then played along its shortest solution; at every step the new figure is worked out
// by the search, as when the slide is not the first of the solution known (a slide that is
// needs no search at all), and for a slide off the way (the first other slide there is).
// Prints the median and the maximum time per slide of both, and checks every figure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "search/fewest_slides.h"
#include "search/pattern_heuristic.h"
#include "search/slide_board.h"
#include "search/slides_to_go.h"

namespace {

using Clock = std::chrono::steady_clock;

void report(const char* what, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  const std::size_t n = ms.size();
  const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
  const auto over = std::count_if(ms.begin(), ms.end(), [](double t) { return t > 200; });
  std::printf("%s: %zu slides, median %.3f ms, 99th percentile %.1f ms, maximum %.1f ms, %ld over 200 ms\n",
              what, n, median, ms[n * 99 / 100], ms.back(), static_cast<long>(over));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace jumblix;
  long limit = -1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--boards") == 0 && i + 1 < argc) {
      limit = std::atol(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: %s [--boards N] < boards\n", argv[0]);
      return 2;
    }
  }
  std::vector<double> along, away;
  bool all_good = true;
  std::string line;
  for (long boards = 0; (limit < 0 || boards < limit) && std::getline(std::cin, line);) {
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    std::string error;
    const auto parsed = parse_board_line(line, error);
    if (!parsed || !fewest_slides_exact(parsed->w, parsed->h) || board_problem(parsed->w, parsed->h, parsed->cells)) {
      std::fprintf(stderr, "skipped: %s\n", error.empty() ? "not a board of up to 16 cells" : error.c_str());
      continue;
    }
    ++boards;
    const auto heuristic = fewest::pattern_heuristic_for(parsed->w, parsed->h, nullptr);
    const FewestSlides solved = find_fewest_slides(parsed->w, parsed->h, parsed->cells);
    if (!heuristic || solved.kind != FewestSlides::Kind::kExact) {
      std::fprintf(stderr, "board %ld: no exact figure\n", boards);
      all_good = false;
      continue;
    }
    SlideBoard board = board_from_game_cells(parsed->w, parsed->h, parsed->cells);
    const int n = solved.slides;
    for (int k = 0; k < n; ++k) {
      const SlidesToGo before{n - k, true, false, {}};  // the way known is not this one
      const int d = solved.solution[static_cast<std::size_t>(k)];
      // Along the way.
      SlideBoard after = board;
      after.slide(d);
      auto t0 = Clock::now();
      auto next = slides_to_go_after(after, d, before, heuristic.get(), {});
      along.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      if (!next || next->slides != n - k - 1 || !slides_solve(after, next->solution)) {
        std::fprintf(stderr, "board %ld, slide %d: wrong figure along the way\n", boards, k + 1);
        all_good = false;
      }
      // Off the way: another slide from the same board, the way known being the solution's rest.
      const SlidesToGo known{n - k, true, false, {solved.solution.begin() + k, solved.solution.end()}};
      for (int other = 1; other <= 4; ++other) {
        SlideBoard off = board;
        if (other == d || !off.slide(other)) continue;
        t0 = Clock::now();
        next = slides_to_go_after(off, other, known, heuristic.get(), {});
        away.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (!next || std::abs(next->slides - (n - k)) != 1 || !slides_solve(off, next->solution)) {
          std::fprintf(stderr, "board %ld, slide %d: wrong figure off the way\n", boards, k + 1);
          all_good = false;
        }
        break;
      }
      board = after;
    }
  }
  report("slide along a shortest way", along);
  report("slide off it", away);
  return all_good ? 0 : 1;
}
