#include "tests/gui/focus.h"

#include <cstring>

#include "platform/win32/text.h"

namespace velmora::gui {

HWND FocusedWindow(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

std::pair<int, int> Selection(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

bool SetClipboardText(const std::string& utf8) {
  const std::wstring text = win32::Widen(utf8);
  if (!OpenClipboard(nullptr)) {
    return false;
  }
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  void* locked = memory != nullptr ? GlobalLock(memory) : nullptr;
  bool ok = false;
  if (locked != nullptr) {
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory);
    ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  }
  if (!ok && memory != nullptr) {
    GlobalFree(memory);  // the clipboard owns it only once it is set
  }
  CloseClipboard();
  return ok;
}

}  // namespace velmora::gui
