// The built-in pictures. Everything is flat-coloured with hard edges: gradients come in
// a few wide bands and there is no smoothing, which keeps each picture well under 256
// colours and makes the pieces of a puzzle easy to tell apart.
#include "puzzle/builtin_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <string_view>
#include <utility>
#include <vector>

namespace jumblix {
namespace {

// ---------------------------------------------------------------- colours

using Colour = std::uint32_t;

constexpr double kPi = std::numbers::pi;

constexpr Colour rgb(std::uint32_t hex) { return 0xFF000000u | hex; }

int channel(Colour c, int shift) { return static_cast<int>((c >> shift) & 0xFFu); }

Colour mix(Colour a, Colour b, double t) {
  auto one = [&](int shift) {
    const double v = channel(a, shift) + (channel(b, shift) - channel(a, shift)) * t;
    return static_cast<Colour>(std::clamp(std::lround(v), 0L, 255L)) << shift;
  };
  return 0xFF000000u | one(16) | one(8) | one(0);
}

// Colour at t (0..1) along evenly spaced stops, snapped to `steps` flat bands.
Colour ramp(std::initializer_list<Colour> stops, double t, int steps) {
  t = std::clamp(t, 0.0, 1.0);
  t = std::min(std::floor(t * steps), steps - 1.0) / std::max(steps - 1, 1);
  const double pos = t * static_cast<double>(stops.size() - 1);
  const std::size_t i = std::min(static_cast<std::size_t>(pos), stops.size() - 2);
  return mix(stops.begin()[i], stops.begin()[i + 1], pos - static_cast<double>(i));
}

// Shadows darken what is under them; each shadow adds at most as many colours as it covers.
Colour shadowed(Colour c) { return mix(c, rgb(0x1A1030), 0.38); }

// ---------------------------------------------------------------- scanning shapes
// Each scan calls plot(x, y) for every pixel of `clip` whose centre lies inside the shape,
// so the same shapes can paint a picture or fill a mask.

struct Pt {
  double x, y;
};

struct Box {  // x1 and y1 are exclusive
  int x0, y0, x1, y1;
};

template <class Plot>
void scan_span(const Box& clip, int y, double left, double right, Plot& plot) {
  const int a = std::max(clip.x0, static_cast<int>(std::ceil(left - 0.5)));
  const int b = std::min(clip.x1, static_cast<int>(std::ceil(right - 0.5)));
  for (int x = a; x < b; ++x) plot(x, y);
}

template <class Plot>
void scan_ellipse(const Box& clip, double cx, double cy, double rx, double ry, Plot plot) {
  const int y0 = std::max(clip.y0, static_cast<int>(std::floor(cy - ry)));
  const int y1 = std::min(clip.y1, static_cast<int>(std::ceil(cy + ry)) + 1);
  for (int y = y0; y < y1; ++y) {
    const double t = (y + 0.5 - cy) / ry;
    if (t * t >= 1.0) continue;
    const double half = rx * std::sqrt(1.0 - t * t);
    scan_span(clip, y, cx - half, cx + half, plot);
  }
}

// Even-odd fill, so any simple polygon works, convex or not.
template <class Plot>
void scan_polygon(const Box& clip, const std::vector<Pt>& pts, Plot plot) {
  double top = pts[0].y, bottom = pts[0].y;
  for (const Pt& p : pts) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  const int y0 = std::max(clip.y0, static_cast<int>(std::floor(top)));
  const int y1 = std::min(clip.y1, static_cast<int>(std::ceil(bottom)) + 1);
  std::vector<double> xs;
  for (int y = y0; y < y1; ++y) {
    const double yc = y + 0.5;
    xs.clear();
    for (std::size_t i = 0; i < pts.size(); ++i) {
      const Pt& a = pts[i];
      const Pt& b = pts[(i + 1) % pts.size()];
      if ((a.y <= yc) != (b.y <= yc)) xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) scan_span(clip, y, xs[i], xs[i + 1], plot);
  }
}

// A thick line with round ends.
template <class Plot>
void scan_capsule(const Box& clip, Pt a, Pt b, double r, Plot plot) {
  const int x0 = std::max(clip.x0, static_cast<int>(std::floor(std::min(a.x, b.x) - r)));
  const int x1 = std::min(clip.x1, static_cast<int>(std::ceil(std::max(a.x, b.x) + r)) + 1);
  const int y0 = std::max(clip.y0, static_cast<int>(std::floor(std::min(a.y, b.y) - r)));
  const int y1 = std::min(clip.y1, static_cast<int>(std::ceil(std::max(a.y, b.y) + r)) + 1);
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = std::max(dx * dx + dy * dy, 1e-9);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
      const double t = std::clamp((px * dx + py * dy) / len2, 0.0, 1.0);
      const double ex = px - t * dx, ey = py - t * dy;
      if (ex * ex + ey * ey <= r * r) plot(x, y);
    }
  }
}

// ---------------------------------------------------------------- painter

class Painter {
 public:
  explicit Painter(Picture& picture) : pic_(picture), all_{0, 0, picture.width, picture.height} {}

  Picture& picture() { return pic_; }
  const Box& bounds() const { return all_; }

  void rect(int x, int y, int w, int h, Colour c) {
    for (int yy = std::max(y, 0); yy < std::min(y + h, all_.y1); ++yy)
      for (int xx = std::max(x, 0); xx < std::min(x + w, all_.x1); ++xx) pic_.at(xx, yy) = c;
  }
  void ellipse(double cx, double cy, double rx, double ry, Colour c) {
    scan_ellipse(all_, cx, cy, rx, ry, set(c));
  }
  void circle(double cx, double cy, double r, Colour c) { ellipse(cx, cy, r, r, c); }
  void polygon(const std::vector<Pt>& pts, Colour c) { scan_polygon(all_, pts, set(c)); }
  void line(Pt a, Pt b, double width, Colour c) { scan_capsule(all_, a, b, width / 2, set(c)); }
  void shadow_ellipse(double cx, double cy, double rx, double ry) {
    scan_ellipse(all_, cx, cy, rx, ry,
                 [this](int x, int y) { pic_.at(x, y) = shadowed(pic_.at(x, y)); });
  }

