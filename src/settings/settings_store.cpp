#include "settings/settings_store.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/file_io.h"

namespace jumblix {

namespace fs = std::filesystem;

std::string format_setting(double value) {
  if (!std::isfinite(value)) value = 0;
  std::string digits;
  {
    // Up to 15 significant digits, no exponent, no trailing zeros.
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.15g", std::fabs(value));
    if (std::strchr(buffer, 'e')) {
      std::snprintf(buffer, sizeof buffer, "%.15f", std::fabs(value));
      std::string s = buffer;
      if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
      }
      digits = s;
    } else {
      digits = buffer;
    }
  }
  if (digits.rfind("0.", 0) == 0) digits.erase(0, 1);
  if (digits.empty() || digits == "0" || digits == ".") digits = "0";
  const bool negative = value < 0 && digits != "0";
  return std::string(negative ? "-" : " ") + digits + " \r\n";
}

std::optional<double> parse_setting(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t end = i;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != ',' &&
         text[end] != '\r' && text[end] != '\n')
    ++end;
  std::string token = text.substr(i, end - i);
  if (token.empty()) return std::nullopt;
  if (token[0] == '+') token.erase(0, 1);
  // from_chars takes neither a leading '+' nor "nan"/"inf" spellings we want to refuse.
  for (char c : token)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == 'e' ||
          c == 'E' || c == '+'))
      return std::nullopt;
  double value = 0;
  const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (ec != std::errc() || ptr != token.data() + token.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

bool plain_file_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

std::string SettingsStore::resolve(const std::string& folder, const std::string& name) {
  // Every spelling of the name reaches the same file: the first match in name order.
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string wanted = lower(name);
  std::string first;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string found = it->path().filename().string();
    if (lower(found) == wanted && (first.empty() || found < first)) first = found;
  }
  return (fs::path(folder) / (first.empty() ? name : first)).string();
}

std::optional<double> SettingsStore::read_file(const std::string& path) {
  // One line of one number: a few kilobytes are more than any setting needs.
  const auto text = read_file_start(path, kMaxSettingBytes);
  if (!text) return std::nullopt;
  return parse_setting(text->substr(0, text->find('\n')));
}

bool SettingsStore::write_file(const std::string& path, double value, std::string* error) {
  return replace_file(path, format_setting(value), error);
}

std::optional<double> SettingsStore::read(const std::string& name) const {
  if (!plain_file_name(name)) return std::nullopt;
  return read_file(resolve(directory_, name));
}

bool SettingsStore::write(const std::string& name, double value, std::string* error) const {
  if (!plain_file_name(name)) {
    if (error) *error = "not a plain file name";
    return false;
  }
  return write_file(resolve(directory_, name), value, error);
}

std::string screensaver_parent() {
  if (const char* dir = std::getenv("JUMBLIX_SYSTEM_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return xdg;
  const char* home = std::getenv("HOME");
  return (fs::path(home && *home ? home : ".") / ".local" / "share").string();
}

std::string screensaver_picture_folder() { return (fs::path(screensaver_parent()) / "Jumblix-pictures").string(); }
std::string screensaver_colour_folder() { return (fs::path(screensaver_parent()) / "Quiltrest-pictures").string(); }

bool write_screensaver_copy(const std::string& name, double value) {
  const std::string folder = screensaver_colour_folder();
  std::error_code ec;
  if (!plain_file_name(name) || !fs::is_directory(folder, ec)) return false;
  return SettingsStore::write_file(SettingsStore::resolve(folder, name), value);
}

}  // namespace jumblix
