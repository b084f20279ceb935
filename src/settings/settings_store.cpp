#include "settings/settings_store.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string SettingsStore::resolve(const std::string& folder, const std::string& name) {
  const fs::path exact = fs::path(folder) / name;
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact.string();
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string wanted = lower(name);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (lower(it->path().filename().string()) == wanted) return it->path().string();
  return exact.string();
}

std::optional<double> SettingsStore::read_file(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  std::getline(in, line);
  return parse_setting(line);
}

bool SettingsStore::write_file(const std::string& path, double value) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << format_setting(value);
  out.close();
  return static_cast<bool>(out);
}

std::optional<double> SettingsStore::read(const std::string& name) const {
  return read_file(resolve(directory_, name));
}

bool SettingsStore::write(const std::string& name, double value) const {
  return write_file(resolve(directory_, name), value);
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
  if (!fs::is_directory(folder, ec)) return false;
  return SettingsStore::write_file(SettingsStore::resolve(folder, name), value);
}

}  // namespace jumblix
