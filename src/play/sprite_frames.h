#pragma once
// Frames of the moving picture, drawn when the screen can show them. Frames follow one another
// faster than the screen shows them (the Fast speed makes several a display frame), so each is
// left pending on the canvas and the next takes it over: what the next frame draws again is
// drawn once, as the next frame draws it, and the rest as the earlier frame had it. The canvas
// draws what is pending before anything else draws on it or reads it, so every picture on
// screen is the one drawing every frame would have given.
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/canvas.h"
#include "play/piece_drawing.h"

namespace jumblix {

class SpriteFrames {
 public:
  SpriteFrames() = default;
  SpriteFrames(const SpriteFrames&) = delete;
  SpriteFrames& operator=(const SpriteFrames&) = delete;

  // A frame of an animated puzzle: the pieces whose home cells lie under the moving picture.
  void board_frame(Canvas& canvas, const PuzzleState& s, const SpriteView& sprite);
  // A frame of the finished animated picture: the box from (left - 2, top - 2) to
  // (left + width + 2, top + height + 2) in `colour`, then the whole picture at (left, top),
  // drawn at width x height.
  void finished_frame(Canvas& canvas, const Picture& picture, int left, int top, int width, int height,
                      int colour);

 private:
  struct Finished {
    const Picture* picture;
    DirtyRect box, shown;  // the cleared box and the picture's place in it
    int colour;
  };
  struct Fill {
    DirtyRect box;
    int colour;
  };
  void leave_for_later(Canvas& canvas);
  void draw(Canvas& canvas);

  std::vector<MovingPiece> pieces_;  // at most one a cell: a later frame's draw replaces
  std::vector<Fill> cleared_;        // boxes earlier finished frames cleared, the last one left
  std::optional<Finished> finished_;
  // The pieces as this last drew them, while nothing else has drawn on the canvas since
  // (draws() was drawn_at_): those are redrawn where they change only.
  std::unordered_map<int, MovingPiece> shown_;
  std::uint64_t drawn_at_ = 0;
};

}  // namespace jumblix
