#include "platform/win32/base_window.h"

#include "platform/win32/startup_marks.h"

namespace velmora::win32 {

BaseWindow::~BaseWindow() {
  if (hwnd_ != nullptr) {
    // Let go first: the derived handlers are gone by now.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool BaseWindow::Create(HINSTANCE instance, const WindowClass& window_class, const wchar_t* caption,
                        DWORD style) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hIcon = window_class.icon;
  wc.hIconSm = window_class.icon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = window_class.background;
  wc.lpszClassName = window_class.name;
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }
  StartupMark("register the window class");
  // Proc stores hwnd_ at WM_NCCREATE, before any handler runs.
  CreateWindowExW(0, window_class.name, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, nullptr, nullptr, instance, this);
  StartupMark("create the form's window");
  return hwnd_ != nullptr;
}

LRESULT BaseWindow::Default(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK BaseWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) {
    return DefWindowProcW(hwnd, message, wparam, lparam);  // before WM_NCCREATE
  }
  const LRESULT result = window->Handle(message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    // The last message: the window lets go of the object.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
  }
  return result;
}

int RunMessageLoop(MessageFilter& filter) {
  MSG msg;
  BOOL got;
  StartupLoopTop();
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    if (filter.PreTranslate(msg)) {
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    StartupLoopTop();
  }
  return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

}  // namespace velmora::win32