 private:
  struct Set {
    Picture& pic;
    Colour c;
    void operator()(int x, int y) const { pic.at(x, y) = c; }
  };
  Set set(Colour c) { return {pic_, c}; }
  Picture& pic_;
  Box all_;
};

// ---------------------------------------------------------------- masks

// Coverage over a box of the picture; reads outside the box are empty.
class Mask {
 public:
  explicit Mask(Box box)
      : box_(box), bits_(static_cast<std::size_t>(box.x1 - box.x0) * (box.y1 - box.y0), 0) {}

  bool operator()(int x, int y) const {
    return x >= box_.x0 && y >= box_.y0 && x < box_.x1 && y < box_.y1 && bits_[index(x, y)] != 0;
  }
  auto setter() {
    return [this](int x, int y) { bits_[index(x, y)] = 1; };
  }

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y - box_.y0) * (box_.x1 - box_.x0) + (x - box_.x0);
  }
  Box box_;
  std::vector<std::uint8_t> bits_;
};

// Approximate distance (in thirds of a pixel) from each pixel of the box to the nearest
// covered pixel: a two-pass 3-4 chamfer, cheap enough to outline lettering every start.
template <class Covered>
std::vector<int> chamfer_distance(const Box& box, Covered covered) {
  const int w = box.x1 - box.x0, h = box.y1 - box.y0;
  constexpr int far = 1 << 20;
  std::vector<int> d(static_cast<std::size_t>(w) * h);
  auto at = [&](int x, int y) -> int& { return d[static_cast<std::size_t>(y) * w + x]; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) at(x, y) = covered(x + box.x0, y + box.y0) ? 0 : far;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int& v = at(x, y);
      if (x > 0) v = std::min(v, at(x - 1, y) + 3);
      if (y > 0) {
        v = std::min(v, at(x, y - 1) + 3);
        if (x > 0) v = std::min(v, at(x - 1, y - 1) + 4);
        if (x + 1 < w) v = std::min(v, at(x + 1, y - 1) + 4);
      }
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    for (int x = w - 1; x >= 0; --x) {
      int& v = at(x, y);
      if (x + 1 < w) v = std::min(v, at(x + 1, y) + 3);
      if (y + 1 < h) {
        v = std::min(v, at(x, y + 1) + 3);
        if (x + 1 < w) v = std::min(v, at(x + 1, y + 1) + 4);
        if (x > 0) v = std::min(v, at(x - 1, y + 1) + 4);
      }
    }
  }
  return d;
}

// ---------------------------------------------------------------- lettering

struct Glyph {
  char ch;
  std::array<const char*, 7> rows;
};

// 5 x 7 dots; '#' is ink.
constexpr Glyph kFont[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
    {',', {".....", ".....", ".....", ".....", ".....", "..#..", ".#..."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {':', {".....", "..#..", ".....", ".....", ".....", "..#..", "....."}},
    {'\'', {"..#..", "..#..", ".....", ".....", ".....", ".....", "....."}},
};

const Glyph* find_glyph(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const Glyph& g : kFont)
    if (g.ch == c) return &g;
  return nullptr;  // drawn as a space
}

bool ink(const Glyph& g, int col, int row) {
  return col >= 0 && col < 5 && row >= 0 && row < 7 &&
         g.rows[static_cast<std::size_t>(row)][col] == '#';
}

// First and last inked column, so narrow letters such as I sit close to their neighbours.
std::pair<int, int> glyph_columns(const Glyph& g) {
  int first = 5, last = -1;
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 5; ++col)
      if (ink(g, col, row)) first = std::min(first, col), last = std::max(last, col);
  return {first, last};
}

struct TextStyle {
  int cell = 4;              // pixels per dot
  double stroke = 0;         // stroke radius for rounded lettering; 0 paints square dots
  int gap = 4;               // pixels between letters
  int outline = 2;           // dark rim around the letters
  int depth = 0;             // solid extrusion towards the lower right
  int bevel = 1;             // width of the lit upper-left and shaded lower-right edges
  int shadow = 0;            // drop shadow offset
  std::vector<Colour> face;  // bands from top to bottom
  Colour light = rgb(0xFFFFFF), dark = rgb(0x808080), rim = rgb(0x000000);
  Colour depth_near = rgb(0x404040), depth_far = rgb(0x202020);
};

int text_width(std::string_view text, const TextStyle& s) {
  int width = 0;
  for (char c : text) {
    const Glyph* g = find_glyph(c);
    const auto [first, last] = g ? glyph_columns(*g) : std::pair{0, -1};
    width += (last >= first ? last - first + 1 : 3) * s.cell + s.gap;
  }
  return std::max(0, width - s.gap);
}

// Ink of a line of text whose dot grid starts at (x, y). Rounded strokes join each dot
// to its ink neighbours; a diagonal is joined only where no straight path already turns
// the corner, which keeps corners from filling in.
Mask text_mask(std::string_view text, int x, int y, const TextStyle& s, const Box& box) {
  Mask mask(box);
  auto plot = mask.setter();
  for (char c : text) {
    const Glyph* g = find_glyph(c);
    // Plain ints, not a structured binding: older compilers cannot capture those.
    const std::pair<int, int> columns = g ? glyph_columns(*g) : std::pair{0, -1};
    const int first = columns.first, last = columns.second;
    if (last < first) {
      x += 3 * s.cell + s.gap;
      continue;
    }
    auto centre = [&](int col, int row) {
      return Pt{x + (col - first + 0.5) * s.cell, y + (row + 0.5) * s.cell};
    };
    for (int row = 0; row < 7; ++row) {
      for (int col = first; col <= last; ++col) {
        if (!ink(*g, col, row)) continue;
        if (s.stroke <= 0) {
          const int px = x + (col - first) * s.cell, py = y + row * s.cell;
          for (int yy = std::max(py, box.y0); yy < std::min(py + s.cell, box.y1); ++yy)
            for (int xx = std::max(px, box.x0); xx < std::min(px + s.cell, box.x1); ++xx)
              plot(xx, yy);
          continue;
        }
        const Pt p = centre(col, row);
        scan_capsule(box, p, p, s.stroke, plot);
        if (ink(*g, col + 1, row)) scan_capsule(box, p, centre(col + 1, row), s.stroke, plot);
        if (ink(*g, col, row + 1)) scan_capsule(box, p, centre(col, row + 1), s.stroke, plot);
        for (int side : {-1, 1}) {
          if (ink(*g, col + side, row + 1) && !ink(*g, col + side, row) && !ink(*g, col, row + 1))
            scan_capsule(box, p, centre(col + side, row + 1), s.stroke, plot);
        }
      }
    }
    x += (last - first + 1) * s.cell + s.gap;
  }
  return mask;
}

