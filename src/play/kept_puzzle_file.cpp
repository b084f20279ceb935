#include "play/kept_puzzle_file.h"

#include <charconv>

#include "search/slide_board.h"

namespace jumblix {

namespace {

constexpr const char* kHeader = "Jumblix kept puzzle 1";
constexpr long long kMaxCount = 1000000000;
constexpr long long kMaxClockMs = 10000000000000;  // some three centuries

std::string escaped(const std::string& name) {
  std::string out;
  for (char c : name) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> unescaped(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

std::string cells_text(const std::vector<int>& cells) {
  std::string text;
  for (std::size_t i = 0; i < cells.size(); ++i) text += (i ? "," : "") + std::to_string(cells[i]);
  return text;
}

std::string digits_text(const std::vector<int>& codes) {
  if (codes.empty()) return "-";
  std::string text;
  text.reserve(codes.size());
  for (int c : codes) text += static_cast<char>('0' + c);
  return text;
}

std::string board_fields(const BoardSnapshot& b, bool with_user_and_counts) {
  std::string text = cells_text(b.cells) + "\t" + digits_text(b.turns) + "\t";
  if (with_user_and_counts) text += digits_text(b.user_moves.entries()) + "\t";
  text += digits_text(b.solution_moves.entries());
  if (with_user_and_counts) text += "\t" + std::to_string(b.counts.slides) + "\t" + std::to_string(b.counts.turns);
  return text;
}

const char* effect_word(HistoryEffect e) {
  switch (e) {
    case HistoryEffect::pushed_user: return "pushed";
    case HistoryEffect::popped_user: return "cancelled";
    case HistoryEffect::popped_solution: return "solution";
  }
  return "";
}

std::string step_line(const char* stack, const PlayStep& step) {
  switch (step.kind) {
    case PlayStep::Kind::slide:
      return std::string(stack) + "\tslide\t" + std::to_string(step.d) + "\t" + effect_word(step.effect) + "\t" +
             std::to_string(step.gap_turn) + "\n";
    case PlayStep::Kind::turn:
      return std::string(stack) + "\tturn\t" + std::to_string(step.cell.x) + "\t" + std::to_string(step.cell.y) + "\n";
    case PlayStep::Kind::restart:
      return std::string(stack) + "\trestart\t" + board_fields(*step.before, true) + "\n";
  }
  return {};
}

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = line.find(separator, start);
    fields.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return fields;
    start = at + 1;
  }
}

std::optional<long long> whole_number(const std::string& field, long long low, long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

std::optional<std::vector<int>> cells_field(const std::string& field, int count) {
  const std::vector<std::string> parts = split(field, ',');
  if (static_cast<int>(parts.size()) != count) return std::nullopt;
  std::vector<int> cells;
  cells.reserve(parts.size());
  for (const std::string& p : parts) {
    const auto v = whole_number(p, 0, count);
    if (!v) return std::nullopt;
    cells.push_back(static_cast<int>(*v));
  }
  return cells;
}

// Digits 1..4; "-" is an empty list. `count` >= 0 asks for exactly that many.
std::optional<std::vector<int>> digits_field(const std::string& field, int count = -1) {
  std::vector<int> codes;
  if (field != "-") {
    if (field.empty()) return std::nullopt;
    codes.reserve(field.size());
    for (char c : field) {
      if (c < '1' || c > '4') return std::nullopt;
      codes.push_back(c - '0');
    }
  }
  if (count >= 0 && static_cast<int>(codes.size()) != count) return std::nullopt;
  return codes;
}

MoveList move_list(const std::vector<int>& codes) {
  MoveList list;
  list.reserve(codes.size());
  for (int c : codes) list.push(c);
  return list;
}

// CELLS TURNS [USER] SOLUTION [SLIDES TURNCOUNT] from fields[at...].
std::optional<BoardSnapshot> board_from(const std::vector<std::string>& f, std::size_t at, int w, int h,
                                        bool with_user_and_counts) {
  if (f.size() != at + (with_user_and_counts ? 6 : 3)) return std::nullopt;
  BoardSnapshot b;
  b.w = w;
  b.h = h;
  auto cells = cells_field(f[at], w * h);
  auto turns = digits_field(f[at + 1], w * h);
  if (!cells || !turns) return std::nullopt;
  b.cells = std::move(*cells);
  b.turns = std::move(*turns);
  if (with_user_and_counts) {
    const auto user = digits_field(f[at + 2]);
    const auto solution = digits_field(f[at + 3]);
    const auto slides = whole_number(f[at + 4], 0, kMaxCount);
    const auto turn_count = whole_number(f[at + 5], 0, kMaxCount);
    if (!user || !solution || !slides || !turn_count) return std::nullopt;
    b.user_moves = move_list(*user);
    b.solution_moves = move_list(*solution);
    b.counts = {static_cast<int>(*slides), static_cast<int>(*turn_count)};
  } else {
    const auto solution = digits_field(f[at + 2]);
    if (!solution) return std::nullopt;
    b.solution_moves = move_list(*solution);
  }
  return b;
}

std::optional<PlayStep> step_from(const std::vector<std::string>& f, int w, int h) {
  if (f.size() < 2) return std::nullopt;
  if (f[1] == "slide" && f.size() == 5) {
    const auto d = whole_number(f[2], 1, 4);
    const auto gap_turn = whole_number(f[4], 1, 4);
    if (!d || !gap_turn) return std::nullopt;
    for (HistoryEffect e : {HistoryEffect::pushed_user, HistoryEffect::popped_user, HistoryEffect::popped_solution})
      if (f[3] == effect_word(e)) return PlayStep::slide(static_cast<int>(*d), e, static_cast<int>(*gap_turn));
    return std::nullopt;
  }
  if (f[1] == "turn" && f.size() == 4) {
    const auto x = whole_number(f[2], 1, w), y = whole_number(f[3], 1, h);
    if (!x || !y) return std::nullopt;
    return PlayStep::turn({static_cast<int>(*x), static_cast<int>(*y)});
  }
  if (f[1] == "restart") {
    auto before = board_from(f, 2, w, h, true);
    if (!before) return std::nullopt;
    return PlayStep::restart(std::move(*before));
  }
  return std::nullopt;
}

std::optional<KeptPuzzle> refuse(std::string* problem, std::string why) {
  if (problem) *problem = std::move(why);
  return std::nullopt;
}

bool finished(const BoardSnapshot& b) {
  for (int t : b.turns)
    if (t != kUpright) return false;
  return board_from_game_cells(b.w, b.h, b.cells).solved();
}

// Every step must fit the board it meets: undone from the board now, newest first, and made
// again from it, next first. A restart's board must itself be sound.
std::optional<std::string> steps_problem(const KeptPuzzle& k) {
  for (const auto* stack : {&k.undo, &k.redo}) {
    PuzzleState s;
    PlayCounts counts;
    restore_snapshot(s, counts, k.now);
    for (auto it = stack->rbegin(); it != stack->rend(); ++it) {
      if (it->kind == PlayStep::Kind::turn && !k.rotation) return std::string("a turn is kept although rotation is off");
      if (it->kind == PlayStep::Kind::restart)
        if (auto why = snapshot_problem(*it->before, k.rotation)) return "a restart's board is wrong: " + *why;
      const bool fits = stack == &k.undo ? undo_step(s, counts, *it) : redo_step(s, counts, *it, k.dealt);
      if (!fits) return std::string(stack == &k.undo ? "a step to undo" : "a step to redo") + " does not fit the board";
    }
  }
  return std::nullopt;
}

}  // namespace

std::string encode_kept_puzzle(const KeptPuzzle& k) {
  std::string text = std::string(kHeader) + "\n";
  text += std::string("picture\t") + (k.animated ? "animated" : "regular") + "\t" + escaped(k.picture) + "\n";
  text += "size\t" + std::to_string(k.now.w) + "\t" + std::to_string(k.now.h) + "\n";
  text += std::string("rotation\t") + (k.rotation ? "yes" : "no") + "\n";
  text += "dealt\t" + board_fields(k.dealt, false) + "\n";
  text += "now\t" + board_fields(k.now, true) + "\n";
  text += "clock\t" + std::to_string(static_cast<long long>(k.clock_ms)) + "\t" +
          (k.clock_started ? "running" : "stopped") + "\n";
  text += std::string("helped\t") + (k.helped ? "yes" : "no") + "\n";
  if (k.fewest)
    text += "fewest\t" + std::to_string(k.fewest->slides) + "\t" + (k.fewest->exact ? "exact" : "bound") + "\n";
  for (const PlayStep& step : k.undo) text += step_line("undo", step);
  for (const PlayStep& step : k.redo) text += step_line("redo", step);
  return text + "end\n";
}

std::optional<KeptPuzzle> decode_kept_puzzle(const std::string& text, std::string* problem) {
  if (text.size() > kMaxKeptPuzzleBytes) return refuse(problem, "it is too large");
  std::vector<std::string> lines = split(text, '\n');
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  if (lines.empty() || lines.front() != kHeader) return refuse(problem, "it is not a kept puzzle");
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.back() != "end") return refuse(problem, "it is cut short");

