#include "play/sprite_frames.h"

#include <algorithm>
#include <utility>

namespace jumblix {

namespace {

// The parts of `a` outside `b`: up to four boxes.
std::vector<DirtyRect> outside(const DirtyRect& a, const DirtyRect& b) {
  const DirtyRect o{std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
  if (o.empty()) return {a};
  std::vector<DirtyRect> parts;
  const auto keep = [&parts](DirtyRect r) {
    if (!r.empty()) parts.push_back(r);
  };
  keep({a.x1, a.y1, a.x2, o.y1 - 1});
  keep({a.x1, o.y2 + 1, a.x2, a.y2});
  keep({a.x1, o.y1, o.x1 - 1, o.y2});
  keep({o.x2 + 1, o.y1, a.x2, o.y2});
  return parts;
}

}  // namespace

void SpriteFrames::board_frame(Canvas& canvas, const PuzzleState& s, const SpriteView& sprite) {
  for (Cell at : sprite_piece_cells(s, sprite)) {
    const std::optional<MovingPiece> piece = moving_piece(s, sprite, at);
    if (!piece) continue;
    // Each draw repaints its whole piece area: the later one on a cell is all that shows.
    const auto same_cell = [at](const MovingPiece& p) { return p.cell == at; };
    const auto earlier = std::find_if(pieces_.begin(), pieces_.end(), same_cell);
    if (earlier != pieces_.end())
      *earlier = *piece;
    else
      pieces_.push_back(*piece);
  }
  leave_for_later(canvas);
}

void SpriteFrames::finished_frame(Canvas& canvas, const Picture& picture, int left, int top, int width,
                                  int height, int colour) {
  const DirtyRect box{left - 2, top - 2, left + width + 2, top + height + 2};
  const DirtyRect shown{left, top, left + width - 1, top + height - 1};
  if (finished_) {
    // The earlier frame's picture must lie inside this frame's box (the picture moves a pixel
    // a frame); otherwise it is drawn as it was.
    if (!box.contains(finished_->shown) || finished_->picture != &picture) {
      canvas.settle();
    } else {
      // Of the earlier box, only what this one does not clear again still shows its colour.
      for (const DirtyRect& part : outside(finished_->box, box)) cleared_.push_back({part, finished_->colour});
    }
  }
  finished_ = Finished{&picture, box, shown, colour};
  leave_for_later(canvas);
}

void SpriteFrames::leave_for_later(Canvas& canvas) {
  canvas.defer([this, &canvas] { draw(canvas); });
}

void SpriteFrames::draw(Canvas& canvas) {
  // Taken out first: what is drawn now is no longer pending.
  const std::vector<MovingPiece> pieces = std::move(pieces_);
  const std::vector<Fill> cleared = std::move(cleared_);
  const std::optional<Finished> finished = std::exchange(finished_, std::nullopt);
  pieces_.clear();
  cleared_.clear();
  if (canvas.draws() != drawn_at_) shown_.clear();
  for (const MovingPiece& piece : pieces) {
    const int key = piece.cell.y * 64 + piece.cell.x;
    const auto before = shown_.find(key);
    if (before != shown_.end())
      redraw_moving_piece(canvas, before->second, piece);
    else
      draw_moving_piece(canvas, piece);
    shown_.insert_or_assign(key, piece);
  }
  if (!cleared.empty() || finished) shown_.clear();
  for (const Fill& fill : cleared) canvas.fill_box(fill.colour, fill.box.x1, fill.box.y1, fill.box.x2, fill.box.y2);
  if (finished) {
    const Finished& f = *finished;
    // The picture covers its place whole: only the border around it is cleared.
    const bool covers = !f.picture->empty();
    for (const DirtyRect& part : covers ? outside(f.box, f.shown) : std::vector<DirtyRect>{f.box})
      canvas.fill_box(f.colour, part.x1, part.y1, part.x2, part.y2);
    canvas.stretch_copy(*f.picture, 0, 0, f.picture->width, f.picture->height, f.shown.x1, f.shown.y1,
                        f.shown.x2 - f.shown.x1 + 1, f.shown.y2 - f.shown.y1 + 1);
  }
  drawn_at_ = canvas.draws();
}

}  // namespace jumblix