// Lettering with banded face, bevelled edges, extrusion, dark rim and drop shadow.
// (x, y) is the top-left of the dot grid.
void draw_text(Painter& painter, std::string_view text, int x, int y, const TextStyle& s) {
  const int over = static_cast<int>(std::ceil(std::max(0.0, s.stroke - s.cell / 2.0)));
  const int margin = over + s.outline + s.depth + s.shadow + 2;
  const Box& all = painter.bounds();
  const Box box{std::max(all.x0, x - margin), std::max(all.y0, y - margin),
                std::min(all.x1, x + text_width(text, s) + margin),
                std::min(all.y1, y + 7 * s.cell + margin)};
  if (box.x0 >= box.x1 || box.y0 >= box.y1) return;
  const Mask face = text_mask(text, x, y, s, box);

  // For each pixel, how many steps up-left along the diagonal the nearest ink is; the
  // extrusion is where that is 1..depth. One pass, since each row needs only the last.
  const int w = box.x1 - box.x0, h = box.y1 - box.y0;
  constexpr int kNone = 1 << 20;
  std::vector<int> steps(static_cast<std::size_t>(w) * h, kNone);
  auto step_at = [&](int px, int py) -> int& {
    return steps[static_cast<std::size_t>(py - box.y0) * w + (px - box.x0)];
  };
  for (int py = box.y0 + 1; py < box.y1; ++py)
    for (int px = box.x0 + 1; px < box.x1; ++px)
      step_at(px, py) = face(px - 1, py - 1) ? 1 : std::min(kNone, step_at(px - 1, py - 1) + 1);
  auto extrusion = [&](int px, int py) {
    const int k = step_at(px, py);
    return k <= s.depth ? k : 0;
  };
  const std::vector<int> dist =
      chamfer_distance(box, [&](int px, int py) { return face(px, py) || extrusion(px, py) > 0; });
  auto halo = [&](int px, int py) {
    if (px < box.x0 || py < box.y0 || px >= box.x1 || py >= box.y1) return false;
    return dist[static_cast<std::size_t>(py - box.y0) * w + (px - box.x0)] <= 3 * s.outline + 1;
  };

  const double top = y - over, height = 7.0 * s.cell + 2 * over;
  const int bands = static_cast<int>(s.face.size());
  Picture& pic = painter.picture();
  for (int py = box.y0; py < box.y1; ++py) {
    const int band = std::clamp(static_cast<int>((py - top) / height * bands), 0, bands - 1);
    for (int px = box.x0; px < box.x1; ++px) {
      Colour& out = pic.at(px, py);
      if (face(px, py)) {
        if (!face(px - s.bevel, py - s.bevel))
          out = s.light;
        else if (!face(px + s.bevel, py + s.bevel))
          out = s.dark;
        else
          out = s.face[static_cast<std::size_t>(band)];
      } else if (const int k = extrusion(px, py); k > 0) {
        out = 2 * k <= s.depth + 1 ? s.depth_near : s.depth_far;
      } else if (halo(px, py)) {
        out = s.rim;
      } else if (s.shadow > 0 && halo(px - s.shadow, py - s.shadow)) {
        out = shadowed(out);
      }
    }
  }
}

void draw_text_centred(Painter& painter, std::string_view text, int centre_x, int y,
                       const TextStyle& s) {
  draw_text(painter, text, centre_x - text_width(text, s) / 2, y, s);
}

// Four-pointed twinkle.
void sparkle(Painter& p, double cx, double cy, double r, Colour c) {
  const double k = r * 0.22;
  p.polygon({{cx, cy - r},
             {cx + k, cy - k},
             {cx + r, cy},
             {cx + k, cy + k},
             {cx, cy + r},
             {cx - k, cy + k},
             {cx - r, cy},
             {cx - k, cy - k}},
            c);
}

// ================================================================ the title picture

constexpr int kFloorTop = 276;    // first row of the tiled floor
constexpr double kVanishY = 200;  // where the floor's lines meet, hidden behind the hills
constexpr double kVanishX = kTitleShownWidth / 2.0;

void paint_sky(Painter& p) {
  constexpr int kBand = 12;
  for (int y = 0; y < kFloorTop; y += kBand) {
    const Colour c =
        ramp({rgb(0x2A5BB5), rgb(0x4C8FE0), rgb(0x8CC4F0), rgb(0xD8EAF0), rgb(0xFFE2A8)},
             (y + kBand / 2.0) / 250.0, 24);
    p.rect(0, y, kTitlePictureWidth, kBand, c);
  }
}

void paint_sun(Painter& p, double cx, double cy) {
  const Colour ray = rgb(0xFFE680);
  for (int i = 0; i < 12; ++i) {  // wedges between the glow rings and a little beyond
    const double a = i * kPi / 6 + 0.12, spread = 0.11;
    const double r0 = 50, r1 = 78;
    p.polygon({{cx + r0 * std::cos(a - spread), cy + r0 * std::sin(a - spread)},
               {cx + r1 * std::cos(a), cy + r1 * std::sin(a)},
               {cx + r0 * std::cos(a + spread), cy + r0 * std::sin(a + spread)}},
              ray);
  }
  p.circle(cx, cy, 52, rgb(0xFFD95E));
  p.circle(cx, cy, 44, rgb(0xFFC53A));
  p.circle(cx, cy, 38, rgb(0xFFE45C));
  p.circle(cx - 9, cy - 9, 24, rgb(0xFFF09A));
  p.circle(cx - 14, cy - 14, 9, rgb(0xFFFBD8));
}

