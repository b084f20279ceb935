#pragma once
// The keyboard and mouse as the game knows them: Qt's keys and buttons turned into the
// game's key codes, shift masks and button numbers.
#include <Qt>

class QKeyEvent;

namespace jumblix {

// The game's key code for a Qt key (0 for keys the game has no code for): Enter 13,
// Escape 27, arrows 37-40, letters as their upper-case ASCII code, digits 48-57, and the
// classic virtual key codes for the rest (keypad * + - . / 106-111, punctuation 186-192
// and 219-222 as on a US keyboard, Super 91/92, Menu 93, ...). The numeric keypad's 8, 4,
// 6 and 2 are the arrows whether Num Lock is on or off.
int game_key_code(int qt_key, Qt::KeyboardModifiers modifiers);
// The same for a key event; the keys of the typing area other than letters and digits go
// by their place on the keyboard where the window system tells it, so that national
// letters and dead keys have a code too.
int game_key_code(const QKeyEvent& event);
// Shift 1, Ctrl 2, Alt 4, added together.
int game_shift_mask(Qt::KeyboardModifiers modifiers);
// Left 1, right 2, middle 4; 0 for other buttons.
int game_mouse_button(Qt::MouseButton button);

}  // namespace jumblix