  KeptPuzzle k;
  std::size_t i = 1;
  auto fields = [&](const char* name) -> std::optional<std::vector<std::string>> {
    if (i + 1 >= lines.size()) return std::nullopt;
    std::vector<std::string> f = split(lines[i], '\t');
    if (f[0] != name) return std::nullopt;
    ++i;
    return f;
  };
  const auto picture = fields("picture");
  if (!picture || picture->size() != 3 || ((*picture)[1] != "regular" && (*picture)[1] != "animated"))
    return refuse(problem, "its picture line is wrong");
  const auto name = unescaped((*picture)[2]);
  if (!name || name->empty() || name->size() > 255 || name->find('/') != std::string::npos)
    return refuse(problem, "its picture name is wrong");
  k.animated = (*picture)[1] == "animated";
  k.picture = *name;

  const auto size = fields("size");
  const auto w = size && size->size() == 3 ? whole_number((*size)[1], kMinBoardSide, kMaxBoardSide) : std::nullopt;
  const auto h = size && size->size() == 3 ? whole_number((*size)[2], kMinBoardSide, kMaxBoardSide) : std::nullopt;
  if (!w || !h) return refuse(problem, "its size is wrong (2..20 cells a side)");
  const int W = static_cast<int>(*w), H = static_cast<int>(*h);

