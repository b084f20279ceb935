#pragma once
// A picture name as one field of a tab-separated line in the game's own files: backslash,
// tab and line breaks written as \\, \t, \n and \r, so that any name fits on one line.
#include <optional>
#include <string>
#include <string_view>

namespace jumblix {

std::string escaped_field(std::string_view text);
// The text back, or nothing when the field holds an escape the game never writes.
std::optional<std::string> unescaped_field(std::string_view field);

}  // namespace jumblix
