#include "platform/qt/key_codes.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include "platform/window_form.h"

namespace jumblix {

namespace {

// The key code for a punctuation key by the character it types, as on a US keyboard
// (0 for none).
int symbol_key_code(int key) {
  switch (key) {
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 186;
    case Qt::Key_Equal: case Qt::Key_Plus: return 187;
    case Qt::Key_Comma: case Qt::Key_Less: return 188;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 189;
    case Qt::Key_Period: case Qt::Key_Greater: return 190;
    case Qt::Key_Slash: case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 222;
    // The shifted digits are their digit keys.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    default: return 0;
  }
}

// The key code for a key of the typing area by its place on the keyboard (an X key code),
// whatever the layout prints on it: the digit row and the punctuation keys, where other
// layouts put national letters and dead keys. 0 for other keys.
int key_code_at(quint32 x_key_code) {
  if (x_key_code >= 10 && x_key_code <= 18) return '1' + static_cast<int>(x_key_code - 10);
  switch (x_key_code) {
    case 19: return '0';
    case 20: return 189;
    case 21: return 187;
    case 34: return 219;
    case 35: return 221;
    case 47: return 186;
    case 48: return 222;
    case 49: return 192;
    case 51: return 220;
    case 59: return 188;
    case 60: return 190;
    case 61: return 191;
    case 94: return 226;  // the extra key beside the left Shift on European keyboards
    default: return 0;
  }
}

bool native_codes_are_x_key_codes() {
  static const bool x = QGuiApplication::platformName().startsWith("xcb") ||
                        QGuiApplication::platformName().startsWith("wayland");
  return x;
}

}  // namespace

int game_key_code(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    // Num Lock on sends digits, off sends arrows; the player moves pieces either way.
    switch (key) {
      case Qt::Key_8: case Qt::Key_Up: return kKeyUp;
      case Qt::Key_4: case Qt::Key_Left: return kKeyLeft;
      case Qt::Key_6: case Qt::Key_Right: return kKeyRight;
      case Qt::Key_2: case Qt::Key_Down: return kKeyDown;
      case Qt::Key_Asterisk: return 106;
      case Qt::Key_Plus: return 107;
      case Qt::Key_Minus: return 109;
      case Qt::Key_Period: case Qt::Key_Comma: return 110;  // the decimal key, either layout
      case Qt::Key_Slash: return 111;
      default:
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);  // keypad digits
        break;
    }
  }
  switch (key) {
    case Qt::Key_Return: case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Cancel: return 3;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: case Qt::Key_AltGr: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Select: return 41;
    case Qt::Key_Printer: return 42;
    case Qt::Key_Execute: return 43;
    case Qt::Key_Print: case Qt::Key_SysReq: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_Super_L: case Qt::Key_Meta: return 91;
    case Qt::Key_Super_R: return 92;
    case Qt::Key_Menu: return 93;
    case Qt::Key_Sleep: return 95;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Back: return 166;
    case Qt::Key_Forward: return 167;
    case Qt::Key_Refresh: return 168;
    case Qt::Key_Stop: return 169;
    case Qt::Key_Search: return 170;
    case Qt::Key_Favorites: return 171;
    case Qt::Key_HomePage: return 172;
    case Qt::Key_VolumeMute: return 173;
    case Qt::Key_VolumeDown: return 174;
    case Qt::Key_VolumeUp: return 175;
    case Qt::Key_MediaNext: return 176;
    case Qt::Key_MediaPrevious: return 177;
    case Qt::Key_MediaStop: return 178;
    case Qt::Key_MediaPlay: case Qt::Key_MediaTogglePlayPause: return 179;
    case Qt::Key_LaunchMail: return 180;
    case Qt::Key_LaunchMedia: return 181;
    case Qt::Key_Launch0: return 182;
    case Qt::Key_Launch1: return 183;
    default: break;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  return symbol_key_code(key);
}

int game_key_code(const QKeyEvent& event) {
  const int key = event.key();
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  // Letters follow the layout; the other keys of the typing area go by their place, so
  // every key there has a code whatever it prints.
  const bool letter_or_digit = (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
  if (!(modifiers & Qt::KeypadModifier) && !letter_or_digit && native_codes_are_x_key_codes())
    if (const int code = key_code_at(event.nativeScanCode())) return code;
  return game_key_code(key, modifiers);
}

int game_shift_mask(Qt::KeyboardModifiers modifiers) {
  return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
         ((modifiers & Qt::AltModifier) ? 4 : 0);
}

int game_mouse_button(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return kLeftButton;
    case Qt::RightButton: return kRightButton;
    case Qt::MiddleButton: return kMiddleButton;
    default: return 0;
  }
}

}  // namespace jumblix
