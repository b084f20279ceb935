#include "puzzle/puzzle_code.h"

#include <chrono>
#include <cstring>

#include "search/line_by_line_solver.h"
#include "search/path_shortening.h"
#include "search/slide_board.h"

namespace jumblix {

namespace {

constexpr const char* kCodeHeader = "JX1";
constexpr const char* kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
// However large the board, the computer's way back is found well within this.
constexpr std::chrono::seconds kWayBackBudget{10};

int digit_value(char c) {
  const char* at = c != '\0' ? std::strchr(kDigits, c) : nullptr;
  return at ? static_cast<int>(at - kDigits) : -1;
}

int digits_per_cell(int w, int h) { return 4 * w * h <= 64 ? 1 : 2; }

bool kept_in_name(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::strchr("-_.~()+,!", c) != nullptr;
}

std::optional<int> hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

std::optional<std::string> decoded_name(const std::string& text) {
  std::string name;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      if (!kept_in_name(static_cast<unsigned char>(text[i]))) return std::nullopt;
      name += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const auto high = hex_value(text[i + 1]), low = hex_value(text[i + 2]);
    if (!high || !low) return std::nullopt;
    name += static_cast<char>(*high * 16 + *low);
    i += 2;
  }
  return name;
}

// Whole number of one or two digits, no sign, no leading zero.
std::optional<int> side(const std::string& text) {
  if (text.empty() || text.size() > 2 || text[0] == '0') return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<SharedDeal> refuse(std::string* problem, std::string why) {
  if (problem) *problem = std::move(why);
  return std::nullopt;
}

}  // namespace

bool picture_file_name(const std::string& name) {
  if (name.empty() || name.size() > kMaxPictureNameBytes || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  return true;
}

std::string puzzle_code(const SharedDeal& deal) {
  std::string code = std::string(kCodeHeader) + "." + (deal.animated ? "a" : "r") + std::to_string(deal.w) + "x" +
                     std::to_string(deal.h) + (deal.rotation ? "t" : "n") + ".";
  const int digits = digits_per_cell(deal.w, deal.h);
  for (std::size_t i = 0; i < deal.cells.size(); ++i) {
    const int index = deal.cells[i] == 0 ? 0 : deal.cells[i] - 1;
    const int value = 4 * index + (i < deal.turns.size() ? deal.turns[i] : 1) - 1;
    if (digits == 2) code += kDigits[(value / 64) % 64];
    code += kDigits[value % 64];
  }
  code += ".";
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : deal.picture) {
    if (kept_in_name(c)) {
      code += static_cast<char>(c);
    } else {
      code += '%';
      code += kHex[c / 16];
      code += kHex[c % 16];
    }
  }
  return code;
}

std::optional<SharedDeal> read_puzzle_code(const std::string& pasted, std::string* problem) {
  if (pasted.size() > 4 * kMaxPuzzleCodeLength) return refuse(problem, "the code is far too long");
  std::string code;
  for (char c : pasted)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') code += c;
  if (code.empty()) return refuse(problem, "no code was given");
  if (code.size() > kMaxPuzzleCodeLength) return refuse(problem, "the code is too long");

  // Header, kind and size, board, then the name (which may hold dots of its own).
  std::size_t dots[3];
  std::size_t from = 0;
  for (std::size_t& dot : dots) {
    dot = code.find('.', from);
    if (dot == std::string::npos) return refuse(problem, "the code is cut short");
    from = dot + 1;
  }
  if (code.substr(0, dots[0]) != kCodeHeader) return refuse(problem, "it is not a Jumblix puzzle code");
  const std::string shape = code.substr(dots[0] + 1, dots[1] - dots[0] - 1);
  const std::string board = code.substr(dots[1] + 1, dots[2] - dots[1] - 1);
  const std::string name = code.substr(dots[2] + 1);

  SharedDeal deal;
  const std::size_t x = shape.find('x');
  if (shape.size() < 5 || (shape[0] != 'r' && shape[0] != 'a') || (shape.back() != 't' && shape.back() != 'n') ||
      x == std::string::npos)
    return refuse(problem, "the kind, size or rotation is unreadable");
  deal.animated = shape[0] == 'a';
  deal.rotation = shape.back() == 't';
  const auto w = side(shape.substr(1, x - 1));
  const auto h = side(shape.substr(x + 1, shape.size() - x - 2));
  if (!w || !h) return refuse(problem, "the size is unreadable");
  if (*w < kMinBoardSide || *w > kMaxBoardSide || *h < kMinBoardSide || *h > kMaxBoardSide)
    return refuse(problem, "the size " + std::to_string(*w) + " x " + std::to_string(*h) + " is outside 2..20");
  deal.w = *w;
  deal.h = *h;

  const int cells = deal.w * deal.h;
  const int digits = digits_per_cell(deal.w, deal.h);
  if (board.size() != static_cast<std::size_t>(cells * digits))
    return refuse(problem, "the board should have " + std::to_string(cells * digits) + " characters, not " +
                               std::to_string(board.size()));
  for (int i = 0; i < cells; ++i) {
    int value = 0;
    for (int k = 0; k < digits; ++k) {
      const int v = digit_value(board[static_cast<std::size_t>(i * digits + k)]);
      if (v < 0) return refuse(problem, "the board holds a character that is no part of a code");
      value = value * 64 + v;
    }
    const int index = value / 4, orientation = value % 4 + 1;
    if (index >= cells) return refuse(problem, "the board names a piece that a board of this size lacks");
    deal.cells.push_back(index == 0 ? 0 : index + 1);
    deal.turns.push_back(orientation);
    if (!deal.rotation && orientation != 1) return refuse(problem, "a piece is turned although rotation is off");
  }
  if (auto why = board_problem(deal.w, deal.h, deal.cells)) return refuse(problem, "the board is wrong: " + *why);
  if (deal.cells.front() != 0) return refuse(problem, "the gap is not in the top-left corner, where a deal leaves it");

  const auto picture = decoded_name(name);
  if (!picture || !picture_file_name(*picture)) return refuse(problem, "the picture's name is unreadable");
  deal.picture = *picture;

  bool solved = board_from_game_cells(deal.w, deal.h, deal.cells).solved();
  for (int t : deal.turns) solved = solved && t == 1;
  if (solved) return refuse(problem, "the board is already solved");
  return deal;
}

std::optional<std::vector<int>> deal_way_back(const SharedDeal& deal, std::string* problem) {
  if (auto why = board_problem(deal.w, deal.h, deal.cells)) {
    if (problem) *problem = *why;
    return std::nullopt;
  }
  const SlideBoard board = board_from_game_cells(deal.w, deal.h, deal.cells);
  const fewest::SearchStop stop{nullptr, std::chrono::steady_clock::now() + kWayBackBudget};
  auto slides = fewest::solve_line_by_line(board, stop);
  if (slides && slides_solve(board, *slides)) return fewest::cut_loops(board, *slides);
  if (problem) *problem = "the computer finds no way back for this board";
  return std::nullopt;
}

}  // namespace jumblix
