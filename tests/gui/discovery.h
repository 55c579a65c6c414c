// Finding the program's windows from outside: its top-level windows by
// class, its message box and what the box says, and what any window shows.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora::gui {

inline constexpr const wchar_t* kForm1Class = L"Velmora.Form1";
inline constexpr const wchar_t* kMessageBoxClass = L"#32770";

// The visible top-level windows of process `pid` with this window class.
std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* window_class);
// Every top-level window of process `pid`, visible or not, of any class.
std::vector<HWND> AllTopLevelWindows(DWORD pid);

// One line about a window as the driver sees it: class, caption,
// visibility, window and client rectangles, number of child windows.
std::string DescribeWindow(HWND hwnd);

// A window's text, read with WM_GETTEXT (which, unlike GetWindowText, also
// reads an edit control of another process), as UTF-8.
std::string WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
// A child window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::string title;
  std::string prompt;
  bool information_icon = false;
};

// The open message box of process `pid`, if any, and how many are open.
std::optional<MessageBoxInfo> ReadMessageBox(DWORD pid);
int CountMessageBoxes(DWORD pid);

}  // namespace velmora::gui