  const auto rotation = fields("rotation");
  if (!rotation || rotation->size() != 2 || ((*rotation)[1] != "yes" && (*rotation)[1] != "no"))
    return refuse(problem, "its rotation line is wrong");
  k.rotation = (*rotation)[1] == "yes";

  const auto dealt_line = fields("dealt");
  auto dealt = dealt_line ? board_from(*dealt_line, 1, W, H, false) : std::nullopt;
  if (!dealt) return refuse(problem, "its dealt board is unreadable");
  k.dealt = std::move(*dealt);
  const auto now_line = fields("now");
  auto now = now_line ? board_from(*now_line, 1, W, H, true) : std::nullopt;
  if (!now) return refuse(problem, "its board is unreadable");
  k.now = std::move(*now);

  const auto clock = fields("clock");
  const auto ms = clock && clock->size() == 3 ? whole_number((*clock)[1], 0, kMaxClockMs) : std::nullopt;
  if (!ms || ((*clock)[2] != "running" && (*clock)[2] != "stopped")) return refuse(problem, "its clock is wrong");
  k.clock_ms = static_cast<double>(*ms);
  k.clock_started = (*clock)[2] == "running";

  const auto helped = fields("helped");
  if (!helped || helped->size() != 2 || ((*helped)[1] != "yes" && (*helped)[1] != "no"))
    return refuse(problem, "its helped line is wrong");
  k.helped = (*helped)[1] == "yes";

  if (i + 1 < lines.size() && lines[i].rfind("fewest\t", 0) == 0) {
    const auto f = fields("fewest");
    const auto n = f->size() == 3 ? whole_number((*f)[1], 0, kMaxCount) : std::nullopt;
    if (!n || ((*f)[2] != "exact" && (*f)[2] != "bound")) return refuse(problem, "its fewest slides are wrong");
    k.fewest = FewestFigure{static_cast<int>(*n), (*f)[2] == "exact"};
  }

  for (; i + 1 < lines.size(); ++i) {
    const std::vector<std::string> f = split(lines[i], '\t');
    const bool undo = f[0] == "undo";
    if ((!undo && f[0] != "redo") || (undo && !k.redo.empty())) return refuse(problem, "a line of it is unknown");
    auto step = step_from(f, W, H);
    if (!step) return refuse(problem, "a step of it is unreadable");
    (undo ? k.undo : k.redo).push_back(std::move(*step));
  }

  if (!k.dealt.user_moves.empty()) return refuse(problem, "its dealt board is wrong");
  if (auto why = snapshot_problem(k.dealt, k.rotation)) return refuse(problem, "its dealt board is wrong: " + *why);
  if (auto why = snapshot_problem(k.now, k.rotation)) return refuse(problem, "its board is wrong: " + *why);
  if (finished(k.now)) return refuse(problem, "its puzzle is already solved");
  if (auto why = steps_problem(k)) return refuse(problem, "its steps are wrong: " + *why);
  return k;
}

}  // namespace jumblix
