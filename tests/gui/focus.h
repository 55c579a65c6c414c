// The focus and selection inside the program's window, seen from outside,
// and the clipboard the program pastes from.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <utility>

namespace velmora::gui {

// The control that has the keyboard focus in `window`'s thread, or null.
HWND FocusedWindow(HWND window);
// Start and end of an edit control's selection, in characters.
std::pair<int, int> Selection(HWND edit);
// Puts UTF-8 text on the clipboard as Unicode text; false if it could not.
bool SetClipboardText(const std::string& utf8);

}  // namespace velmora::gui