void paint_cloud(Painter& p, double cx, double cy, double s) {
  struct Puff {
    double dx, dy, r;
  };
  constexpr Puff puffs[] = {{-38, 4, 17}, {-16, -8, 24}, {12, -14, 27}, {36, -2, 19}, {52, 6, 12}};
  for (const Puff& f : puffs)
    p.circle(cx + f.dx * s, cy + f.dy * s + 5 * s, f.r * s, rgb(0xB9CDE8));
  p.ellipse(cx + 6 * s, cy + 12 * s, 56 * s, 10 * s, rgb(0xB9CDE8));
  for (const Puff& f : puffs) p.circle(cx + f.dx * s, cy + f.dy * s, f.r * s, rgb(0xF4F8FF));
  p.ellipse(cx + 6 * s, cy + 7 * s, 52 * s, 9 * s, rgb(0xF4F8FF));
  p.circle(cx - 20 * s, cy - 13 * s, 9 * s, rgb(0xFFFFFF));
  p.circle(cx + 6 * s, cy - 22 * s, 11 * s, rgb(0xFFFFFF));
}

void paint_bird(Painter& p, double x, double y, double s) {
  const Colour c = rgb(0x2B2F55);
  p.line({x - 9 * s, y - 4 * s}, {x, y + 1 * s}, 2.6 * s, c);
  p.line({x, y + 1 * s}, {x + 9 * s, y - 5 * s}, 2.6 * s, c);
}

// Rocky peaks lit from the left: each slope facing the sun is lighter, high ground is snow.
void paint_mountains(Painter& p) {
  const std::vector<Pt> ridge = {{-20, 205}, {35, 178},  {90, 198},  {150, 156}, {215, 196},
                                 {268, 170}, {318, 192}, {392, 150}, {458, 194}, {520, 163},
                                 {578, 190}, {640, 147}, {705, 184}, {765, 160}, {830, 196}};
  Picture& pic = p.picture();
  for (std::size_t i = 0; i + 1 < ridge.size(); ++i) {
    const Pt a = ridge[i], b = ridge[i + 1];
    const bool sunlit = b.y < a.y;  // slope climbing to the right faces the sun
    for (int x = std::max(0, static_cast<int>(std::ceil(a.x)));
         x < std::min<double>(b.x, pic.width); ++x) {
      const double top = a.y + (x - a.x) * (b.y - a.y) / (b.x - a.x);
      const double snow_line = 166 + std::abs((x % 14) - 7) * 0.9;
      for (int y = static_cast<int>(std::ceil(top)); y < kFloorTop; ++y) {
        const bool snow = y < snow_line;
        pic.at(x, y) = snow ? (sunlit ? rgb(0xFFFFFF) : rgb(0xC8D2F0))
                            : (sunlit ? rgb(0x9AA4DA) : rgb(0x6F78B8));
      }
    }
  }
}

double hill_ridge(double x) {
  return 226 + 9 * std::sin(x * 0.013 + 1.1) + 5 * std::sin(x * 0.037);
}
double field_ridge(double x) {
  return 248 + 12 * std::sin(x * 0.0095 + 2.4) + 6 * std::sin(x * 0.027 + 0.6);
}

// Two rows of hills; the nearer one is a patchwork of fields.
void paint_hills(Painter& p) {
  Picture& pic = p.picture();
  constexpr Colour fields[] = {rgb(0x8CC63F), rgb(0x5FA83A), rgb(0xC2DB5C), rgb(0xE6CF5A),
                               rgb(0x74B84A)};
  for (int x = 0; x < pic.width; ++x) {
    const int far_top = static_cast<int>(hill_ridge(x));
    const int near_top = static_cast<int>(field_ridge(x));
    for (int y = far_top; y < near_top; ++y)
      pic.at(x, y) = y < far_top + 3 ? rgb(0x8FC98A) : rgb(0x5E9F73);
    for (int y = near_top; y < kFloorTop; ++y) {
      const int below = y - near_top;
      const int column = static_cast<int>(std::floor((x + below * 2.2) / 74.0));
      const int row = below / 9;
      const bool furrow = below > 2 && (static_cast<int>(x + below * 2.2) % 74) < 2;
      Colour c = fields[static_cast<std::size_t>((column * 3 + row * 2 + 100) % 5)];
      if (below < 2) c = rgb(0xB8E07A);
      if (furrow) c = rgb(0x4E8A34);
      pic.at(x, y) = c;
    }
  }
}

void paint_pine(Painter& p, double x, double base, double h) {
  p.rect(static_cast<int>(x - h * 0.06), static_cast<int>(base - h * 0.22),
         static_cast<int>(std::max(2.0, h * 0.12)), static_cast<int>(h * 0.22), rgb(0x6B4226));
  for (int tier = 0; tier < 3; ++tier) {
    const double top = base - h + tier * h * 0.22, bottom = top + h * 0.42;
    const double half = h * (0.2 + tier * 0.07);
    p.polygon({{x, top}, {x + half, bottom}, {x - half, bottom}}, rgb(0x1F6B3A));
    p.polygon({{x, top}, {x, bottom}, {x - half, bottom}}, rgb(0x2F8A4A));
  }
}

