#include "play/scorecard.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace jumblix {

void Scorecard::reset(bool scored) {
  *this = Scorecard{};
  scored_ = scored;
}

void Scorecard::start_clock(double now_ms) {
  if (clock_started_) return;
  clock_started_ = true;
  running_since_ = now_ms;
}

void Scorecard::count_slide(double now_ms) {
  if (!scored_ || finished_) return;
  ++slides_;
  start_clock(now_ms);
}

void Scorecard::count_turn(double now_ms) {
  if (!scored_ || finished_) return;
  ++turns_;
  start_clock(now_ms);
}

void Scorecard::mark_helped() {
  if (scored_ && !finished_) helped_ = true;
}

void Scorecard::resume(int slides, int turns, bool helped, double elapsed_ms, bool clock_started, double now_ms) {
  reset(true);
  slides_ = slides;
  turns_ = turns;
  helped_ = helped;
  counted_ms_ = elapsed_ms;
  clock_started_ = clock_started;
  running_since_ = now_ms;
}

void Scorecard::set_paused(bool paused, double now_ms) {
  if (paused == paused_) return;
  if (paused && clock_running()) counted_ms_ += now_ms - running_since_;
  paused_ = paused;
  if (!paused) running_since_ = now_ms;
}

void Scorecard::finish(double now_ms) {
  if (finished_) return;
  if (clock_running()) counted_ms_ += now_ms - running_since_;
  finished_ = true;
}

double Scorecard::elapsed_ms(double now_ms) const {
  return counted_ms_ + (clock_running() ? now_ms - running_since_ : 0);
}

std::string clock_text(double ms) {
  const long long seconds = ms > 0 ? static_cast<long long>(std::floor(ms / 1000)) : 0;
  char text[32];
  if (seconds < 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

namespace {

// "Par": the exact figure has a word of its own, not "fewest", which the best line uses.
std::string fewest_text(const StatusFacts& f) {
  if (f.fewest) return (f.fewest->exact ? "Par " : "Par at most ") + std::to_string(f.fewest->slides);
  return f.fewest_pending ? "Par \u2026" : "";
}

std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += " \u00b7 ";
    text += part;
  }
  return text;
}

}  // namespace

std::string status_text(const StatusFacts& f) {
  if (f.title_screen) return "Click the picture or press Ctrl+N to begin";
  if (!f.scored) return "";
  if (f.computer_solving)
    return joined({"Computer: " + std::to_string(f.computer_slides) + (f.computer_slides == 1 ? " slide" : " slides"),
                   fewest_text(f)});

  std::vector<std::string> parts{"Moves " + std::to_string(f.slides)};
  if (f.rotation) parts.push_back("Turns " + std::to_string(f.turns));
  parts.push_back(clock_text(f.elapsed_ms));
  parts.push_back(fewest_text(f));
  if (f.helped) {
    parts.push_back("Helped: no best result");
  } else if (f.finished && (f.new_best_moves || f.new_best_time)) {
    parts.push_back(f.new_best_moves && f.new_best_time ? "New best: fewest moves and shortest time!"
                    : f.new_best_moves                  ? "New best: fewest moves!"
                                                        : "New best: shortest time!");
  } else if (f.best_moves && f.best_ms) {
    // Two records, each named for itself: they may come from different games.
    parts.push_back("Best: " + std::to_string(*f.best_moves) + " moves");
    parts.push_back(clock_text(*f.best_ms) + " fastest");
  }
  return joined(parts);
}

}  // namespace jumblix
