// Drives a running Velmora.exe from another process, as a user would:
// texts through WM_SETTEXT/WM_GETTEXT, clicks, real key presses, message
// boxes read and closed, screenshots. Every wait polls with a timeout.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::gui {

// Control ids of Form1.
enum Id : int {
  kTextka = 101,
  kTextkb = 102,
  kTextra = 103,
  kTextrb = 104,
  kTextki = 105,
  kTextca = 106,
  kTextcia = 107,
  kComFWJ = 110,
  kFrame1 = 120,
  kFrame2 = 121,
  kLabFWJ0 = 130,
};

using namespace std::chrono_literals;

// Polls `done` until it holds or `timeout` passes; true when it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5000ms);

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);

// The path of Velmora.exe, given to the test program as its first argument
// or in VELMORA_EXE.
std::wstring ExePath();

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::string title;
  std::string prompt;
  bool information_icon = false;
};

class App {
 public:
  App();  // starts Velmora.exe and waits for its window
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND Window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  DWORD ProcessId() const { return process_.dwProcessId; }
  bool Alive() const;

  std::string Text(int id) const;
  void SetText(int id, const std::string& text);  // as an edit: the field's rules run
  void FillInputs(const std::vector<std::string>& six);

  // Clicks 计算 and returns once the command has finished or a message box
  // is up (then read it with Box()).
  void Click(int id = kComFWJ);
  std::optional<MessageBoxInfo> Box() const;  // the open message box, if any
  int OpenBoxes() const;
  void CloseBox();  // presses OK and waits until the command has finished

  // Keyboard: the window is brought to the foreground and the driver's input
  // attached to it once.
  void Type(const std::string& utf8);     // characters, as typed
  void Key(WORD vk, bool shift = false);  // one virtual key press
  void Ctrl(WORD vk);                     // Ctrl + key
  // Returns once the program has handled every key sent so far, and the
  // keys its own handlers queued while doing so.
  void Sync();
  HWND Focus() const;
  void SetFocusTo(int id);             // as a click into the control would
  static bool SetClipboard(const std::string& utf8);
  int FocusId() const { return GetDlgCtrlID(Focus()); }
  std::pair<int, int> Selection(int id) const;

  // Closes the window and returns the process's exit code.
  DWORD Close();
  // Saves the window as a PNG.
  bool Screenshot(const std::string& path) const;

 private:
  void Foreground();
  void SendKeys(std::vector<INPUT>& inputs);
  void WaitForClickThread();

  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
  bool attached_ = false;
  std::thread click_thread_;
  std::shared_ptr<std::atomic<bool>> click_done_;
};

}  // namespace velmora::gui