void paint_round_tree(Painter& p, double x, double base, double h) {
  p.rect(static_cast<int>(x - h * 0.07), static_cast<int>(base - h * 0.45),
         static_cast<int>(h * 0.14), static_cast<int>(h * 0.45), rgb(0x7A4A2A));
  const double r = h * 0.34, cy = base - h + r;
  p.circle(x, cy, r, rgb(0x2E7D32));
  p.circle(x - r * 0.18, cy - r * 0.15, r * 0.8, rgb(0x43A047));
  p.circle(x - r * 0.35, cy - r * 0.35, r * 0.35, rgb(0x7CC576));
  p.circle(x + r * 0.3, cy + r * 0.25, r * 0.14, rgb(0xE53935));  // an apple or two
  p.circle(x - r * 0.3, cy + r * 0.35, r * 0.12, rgb(0xE53935));
}

void paint_house(Painter& p, double x, double base) {
  p.rect(static_cast<int>(x), static_cast<int>(base - 26), 38, 26, rgb(0xF3E6C8));
  p.rect(static_cast<int>(x + 26), static_cast<int>(base - 26), 12, 26, rgb(0xD9C7A3));
  p.polygon({{x - 5, base - 25}, {x + 19, base - 45}, {x + 43, base - 25}}, rgb(0xC0392B));
  p.polygon({{x + 19, base - 45}, {x + 43, base - 25}, {x + 28, base - 25}}, rgb(0x962D22));
  p.rect(static_cast<int>(x + 6), static_cast<int>(base - 14), 8, 14, rgb(0x7A4A2A));
  p.rect(static_cast<int>(x + 18), static_cast<int>(base - 20), 7, 7, rgb(0x4FC3F7));
  p.rect(static_cast<int>(x + 30), static_cast<int>(base - 41), 5, 10, rgb(0x6D4C41));  // chimney
}

void paint_windmill(Painter& p, double x, double base) {
  p.polygon({{x - 14, base}, {x - 8, base - 58}, {x + 8, base - 58}, {x + 14, base}},
            rgb(0xF2EEE6));
  p.polygon({{x + 3, base}, {x + 3, base - 58}, {x + 8, base - 58}, {x + 14, base}}, rgb(0xCFC8BC));
  p.polygon({{x - 11, base - 57}, {x, base - 70}, {x + 11, base - 57}}, rgb(0x8E3B2E));
  p.rect(static_cast<int>(x - 4), static_cast<int>(base - 14), 8, 14, rgb(0x5D4037));
  const Pt hub{x, base - 56};
  for (int i = 0; i < 4; ++i) {
    const double a = 0.35 + i * kPi / 2, c = std::cos(a), s = std::sin(a);
    auto at = [&](double along, double across) {
      return Pt{hub.x + c * along - s * across, hub.y + s * along + c * across};
    };
    p.line(hub, at(40, 0), 3, rgb(0x6D4C41));
    p.polygon({at(10, 1), at(40, 1), at(40, 9), at(10, 7)}, i % 2 ? rgb(0xEFEBE3) : rgb(0xD84C3E));
  }
  p.circle(hub.x, hub.y, 3.5, rgb(0x3E2723));
}

// Tiles in perspective: cream squares alternate with coloured ones whose colour runs along
// diagonals, so every stretch of floor looks different. Far rows fade into the haze.
void paint_floor(Painter& p) {
  constexpr Colour dark_tiles[] = {rgb(0xE5675A), rgb(0x2E9F98), rgb(0xF0AF3A), rgb(0x7D63C4)};
  const Colour cream = rgb(0xFFF2D9), haze = rgb(0xF6DCC4), grout = rgb(0x5B4A6E);
  constexpr double kDepth = 560, kSpread = 2.8;
  Picture& pic = p.picture();
  for (int y = kFloorTop; y < pic.height; ++y) {
    const double dy = y + 0.5 - kVanishY;
    const double depth = kDepth / dy + 0.35;
    const int row = static_cast<int>(std::floor(depth));
    const double fog = dy < 95 ? 0.45 : dy < 125 ? 0.3 : dy < 165 ? 0.15 : 0.0;
    const double grout_w = 0.05;
    const bool row_edge = depth - row < grout_w * 0.7 * (1 + 60 / dy);
    // The few colours this row can use, faded once for the whole row.
    std::array<Colour, 6> tones = {grout,         cream,         dark_tiles[0],
                                   dark_tiles[1], dark_tiles[2], dark_tiles[3]};
    if (fog > 0)
      for (Colour& c : tones) c = mix(c, haze, fog);
    for (int x = 0; x < pic.width; ++x) {
      const double u = (x + 0.5 - kVanishX) * kSpread / dy + 0.5;
      const int col = static_cast<int>(std::floor(u));
      std::size_t tone;
      if (row_edge || u - col < grout_w)
        tone = 0;
      else if (((col + row) & 1) == 0)
        tone = 1;
      else
        tone = 2 + static_cast<std::size_t>((((col - row - 1) / 2) % 4 + 4) % 4);
      pic.at(x, y) = tones[tone];
    }
  }
}

void paint_hedge(Painter& p) {
  for (int i = 0; i < 48; ++i) {
    const double x = i * 17.5 - 4, y = kFloorTop + 1 + (i % 3) * 1.5;
    p.circle(x, y, 11, rgb(0x256B35));
  }
  for (int i = 0; i < 48; ++i) {
    const double x = i * 17.5 - 6, y = kFloorTop - 2 + (i % 3) * 1.5;
    p.circle(x, y, 7, rgb(0x3C8F45));
    constexpr Colour flowers[] = {rgb(0xFF8FB1), rgb(0xFFFFFF), rgb(0xFFE14D)};
    if (i % 2 == 0) p.circle(x + 4, y + 2, 2.2, flowers[static_cast<std::size_t>((i / 2) % 3)]);
  }
  p.rect(0, kFloorTop + 9, kTitlePictureWidth, 3, rgb(0x1E4D2B));
}

