// A top-level window that carries its C++ object: the object is stored on
// the window when it is created, and every message goes to the object's
// Handle, which hands each one to a small handler of its own. Also the
// thread's message loop, with a hook that sees each message first.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace velmora::win32 {

struct WindowClass {
  const wchar_t* name;
  HICON icon;  // large and small
  HBRUSH background;
};

class BaseWindow {
 public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND Hwnd() const { return hwnd_; }

 protected:
  ~BaseWindow();

  // Registers the class (once per process) and creates the window, hidden,
  // with this object on it. False when either fails.
  bool Create(HINSTANCE instance, const WindowClass& window_class, const wchar_t* caption,
              DWORD style);

  // The window's messages from WM_NCCREATE to WM_NCDESTROY; what a handler
  // does not take goes to Default.
  virtual LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};

// Sees every message of the thread before it is translated and dispatched.
class MessageFilter {
 public:
  // True when the message is used up and goes no further.
  virtual bool PreTranslate(MSG& msg) = 0;

 protected:
  ~MessageFilter() = default;
};

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop(MessageFilter& filter);

}  // namespace velmora::win32
