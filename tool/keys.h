// Typing: the messages that a text with named keys in braces brings to a
// window, as a user's keystrokes would bring them there (Type).
#pragma once

#include "winsys/winsys.h"

#include <cstdint>
#include <string>
#include <vector>

// The code points of UTF-8 text, in order.  A byte that begins no
// well-formed sequence (a stray continuation byte, an overlong form, a
// surrogate, a value past U+10FFFF, a sequence cut short) stands for
// itself: its value is the code point of the same character in Latin-1,
// so a script saved in that code page still types what it shows.
std::vector<uint32_t> Utf8CodePoints(const char* text);

// One message to post to the target.
struct TypedMessage {
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const TypedMessage&) const = default;
};

// The messages that type text: each character outside braces as WM_CHAR
// with its code point (lParam: repeat count 1); {{} and {}} as the braces;
// a named key ({Enter}, {Tab}, {Esc}, {Backspace}, {Delete}, {Insert},
// {Up}, {Down}, {Left}, {Right}, {Home}, {End}, {PgUp}, {PgDn}, {F1} ..
// {F12}, {Space}) as key-down and key-up with the lParam of a real
// keystroke (repeat 1, the scan code from ws.MapVirtualKeyA, the extended
// bit of the navigation keys, the transition bits of a release); a
// combination ({Ctrl+X}, {Alt+F4}, {Ctrl+Shift+End}: Ctrl, Alt and Shift,
// then a named key, a letter or a digit) as the modifiers' key-downs, the
// key, and the modifiers' key-ups in reverse order.  While Alt is held
// without Ctrl, keys go as WM_SYSKEYDOWN / WM_SYSKEYUP with the context
// bit.  A letter or digit with Ctrl or Shift (and no Alt alone) goes as
// the character a real keystroke makes (Ctrl+A: 0x01, Shift+a: 'A',
// Shift+1: '!'; none for Ctrl+digit or Ctrl+Alt), never as its own
// key-down: the receiver translates a posted key-down with its own
// keyboard state, in which no posted modifier is held, and would make the
// plain character of it.
// Returns false, with why in *error and *out as it was, for a brace that
// is not closed or a name that is not one of the above (names ignore case).
bool TypedMessages(CWinSys& ws, const char* text, std::vector<TypedMessage>* out,
                   std::string* error);