// Solid toys standing on the floor, lit like the rest of the scene from the upper left.
void paint_cube(Painter& p, double x, double base, double s, Colour c) {
  const double d = s * 0.45;  // depth of the visible top and side
  p.shadow_ellipse(x + s * 0.55 + d * 0.3, base + 2, s * 0.75 + d * 0.5, s * 0.14);
  p.polygon({{x, base}, {x, base - s}, {x + s, base - s}, {x + s, base}},
            mix(c, rgb(0x000000), 0.1));
  p.polygon({{x, base - s}, {x + d, base - s - d}, {x + s + d, base - s - d}, {x + s, base - s}},
            mix(c, rgb(0xFFFFFF), 0.35));
  p.polygon({{x + s, base}, {x + s, base - s}, {x + s + d, base - s - d}, {x + s + d, base - d}},
            mix(c, rgb(0x000000), 0.35));
  p.rect(static_cast<int>(x + s * 0.3), static_cast<int>(base - s * 0.7), static_cast<int>(s * 0.4),
         static_cast<int>(s * 0.4), mix(c, rgb(0xFFFFFF), 0.6));  // a spot on the front face
}

void paint_ball(Painter& p, double x, double base, double r, Colour c) {
  p.shadow_ellipse(x + r * 0.25, base, r * 1.05, r * 0.25);
  p.circle(x, base - r, r + 2, rgb(0x2B1A4A));
  p.circle(x, base - r, r, mix(c, rgb(0x000000), 0.3));
  p.circle(x - r * 0.12, base - r * 1.1, r * 0.84, c);
  p.circle(x - r * 0.35, base - r * 1.45, r * 0.22, mix(c, rgb(0xFFFFFF), 0.7));
}

void paint_pyramid(Painter& p, double x, double base, double s, Colour c) {
  p.shadow_ellipse(x + s * 0.3, base + 1, s * 0.85, s * 0.14);
  p.polygon({{x - s * 0.55, base}, {x, base - s}, {x + s * 0.1, base + s * 0.04}},
            mix(c, rgb(0xFFFFFF), 0.25));
  p.polygon({{x + s * 0.1, base + s * 0.04}, {x, base - s}, {x + s * 0.55, base - s * 0.06}},
            mix(c, rgb(0x000000), 0.3));
}

void paint_banner(Painter& p, int cx, int top, int width, int height) {
  const double r = height / 2.0, left = cx - width / 2.0 + r, right = cx + width / 2.0 - r;
  const double mid = top + r;
  auto pill = [&](double grow, double dy, Colour c) {
    p.line({left, mid + dy}, {right, mid + dy}, 2 * (r + grow), c);
  };
  scan_capsule(p.bounds(), Pt{left + 7, mid + 8}, Pt{right + 7, mid + 8}, r + 3,
               [&](int x, int y) { p.picture().at(x, y) = shadowed(p.picture().at(x, y)); });
  pill(3, 0, rgb(0x2B1A4A));
  pill(0, 0, rgb(0xFFC53A));
  pill(-4, 0, rgb(0x3B3FA8));
  pill(-6, -3, rgb(0x4F55C8));  // lighter upper half
  p.rect(static_cast<int>(left), static_cast<int>(mid + 2), static_cast<int>(right - left), 1,
         rgb(0x3B3FA8));
}

}  // namespace

Picture make_title_picture() {
  Picture pic(kTitlePictureWidth, kTitlePictureHeight);
  Painter p(pic);

  paint_sky(p);
  paint_sun(p, 46, 54);
  paint_cloud(p, 700, 132, 0.9);
  paint_cloud(p, 52, 178, 0.7);
  paint_cloud(p, 480, 200, 0.55);
  paint_bird(p, 700, 34, 1.0);
  paint_bird(p, 724, 54, 0.8);
  paint_bird(p, 676, 64, 0.6);
  paint_mountains(p);
  paint_hills(p);
  paint_floor(p);

  paint_house(p, 150, field_ridge(160) + 8);
  paint_windmill(p, 655, field_ridge(655) + 8);
  for (double x : {40.0, 470.0, 730.0}) paint_round_tree(p, x, field_ridge(x) + 6, 40);
  for (double x : {92.0, 108.0, 258.0, 560.0, 578.0, 775.0})
    paint_pine(p, x, hill_ridge(x) + 10, 34);
  for (double x : {320.0, 410.0, 600.0}) paint_pine(p, x, field_ridge(x) + 8, 44);
  paint_hedge(p);

  // Toys on the floor at either side of the invitation.
  paint_cube(p, 28, 372, 42, rgb(0xE53935));
  paint_cube(p, 41, 323, 30, rgb(0x1E88E5));
  paint_ball(p, 125, 366, 20, rgb(0xFDD835));
  paint_pyramid(p, 640, 372, 58, rgb(0x43A047));
  paint_ball(p, 706, 374, 24, rgb(0xAB47BC));
  paint_cube(p, 590, 316, 22, rgb(0xFF7043));
  paint_ball(p, 300, 560, 34, rgb(0x26C6DA));
  paint_cube(p, 520, 560, 56, rgb(0xEC407A));

  TextStyle title;
  title.cell = 14;
  title.stroke = 9;
  title.gap = 16;
  title.outline = 3;
  title.depth = 7;
  title.bevel = 3;
  title.shadow = 6;
  title.face = {rgb(0xFFF3A0), rgb(0xFFE14D), rgb(0xFFC61A),
                rgb(0xFFA51C), rgb(0xF7821E), rgb(0xEA5B1A)};
  title.light = rgb(0xFFFFE6);
  title.dark = rgb(0xC4420E);
  title.rim = rgb(0x2B1A4A);
  title.depth_near = rgb(0xB8341B);
  title.depth_far = rgb(0x7A1F2E);
  draw_text_centred(p, "JUMBLIX", kTitleShownWidth / 2, 22, title);
  sparkle(p, 660, 26, 16, rgb(0xFFFFFF));
  sparkle(p, 104, 120, 12, rgb(0xFFFFFF));

  TextStyle sub;
  sub.cell = 4;
  sub.stroke = 2.6;
  sub.gap = 5;
  sub.outline = 2;
  sub.shadow = 3;
  sub.face = {rgb(0xFFFFFF), rgb(0xFFFFFF), rgb(0xE8F1FF)};
  sub.light = rgb(0xFFFFFF);
  sub.dark = rgb(0xC9D6F0);
  sub.rim = rgb(0x2B1A4A);
  draw_text_centred(p, "A SLIDING PICTURE PUZZLE", kTitleShownWidth / 2, 146, sub);

  paint_banner(p, kTitleShownWidth / 2, 312, 450, 56);
  TextStyle invite;
  invite.cell = 5;
  invite.stroke = 3.2;
  invite.gap = 6;
  invite.outline = 2;
  invite.face = {rgb(0xFFF6B0), rgb(0xFFE14D), rgb(0xFFC61A)};
  invite.light = rgb(0xFFFFFF);
  invite.dark = rgb(0xE0901A);
  invite.rim = rgb(0x1C1450);
  draw_text_centred(p, "CLICK TO BEGIN", kTitleShownWidth / 2, 323, invite);
  return pic;
}

