#pragma once
// Texts as the window shows them, shared by the menu bar and the controls.
#include <string>

#include <QString>

namespace jumblix {

inline QString text_of(const std::string& s) { return QString::fromStdString(s); }

// Menu and button captions are shown exactly as given: '&' is not a mnemonic marker.
inline QString caption_of(const std::string& s) { return text_of(s).replace('&', "&&"); }

}  // namespace jumblix
