// Frames of an animated puzzle, driven pass by pass on the headless loop.
#include "app/game_harness.h"
#include "platform/palette.h"

namespace jumblix::testing {
namespace {

class AnimationTest : public GameTest {
 protected:
  AnimationTest() : game(loop, dir.path()) {
    loop.attach(game);
    game.startup();
    // An animated puzzle made from the built-in moving picture, as after "Begin".
    game.started = game.was_started = 1;
    game.chosen_kind = 1;
    game.Text3.set_text("title2.bmp");
    game.makenewpuzzle();
  }
  HeadlessLoop loop;
  Puzzlemaker game;
};

TEST_F(AnimationTest, GlidesOnePixelPerFrameAndBouncesOffTheBoard) {
  PuzzleState& s = game.puzzle;
  ASSERT_EQ(s.pic_kind, 1);
  const int right_edge = s.W * s.piece_w;
  game.Picture1.move(right_edge - game.Picture1.width() - 2, 10);
  s.sprite_dx = 1;
  s.sprite_dy = 1;
  std::vector<int> lefts;
  for (int frame = 0; frame < 5; ++frame) {
    game.animation_frame();
    lefts.push_back(game.Picture1.left());
  }
  const int start = right_edge - game.Picture1.width() - 2;
  EXPECT_EQ(lefts, (std::vector<int>{start + 1, start + 2, start + 1, start, start - 1}));
  EXPECT_EQ(game.Picture1.top(), 15);
}

TEST_F(AnimationTest, EnterDuringASlowWaitStopsThePictureBeforeItMoves) {
  game.anim_slow = 1;
  const int left = game.Picture1.left(), top = game.Picture1.top();
  loop.key_down(kKeyEnter);  // delivered inside the frame's wait for the animation timer
  game.animation_frame();
  EXPECT_EQ(game.anim_off, 1);
  EXPECT_EQ(game.Picture1.left(), left);
  EXPECT_EQ(game.Picture1.top(), top);
  EXPECT_FALSE(game.Timer4.enabled());
  // Without Enter the slow frame waits one timer tick and then moves.
  game.input_latch = 0;
  loop.key_down(kKeyEnter);
  loop.yield();
  ASSERT_EQ(game.anim_off, 0);
  game.input_latch = 0;
  const long long yields = loop.yields();
  game.animation_frame();
  EXPECT_GT(loop.yields(), yields);
  EXPECT_NE(game.Picture1.left(), left);
}

TEST_F(AnimationTest, FramesNeverDrawTheGap) {
  PuzzleState& s = game.puzzle;
  // Park the gap in the middle of the board and let the picture pass over it.
  for (int d : {kGapRight, kGapDown}) s.slide(d);
  const Cell gap = s.gap();
  jumblix::erase_cell(game.canvas, s, gap);
  for (int frame = 0; frame < 300; ++frame) game.animation_frame();
  const int x0 = (gap.x - 1) * s.piece_w, y0 = (gap.y - 1) * s.piece_h;
  for (int y = y0; y < y0 + s.piece_h; y += 3)
    for (int x = x0; x < x0 + s.piece_w; x += 3)
      ASSERT_EQ(game.canvas.pixel(x, y), palette_rgb(s.puzzle_bg)) << x << ", " << y;
}

// The pace of the moving picture on the loop's clock, playing and finished: the same places
// after the same times, whatever the loop does with the passes in between.
using FastPictureTest = GameTest;

TEST_F(FastPictureTest, ReachesTheSamePlacesAfterTheSameTimes) {
  begin_first_puzzle("4", "4");
  Puzzlemaker& g = game();
  menu(g.choosepicture2);
  press(g.Command2);
  ASSERT_EQ(g.puzzle.pic_kind, 1);
  ASSERT_EQ(g.anim_slow, 0);
  const double start = r().loop.now_ms();
  std::vector<int> seen;
  auto look = [&] {
    seen.insert(seen.end(), {g.Picture1.left(), g.Picture1.top(), static_cast<int>(r().loop.now_ms() - start)});
  };
  r().run_for(1000);
  look();
  g.move_time = 0;
  menu(g.csolve);
  ASSERT_TRUE(r().run_until([&] { return g.puzzle_finished == 1; }, 60000));
  look();
  r().run_for(500);  // the finished picture glides on
  look();
  EXPECT_EQ(seen, (std::vector<int>{368, 106, 1000, 425, 67, 1344, 75, 21, 1844}));
}

}  // namespace
}  // namespace jumblix::testing