// ================================================================ the moving picture

namespace {

constexpr double kBalloonX = kMovingPictureWidth / 2.0;
constexpr double kBalloonY = 96;  // centre of the round top
constexpr double kBalloonR = 86;
constexpr double kBalloonBottom = 180;
constexpr double kSkirtHalf = 24;

// Half the envelope's width at row y: a circle on top narrowing smoothly to the skirt.
double envelope_half(double y) {
  if (y <= kBalloonY) {
    const double d = y - kBalloonY;
    return d * d >= kBalloonR * kBalloonR ? 0 : std::sqrt(kBalloonR * kBalloonR - d * d);
  }
  const double t = std::min(1.0, (y - kBalloonY) / (kBalloonBottom - kBalloonY));
  return kSkirtHalf + (kBalloonR - kSkirtHalf) * std::pow(std::cos(t * kPi / 2), 0.85);
}

bool in_envelope(int x, int y) {
  const double yc = y + 0.5;
  return yc > kBalloonY - kBalloonR && yc < kBalloonBottom &&
         std::abs(x + 0.5 - kBalloonX) < envelope_half(yc);
}

// Curved gores in six colours, each in three tones lit from the upper left, with dark
// seams and a dark rim.
void paint_envelope(Picture& pic) {
  constexpr Colour gores[][3] = {
      // light, mid, dark
      {rgb(0xFF8A80), rgb(0xE53935), rgb(0xA82424)}, {rgb(0xFFF176), rgb(0xFDD835), rgb(0xD4A017)},
      {rgb(0x81D4FA), rgb(0x1E88E5), rgb(0x1553A0)}, {rgb(0xA5E887), rgb(0x43A047), rgb(0x2B7031)},
      {rgb(0xFFCC80), rgb(0xFB8C00), rgb(0xC05F00)}, {rgb(0xCE93D8), rgb(0x8E44AD), rgb(0x5E2B7A)},
  };
  constexpr int kGores = 9;
  constexpr int kRim = 3;
  const Box box{0, 0, pic.width, std::min(pic.height, static_cast<int>(kBalloonBottom) + kRim + 2)};
  const std::vector<int> dist = chamfer_distance(box, in_envelope);
  for (int y = box.y0; y < box.y1; ++y) {
    const double yc = y + 0.5;
    const double half = envelope_half(yc);
    for (int x = box.x0; x < box.x1; ++x) {
      const int d = dist[static_cast<std::size_t>(y) * box.x1 + x];
      if (d > 3 * kRim + 1) continue;
      if (d > 0) {
        pic.at(x, y) = rgb(0x2B1A4A);
        continue;
      }
      const double u = (x + 0.5 - kBalloonX) / half;
      const double g = (std::asin(std::clamp(u, -1.0, 1.0)) + kPi / 2) / kPi * kGores;
      const int gore = std::min(static_cast<int>(g), kGores - 1);
      // Gore units per pixel here, so seams stay about a pixel wide across the curve.
      const double per_pixel = kGores / (kPi * half * std::sqrt(std::max(1 - u * u, 1e-3)));
      const bool seam = gore > 0 && g - gore < std::min(per_pixel, 0.25);
      const double lit = -0.75 * u - 0.55 * (yc - kBalloonY) / kBalloonR;
      const int tone = lit > 0.45 ? 0 : lit > -0.35 ? 1 : 2;
      pic.at(x, y) = seam ? rgb(0x2B1A4A) : gores[gore % 6][tone];
    }
  }
}

void paint_face(Painter& p) {
  const Colour ink = rgb(0x2B1A4A);
  for (int side : {-1, 1}) {
    const double ex = kBalloonX + side * 28, ey = 70;
    p.ellipse(ex, ey, 16, 20, ink);
    p.ellipse(ex, ey, 13, 17, rgb(0xFFFFFF));
    p.ellipse(ex + side * -3 + 2, ey + 4, 7.5, 9.5, ink);
    p.circle(ex + side * -3 - 1, ey, 3, rgb(0xFFFFFF));
    p.line({ex - 12, ey - 27 - side * 2}, {ex + 12, ey - 27 + side * 2}, 4, ink);  // eyebrows
    p.ellipse(kBalloonX + side * 52, 100, 11, 7, rgb(0xFF7FAA));                   // cheeks
  }
  // Open smile: dark mouth, red tongue, rim.
  std::vector<Pt> mouth;
  for (int i = 0; i <= 16; ++i) {
    const double a = kPi * i / 16;
    mouth.push_back({kBalloonX - 26 * std::cos(a), 96 + 20 * std::sin(a)});
  }
  std::vector<Pt> rim_shape;
  for (const Pt& m : mouth)
    rim_shape.push_back({kBalloonX + (m.x - kBalloonX) * 1.14, 94 + (m.y - 96) * 1.2});
  p.polygon(rim_shape, ink);
  p.polygon(mouth, rgb(0x7A1F2E));
  p.ellipse(kBalloonX, 109, 13, 6, rgb(0xFF5A6E));
  p.rect(static_cast<int>(kBalloonX - 20), 96, 40, 4, rgb(0xFFFFFF));  // teeth
}

void paint_band(Painter& p) {
  Picture& pic = p.picture();
  const int top = 126, bottom = 150;
  for (int y = top - 3; y < bottom + 3; ++y) {
    const double half = envelope_half(y + 0.5);
    for (int x = 0; x < pic.width; ++x) {
      const double dx = std::abs(x + 0.5 - kBalloonX);
      if (dx >= half) continue;
      const bool edge = y < top || y >= bottom;
      pic.at(x, y) = edge ? rgb(0x2B1A4A) : (dx > half * 0.8 ? rgb(0xE0C27A) : rgb(0xFFF1C9));
    }
  }
  TextStyle s;
  s.cell = 3;
  s.gap = 3;
  s.outline = 1;
  s.face = {rgb(0xE53935), rgb(0xC62828)};
  s.light = rgb(0xFF7A6E);
  s.dark = rgb(0x8E1B1B);
  s.rim = rgb(0x2B1A4A);
  draw_text_centred(p, "JUMBLIX", static_cast<int>(kBalloonX), top + 2, s);
}

void paint_basket(Painter& p) {
  const Colour ink = rgb(0x2B1A4A), rope = rgb(0x8D6E63);
  const double skirt_y = kBalloonBottom + 2, top = 204, left = kBalloonX - 28,
               right = kBalloonX + 28;
  // Skirt, ropes and the burner with its flame.
  p.polygon({{kBalloonX - kSkirtHalf - 3, skirt_y - 4},
             {kBalloonX + kSkirtHalf + 3, skirt_y - 4},
             {kBalloonX + 20, skirt_y + 10},
             {kBalloonX - 20, skirt_y + 10}},
            ink);
  p.polygon({{kBalloonX - kSkirtHalf, skirt_y - 2},
             {kBalloonX + kSkirtHalf, skirt_y - 2},
             {kBalloonX + 18, skirt_y + 7},
             {kBalloonX - 18, skirt_y + 7}},
            rgb(0xB23A48));
  for (double side : {-1.0, 1.0}) {
    p.line({kBalloonX + side * 18, skirt_y + 7}, {kBalloonX + side * 26, top}, 2.2, rope);
    p.line({kBalloonX + side * 8, skirt_y + 8}, {kBalloonX + side * 10, top}, 2.2, rope);
  }
  p.polygon({{kBalloonX - 7, top - 2},
             {kBalloonX - 4, skirt_y + 9},
             {kBalloonX, skirt_y + 4},
             {kBalloonX + 4, skirt_y + 9},
             {kBalloonX + 7, top - 2}},
            rgb(0xFF9800));
  p.polygon({{kBalloonX - 3, top - 2}, {kBalloonX, skirt_y + 11}, {kBalloonX + 3, top - 2}},
            rgb(0xFFEB3B));
  p.rect(static_cast<int>(kBalloonX - 9), static_cast<int>(top - 3), 18, 4, rgb(0x607D8B));

  // Wicker: staggered bricks of two browns inside a dark rim, with a rolled top edge.
  p.polygon({{left - 2, top - 2}, {right + 2, top - 2}, {right - 2, 234}, {left + 2, 234}}, ink);
  Picture& pic = p.picture();
  for (int y = static_cast<int>(top); y < 232; ++y) {
    const double inset = (y - top) * 4 / 30.0;
    for (int x = static_cast<int>(std::ceil(left + inset)); x < right - inset; ++x) {
      const int row = (y - static_cast<int>(top)) / 5;
      const int brick = (x + row * 4) / 8;
      const bool crack = (y - static_cast<int>(top)) % 5 == 4 || (x + row * 4) % 8 == 0;
      pic.at(x, y) = crack ? rgb(0x6D4325) : (brick + row) % 2 ? rgb(0xC98A4B) : rgb(0xB07434);
    }
  }
  p.rect(static_cast<int>(left - 3), static_cast<int>(top - 4), static_cast<int>(right - left + 6),
         7, ink);
  p.rect(static_cast<int>(left - 2), static_cast<int>(top - 3), static_cast<int>(right - left + 4),
         5, rgb(0x8D5A2B));
  // Sandbags at the sides.
  for (double side : {-1.0, 1.0}) {
    const double bx = kBalloonX + side * 36;
    p.line({kBalloonX + side * 26, top + 4}, {bx, top + 12}, 1.6, rope);
    p.circle(bx, top + 17, 7, ink);
    p.circle(bx, top + 17, 5.5, rgb(0xD7CCA1));
    p.circle(bx - 1.5, top + 15.5, 2, rgb(0xF5EFD6));
  }
}

}  // namespace

