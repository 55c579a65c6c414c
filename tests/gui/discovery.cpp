#include "tests/gui/discovery.h"

#include <sstream>

#include "platform/win32/text.h"

namespace velmora::gui {
namespace {

struct Found {
  DWORD pid;
  const wchar_t* window_class;  // null: any class, visible or not
  std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == found->pid && (found->window_class == nullptr ||
                            (IsWindowVisible(hwnd) && ClassName(hwnd) == found->window_class))) {
    found->windows.push_back(hwnd);
  }
  return TRUE;
}

int CountChildren(HWND hwnd) {
  int n = 0;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    ++n;
  }
  return n;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* window_class) {
  Found found{pid, window_class, {}};
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

std::vector<HWND> AllTopLevelWindows(DWORD pid) {
  Found found{pid, nullptr, {}};
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

std::string DescribeWindow(HWND hwnd) {
  std::ostringstream out;
  RECT outer = {};
  RECT client = {};
  GetWindowRect(hwnd, &outer);
  GetClientRect(hwnd, &client);
  // GetWindowText reads a top-level caption without a message, so a
  // program that no longer answers cannot stop the description.
  wchar_t caption[128] = {};
  GetWindowTextW(hwnd, caption, 128);
  out << "window " << hwnd << " class \"" << win32::Narrow(ClassName(hwnd)) << "\" caption \""
      << win32::Narrow(caption) << "\" " << (IsWindowVisible(hwnd) ? "visible" : "hidden")
      << (IsIconic(hwnd) ? " minimised" : "") << " at (" << outer.left << "," << outer.top << ")-("
      << outer.right << "," << outer.bottom << ") client " << client.right << "x" << client.bottom
      << ", " << CountChildren(hwnd) << " child windows";
  return out.str();
}

std::string WindowText(HWND hwnd) {
  const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied =
      SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return win32::Narrow(text);
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

RECT RectInParent(HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::optional<MessageBoxInfo> ReadMessageBox(DWORD pid) {
  const auto boxes = TopLevelWindows(pid, kMessageBoxClass);
  if (boxes.empty()) {
    return std::nullopt;
  }
  MessageBoxInfo info;
  info.hwnd = boxes.front();
  info.title = WindowText(info.hwnd);
  for (HWND child = GetWindow(info.hwnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassName(child) != L"Static") {
      continue;
    }
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
      // Icon handles are the box's own, so only its presence can be seen
      // from here; an OK-only box with an icon is style 64's.
      info.information_icon = icon != nullptr;
    } else if (std::string text = WindowText(child); !text.empty()) {
      info.prompt = std::move(text);
    }
  }
  return info;
}

int CountMessageBoxes(DWORD pid) {
  return static_cast<int>(TopLevelWindows(pid, kMessageBoxClass).size());
}

}  // namespace velmora::gui
