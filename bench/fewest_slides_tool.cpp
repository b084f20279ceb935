// jumblix_fewest_slides: the fewest slides of boards read from standard input, one a line:
// "W H" and then the W x H cells in row order, numbered as in the game (0 the gap, the piece
// whose home is cell (x, y) numbered (y - 1) * W + x). Anything after '#' is a comment.
// Prints one line per board: the slides, "exact" or "bound" (at most that many), and the
// milliseconds the search took; a line that is no board gets "error: ..." and the rest go on.
// Tables are loaded or built before a shape's first board is timed; stderr says how long,
// and at the end the process's peak memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <set>
#include <string>
#include <utility>

#include "search/fewest_slides.h"
#include "search/slide_board.h"

int main(int argc, char** argv) {
  using namespace jumblix;
  using Clock = std::chrono::steady_clock;
  FewestSlidesLimits limits;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--budget") == 0 && i + 1 < argc) {
      limits.bound_budget = std::chrono::milliseconds(std::atol(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--budget MS] < boards\n", argv[0]);
      return 2;
    }
  }
  std::set<std::pair<int, int>> prepared;
  bool all_good = true;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    std::string error;
    const auto board = parse_board_line(line, error);
    if (!board) {
      std::printf("error: %s\n", error.c_str());
      std::fflush(stdout);
      all_good = false;
      continue;
    }
    if (fewest_slides_exact(board->w, board->h) && prepared.insert({board->w, board->h}).second) {
      const auto t0 = Clock::now();
      prepare_fewest_slides_tables(board->w, board->h);
      std::fprintf(stderr, "tables for %d x %d ready in %.1f ms\n", board->w, board->h,
                   std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const auto t0 = Clock::now();
    const FewestSlides r = find_fewest_slides(board->w, board->h, board->cells, limits);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    if (r.kind == FewestSlides::Kind::kExact || r.kind == FewestSlides::Kind::kBound) {
      std::printf("%d %s %.1f\n", r.slides, r.kind == FewestSlides::Kind::kExact ? "exact" : "bound", ms);
    } else {
      std::printf("error: no solution found\n");
      all_good = false;
    }
    std::fflush(stdout);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::fprintf(stderr, "peak memory %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
  return all_good ? 0 : 1;
}
