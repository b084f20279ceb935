// Figures for the hot paths: scrambling, drawing single pieces, one animation frame,
// the computer's slides and the start to the first title puzzle.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "app/puzzlemaker.h"
#include "platform/canvas.h"
#include "platform/headless/headless_loop.h"
#include "play/kept_puzzle_file.h"
#include "play/piece_drawing.h"
#include "puzzle/builtin_pictures.h"
#include "puzzle/scramble.h"

namespace jumblix {
namespace {

void BM_Scramble(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  Random random(7);
  PuzzleState s;
  long long slides = 0;
  for (auto _ : state) {
    build_solved_grid(s, side, side, true, random);
    scramble(s, random);
    slides += s.solution_len();
  }
  state.counters["slides"] = benchmark::Counter(static_cast<double>(slides) / state.iterations());
}
BENCHMARK(BM_Scramble)->Arg(4)->Arg(20)->Unit(benchmark::kMicrosecond);

// Reading and checking the largest kept-puzzle file the game accepts: a 20 x 20 puzzle with
// rotation whose player went back and forth until the file nearly reached its size limit.
void BM_ReadLargestKeptPuzzle(benchmark::State& state) {
  Random random(5);
  PuzzleState s;
  build_solved_grid(s, 20, 20, true, random);
  scramble(s, random);
  KeptPuzzle k;
  k.picture = "holiday.bmp";
  k.rotation = true;
  k.dealt = snapshot_of(s, {});
  PlayCounts counts;
  const std::size_t per_step = 22;  // a slide's step line and its entry in the player's list
  while (encode_kept_puzzle(k).size() + 200000 * per_step < kMaxKeptPuzzleBytes) {
    for (int i = 0; i < 200000; ++i) {
      const int d = s.on_board(s.neighbour(kGapRight)) && (i % 2 == 0) ? kGapRight : kGapLeft;
      const int gap_turn = s.turn(s.gap());
      if (!s.slide(d)) continue;
      ++counts.slides;
      k.undo.push_back(PlayStep::slide(d, record_move(s, d, true, false), gap_turn));
    }
    k.now = snapshot_of(s, counts);
  }
  const std::string text = encode_kept_puzzle(k);
  for (auto _ : state) benchmark::DoNotOptimize(decode_kept_puzzle(text, nullptr));
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
  state.counters["steps"] = static_cast<double>(k.undo.size());
}
BENCHMARK(BM_ReadLargestKeptPuzzle)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 5 x 3 puzzle in the 754 x 385 drawing area: 150 x 128 pieces.
struct RegularBoard {
  RegularBoard() : canvas(754, 385), background(make_title_picture()) {
    Random random(3);
    build_solved_grid(s, 5, 3, true, random);
    s.piece_w = 150;
    s.piece_h = 128;
    s.board_px_w = 754;
    s.board_px_h = 385;
    scramble(s, random);
  }
  PuzzleState s;
  Canvas canvas;
  Picture background;
};

void BM_DrawPiece(benchmark::State& state) {
  RegularBoard b;
  const Cell cell{2, 2};
  b.s.turn(cell) = static_cast<int>(state.range(0));
  const PieceSources sources{b.background, {}};
  for (auto _ : state) {
    draw_piece(b.canvas, b.s, sources, cell);
    benchmark::DoNotOptimize(b.canvas.image().pixels.data());
  }
}
BENCHMARK(BM_DrawPiece)->DenseRange(1, 4)->ArgName("orientation")->Unit(benchmark::kMicrosecond);

void BM_AnimationFrame(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  RegularBoard b;
  Random random(5);
  b.s.pic_kind = 1;
  build_solved_grid(b.s, side, side, true, random);
  b.s.piece_w = 754 / side;
  b.s.piece_h = 385 / side;
  scramble(b.s, random);
  const Picture sprite = make_moving_picture();
  SpriteView view{&sprite, 200, 70, sprite.width + 2, sprite.height + 2, sprite.width, sprite.height};
  for (auto _ : state) {
    draw_sprite_pieces(b.canvas, b.s, {b.background, view});
    step_sprite(view.left, view.top, b.s.sprite_dx, b.s.sprite_dy, view.width, view.height,
                side * b.s.piece_w, side * b.s.piece_h);
  }
}
BENCHMARK(BM_AnimationFrame)->Arg(4)->Arg(20)->ArgName("side")->Unit(benchmark::kMicrosecond);

// A scratch working directory for whole-game figures.
struct ScratchDir {
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "jumblix-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
    setenv("JUMBLIX_SYSTEM_DIR", path.c_str(), 1);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

// Start to the first drawn title puzzle: building the pictures, writing them, the settings
// reads and the first puzzle.
void BM_StartToTitlePuzzle(benchmark::State& state) {
  ScratchDir dir;
  for (auto _ : state) {
    HeadlessLoop loop;
    Puzzlemaker game(loop, dir.path);
    loop.attach(game);
    game.startup();
    game.title_puzzle_setup();
    benchmark::DoNotOptimize(game.canvas.image().pixels.data());
  }
}
BENCHMARK(BM_StartToTitlePuzzle)->Unit(benchmark::kMillisecond);

// Computer slides with the step timer out of the way: the work per change the solver adds.
void BM_ComputerSlides(benchmark::State& state) {
  ScratchDir dir;
  HeadlessLoop loop;
  Puzzlemaker game(loop, dir.path);
  loop.attach(game);
  game.startup();
  game.title_puzzle_setup();
  game.move_time = 0;
  game.solve_mode = 1;
  game.prev_solve_mode = 1;
  long long slides = 0;
  for (auto _ : state) {
    if (game.puzzle.solution_moves.empty()) {
      state.PauseTiming();
      game.started = 1;
      game.was_started = 1;
      game.makenewpuzzle();
      state.ResumeTiming();
    }
    game.solver_step();
    ++slides;
  }
  state.SetItemsProcessed(slides);
}
BENCHMARK(BM_ComputerSlides)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace jumblix
