#include "settings/number_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "settings/settings_store.h"

namespace jumblix {

double leading_number(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) number += text[i++];
  bool point = false, digits = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digits = true;
      number += c;
    } else if (c == '.' && !point) {
      point = true;
      number += c;
    } else {
      break;
    }
  }
  if (!digits) return 0;
  const double value = std::strtod(number.c_str(), nullptr);
  return std::isfinite(value) ? value : 0;
}

std::string shortest_decimal(double value) {
  std::string s = format_setting(value);  // sign slot, digits, " \r\n"
  s.erase(s.size() - 3);
  if (s[0] == ' ') s.erase(0, 1);
  return s;
}

}  // namespace jumblix
