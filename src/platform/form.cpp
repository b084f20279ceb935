#include "platform/form.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/event_loop.h"

namespace jumblix {

bool TextBox::type_char(char c) {
  if (max_length_ > 0 && static_cast<int>(text_.size()) >= max_length_) return false;
  set_text(text_ + c);
  return true;
}

void OptionButton::set_value(bool v) {
  if (v)
    for (OptionButton* other : group_.buttons())
      if (other != this) other->set(other->value_, false);
  set(value_, v);
}

namespace {

// Wildcard match with '*' and '?', letter case ignored (as the old platform's lists did).
bool matches(const std::string& name, const std::string& pattern) {
  std::size_t n = 0, p = 0, star = std::string::npos, mark = 0;
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

void FileListBox::set_folder(const std::string& folder) {
  folder_ = folder;
  refresh();
}

void FileListBox::set_pattern(const std::string& pattern) {
  pattern_ = pattern;
  refresh();
}

void FileListBox::refresh() {
  std::vector<std::string> found;
  std::error_code ec;
  if (!folder_.empty()) {
    for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code type_ec;
      if (!it->is_regular_file(type_ec)) continue;
      const std::string name = it->path().filename().string();
      if (matches(name, pattern_)) found.push_back(name);
    }
  }
  std::sort(found.begin(), found.end());
  const std::string keep = selected_text();
  entries_ = std::move(found);
  const auto at = std::find(entries_.begin(), entries_.end(), keep);
  selected_ = keep.empty() || at == entries_.end() ? -1 : static_cast<int>(at - entries_.begin());
  notify();
}

std::string FileListBox::entry(int index) const {
  return index >= 0 && index < count() ? entries_[static_cast<std::size_t>(index)] : std::string();
}

void FileListBox::set_selected(int index) { set(selected_, index >= 0 && index < count() ? index : -1); }

void FileListBox::click(int index) {
  set_selected(index);
  if (selected_ >= 0 && on_click) on_click();
}

void Timer::restart() {
  double step = interval_;
  if (loop_) step = std::max(step, loop_->timer_resolution_ms());
  due_at_ = (loop_ ? loop_->now_ms() : 0) + step;
}

void Timer::set_interval(double ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (enabled_) restart();
}

void Timer::set_enabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) restart();
}

void Timer::fire(double now_ms) {
  if (!enabled_) return;
  double step = interval_;
  if (loop_) step = std::max(step, loop_->timer_resolution_ms());
  // A late tick does not queue up missed ones: the next countdown starts now.
  due_at_ = now_ms + step;
  if (on_timer) on_timer();
}

}  // namespace jumblix
