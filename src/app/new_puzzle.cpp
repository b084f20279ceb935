// Turning a picture into a new scrambled puzzle.
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/puzzlemaker.h"
#include "platform/palette.h"
#include "puzzle/picture_library.h"
#include "puzzle/scramble.h"
#include "settings/number_text.h"

namespace jumblix {

namespace {

const char* kind_word(int pic_kind) { return pic_kind == 1 ? "animated" : "regular"; }

}  // namespace

int Puzzlemaker::size_from_text(TextBox& box) {
  // Whole cells only: a fraction is dropped, anything below 2 becomes 2, above 20 becomes 20.
  const double value = std::floor(leading_number(box.text()));
  const int size = static_cast<int>(std::clamp(value, 2.0, static_cast<double>(kMaxSide)));
  box.set_text(std::to_string(size));
  return size;
}

// Picks (at random or as chosen) and loads the next picture. When the file cannot be loaded
// the previous picture stays, and the player is told so.
bool Puzzlemaker::load_chosen_picture() {
  const int old_kind = puzzle.pic_kind;

  const bool random_pictures = Check1.value() == 1;
  if (kind_picked == 0 && random_pictures) {
    int r = random.pick(2);
    if (File1.count() == 0) r = 2;
    if (File2.count() == 0) r = 1;
    if (r == 1 && File1.count() > 0) puzzle.pic_kind = 0;
    if (r == 2 && File2.count() > 0) puzzle.pic_kind = 1;
    anispeed.set_enabled(puzzle.pic_kind == 1);
  }
  kind_picked = 1;

  std::optional<Picture> loaded;
  if (random_pictures) {
    const FileListBox& list = puzzle.pic_kind == 0 ? File1 : File2;
    const int n = static_cast<int>(random.next() * list.count());
    puzzle.pic_name = list.entry(n);
  } else {
    puzzle.pic_kind = chosen_kind;
    anispeed.set_enabled(puzzle.pic_kind == 1);
    puzzle.pic_name = Text3.text();
  }
  puzzle.pic_base = picture_base(puzzle.pic_name);
  // A name is a file in its picture folder: one with a path in it is no picture of the game's.
  PictureError error = PictureError::unreadable;
  if (plain_file_name(puzzle.pic_name))
    loaded = load_bitmap(join_path(puzzle.pic_kind == 0 ? regular_folder() : animation_folder(),
                                   puzzle.pic_name),
                         &error);

  if (!loaded) {
    const std::string shown = puzzle.pic_name.empty() ? std::string("(no picture)") : puzzle.pic_name;
    // No picture of this kind is listed (the start panel said why when a folder failed).
    const bool no_pictures = puzzle.pic_name.empty() && (puzzle.pic_kind == 0 ? File1 : File2).count() == 0;
    puzzle.pic_kind = old_kind;
    puzzle.pic_name = old_kind == 0 ? background_name : sprite_name;
    puzzle.pic_base = picture_base(puzzle.pic_name);
    anispeed.set_enabled(puzzle.pic_kind == 1);
    // With no pictures of its kind the built-in picture is the puzzle, without a word.
    if (no_pictures) return false;
    if (error == PictureError::too_large)
      show_message("The picture \"" + shown + "\" is too large (at most " + std::to_string(kMaxPictureSide) +
                   " pixels a side, " + std::to_string(kMaxPicturePixels / 1000000) +
                   " million in all); the puzzle keeps \"" + puzzle.pic_name + "\".");
    else
      show_message("The picture \"" + shown + "\" could not be loaded; the puzzle keeps \"" +
                   puzzle.pic_name + "\".");
    return false;
  }
  if (puzzle.pic_kind == 0) {
    background = std::move(*loaded);
    background_name = puzzle.pic_name;
  } else {
    sprite_name = puzzle.pic_name;
    // The picture box sizes itself to the picture, with its one-pixel border.
    Picture1.resize(loaded->width + 2, loaded->height + 2);
    Picture1.set_picture(std::move(*loaded));
  }
  return true;
}

void Puzzlemaker::makenewpuzzle() {
  // A frame of the old moving picture left for the screen is drawn before its picture goes.
  canvas.settle();
  // 1. Start of a new puzzle.
  ++puzzles_made;
  fresh_puzzle = 1;
  anim_off = 0;
  if (yes.checked()) rotatable = 1;
  if (no.checked()) rotatable = 0;
  const std::optional<DealToMake> deal = std::exchange(deal_to_make, std::nullopt);
  if (deal) rotatable = deal->deal.rotation ? 1 : 0;
  for (Control* c : std::initializer_list<Control*>{&Label8, &File2, &Label5, &Text3, &File1, &Check1,
                                                    &Label1, &Text1, &Label2, &Text2, &Command1})
    c->hide();
  show_message("");
  was_started = started;
  solver_reset = 1;
  puzzle.gap_x = puzzle.gap_y = 1;
  puzzle.solution_moves.clear();
  puzzle.user_moves.clear();

  // 2. Picture choice and loading (the title puzzle uses the built-in pictures as they are).
  if (started != 0) {
    const bool loaded = deal ? load_dealt_picture(deal->deal) : load_chosen_picture();
    if (was_started != 0)
      set_caption(std::string("Jumblix: By Corvel-(Creating new ") + kind_word(puzzle.pic_kind) + " puzzle)");
    anispeed.set_enabled(puzzle.pic_kind == 1);
    if (puzzle.pic_kind == 0) {
      // A regular picture is cut from the window's normal drawing area, unless the player
      // maximized the window himself.
      restore_size();
      pcolour2.hide();
      dcolour2.hide();
      if (loaded && no_saver_copy == 0) copy_to_screensaver(puzzle.pic_name, background);
    } else {
      pcolour2.show();
      dcolour2.show();
      maximize();
    }
    puzzle.puzzle_bg = default_puzzle_bg;
    puzzle.picture_bg = default_picture_bg;
  }

  // 3. The picture's own colours.
  read_picture_colours();

  // 4. Size.
  if (started != 0) {
    phase = 3;
    if (deal) {
      Text1.set_text(std::to_string(deal->deal.w));
      Text2.set_text(std::to_string(deal->deal.h));
    }
    puzzle.W = size_from_text(Text1);
    puzzle.H = size_from_text(Text2);
  }

  // 5. Geometry.
  puzzle.board_px_w = canvas.width();
  puzzle.board_px_h = canvas.height();
  puzzle.piece_w = static_cast<int>(puzzle.board_px_w / puzzle.W);
  puzzle.piece_h = static_cast<int>(puzzle.board_px_h / puzzle.H);

  // 6-7. The solved grid, then the scramble.
  if (deal) {
    PlayCounts none;
    restore_snapshot(puzzle, none, {deal->deal.w, deal->deal.h, deal->deal.cells, deal->deal.turns, {}, deal->way_back, {}});
  } else {
    build_solved_grid(puzzle, puzzle.W, puzzle.H, rotatable == 1, random);
    scramble(puzzle, random);
  }

  // 8. First drawing of the board.
  draw_new_board(canvas, puzzle, background);

  // 9. Caption.
  if (was_started != 0)
    set_caption(std::string("Jumblix: By Corvel-(Solving ") + kind_word(puzzle.pic_kind) + " puzzle)");

  // 10. Where the moving picture starts, and which way it goes.
  place_sprite();

  // 11. Title names.
  if (started == 0) puzzle.pic_name = puzzle.pic_kind == 0 ? kTitlePictureName : kTitleSpriteName;
  started = 1;

  // 12. A random-picture mode waiting for this puzzle to be made.
  if (pending_random_mode == 1) {
    Check1.set_value(1);
    prandom.set_checked(true);
    pnrandom.set_checked(false);
  } else if (pending_random_mode == 2) {
    Check1.set_value(0);
    prandom.set_checked(false);
    pnrandom.set_checked(true);
  }
  pending_random_mode = 0;

  // 13. The first frame of an animated picture.
  if (puzzle.pic_kind == 1) {
    draw_sprite_pieces(canvas, puzzle, piece_sources());
    int left = Picture1.left(), top = Picture1.top();
    step_sprite(left, top, puzzle.sprite_dx, puzzle.sprite_dy, Picture1.width(), Picture1.height(),
                puzzle.W * puzzle.piece_w, puzzle.H * puzzle.piece_h);
    Picture1.move(left, top);
  }

  // 14.
  dsfdfdf.disable();
  if (puzzle.pic_kind == 1 && was_started != 0) dsfdfdf.enable();
  begin_scoring();
  puzzle_dealt(deal && deal->resumed);
  input_latch = 0;
  loop.yield();
}

void Puzzlemaker::place_sprite() {
  const double spare_w = puzzle.piece_w * puzzle.W - Picture1.scale_width() - 4;
  const double spare_h = puzzle.piece_h * puzzle.H - Picture1.scale_height() - 4;
  const int left = static_cast<int>(std::floor(spare_w * random.next())) + 2;
  const int top = static_cast<int>(std::floor(spare_h * random.next())) + 2;
  Picture1.move(left, top);
  puzzle.sprite_dx = random.pick(2) == 2 ? -1 : 1;
  puzzle.sprite_dy = random.pick(2) == 2 ? -1 : 1;
}

}  // namespace jumblix