Picture make_moving_picture() {
  Picture pic(kMovingPictureWidth, kMovingPictureHeight, rgb(0xCDEBFF));
  Painter p(pic);

  // A sunburst behind the balloon: the corners of the picture all point a different way.
  constexpr int kRays = 11;
  for (int i = 0; i < kRays; ++i) {
    const double a0 = 2 * kPi * i / kRays + 0.2, a1 = a0 + kPi / kRays, far = 400;
    p.polygon({{kBalloonX, kBalloonY},
               {kBalloonX + far * std::cos(a0), kBalloonY + far * std::sin(a0)},
               {kBalloonX + far * std::cos(a1), kBalloonY + far * std::sin(a1)}},
              rgb(0xB3E0FF));
  }

  // Corner details so no piece of the puzzle is plain sky.
  paint_cloud(p, 38, 30, 0.42);
  paint_bird(p, 228, 20, 0.9);
  paint_bird(p, 250, 38, 0.7);
  paint_cloud(p, 32, 210, 0.5);
  paint_cloud(p, 232, 206, 0.38);
  sparkle(p, 244, 160, 8, rgb(0xFFFFFF));
  sparkle(p, 22, 150, 6, rgb(0xFFF59D));

  paint_envelope(pic);
  p.ellipse(kBalloonX - 48, 42, 14, 9, rgb(0xFFFFFF));  // shine
  paint_face(p);
  paint_band(p);
  paint_basket(p);
  return pic;
}

}  // namespace jumblix
